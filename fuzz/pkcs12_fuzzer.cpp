// PKCS #12 import of arbitrary blobs, through the loader the export calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/transport/client_certificate.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string password = input.ConsumeRandomLengthString(16);
  const std::vector<uint8_t> blob = input.ConsumeRemainingBytes<uint8_t>();
  const int result = LoadClientCertificate("PKCS12", blob.data(), static_cast<int>(blob.size()), password.c_str(),
                                           static_cast<int>(password.size()));
  FUZZ_CHECK(result == kCertificateLoaded || result == kCertificateRejected || result == kCertificateNoPassword);
  if (result == kCertificateLoaded) FUZZ_CHECK(!ClientCertificateList().empty());
  return 0;
}
