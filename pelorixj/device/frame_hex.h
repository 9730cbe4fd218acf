// The shared message frame read and filled from hexadecimal text with the
// device layer's decoder (HexPairsToBytes) instead of Quorlan's.
#pragma once

#include <cstdint>
#include <string>

#include "quorlan/message/message_frame.h"

namespace pelorixj {

// Throws std::runtime_error("invalid data") when the text decodes to fewer
// than 3 bytes, which includes every text of odd length.
quorlan::OrvaneAPIFrameWork ParseHex(const std::string& hex);

// Whether bytes 4 on of a file message's header (its parameter 1) are the
// file id, which names the file.
bool HeaderNamesFile(const quorlan::Bytes& header, const quorlan::Bytes& fileId);

// Stores the decoded value under the key of the tag, as the frame's own
// SetParameterFromTag does.
void SetParameterFromTag(quorlan::OrvaneAPIFrameWork& frame, uint8_t tag, const std::string& hex);

}  // namespace pelorixj
