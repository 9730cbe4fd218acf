// The serial-port seam: one port opened for exclusive, raw byte access.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quorlan {
namespace platform {

// Line settings with the meanings a COM port gives them.
struct SerialLineSettings {
  int baudRate = 9600;
  int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int dataBits = 8;  // 5 to 8
  int stopBits = 0;  // 0 one, 1 one and a half, 2 two
};

// Turns a port number ("COMn" gives n) into the path the system opens; an
// empty path names no port.
using SerialPortResolver = std::function<std::string(int portNumber)>;

// The system's own naming of COM ports.
std::string SystemSerialPortPath(int portNumber);

class SerialPort {
 public:
  // Opens the port for exclusive use with no line processing at all, so
  // every byte value passes unchanged. Null when the port is missing, is not
  // a serial port or is in use.
  static std::unique_ptr<SerialPort> Open(const std::string& path);

  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // False when the port refuses the settings; the port keeps its old ones.
  bool Configure(const SerialLineSettings& settings);

  // Writes every byte and waits until they have left the port. False on failure.
  bool Write(const uint8_t* data, unsigned length);

  // Waits up to waitMilliseconds for the first byte, then takes what is
  // there, up to capacity bytes. The count read; 0 when nothing came, -1 on
  // failure.
  int Read(uint8_t* out, unsigned capacity, int waitMilliseconds);

 private:
  explicit SerialPort(intptr_t handle);

  // A file descriptor on POSIX, a HANDLE on Windows.
  intptr_t handle_;
};

}  // namespace platform
}  // namespace quorlan
