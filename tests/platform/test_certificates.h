// Certificates and PKCS #12 blobs made on the spot for tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <openssl/evp.h>
#include <openssl/x509.h>

namespace quorlan {
namespace testing {

struct TestCertificate {
  std::shared_ptr<EVP_PKEY> key;
  std::shared_ptr<X509> certificate;
  std::string subject;  // common name
};

// A certificate for commonName with a fresh key, signed by the issuer, or by
// itself when there is none.
TestCertificate MakeCertificate(const std::string& commonName, const TestCertificate* issuer = nullptr);

// The same with an RSA key (2048 bits): slower to make, but the only kind
// of key some PKCS #12 importers take.
TestCertificate MakeRsaCertificate(const std::string& commonName, const TestCertificate* issuer);

// A certificate naming issuerName as its issuer, signed with its own key: for
// names that do not form a proper chain.
TestCertificate MakeCertificateNamingIssuer(const std::string& commonName, const std::string& issuerName);

// A PKCS #12 blob holding the certificates in this order, with no key.
std::vector<unsigned char> MakePkcs12(const std::vector<TestCertificate>& certificates,
                                      const char* password);

// A PKCS #12 blob holding the key and certificate of owner and the others.
std::vector<unsigned char> MakePkcs12WithKey(const TestCertificate& owner,
                                             const std::vector<TestCertificate>& others,
                                             const char* password);

// A PKCS #12 blob holding the certificate, encrypted with the 40-bit RC2
// cipher of older exporters.
std::vector<unsigned char> MakeLegacyPkcs12(const TestCertificate& certificate, const char* password);

// The DER encoding of a certificate.
std::vector<uint8_t> Encoded(const TestCertificate& certificate);

}  // namespace testing
}  // namespace quorlan
