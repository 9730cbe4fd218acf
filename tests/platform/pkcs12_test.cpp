#include "quorlan/platform/pkcs12.h"

#include <gtest/gtest.h>

#include "test_certificates.h"

namespace quorlan {
namespace platform {
namespace {

using testing::Encoded;
using testing::MakeCertificate;
using testing::MakePkcs12;
using testing::MakePkcs12WithKey;
using testing::TestCertificate;

std::vector<ImportedCertificate> Import(const std::vector<unsigned char>& blob, const std::string& password) {
  return ImportPkcs12Certificates(blob.data(), blob.size(), password);
}

TEST(Pkcs12Import, GivesEveryCertificateInBlobOrderWithItsNames) {
  TestCertificate root = MakeCertificate("Test Root");
  TestCertificate intermediate = MakeCertificate("Test Intermediate", &root);
  TestCertificate leaf = MakeCertificate("Test Leaf", &intermediate);
  auto imported = Import(MakePkcs12({intermediate, root, leaf}, "secret"), "secret");
  ASSERT_EQ(imported.size(), 3u);
  const TestCertificate* expected[] = {&intermediate, &root, &leaf};
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(imported[i].encoded, Encoded(*expected[i])) << i;
  EXPECT_EQ(imported[0].subject, "CN=Test Intermediate");
  EXPECT_EQ(imported[0].issuer, "CN=Test Root");
  EXPECT_EQ(imported[1].subject, imported[1].issuer);
  EXPECT_EQ(imported[2].issuer, imported[0].subject);
}

TEST(Pkcs12Import, ReadsTheCertificateBesideAKey) {
  TestCertificate root = MakeCertificate("Key Root");
  TestCertificate leaf = MakeCertificate("Key Leaf", &root);
  auto imported = Import(MakePkcs12WithKey(leaf, {root}, "pass word"), "pass word");
  ASSERT_EQ(imported.size(), 2u);
  EXPECT_EQ(imported[0].encoded, Encoded(leaf));
  EXPECT_EQ(imported[1].encoded, Encoded(root));
}

TEST(Pkcs12Import, ReadsBlobsOfOlderExporters) {
  TestCertificate root = MakeCertificate("Legacy Root");
  auto imported = Import(MakeLegacyPkcs12(root, "pass word"), "pass word");
  ASSERT_EQ(imported.size(), 1u);
  EXPECT_EQ(imported[0].encoded, Encoded(root));
}

TEST(Pkcs12Import, OpensABlobMadeWithAnEmptyPassword) {
  TestCertificate root = MakeCertificate("Open Root");
  EXPECT_EQ(Import(MakePkcs12({root}, ""), "").size(), 1u);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
