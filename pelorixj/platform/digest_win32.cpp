#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <string>

#include "pelorixj/platform/digest.h"
#include "pelorixj/platform/digest_lines.h"

namespace pelorixj {
namespace {

std::wstring Widened(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], count);
  return wide;
}

bool Failed(NTSTATUS status) { return status < 0; }

// What one hash needs from CNG and the process heap, released on every path.
struct CngHash {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  PUCHAR object = nullptr;
  PUCHAR digest = nullptr;

  ~CngHash() {
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (object != nullptr) HeapFree(GetProcessHeap(), 0, object);
    if (digest != nullptr) HeapFree(GetProcessHeap(), 0, digest);
  }
};

DWORD PropertyOf(BCRYPT_ALG_HANDLE algorithm, LPCWSTR property, bool* ok) {
  DWORD value = 0;
  ULONG written = 0;
  const NTSTATUS status =
      BCryptGetProperty(algorithm, property, reinterpret_cast<PUCHAR>(&value), sizeof value, &written, 0);
  *ok = !Failed(status);
  if (!*ok) PrintDigestStageFailed(DigestStage::kReadProperty, static_cast<uint32_t>(status));
  return value;
}

PUCHAR Allocate(DWORD size) {
  auto* block = static_cast<PUCHAR>(HeapAlloc(GetProcessHeap(), 0, size));
  if (block == nullptr) PrintDigestAllocationFailed();
  return block;
}

}  // namespace

// Through CNG, with its buffers from the process heap.
bool WriteDigest(const uint8_t* data, uint32_t length, uint8_t* output, uint32_t* inOutLength,
                 const std::string& algorithmName) {
  CngHash cng;
  const std::wstring name = Widened(algorithmName);
  NTSTATUS status = BCryptOpenAlgorithmProvider(&cng.algorithm, name.c_str(), nullptr, 0);
  if (Failed(status)) {
    cng.algorithm = nullptr;
    PrintDigestStageFailed(DigestStage::kOpenAlgorithm, static_cast<uint32_t>(status));
    return false;
  }
  bool ok = false;
  const DWORD objectLength = PropertyOf(cng.algorithm, BCRYPT_OBJECT_LENGTH, &ok);
  if (!ok) return false;
  cng.object = Allocate(objectLength);
  if (cng.object == nullptr) return false;
  const DWORD digestLength = PropertyOf(cng.algorithm, BCRYPT_HASH_LENGTH, &ok);
  if (!ok) return false;
  if (inOutLength == nullptr || output == nullptr || *inOutLength < digestLength) {
    PrintDigestOutputTooSmall(digestLength);
    return false;
  }
  cng.digest = Allocate(digestLength);
  if (cng.digest == nullptr) return false;
  status = BCryptCreateHash(cng.algorithm, &cng.hash, cng.object, objectLength, nullptr, 0, 0);
  if (Failed(status)) {
    cng.hash = nullptr;
    PrintDigestStageFailed(DigestStage::kCreateHash, static_cast<uint32_t>(status));
    return false;
  }
  status = BCryptHashData(cng.hash, const_cast<PUCHAR>(data), length, 0);
  if (Failed(status)) {
    PrintDigestStageFailed(DigestStage::kHashData, static_cast<uint32_t>(status));
    return false;
  }
  status = BCryptFinishHash(cng.hash, cng.digest, digestLength, 0);
  if (Failed(status)) {
    PrintDigestStageFailed(DigestStage::kFinishHash, static_cast<uint32_t>(status));
    return false;
  }
  PrintDigestSuccess();
  std::memcpy(output, cng.digest, digestLength);
  *inOutLength = digestLength;
  return true;
}

}  // namespace pelorixj
