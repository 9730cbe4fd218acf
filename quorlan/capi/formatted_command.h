// Formatted command text: "CODE,TAG=VALUE,..." in hexadecimal.
#pragma once

#include <optional>
#include <string>

#include "quorlan/message/hex_text.h"

namespace quorlan {

// The envelope bytes of the command the text describes, or nothing when the
// text does not follow the grammar.
std::optional<Bytes> BuildFormattedCommand(const std::string& text);

}  // namespace quorlan
