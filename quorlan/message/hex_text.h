// Hexadecimal text and the small text helpers of the message model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlan {

using Bytes = std::vector<uint8_t>;

// Reads each pair of characters as a base-16 number (strtoul rules); an odd
// last digit becomes a byte of its own and a pair without digits gives 0.
Bytes HexStringToBytes(const std::string& text);

// Upper-case pairs, no separators.
std::string BytesToHexString(const Bytes& bytes);

// BytesToHexString of count bytes at data; the empty text when that fails.
std::string BufferToHexString(const uint8_t* data, int count);

// Minimal big-endian bytes of value as hexadecimal text; "00" for 0 and below.
std::string IntToHexBytes(int value);

Bytes MakeByteVector(const uint8_t* data, int count);

std::string ToUpper(std::string text);

// Pieces between the delimiters, in order; no empty last piece, and an empty
// delimiter gives the whole text.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter);

// Blanks are spaces and tabs.
std::string RightTrimBlanks(std::string text);
std::string TrimBlanks(const std::string& text);

// Escapes backspace, tab, line feed, form feed, carriage return, double
// quote, solidus and backslash with their short forms and the other control
// characters as \u00XX; copies everything else unchanged.
std::string EscapeJsonString(const std::string& text);

}  // namespace quorlan
