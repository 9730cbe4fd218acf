// loadClientCertificate as a caller of the shared library sees it.
#include <gtest/gtest.h>

#include <string>

#include "quorlan/qrx.h"
#include "test_certificates.h"

namespace {

using quorlan::testing::MakeCertificate;
using quorlan::testing::MakePkcs12WithKey;
using quorlan::testing::TestCertificate;

TEST(LoadClientCertificateExport, ReportsItsResults) {
  TestCertificate root = MakeCertificate("Export Root");
  TestCertificate leaf = MakeCertificate("Export Leaf", &root);
  const auto blob = MakePkcs12WithKey(leaf, {root}, "p4ss");
  const int size = static_cast<int>(blob.size());
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, "p4ss", 4), 0);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, "p4sS", 4), 2);
  EXPECT_EQ(loadClientCertificate("pkcs12", blob.data(), size, "p4ss", 4), 2);
  EXPECT_EQ(loadClientCertificate(nullptr, nullptr, 0, nullptr, 0), 2);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, nullptr, 4), 3);
  EXPECT_EQ(loadClientCertificate("PKCS12", nullptr, 0, "p4ss", 4), 2);
}

}  // namespace
