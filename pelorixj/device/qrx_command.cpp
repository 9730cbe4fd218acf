#include "pelorixj/device/qrx_command.h"

namespace pelorixj {

QrxCommand::QrxCommand(uint16_t commandCode) : handle_(Qrx().createCommand(commandCode)) {}

QrxCommand::~QrxCommand() {
  try {
    Qrx().deleteCommand(handle_);
  } catch (...) {
    // Destructors must not throw; an unbound deleteCommand leaves it to Quorlan.
  }
}

QrxCommand& QrxCommand::Set(uint8_t tag, const std::string& hexValue) {
  Qrx().setCommandParameter(handle_, tag, hexValue);
  return *this;
}

std::string QrxCommand::BytesInHex() const { return Qrx().getCommandBytesInHex(handle_); }

std::string CommandBytesInHex(uint16_t commandCode, const CommandParameters& parameters) {
  QrxCommand command(commandCode);
  for (const auto& [tag, value] : parameters) command.Set(tag, value);
  return command.BytesInHex();
}

}  // namespace pelorixj
