#include "pelorixj/brannet/device_list_text.h"

#include <set>
#include <utility>

#include "pelorixj/brannet/address_prefixes.h"
#include "quorlan/message/plain_text.h"

namespace pelorixj {

std::vector<std::string> ListedAddresses(uint32_t connectionType, const std::string& list) {
  std::vector<std::string> addresses;
  const std::string prefix = ListingPrefix(connectionType);
  if (prefix.empty()) return addresses;
  // An address listed twice, in any case, is one device.
  std::set<std::string> listed;
  for (std::string& address : quorlan::SplitString(quorlan::ToUpper(list), ",")) {
    if (address.compare(0, prefix.size(), prefix) != 0 || !listed.insert(address).second) continue;
    addresses.push_back(std::move(address));
  }
  return addresses;
}

// Found without std::regex, whose matcher recurses once per character of a
// long address.
std::string FirstHidAddress(const std::string& list) {
  static const std::string kPrefix = "HID://";
  for (size_t at = list.find(kPrefix); at != std::string::npos; at = list.find(kPrefix, at + 1)) {
    const size_t rest = at + kPrefix.size();
    if (rest < list.size() && list[rest] != ',') return list.substr(at, list.find(',', rest) - at);
  }
  return "";
}

}  // namespace pelorixj
