// The export that loads the client certificate.
#include "quorlan/qrx.h"

#include "quorlan/capi/export_guard.h"
#include "quorlan/transport/client_certificate.h"

extern "C" {

QRX_API int QRX_CALL loadClientCertificate(const char* type, const unsigned char* blob, int blobLength,
                                           const char* password, int passwordLength) {
  return quorlan::GuardExport<int>(quorlan::kCertificateFailed, [&] {
    return quorlan::LoadClientCertificate(type, blob, blobLength, password, passwordLength);
  });
}

}  // extern "C"
