// Chain ordering on names alone: needs no certificates, so it runs on every
// platform.
#include "quorlan/transport/client_certificate.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorlan {
namespace {

using platform::ImportedCertificate;

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

}  // namespace
}  // namespace quorlan
