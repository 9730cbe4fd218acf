// A pseudo-terminal pair for serial tests: the library opens the device side
// by its path, the test plays the reader on the controlling side.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorlan {
namespace testing {

// The line settings of the device side, as the kernel holds them.
struct LineState {
  int baudRate = 0;
  int parity = 0;  // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int dataBits = 0;
  bool twoStopBits = false;
  bool raw = false;  // no echo, line editing, translation or flow control
};

class PseudoTerminal {
 public:
  PseudoTerminal();  // throws std::runtime_error when none can be made
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& DevicePath() const { return devicePath_; }

  void Send(const std::vector<uint8_t>& bytes);
  // Collects bytes until count have come or a roomy wait is over.
  std::vector<uint8_t> Receive(size_t count);

  LineState DeviceLineState();
  // Whether the device side is in exclusive mode; nothing when this process
  // cannot look (it takes root while the mode is set).
  std::optional<bool> DeviceIsExclusive();
  // Puts the device side in cooked mode with two stop bits at this speed.
  void SetCookedLine(int baudRate);

 private:
  int controller_ = -1;
  std::string devicePath_;
};

}  // namespace testing
}  // namespace quorlan
