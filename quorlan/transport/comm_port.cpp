#include "quorlan/transport/comm_port.h"

namespace quorlan {

CommPort::CommPort(const std::string& connectionString, platform::SerialPortResolver resolver)
    : settings_(ParseSerialConnectionString(connectionString)),
      portName_(resolver ? resolver(settings_.portNumber) : std::string()) {}

CommPort::~CommPort() = default;

std::shared_ptr<platform::SerialPort> CommPort::CurrentPort() {
  std::lock_guard<std::mutex> lock(portMutex_);
  return port_;
}

int CommPort::Open() {
  std::lock_guard<std::mutex> lock(portMutex_);
  if (port_) return kConnectionFailed;
  std::shared_ptr<platform::SerialPort> port = platform::SerialPort::Open(portName_);
  if (!port) return kConnectionFailed;
  if (settings_.line.baudRate != 0 && !port->Configure(settings_.line)) return kConnectionFailed;
  port_ = std::move(port);
  return kConnectionOk;
}

int CommPort::Close() {
  std::lock_guard<std::mutex> lock(portMutex_);
  port_.reset();
  return kConnectionOk;
}

bool CommPort::IsConnected() { return CurrentPort() != nullptr; }

int CommPort::Write(const uint8_t* data, unsigned length) {
  std::shared_ptr<platform::SerialPort> port = CurrentPort();
  if (!port || (data == nullptr && length > 0)) return kConnectionFailed;
  return port->Write(data, length) ? kConnectionOk : kConnectionFailed;
}

int CommPort::ReadAvailable(uint8_t* out, unsigned* length) {
  if (length == nullptr) return kConnectionFailed;
  const unsigned capacity = *length;
  *length = 0;
  std::shared_ptr<platform::SerialPort> port = CurrentPort();
  if (!port || out == nullptr) return kConnectionFailed;
  int count = port->Read(out, capacity, kReadWaitMilliseconds);
  if (count <= 0) return kConnectionFailed;
  *length = static_cast<unsigned>(count);
  return kConnectionOk;
}

}  // namespace quorlan
