#include "quorlan/platform/serial_port.h"

#include <windows.h>

namespace quorlan {
namespace platform {
namespace {

HANDLE Port(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Binary transfer with no flow control and no byte replaced or dropped;
// speed, character size, parity and stop bits stay as they are.
bool MakeRaw(HANDLE port) {
  DCB line{};
  line.DCBlength = sizeof line;
  if (!GetCommState(port, &line)) return false;
  line.fBinary = TRUE;
  line.fParity = FALSE;
  line.fOutxCtsFlow = FALSE;
  line.fOutxDsrFlow = FALSE;
  line.fDtrControl = DTR_CONTROL_ENABLE;
  line.fDsrSensitivity = FALSE;
  line.fOutX = FALSE;
  line.fInX = FALSE;
  line.fErrorChar = FALSE;
  line.fNull = FALSE;
  line.fRtsControl = RTS_CONTROL_ENABLE;
  line.fAbortOnError = FALSE;
  return SetCommState(port, &line) != FALSE;
}

// Reads return at once with what has arrived, or wait up to
// waitMilliseconds for the first byte.
bool SetReadWait(HANDLE port, int waitMilliseconds) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  if (waitMilliseconds != 0) {
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant =
        waitMilliseconds > 0 ? static_cast<DWORD>(waitMilliseconds) : MAXDWORD - 1;
  }
  return SetCommTimeouts(port, &timeouts) != FALSE;
}

}  // namespace

std::string SystemSerialPortPath(int portNumber) {
  char path[32];
  wsprintfA(path, "\\\\.\\COM%d", portNumber);
  return path;
}

std::unique_ptr<SerialPort> SerialPort::Open(const std::string& path) {
  if (path.empty()) return nullptr;
  // No sharing: the port is ours alone while open.
  HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (port == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<SerialPort> opened(new SerialPort(reinterpret_cast<intptr_t>(port)));
  // Known time-outs from the start: writes never time out.
  if (!MakeRaw(port) || !SetReadWait(port, 0)) return nullptr;
  SetupComm(port, 10000, 10000);
  return opened;
}

SerialPort::SerialPort(intptr_t handle) : handle_(handle) {}

SerialPort::~SerialPort() { CloseHandle(Port(handle_)); }

bool SerialPort::Configure(const SerialLineSettings& settings) {
  DCB line{};
  line.DCBlength = sizeof line;
  if (!GetCommState(Port(handle_), &line)) return false;
  line.BaudRate = static_cast<DWORD>(settings.baudRate);
  line.ByteSize = static_cast<BYTE>(settings.dataBits);
  line.Parity = static_cast<BYTE>(settings.parity);
  line.StopBits = static_cast<BYTE>(settings.stopBits);
  return SetCommState(Port(handle_), &line) != FALSE;
}

bool SerialPort::Write(const uint8_t* data, unsigned length) {
  DWORD errors = 0;
  ClearCommError(Port(handle_), &errors, nullptr);
  unsigned written = 0;
  while (written < length) {
    DWORD count = 0;
    if (!WriteFile(Port(handle_), data + written, length - written, &count, nullptr)) return false;
    if (count == 0) return false;
    written += count;
  }
  // Waits until the bytes have left, where discarding the transmit queue
  // could lose what the driver still held.
  return FlushFileBuffers(Port(handle_)) != FALSE;
}

int SerialPort::Read(uint8_t* out, unsigned capacity, int waitMilliseconds) {
  if (capacity == 0) return 0;
  if (!SetReadWait(Port(handle_), waitMilliseconds)) return -1;
  DWORD errors = 0;
  ClearCommError(Port(handle_), &errors, nullptr);
  DWORD count = 0;
  if (!ReadFile(Port(handle_), out, capacity, &count, nullptr)) return -1;
  return static_cast<int>(count);
}

}  // namespace platform
}  // namespace quorlan
