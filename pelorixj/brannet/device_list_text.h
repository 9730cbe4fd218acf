// Reading the device list text of the older family's library: addresses
// separated by ",", each led by its prefix.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

// The addresses that listing the connection type gives: the whole text
// upper-cased and split at every "," (no trimming), the pieces that begin
// with the type's listing prefix, each once, in the order of the text.
// Empty for types without a listing prefix.
std::vector<std::string> ListedAddresses(uint32_t connectionType, const std::string& list);

// The first match of "HID://[^,]+" in the text, case-sensitive; empty when
// there is none.
std::string FirstHidAddress(const std::string& list);

}  // namespace pelorixj
