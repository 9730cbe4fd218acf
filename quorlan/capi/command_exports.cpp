// Exports that build commands.
#include "quorlan/qrx.h"

#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/formatted_command.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/message/command_envelope.h"

using namespace quorlan;

namespace {

OrvaneCommand* CommandOf(intptr_t handle) { return reinterpret_cast<OrvaneCommand*>(handle); }

}  // namespace

extern "C" {

QRX_API intptr_t QRX_CALL QRX_CreateCommand(int commandCode) {
  return GuardExport<intptr_t>(0, [&] {
    return reinterpret_cast<intptr_t>(new OrvaneCommand(static_cast<uint16_t>(commandCode)));
  });
}

QRX_API void QRX_CALL QRX_SetCommandParameter(intptr_t command, int tag, const char* hexValue) {
  if (IsNoObject(command) || hexValue == nullptr) return;
  GuardExport([&] {
    CommandOf(command)->frame.SetParameter(StoredKeyOfTag(static_cast<uint8_t>(tag)),
                                           HexStringToBytes(hexValue));
  });
}

QRX_API const char* QRX_CALL QRX_GetCommandBytesInHex(intptr_t command) {
  if (IsNoObject(command)) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return StoreHexInOutputBuffer({ViewOf(CommandOf(command)->Serialize())}, kCommandBytesBuffer);
  });
}

QRX_API void QRX_CALL QRX_DeleteCommand(intptr_t command) {
  if (IsNoObject(command)) return;
  delete CommandOf(command);
}

QRX_API const char* QRX_CALL QRX_GetFormattedCommandBytesInHex(const char* formattedCommand) {
  if (formattedCommand == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    auto bytes = BuildFormattedCommand(formattedCommand);
    return bytes ? StoreHexInOutputBuffer({ViewOf(*bytes)}, kResultBuffer) : kEmptyText;
  });
}

}  // extern "C"
