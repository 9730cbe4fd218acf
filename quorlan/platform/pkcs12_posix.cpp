#include "quorlan/platform/pkcs12.h"

#include <climits>
#include <memory>

#include <openssl/bio.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/x509.h>

namespace quorlan {
namespace platform {
namespace {

template <class T, void (*Free)(T*)>
struct Freer {
  void operator()(T* object) const { Free(object); }
};

using Pkcs12Pointer = std::unique_ptr<PKCS12, Freer<PKCS12, PKCS12_free>>;
using X509Pointer = std::unique_ptr<X509, Freer<X509, X509_free>>;
using BioPointer = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;

struct SafesFreer {
  void operator()(STACK_OF(PKCS7) * safes) const { sk_PKCS7_pop_free(safes, PKCS7_free); }
};
struct BagsFreer {
  void operator()(STACK_OF(PKCS12_SAFEBAG) * bags) const {
    sk_PKCS12_SAFEBAG_pop_free(bags, PKCS12_SAFEBAG_free);
  }
};
using SafesPointer = std::unique_ptr<STACK_OF(PKCS7), SafesFreer>;
using BagsPointer = std::unique_ptr<STACK_OF(PKCS12_SAFEBAG), BagsFreer>;

std::string NameText(const X509_NAME* name) {
  BioPointer memory(BIO_new(BIO_s_mem()));
  if (!memory || X509_NAME_print_ex(memory.get(), name, 0, XN_FLAG_RFC2253) < 0) return {};
  char* text = nullptr;
  long length = BIO_get_mem_data(memory.get(), &text);
  return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

bool AddCertificate(X509* certificate, std::vector<ImportedCertificate>& out) {
  unsigned char* encoded = nullptr;
  int length = i2d_X509(certificate, &encoded);
  if (length <= 0) return false;
  ImportedCertificate imported;
  imported.encoded.assign(encoded, encoded + length);
  OPENSSL_free(encoded);
  imported.subject = NameText(X509_get_subject_name(certificate));
  imported.issuer = NameText(X509_get_issuer_name(certificate));
  out.push_back(std::move(imported));
  return true;
}

bool CollectCertificates(const STACK_OF(PKCS12_SAFEBAG) * bags,
                         std::vector<ImportedCertificate>& out) {
  for (int i = 0; i < sk_PKCS12_SAFEBAG_num(bags); ++i) {
    const PKCS12_SAFEBAG* bag = sk_PKCS12_SAFEBAG_value(bags, i);
    switch (PKCS12_SAFEBAG_get_nid(bag)) {
      case NID_certBag: {
        if (PKCS12_SAFEBAG_get_bag_nid(bag) != NID_x509Certificate) break;
        X509Pointer certificate(PKCS12_SAFEBAG_get1_cert(bag));
        if (!certificate || !AddCertificate(certificate.get(), out)) return false;
        break;
      }
      case NID_safeContentsBag:
        if (!CollectCertificates(PKCS12_SAFEBAG_get0_safes(bag), out)) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

// Blobs of older exporters (Windows among them) encrypt their certificates
// with 40-bit RC2, which OpenSSL keeps in its legacy provider: loaded beside
// the default provider for one import, and unloaded again.
struct ProviderUnloader {
  void operator()(OSSL_PROVIDER* provider) const { OSSL_PROVIDER_unload(provider); }
};
using ProviderPointer = std::unique_ptr<OSSL_PROVIDER, ProviderUnloader>;

}  // namespace

std::vector<ImportedCertificate> ImportPkcs12Certificates(const uint8_t* blob, size_t length,
                                                          const std::string& password) {
  if (blob == nullptr || length == 0 || length > static_cast<size_t>(LONG_MAX)) return {};
  ProviderPointer legacyCiphers(OSSL_PROVIDER_try_load(nullptr, "legacy", 1));
  const unsigned char* cursor = blob;
  Pkcs12Pointer pkcs12(d2i_PKCS12(nullptr, &cursor, static_cast<long>(length)));
  if (!pkcs12) return {};

  const char* pass = password.c_str();
  int passLength = static_cast<int>(password.size());
  if (PKCS12_mac_present(pkcs12.get()) && !PKCS12_verify_mac(pkcs12.get(), pass, passLength)) {
    // Blobs made without a password are protected by an absent one, which an
    // empty password also stands for.
    if (!password.empty() || !PKCS12_verify_mac(pkcs12.get(), nullptr, 0)) return {};
    pass = nullptr;
  }

  SafesPointer safes(PKCS12_unpack_authsafes(pkcs12.get()));
  if (!safes) return {};
  std::vector<ImportedCertificate> certificates;
  for (int i = 0; i < sk_PKCS7_num(safes.get()); ++i) {
    PKCS7* safe = sk_PKCS7_value(safes.get(), i);
    BagsPointer bags;
    switch (OBJ_obj2nid(safe->type)) {
      case NID_pkcs7_data:
        bags.reset(PKCS12_unpack_p7data(safe));
        break;
      case NID_pkcs7_encrypted:
        bags.reset(PKCS12_unpack_p7encdata(safe, pass, pass ? passLength : 0));
        break;
      default:
        continue;
    }
    // A part that cannot be opened fails the whole import, as a partial
    // chain would be no use.
    if (!bags || !CollectCertificates(bags.get(), certificates)) return {};
  }
  return certificates;
}

}  // namespace platform
}  // namespace quorlan
