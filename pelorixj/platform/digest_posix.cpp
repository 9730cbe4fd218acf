#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <string>

#include "pelorixj/platform/digest.h"
#include "pelorixj/platform/digest_lines.h"

namespace pelorixj {
namespace {

// The statuses that the lines report for an algorithm not known and for a
// stage that fails: those of CNG, so that they read alike on every platform.
constexpr uint32_t kStatusNotFound = 0xC0000225;
constexpr uint32_t kStatusUnsuccessful = 0xC0000001;

struct NamedAlgorithm {
  const char* identifier;
  const EVP_MD* (*digest)();
};

// Only the identifiers of the interface, spelled as it spells them.
const NamedAlgorithm kAlgorithms[] = {
    {"MD5", EVP_md5}, {"SHA1", EVP_sha1}, {"SHA256", EVP_sha256}, {"SHA384", EVP_sha384}, {"SHA512", EVP_sha512},
};

const EVP_MD* DigestNamed(const std::string& identifier) {
  for (const NamedAlgorithm& algorithm : kAlgorithms) {
    if (identifier == algorithm.identifier) return algorithm.digest();
  }
  return nullptr;
}

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

// Through OpenSSL's EVP digests.
bool WriteDigest(const uint8_t* data, uint32_t length, uint8_t* output, uint32_t* inOutLength,
                 const std::string& algorithmName) {
  const EVP_MD* digest = DigestNamed(algorithmName);
  if (digest == nullptr) {
    PrintDigestStageFailed(DigestStage::kOpenAlgorithm, kStatusNotFound);
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
    PrintDigestStageFailed(DigestStage::kCreateHash, kStatusUnsuccessful);
    return false;
  }
  if (EVP_DigestUpdate(context.get(), data, length) != 1) {
    PrintDigestStageFailed(DigestStage::kHashData, kStatusUnsuccessful);
    return false;
  }
  unsigned char result[EVP_MAX_MD_SIZE];
  unsigned int resultLength = 0;
  if (EVP_DigestFinal_ex(context.get(), result, &resultLength) != 1) {
    PrintDigestStageFailed(DigestStage::kFinishHash, kStatusUnsuccessful);
    return false;
  }
  PrintDigestSuccess();
  std::memcpy(output, result, resultLength);
  *inOutLength = resultLength;
  return true;
}

}  // namespace pelorixj
