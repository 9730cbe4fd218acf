// BER-TLV nodes read from and written as hexadecimal text with the device
// layer's decoder.
#pragma once

#include <string>

#include "quorlan/message/ber_tlv.h"

namespace pelorixj {

// Text of odd length gives no nodes.
quorlan::TlvNodes ParseBerTlvFlatHex(const std::string& hex);
quorlan::TlvNodes ParseBerTlvTopLevelHex(const std::string& hex);

// Tag, the node's stated length in BER form, then its value text.
std::string TlvNodeToHex(const quorlan::TlvNode& node);

}  // namespace pelorixj
