#include "quorlan/platform/pkcs12.h"

#include <windows.h>

#include <wincrypt.h>

namespace quorlan {
namespace platform {
namespace {

constexpr DWORD kNameFormat = CERT_X500_NAME_STR | CERT_NAME_STR_NO_PLUS_FLAG;

// The password as UTF-16 from the thread's code page; false when it cannot
// be converted, and the import then goes on without one.
bool Widen(const std::string& text, std::wstring* wide) {
  const int size = MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 0) return false;
  wide->assign(static_cast<size_t>(size), L'\0');
  if (MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, &(*wide)[0], size) != size) return false;
  wide->resize(static_cast<size_t>(size - 1));
  return true;
}

// The whole name: a name cut short could equal another one.
std::string NameText(DWORD encoding, CERT_NAME_BLOB* name) {
  const DWORD size = CertNameToStrA(encoding, name, kNameFormat, nullptr, 0);
  if (size <= 1) return {};
  std::string text(size, '\0');
  CertNameToStrA(encoding, name, kNameFormat, &text[0], size);
  text.resize(size - 1);
  return text;
}

}  // namespace

std::vector<ImportedCertificate> ImportPkcs12Certificates(const uint8_t* blob, size_t length,
                                                          const std::string& password) {
  if (blob == nullptr || length == 0 || length > MAXDWORD) return {};
  std::wstring widePassword;
  const bool widened = Widen(password, &widePassword);
  CRYPT_DATA_BLOB data{static_cast<DWORD>(length), const_cast<BYTE*>(blob)};
  HCERTSTORE store =
      PFXImportCertStore(&data, widened ? widePassword.c_str() : nullptr, CRYPT_EXPORTABLE | CRYPT_USER_KEYSET);
  if (store == nullptr) return {};

  std::vector<ImportedCertificate> certificates;
  PCCERT_CONTEXT context = nullptr;
  while ((context = CertEnumCertificatesInStore(store, context)) != nullptr) {
    ImportedCertificate certificate;
    certificate.encoded.assign(context->pbCertEncoded, context->pbCertEncoded + context->cbCertEncoded);
    certificate.subject = NameText(context->dwCertEncodingType, &context->pCertInfo->Subject);
    certificate.issuer = NameText(context->dwCertEncodingType, &context->pCertInfo->Issuer);
    certificates.push_back(std::move(certificate));
  }
  CertCloseStore(store, CERT_CLOSE_STORE_CHECK_FLAG);
  return certificates;
}

}  // namespace platform
}  // namespace quorlan
