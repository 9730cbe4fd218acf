// How line settings and raw mode map onto termios.
#pragma once

#include <termios.h>

#include "quorlan/platform/serial_port.h"

namespace quorlan {
namespace platform {

// Sets speed, character size, parity and stop bits. False, with the options
// untouched, for settings that no line can have.
bool SetLineOptions(const SerialLineSettings& settings, termios* options);

// No echo, no line editing, no newline or flow-control translation, reads
// that never block: the line carries bytes, as a COM port does. Speed,
// character size, parity and stop bits stay as they are.
void MakeRawOptions(termios* options);

}  // namespace platform
}  // namespace quorlan
