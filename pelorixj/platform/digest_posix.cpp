#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <string>

#include "pelorixj/platform/digest.h"
#include "pelorixj/platform/digest_lines.h"

namespace pelorixj {
namespace {

// What CNG reports for an algorithm it does not know, and for a step that fails.
constexpr uint32_t kStatusNotFound = 0xC0000225;
constexpr uint32_t kStatusUnsuccessful = 0xC0000001;

struct CngAlgorithm {
  const char* identifier;
  const EVP_MD* (*digest)();
};

// Only identifiers that CNG itself accepts, spelled as CNG spells them.
const CngAlgorithm kAlgorithms[] = {
    {"MD5", EVP_md5}, {"SHA1", EVP_sha1}, {"SHA256", EVP_sha256}, {"SHA384", EVP_sha384}, {"SHA512", EVP_sha512},
};

const EVP_MD* DigestNamed(const std::string& identifier) {
  for (const CngAlgorithm& algorithm : kAlgorithms) {
    if (identifier == algorithm.identifier) return algorithm.digest();
  }
  return nullptr;
}

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

bool HashWithCng(const uint8_t* data, uint32_t length, uint8_t* output, uint32_t* inOutLength,
                 const std::string& algorithmName) {
  const EVP_MD* digest = DigestNamed(algorithmName);
  if (digest == nullptr) {
    PrintDigestStepFailed("BCryptOpenAlgorithmProvider", kStatusNotFound);
    return false;
  }
  const auto digestLength = static_cast<uint32_t>(EVP_MD_get_size(digest));
  if (inOutLength == nullptr || output == nullptr || *inOutLength < digestLength) {
    PrintDigestOutputTooSmall(digestLength);
    return false;
  }
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!context) {
    PrintDigestAllocationFailed();
    return false;
  }
  if (EVP_DigestInit_ex(context.get(), digest, nullptr) != 1) {
    PrintDigestStepFailed("BCryptCreateHash", kStatusUnsuccessful);
    return false;
  }
  if (EVP_DigestUpdate(context.get(), data, length) != 1) {
    PrintDigestStepFailed("BCryptHashData", kStatusUnsuccessful);
    return false;
  }
  unsigned char result[EVP_MAX_MD_SIZE];
  unsigned int resultLength = 0;
  if (EVP_DigestFinal_ex(context.get(), result, &resultLength) != 1) {
    PrintDigestStepFailed("BCryptFinishHash", kStatusUnsuccessful);
    return false;
  }
  PrintDigestSuccess();
  std::memcpy(output, result, resultLength);
  *inOutLength = resultLength;
  return true;
}

}  // namespace pelorixj
