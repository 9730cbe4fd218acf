#include "test_certificates.h"

#include <stdexcept>

#include <openssl/pkcs12.h>
#include <openssl/provider.h>

namespace quorlan {
namespace testing {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

std::shared_ptr<EVP_PKEY> NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  Check(key != nullptr, "key generation failed");
  return std::shared_ptr<EVP_PKEY>(key, EVP_PKEY_free);
}

std::shared_ptr<EVP_PKEY> NewRsaKey() {
  EVP_PKEY* key = EVP_RSA_gen(2048);
  Check(key != nullptr, "key generation failed");
  return std::shared_ptr<EVP_PKEY>(key, EVP_PKEY_free);
}

void SetCommonName(X509_NAME* name, const std::string& commonName) {
  Check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0) == 1,
        "name entry failed");
}

TestCertificate Build(const std::string& commonName, const std::string& issuerName,
                      std::shared_ptr<EVP_PKEY> key, EVP_PKEY* signingKey) {
  static long serial = 1;
  std::shared_ptr<X509> certificate(X509_new(), X509_free);
  Check(certificate != nullptr, "X509_new failed");
  X509* raw = certificate.get();
  X509_set_version(raw, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(raw), serial++);
  X509_gmtime_adj(X509_getm_notBefore(raw), -3600);
  X509_gmtime_adj(X509_getm_notAfter(raw), 3600L * 24 * 365);
  SetCommonName(X509_get_subject_name(raw), commonName);
  SetCommonName(X509_get_issuer_name(raw), issuerName);
  Check(X509_set_pubkey(raw, key.get()) == 1, "set public key failed");
  Check(X509_sign(raw, signingKey, EVP_sha256()) > 0, "signing failed");
  return TestCertificate{key, certificate, commonName};
}

struct StackFreer {
  void operator()(STACK_OF(X509) * stack) const { sk_X509_free(stack); }
};

std::vector<unsigned char> Pkcs12Of(EVP_PKEY* key, X509* certificate,
                                    const std::vector<TestCertificate>& others, const char* password) {
  std::unique_ptr<STACK_OF(X509), StackFreer> stack(sk_X509_new_null());
  for (const TestCertificate& other : others) sk_X509_push(stack.get(), other.certificate.get());
  PKCS12* pkcs12 = PKCS12_create(password, "client", key, certificate, stack.get(), 0, 0, 0, 0, 0);
  Check(pkcs12 != nullptr, "PKCS12_create failed");
  unsigned char* encoded = nullptr;
  int length = i2d_PKCS12(pkcs12, &encoded);
  PKCS12_free(pkcs12);
  Check(length > 0, "i2d_PKCS12 failed");
  std::vector<unsigned char> blob(encoded, encoded + length);
  OPENSSL_free(encoded);
  return blob;
}

}  // namespace

TestCertificate MakeCertificate(const std::string& commonName, const TestCertificate* issuer) {
  std::shared_ptr<EVP_PKEY> key = NewKey();
  if (issuer == nullptr) return Build(commonName, commonName, key, key.get());
  return Build(commonName, issuer->subject, key, issuer->key.get());
}

TestCertificate MakeRsaCertificate(const std::string& commonName, const TestCertificate* issuer) {
  std::shared_ptr<EVP_PKEY> key = NewRsaKey();
  if (issuer == nullptr) return Build(commonName, commonName, key, key.get());
  return Build(commonName, issuer->subject, key, issuer->key.get());
}

TestCertificate MakeCertificateNamingIssuer(const std::string& commonName, const std::string& issuerName) {
  std::shared_ptr<EVP_PKEY> key = NewKey();
  return Build(commonName, issuerName, key, key.get());
}

std::vector<unsigned char> MakePkcs12(const std::vector<TestCertificate>& certificates, const char* password) {
  return Pkcs12Of(nullptr, nullptr, certificates, password);
}

std::vector<unsigned char> MakePkcs12WithKey(const TestCertificate& owner,
                                             const std::vector<TestCertificate>& others,
                                             const char* password) {
  return Pkcs12Of(owner.key.get(), owner.certificate.get(), others, password);
}

std::vector<unsigned char> MakeLegacyPkcs12(const TestCertificate& certificate, const char* password) {
  // The legacy ciphers live in a context of this call alone, so that the code
  // under test gets no help from this process's default context.
  std::unique_ptr<OSSL_LIB_CTX, void (*)(OSSL_LIB_CTX*)> context(OSSL_LIB_CTX_new(), OSSL_LIB_CTX_free);
  Check(context != nullptr, "OSSL_LIB_CTX_new failed");
  OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(context.get(), "legacy");
  OSSL_PROVIDER* builtin = OSSL_PROVIDER_load(context.get(), "default");
  Check(legacy != nullptr && builtin != nullptr, "no legacy provider");
  PKCS12* pkcs12 = PKCS12_create_ex(password, "client", nullptr, certificate.certificate.get(), nullptr, 0,
                                    NID_pbe_WithSHA1And40BitRC2_CBC, 0, 0, 0, context.get(), nullptr);
  Check(pkcs12 != nullptr, "PKCS12_create_ex failed");
  unsigned char* encoded = nullptr;
  int length = i2d_PKCS12(pkcs12, &encoded);
  PKCS12_free(pkcs12);
  OSSL_PROVIDER_unload(legacy);
  OSSL_PROVIDER_unload(builtin);
  Check(length > 0, "i2d_PKCS12 failed");
  std::vector<unsigned char> blob(encoded, encoded + length);
  OPENSSL_free(encoded);
  return blob;
}

std::vector<uint8_t> Encoded(const TestCertificate& certificate) {
  unsigned char* encoded = nullptr;
  int length = i2d_X509(certificate.certificate.get(), &encoded);
  Check(length > 0, "i2d_X509 failed");
  std::vector<uint8_t> bytes(encoded, encoded + length);
  OPENSSL_free(encoded);
  return bytes;
}

}  // namespace testing
}  // namespace quorlan
