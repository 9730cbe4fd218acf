// Plain text helpers of the message model: upper-casing, splitting at a
// delimiter and trimming blanks. ASCII only; other bytes pass unchanged.
#pragma once

#include <string>
#include <vector>

namespace quorlan {

std::string ToUpper(std::string text);

// Pieces between the delimiters, in order; no empty last piece, and an empty
// delimiter gives the whole text.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter);

// Blanks are spaces and tabs.
std::string RightTrimBlanks(std::string text);
std::string TrimBlanks(const std::string& text);

}  // namespace quorlan
