// A command object of Quorlan, deleted when this goes out of scope, on every
// path. Creating one fails as createCommand does.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pelorixj/device/qrx_library.h"

namespace pelorixj {

class QrxCommand {
 public:
  explicit QrxCommand(uint16_t commandCode);
  ~QrxCommand();
  QrxCommand(const QrxCommand&) = delete;
  QrxCommand& operator=(const QrxCommand&) = delete;

  QrxCommand& Set(uint8_t tag, const std::string& hexValue);
  std::string BytesInHex() const;
  QrxHandle handle() const { return handle_; }

 private:
  QrxHandle handle_;
};

using CommandParameters = std::vector<std::pair<uint8_t, std::string>>;

// The bytes of a command with these parameters, set in this order; the
// command object is deleted before this returns.
std::string CommandBytesInHex(uint16_t commandCode, const CommandParameters& parameters);

}  // namespace pelorixj
