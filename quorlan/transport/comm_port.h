// The link to a reader on a serial port. It has no reader thread: the
// caller fetches received bytes with ReadAvailable.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "quorlan/platform/serial_port.h"
#include "quorlan/transport/serial_comm.h"
#include "quorlan/transport/serial_connection_string.h"

namespace quorlan {

class CommPort : public SerialComm {
 public:
  // How long ReadAvailable waits for a first byte before it reports none.
  static constexpr int kReadWaitMilliseconds = 100;

  // Parses the connection string (see ParseSerialConnectionString, whose
  // exception it lets through); the resolver names the port to open.
  explicit CommPort(const std::string& connectionString,
                    platform::SerialPortResolver resolver = platform::SystemSerialPortPath);
  ~CommPort() override;

  // Opens the port exclusively and applies the settings; with a baud rate of
  // 0 the port keeps its own line settings. 0, or 255.
  int Open() override;
  int Close() override;
  bool IsConnected() override;
  // Writes every byte and lets them leave the port: 0, or 255.
  int Write(const uint8_t* data, unsigned length) override;
  // One read of at most *length bytes from the port: 0 with *length set to
  // the count, or 255 (not open, failed, or nothing arrived) with *length 0.
  int ReadAvailable(uint8_t* out, unsigned* length) override;

  const SerialConnectionSettings& Settings() const { return settings_; }
  const std::string& PortName() const { return portName_; }

 private:
  std::shared_ptr<platform::SerialPort> CurrentPort();

  SerialConnectionSettings settings_;
  std::string portName_;
  // A read or write in progress keeps its port alive through a Close on
  // another thread; the port closes when the last of them ends.
  std::mutex portMutex_;
  std::shared_ptr<platform::SerialPort> port_;
};

}  // namespace quorlan
