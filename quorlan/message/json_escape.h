// Text placed between the quotes of a JSON string.
#pragma once

#include <string>

namespace quorlan {

// Escapes backspace, tab, line feed, form feed, carriage return, double
// quote, solidus and backslash with their short forms and the other control
// characters as \u00XX; copies everything else unchanged.
std::string EscapeJsonString(const std::string& text);

}  // namespace quorlan
