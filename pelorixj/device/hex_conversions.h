// Hexadecimal conversions of the device layer. Its decoder, HexPairsToBytes,
// is stricter about length and looser about digits than Quorlan's: text of
// odd length gives no bytes, and a character that is not a hexadecimal digit
// counts as 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

using Bytes = std::vector<uint8_t>;

// Upper-case pairs, no separators, as Quorlan writes them.
std::string BytesToHexString(const Bytes& bytes);

Bytes HexPairsToBytes(const std::string& hex);

// Whether the text is whole pairs of hexadecimal digits, either case; the
// empty text is (no pairs). Text from callers is checked with it, so that
// nothing HexPairsToBytes would read as 0 or drop is sent.
bool IsHexPairs(const std::string& text);

// Copies the decoded bytes to buffer when buffer and count are given and
// *count is at least their number; then sets *count to that number, also
// when nothing was copied, so that a caller learns the size it needs.
void HexToBuffer(const std::string& hex, uint8_t* buffer, int* count);

// The decoded bytes as a text, zero bytes included.
std::string HexToText(const std::string& hex);

// The text's bytes as hexadecimal text.
std::string TextToHex(const std::string& text);

// Numbers as fixed-width upper-case hexadecimal: 2, 4 and 8 digits.
std::string HexByte(uint8_t value);
std::string Hex4(uint16_t value);
std::string Hex8(uint32_t value);

}  // namespace pelorixj
