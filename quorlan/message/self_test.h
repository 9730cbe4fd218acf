// The self-test of the command encoding: needs no reader.
#pragma once

namespace quorlan {

// Builds 99 x 99 commands with parameters 1 and 2 of 1 to 99 bytes, sends
// each through hexadecimal text and back, reads it again and returns the
// number of differences found (0 when the encoding is sound). Advances the
// command sequence counter by 2 x 9801 draws.
int CountCommandEncodingMismatches();

}  // namespace quorlan
