// The client certificate chain imported from a PKCS #12 blob, kept for the
// life of the library.
#pragma once

#include <string>
#include <vector>

#include "quorlan/platform/pkcs12.h"

namespace quorlan {

enum ClientCertificateResult : int {
  kCertificateLoaded = 0,
  kCertificateRejected = 2,  // wrong type, or no certificate in the blob
  kCertificateNoPassword = 3,
  kCertificateFailed = -1,   // an exception while loading
};

struct ClientCertificateEntry {
  static constexpr int kCertificateKind = 1;
  int kind = kCertificateKind;
  platform::ImportedCertificate certificate;
};

// The chain from the end-entity certificate to its anchor: the last
// self-signed certificate (or the first one when none is), with the
// certificates it issued put in front, one after the other. Each certificate
// is taken at most once, so names that issue each other in a circle end the
// chain. Certificates not linked into it are left out.
std::vector<platform::ImportedCertificate> OrderCertificateChain(
    const std::vector<platform::ImportedCertificate>& certificates);

// Empties the list, then imports the blob with the password (its first
// passwordLength bytes, ending early at a zero byte) and keeps the ordered
// chain. Type must be exactly "PKCS12". Returns a ClientCertificateResult;
// exceptions pass through.
int LoadClientCertificate(const char* type, const unsigned char* blob, int blobLength,
                          const char* password, int passwordLength);

// A copy of the list as it stands.
std::vector<ClientCertificateEntry> ClientCertificateList();

}  // namespace quorlan
