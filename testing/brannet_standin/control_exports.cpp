// The control functions of the tests.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "brannet/standin_control.h"
#include "standin.h"

using brannet_standin::Cue;
using brannet_standin::Reader;
using brannet_standin::Standin;

namespace {

std::optional<std::string> Copy(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

int Fire(intptr_t handle, Cue::Kind kind, const char* text, int connected = 0,
         uint32_t code = 0) {
  Cue cue;
  cue.kind = kind;
  cue.text = Copy(text);
  cue.connected = connected;
  cue.code = code;
  return Standin::Instance().Fire(handle, std::move(cue)) ? 1 : 0;
}

}  // namespace

void BrannetStandin_Reset(void) { Standin::Instance().Reset(); }

void BrannetStandin_SetDeviceList(const char* text) { Standin::Instance().SetDeviceList(text); }

void BrannetStandin_AddDevice(const char* path) {
  Standin::Instance().ChangeReader(path, [](Reader&) {});
}

void BrannetStandin_SetConnected(const char* path, int connected) {
  Standin::Instance().ChangeReader(path, [=](Reader& reader) { reader.connected = connected; });
}

void BrannetStandin_SetProductId(const char* path, int productId) {
  Standin::Instance().ChangeReader(path, [=](Reader& reader) { reader.productId = productId; });
}

void BrannetStandin_SetResultCode(const char* path, int resultCode) {
  Standin::Instance().ChangeReader(path, [=](Reader& reader) { reader.resultCode = resultCode; });
}

void BrannetStandin_SetSendResult(const char* path, int result) {
  Standin::Instance().ChangeReader(path, [=](Reader& reader) { reader.sendResult = result; });
}

void BrannetStandin_SetReply(const char* path, const char* command, const char* reply) {
  Standin::Instance().ChangeReader(path, [&](Reader& reader) {
    reader.replies[command ? command : ""] = Copy(reply);
  });
}

void BrannetStandin_HoldOpen(int hold) { Standin::Instance().HoldOpen(hold != 0); }

int BrannetStandin_WaitOpenHeld(int timeoutMs) {
  return Standin::Instance().WaitOpenHeld(timeoutMs) ? 1 : 0;
}

intptr_t BrannetStandin_OpenHandle(const char* path) {
  return Standin::Instance().OpenHandle(path);
}

int BrannetStandin_FireConnectionState(intptr_t handle, int connected) {
  return Fire(handle, Cue::Kind::kConnectionState, nullptr, connected);
}

int BrannetStandin_FireDataReceived(intptr_t handle, const char* text) {
  return Fire(handle, Cue::Kind::kDataReceived, text);
}

int BrannetStandin_FireDeviceResponse(intptr_t handle, const char* text) {
  return Fire(handle, Cue::Kind::kDeviceResponse, text);
}

int BrannetStandin_FireNotification(intptr_t handle, uint32_t code, const char* text) {
  return Fire(handle, Cue::Kind::kNotification, text, 0, code);
}

void BrannetStandin_WaitDelivered(intptr_t handle) { Standin::Instance().WaitDelivered(handle); }

size_t BrannetStandin_CallLog(char* buffer, size_t size) {
  const std::string log = Standin::Instance().CallLog();
  if (buffer && size > 0) {
    const size_t count = std::min(log.size(), size - 1);
    std::memcpy(buffer, log.data(), count);
    buffer[count] = '\0';
  }
  return log.size();
}

void BrannetStandin_ClearCallLog(void) { Standin::Instance().ClearCallLog(); }
