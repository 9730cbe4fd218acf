#include "platform/pkcs12.h"

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

TEST(Pkcs12Import, GivesNothingForAWrongPassword) {
  TestCertificate root = MakeCertificate("Locked Root");
  auto blob = MakePkcs12WithKey(root, {}, "right");
  for (const char* password : {"wrong", "Right", "right ", ""}) {
    EXPECT_TRUE(Import(blob, password).empty()) << password;
  }
}

TEST(Pkcs12Import, OpensABlobMadeWithAnEmptyPassword) {
  TestCertificate root = MakeCertificate("Open Root");
  EXPECT_EQ(Import(MakePkcs12({root}, ""), "").size(), 1u);
}

TEST(Pkcs12Import, GivesNothingForWhatIsNoPkcs12Blob) {
  TestCertificate root = MakeCertificate("Cut Root");
  auto blob = MakePkcs12({root}, "secret");
  std::vector<unsigned char> truncated(blob.begin(), blob.begin() + blob.size() / 2);
  std::vector<unsigned char> certificateOnly = Encoded(root);
  std::vector<unsigned char> corrupted = blob;
  corrupted[corrupted.size() / 2] ^= 0x5A;
  for (const auto& bad : {truncated, certificateOnly, corrupted, std::vector<unsigned char>{0x30, 0x00}}) {
    EXPECT_TRUE(Import(bad, "secret").empty());
  }
  EXPECT_TRUE(ImportPkcs12Certificates(nullptr, 10, "secret").empty());
  EXPECT_TRUE(ImportPkcs12Certificates(blob.data(), 0, "secret").empty());
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
