// The older family's device list text, as its library hands it over:
// listing by connection type and the first USB address of an open path.
#include <cstddef>
#include <cstdint>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "pelorixj/brannet/address_prefixes.h"
#include "pelorixj/brannet/device_list_text.h"

using namespace pelorixj;

namespace {

// The listing written another way: a stream split and a character-wise
// upper-casing of ASCII letters only.
std::vector<std::string> ExpectedAddresses(const std::string& prefix, const std::string& list) {
  std::vector<std::string> addresses;
  if (prefix.empty()) return addresses;
  std::set<std::string> seen;
  std::istringstream pieces(list);
  for (std::string piece; std::getline(pieces, piece, ',');) {
    for (char& c : piece) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    if (piece.rfind(prefix, 0) == 0 && seen.insert(piece).second) addresses.push_back(piece);
  }
  return addresses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the connection type, supported or not.
  const uint32_t connectionType = data[0];
  const std::string list(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::vector<std::string> addresses = ListedAddresses(connectionType, list);
  FUZZ_CHECK(addresses == ExpectedAddresses(ListingPrefix(connectionType), list));

  const std::string first = FirstHidAddress(list);
  // std::regex recurses per character: only short texts are compared with it.
  if (list.size() <= 512) {
    static const std::regex kHidAddress("HID://[^,]+");
    std::smatch match;
    FUZZ_CHECK(first == (std::regex_search(list, match, kHidAddress) ? match.str() : std::string()));
  } else if (!first.empty()) {
    FUZZ_CHECK(first.compare(0, 6, "HID://") == 0 && first.size() > 6);
    FUZZ_CHECK(first.find(',') == std::string::npos);
    FUZZ_CHECK(list.find(first) == list.find("HID://" + first.substr(6, 1)));
  }
  return 0;
}
