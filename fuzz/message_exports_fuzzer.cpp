// The accessor and command exports given arbitrary texts, as an application
// may pass them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/qrx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const uint32_t code = input.ConsumeIntegral<uint32_t>();
  const uint16_t id = input.ConsumeIntegral<uint16_t>();
  const int tag = input.ConsumeIntegral<int>();
  const std::string path = input.ConsumeRandomLengthString(64);
  // Texts end at their first NUL, as a C caller's would.
  const std::string message = input.ConsumeRemainingBytesAsString();
  const char* text = message.c_str();

  QRX_IsNotification(text, code, id);
  QRX_GetNotificationCode(text);
  QRX_GetNotificationId(text);
  FUZZ_CHECK(QRX_GetNotificationParameter(text, path.c_str()) != nullptr);
  FUZZ_CHECK(QRX_GetResponseParameter(text, path.c_str()) != nullptr);
  QRX_GetCommandStatus(text);
  QRX_GetOperationStatus(text);
  QRX_GetResponseCommandID(text);
  QRX_GetStatusCode(text);
  QRX_IsFile(text);
  QRX_GetFileID(text);
  FUZZ_CHECK(QRX_GetFilePayload(text) != nullptr);
  const char* built = QRX_GetFileMessage(code, text, id);
  FUZZ_CHECK(built != nullptr);
  FUZZ_CHECK(std::strlen(built) % 2 == 0);

  const intptr_t command = QRX_CreateCommand(static_cast<int>(code));
  QRX_SetCommandParameter(command, tag, text);
  QRX_SetCommandParameter(command, tag ^ 1, path.c_str());
  FUZZ_CHECK(std::strlen(QRX_GetCommandBytesInHex(command)) % 2 == 0);
  QRX_DeleteCommand(command);
  return 0;
}
