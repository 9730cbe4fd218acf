#include "pelorixj/platform/digest.h"

#include <limits>

namespace pelorixj {
namespace {

// Room for the largest digest of any algorithm offered.
constexpr uint32_t kDigestRoom = 256;

}  // namespace

std::vector<uint8_t> ComputeDigest(const std::vector<uint8_t>& data, const std::string& algorithmName) {
  if (data.size() > std::numeric_limits<uint32_t>::max()) return {};
  std::vector<uint8_t> digest(kDigestRoom);
  uint32_t length = kDigestRoom;
  if (!WriteDigest(data.data(), static_cast<uint32_t>(data.size()), digest.data(), &length, algorithmName)) return {};
  digest.resize(length);
  return digest;
}

}  // namespace pelorixj
