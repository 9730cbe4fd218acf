#include "quorlan/transport/client_certificate.h"

#include <gtest/gtest.h>

#include "quorlan/qrx.h"
#include "test_certificates.h"

namespace quorlan {
namespace {

using testing::Encoded;
using testing::MakeCertificate;
using testing::MakeCertificateNamingIssuer;
using testing::MakePkcs12;
using testing::MakePkcs12WithKey;
using testing::TestCertificate;

class LoadClientCertificate : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TestCertificate(MakeCertificate("Load Root"));
    intermediate_ = new TestCertificate(MakeCertificate("Load Intermediate", root_));
    leaf_ = new TestCertificate(MakeCertificate("Load Leaf", intermediate_));
  }
  static void TearDownTestSuite() {
    delete leaf_;
    delete intermediate_;
    delete root_;
  }

  static int Load(const std::vector<unsigned char>& blob, const char* password, const char* type = "PKCS12") {
    return loadClientCertificate(type, blob.data(), static_cast<int>(blob.size()), password,
                                 password ? static_cast<int>(std::string(password).size()) : 0);
  }

  static std::vector<std::vector<uint8_t>> Kept() {
    std::vector<std::vector<uint8_t>> kept;
    for (const ClientCertificateEntry& entry : ClientCertificateList()) {
      EXPECT_EQ(entry.kind, ClientCertificateEntry::kCertificateKind);
      kept.push_back(entry.certificate.encoded);
    }
    return kept;
  }

  static TestCertificate* root_;
  static TestCertificate* intermediate_;
  static TestCertificate* leaf_;
};

TestCertificate* LoadClientCertificate::root_ = nullptr;
TestCertificate* LoadClientCertificate::intermediate_ = nullptr;
TestCertificate* LoadClientCertificate::leaf_ = nullptr;

TEST_F(LoadClientCertificate, KeepsAChainGivenOutOfOrderFromEndEntityToRoot) {
  EXPECT_EQ(Load(MakePkcs12({*root_, *leaf_, *intermediate_}, "secret"), "secret"), kCertificateLoaded);
  EXPECT_EQ(Kept(), (std::vector<std::vector<uint8_t>>{Encoded(*leaf_), Encoded(*intermediate_), Encoded(*root_)}));
}

TEST_F(LoadClientCertificate, LoadsABlobWithAPrivateKey) {
  EXPECT_EQ(Load(MakePkcs12WithKey(*leaf_, {*root_, *intermediate_}, "secret"), "secret"), kCertificateLoaded);
  EXPECT_EQ(Kept().size(), 3u);
}

TEST_F(LoadClientCertificate, KeepsOnlyTheLastOfUnrelatedCertificates) {
  TestCertificate other = MakeCertificate("Unrelated Root");
  EXPECT_EQ(Load(MakePkcs12({*root_, other}, "secret"), "secret"), kCertificateLoaded);
  EXPECT_EQ(Kept(), std::vector<std::vector<uint8_t>>{Encoded(other)});
}

TEST_F(LoadClientCertificate, EndsForNamesThatIssueEachOther) {
  TestCertificate a = MakeCertificateNamingIssuer("Circle A", "Circle B");
  TestCertificate b = MakeCertificateNamingIssuer("Circle B", "Circle A");
  EXPECT_EQ(Load(MakePkcs12({a, b}, "secret"), "secret"), kCertificateLoaded);
  EXPECT_EQ(Kept(), (std::vector<std::vector<uint8_t>>{Encoded(b), Encoded(a)}));
}

TEST_F(LoadClientCertificate, ReadsThePasswordUpToItsLengthOrAZeroByte) {
  auto blob = MakePkcs12({*root_}, "secret");
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), static_cast<int>(blob.size()), "secretive", 6),
            kCertificateLoaded);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), static_cast<int>(blob.size()), "secret\0junk", 11),
            kCertificateLoaded);
  EXPECT_EQ(loadClientCertificate("PKCS12", blob.data(), static_cast<int>(blob.size()), "secretive", 9),
            kCertificateRejected);
}

TEST_F(LoadClientCertificate, TakesPasswordsOfAnyLength) {
  const std::string longPassword(300, 'p');
  EXPECT_EQ(Load(MakePkcs12({*root_}, longPassword.c_str()), longPassword.c_str()), kCertificateLoaded);
}

TEST_F(LoadClientCertificate, EveryFailureLeavesTheListEmpty) {
  const auto blob = MakePkcs12({*root_, *intermediate_}, "secret");
  const int size = static_cast<int>(blob.size());
  const std::vector<unsigned char> garbage(200, 0x30);
  const struct {
    const char* what;
    const char* type;
    const unsigned char* blob;
    int blobLength;
    const char* password;
    int passwordLength;
    int result;
  } cases[] = {
      {"lower-case type", "pkcs12", blob.data(), size, "secret", 6, kCertificateRejected},
      {"other type", "PFX", blob.data(), size, "secret", 6, kCertificateRejected},
      {"null type", nullptr, blob.data(), size, "secret", 6, kCertificateRejected},
      {"null password", "PKCS12", blob.data(), size, nullptr, 6, kCertificateNoPassword},
      {"empty password", "PKCS12", blob.data(), size, "secret", 0, kCertificateNoPassword},
      {"negative password length", "PKCS12", blob.data(), size, "secret", -1, kCertificateNoPassword},
      {"wrong password", "PKCS12", blob.data(), size, "Secret", 6, kCertificateRejected},
      {"null blob", "PKCS12", nullptr, size, "secret", 6, kCertificateRejected},
      {"empty blob", "PKCS12", blob.data(), 0, "secret", 6, kCertificateRejected},
      {"negative blob length", "PKCS12", blob.data(), -8, "secret", 6, kCertificateRejected},
      {"cut blob", "PKCS12", blob.data(), size / 2, "secret", 6, kCertificateRejected},
      {"no PKCS #12", "PKCS12", garbage.data(), 200, "secret", 6, kCertificateRejected},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Load(blob, "secret"), kCertificateLoaded);
    ASSERT_EQ(Kept().size(), 2u);
    EXPECT_EQ(loadClientCertificate(c.type, c.blob, c.blobLength, c.password, c.passwordLength), c.result)
        << c.what;
    EXPECT_TRUE(Kept().empty()) << c.what;
  }
}

}  // namespace
}  // namespace quorlan
