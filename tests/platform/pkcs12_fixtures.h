// PKCS #12 blobs made once by make_pkcs12_fixtures (on Linux, with OpenSSL)
// and kept in pkcs12_fixtures.cpp, so that the Windows build, which has no
// OpenSSL, tests its import with the same blobs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlan {
namespace testing {

struct Pkcs12Fixture {
  std::string password;
  std::vector<uint8_t> blob;
  // DER encoding of each certificate, in the order the blob holds them.
  std::vector<std::vector<uint8_t>> certificates;
};

// Every blob holds an RSA key and its certificate first, with no self-signed
// certificate: what every backend reads alike (wine's CryptoAPI reads no
// more).
// "CN=Fixture Leaf" with its key, then its issuer "CN=Fixture Intermediate"
// (issued by "CN=Fixture Root"); password "pass word".
extern const Pkcs12Fixture kLeafWithKey;
// "CN=Fixture Open Leaf" (issued by "CN=Fixture Root") with its key, made
// with an empty password.
extern const Pkcs12Fixture kEmptyPassword;

}  // namespace testing
}  // namespace quorlan
