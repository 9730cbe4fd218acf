// The PKCS #12 seam and the client certificate on fixed blobs: the same
// blobs and the same expected results for the OpenSSL and the CryptoAPI
// backends.
#include <gtest/gtest.h>

#include <algorithm>

#include "pkcs12_fixtures.h"
#include "quorlan/platform/pkcs12.h"
#include "quorlan/qrx.h"
#include "quorlan/transport/client_certificate.h"

namespace quorlan {
namespace {

using testing::kEmptyPassword;
using testing::kLeafWithKey;
using testing::Pkcs12Fixture;
using Encodings = std::vector<std::vector<uint8_t>>;

std::vector<platform::ImportedCertificate> Import(const Pkcs12Fixture& fixture, const std::string& password) {
  return platform::ImportPkcs12Certificates(fixture.blob.data(), fixture.blob.size(), password);
}

// Sorted: the CryptoAPI store has an order of its own (wine's runs from the
// root down), which the OpenSSL backend need not share.
Encodings SortedEncodingsOf(const std::vector<platform::ImportedCertificate>& certificates) {
  Encodings encodings;
  for (const auto& certificate : certificates) encodings.push_back(certificate.encoded);
  std::sort(encodings.begin(), encodings.end());
  return encodings;
}

Encodings Sorted(Encodings encodings) {
  std::sort(encodings.begin(), encodings.end());
  return encodings;
}

TEST(Pkcs12FixtureImport, GivesEveryCertificateOfTheBlob) {
  const struct {
    const char* what;
    const Pkcs12Fixture& fixture;
  } cases[] = {
      {"a leaf with its key and its issuer", kLeafWithKey},
      {"a blob made with an empty password", kEmptyPassword},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SortedEncodingsOf(Import(c.fixture, c.fixture.password)), Sorted(c.fixture.certificates)) << c.what;
  }
}

TEST(Pkcs12FixtureImport, GivesTheNamesAsComparableTexts) {
  const auto imported = Import(kLeafWithKey, kLeafWithKey.password);
  ASSERT_EQ(imported.size(), 2u);
  const bool leafFirst = imported[0].encoded == kLeafWithKey.certificates[0];
  const platform::ImportedCertificate& leaf = imported[leafFirst ? 0 : 1];
  const platform::ImportedCertificate& issuer = imported[leafFirst ? 1 : 0];
  EXPECT_EQ(leaf.encoded, kLeafWithKey.certificates[0]);
  EXPECT_EQ(leaf.subject, "CN=Fixture Leaf");
  EXPECT_EQ(leaf.issuer, "CN=Fixture Intermediate");
  EXPECT_EQ(issuer.subject, leaf.issuer);
  EXPECT_EQ(issuer.issuer, "CN=Fixture Root");
}

TEST(Pkcs12FixtureImport, GivesNothingForAWrongPasswordOrABlobThatIsNotPkcs12) {
  EXPECT_TRUE(Import(kLeafWithKey, "Pass word").empty());
  EXPECT_TRUE(Import(kLeafWithKey, "").empty());
  EXPECT_TRUE(Import(kEmptyPassword, "secret").empty());
  const std::vector<uint8_t> notPkcs12(kLeafWithKey.blob.begin() + 4, kLeafWithKey.blob.end());
  EXPECT_TRUE(platform::ImportPkcs12Certificates(notPkcs12.data(), notPkcs12.size(), "pass word").empty());
}

int Load(const Pkcs12Fixture& fixture, const std::string& password) {
  return loadClientCertificate("PKCS12", fixture.blob.data(), static_cast<int>(fixture.blob.size()),
                               password.c_str(), static_cast<int>(password.size()));
}

Encodings Kept() {
  Encodings kept;
  for (const ClientCertificateEntry& entry : ClientCertificateList()) kept.push_back(entry.certificate.encoded);
  return kept;
}

// Which certificates follow the leaf depends on the store's order when no
// certificate is self-signed; the chain always starts at the end entity.
TEST(Pkcs12FixtureClientCertificate, KeepsAChainStartingAtTheEndEntity) {
  ASSERT_EQ(Load(kLeafWithKey, "pass word"), 0);
  const Encodings kept = Kept();
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(kept.front(), kLeafWithKey.certificates[0]);
  for (const auto& certificate : kept) {
    EXPECT_NE(std::find(kLeafWithKey.certificates.begin(), kLeafWithKey.certificates.end(), certificate),
              kLeafWithKey.certificates.end());
  }
}

TEST(Pkcs12FixtureClientCertificate, ReportsEachResultAndAFailureKeepsNothing) {
  ASSERT_EQ(Load(kLeafWithKey, "pass word"), 0);
  EXPECT_EQ(Load(kLeafWithKey, "wrong"), 2);
  EXPECT_TRUE(Kept().empty());
  const auto& blob = kLeafWithKey.blob;
  const int size = static_cast<int>(blob.size());
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, nullptr, 9), 3);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, "pass word", 0), 3);
  EXPECT_EQ(loadClientCertificate("pkcs12", blob.data(), size, "pass word", 9), 2);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), size, "pass wordX", 9), 0);
  ASSERT_FALSE(Kept().empty());
  EXPECT_EQ(Kept().front(), kLeafWithKey.certificates[0]);
}

}  // namespace
}  // namespace quorlan
