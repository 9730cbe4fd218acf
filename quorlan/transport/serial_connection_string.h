// "SERIAL://PORT=COM3,BAUDRATE=115200,PARITY=N,DATABITS=8,STOPBITS=1"
#pragma once

#include <stdexcept>
#include <string>

#include "quorlan/platform/serial_port.h"

namespace quorlan {

struct SerialConnectionSettings {
  int portNumber = 0;
  platform::SerialLineSettings line;
};

struct InvalidConnectionString : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

// Reads the items case-insensitively, with or without the "SERIAL://"
// prefix. Items without a key and a value, and unknown keys, are skipped; a
// later item overrides an earlier one. Numbers are read as atoi reads them
// (0 for text that is no number). Throws InvalidConnectionString for a
// PARITY or STOPBITS value outside its list.
SerialConnectionSettings ParseSerialConnectionString(const std::string& text);

}  // namespace quorlan
