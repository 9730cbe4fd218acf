// Tag paths: dotted hexadecimal tags such as "E2.E1.E1.E1.C1" or
// "A4.A4.A0(1).81" that select a value inside a message's inner frame.
#pragma once

#include <string>

#include "quorlan/message/message_frame.h"

namespace quorlan {

// The first element names a parameter of the frame by its tag (0x80 to
// 0xBE); each further element picks, among the top-level items of the value
// selected so far, the n-th (from 0) whose tag text is exactly the one given.
// An element that is malformed or matches nothing leaves the value as it is.
// Throws std::invalid_argument when the first element has no hexadecimal
// digit and std::out_of_range when an index exceeds the int range.
Bytes SelectByTagPath(const OrvaneAPIFrameWork& frame, const std::string& path);
// The same, seen inside the frame's bytes.
ByteView SelectByTagPath(const FrameView& frame, const std::string& path);

}  // namespace quorlan
