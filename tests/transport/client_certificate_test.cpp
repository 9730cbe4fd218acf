#include "transport/client_certificate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "quorlan/qrx.h"
#include "test_certificates.h"

namespace quorlan {
namespace {

using platform::ImportedCertificate;
using testing::Encoded;
using testing::MakeCertificate;
using testing::MakeCertificateNamingIssuer;
using testing::MakePkcs12;
using testing::MakePkcs12WithKey;
using testing::TestCertificate;

ImportedCertificate Named(const std::string& subject, const std::string& issuer) {
  ImportedCertificate certificate;
  certificate.subject = subject;
  certificate.issuer = issuer;
  return certificate;
}

std::vector<std::string> Subjects(const std::vector<ImportedCertificate>& certificates) {
  std::vector<std::string> subjects;
  for (const ImportedCertificate& certificate : certificates) subjects.push_back(certificate.subject);
  return subjects;
}

TEST(CertificateChainOrder, RunsFromTheEndEntityToTheRootWhateverTheStoreOrder) {
  std::vector<ImportedCertificate> store{Named("leaf", "inter"), Named("inter", "root"), Named("root", "root")};
  std::sort(store.begin(), store.end(), [](auto& a, auto& b) { return a.subject < b.subject; });
  do {
    EXPECT_EQ(Subjects(OrderCertificateChain(store)), (std::vector<std::string>{"leaf", "inter", "root"}));
  } while (std::next_permutation(store.begin(), store.end(),
                                 [](auto& a, auto& b) { return a.subject < b.subject; }));
}

TEST(CertificateChainOrder, FollowsTheRules) {
  const struct {
    const char* what;
    std::vector<ImportedCertificate> store;
    std::vector<std::string> chain;
  } cases[] = {
      {"empty store", {}, {}},
      {"unrelated self-signed: the last one", {Named("a", "a"), Named("b", "b")}, {"b"}},
      {"none self-signed: from the first", {Named("x", "y"), Named("z", "x")}, {"z", "x"}},
      {"strangers are left out", {Named("leaf", "root"), Named("root", "root"), Named("other", "elsewhere")},
       {"leaf", "root"}},
      {"siblings: the first issued one", {Named("root", "root"), Named("one", "root"), Named("two", "root")},
       {"one", "root"}},
      {"a cycle of two ends", {Named("a", "b"), Named("b", "a")}, {"b", "a"}},
      {"a cycle of three ends", {Named("a", "c"), Named("b", "a"), Named("c", "b")}, {"c", "b", "a"}},
      {"a cycle above a root ends",
       {Named("root", "root"), Named("a", "root"), Named("b", "a"), Named("root2", "b"), Named("a", "root2")},
       {"a", "root2", "b", "a", "root"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Subjects(OrderCertificateChain(c.store)), c.chain) << c.what;
}

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
