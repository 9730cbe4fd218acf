#include "quorlan/transport/client_certificate.h"

#include <cstring>
#include <mutex>

namespace quorlan {
namespace {

struct CertificateStore {
  std::mutex mutex;
  std::vector<ClientCertificateEntry> entries;
};

CertificateStore& Store() {
  static CertificateStore store;
  return store;
}

bool IsSelfSigned(const platform::ImportedCertificate& certificate) {
  return certificate.subject == certificate.issuer;
}

// Stops at a zero byte without looking past it.
std::string PasswordText(const char* password, int passwordLength) {
  size_t length = 0;
  while (length < static_cast<size_t>(passwordLength) && password[length] != '\0') ++length;
  return std::string(password, length);
}

}  // namespace

std::vector<platform::ImportedCertificate> OrderCertificateChain(
    const std::vector<platform::ImportedCertificate>& certificates) {
  if (certificates.empty()) return {};
  size_t start = 0;
  for (size_t i = 0; i < certificates.size(); ++i) {
    if (IsSelfSigned(certificates[i])) start = i;
  }
  std::vector<bool> taken(certificates.size(), false);
  taken[start] = true;
  std::vector<size_t> chain{start};  // anchor first; reversed at the end
  for (;;) {
    const std::string& subject = certificates[chain.back()].subject;
    size_t next = certificates.size();
    for (size_t i = 0; i < certificates.size(); ++i) {
      if (!taken[i] && !IsSelfSigned(certificates[i]) && certificates[i].issuer == subject) {
        next = i;
        break;
      }
    }
    if (next == certificates.size()) break;
    taken[next] = true;
    chain.push_back(next);
  }
  std::vector<platform::ImportedCertificate> ordered;
  for (auto at = chain.rbegin(); at != chain.rend(); ++at) ordered.push_back(certificates[*at]);
  return ordered;
}

int LoadClientCertificate(const char* type, const unsigned char* blob, int blobLength,
                          const char* password, int passwordLength) {
  CertificateStore& store = Store();
  std::lock_guard<std::mutex> lock(store.mutex);
  store.entries.clear();
  if (type == nullptr || std::strcmp(type, "PKCS12") != 0) return kCertificateRejected;
  if (password == nullptr || passwordLength < 1) return kCertificateNoPassword;
  if (blob == nullptr || blobLength < 1) return kCertificateRejected;

  std::vector<platform::ImportedCertificate> imported = platform::ImportPkcs12Certificates(
      blob, static_cast<size_t>(blobLength), PasswordText(password, passwordLength));
  if (imported.empty()) return kCertificateRejected;
  for (platform::ImportedCertificate& certificate : OrderCertificateChain(imported)) {
    store.entries.push_back({ClientCertificateEntry::kCertificateKind, std::move(certificate)});
  }
  return kCertificateLoaded;
}

std::vector<ClientCertificateEntry> ClientCertificateList() {
  CertificateStore& store = Store();
  std::lock_guard<std::mutex> lock(store.mutex);
  return store.entries;
}

}  // namespace quorlan
