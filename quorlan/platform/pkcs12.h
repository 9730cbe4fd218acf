// The PKCS #12 seam: the certificates of a password-protected PFX blob.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorlan {
namespace platform {

struct ImportedCertificate {
  std::vector<uint8_t> encoded;  // DER
  // Distinguished names as text; equal names give equal texts.
  std::string subject;
  std::string issuer;
};

// Every certificate of the blob, in the order the blob holds them. Empty when
// the blob is not PKCS #12, the password does not open it, or it holds no
// certificate.
std::vector<ImportedCertificate> ImportPkcs12Certificates(const uint8_t* blob, size_t length,
                                                          const std::string& password);

}  // namespace platform
}  // namespace quorlan
