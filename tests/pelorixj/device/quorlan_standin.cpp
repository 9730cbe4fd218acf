// A stand-in for Quorlan in the binding's tests. Every export answers with
// something that shows which export a call reached and how its arguments
// arrived; StandinLastCall tells what the last export without a text result
// was given. Its variants leave exports out through their version scripts.
#include <cstdint>
#include <string>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using ProgressCallback = void (*)(void*, double);

std::string lastCall;
std::string answer;

const char* Answer(const std::string& text) {
  answer = text;
  return answer.c_str();
}

std::string N(intptr_t value) { return std::to_string(value); }

// In the upper half of every handle it opens.
constexpr intptr_t kOpenedMark = 0x7A5C;

}  // namespace

STANDIN_EXPORT const char* StandinLastCall() { return lastCall.c_str(); }

STANDIN_EXPORT const char* QRX_GetDeviceList(int type) { return Answer("GetDeviceList " + N(type)); }

STANDIN_EXPORT intptr_t QRX_OpenDevice(int type, const char* address) {
  lastCall = "OpenDevice " + N(type) + " " + address;
  return (kOpenedMark << 32) | type;
}

STANDIN_EXPORT void QRX_CloseDevice(intptr_t device) { lastCall = "CloseDevice " + N(device); }

// Only the low byte of a truth value counts: the devices it opened are open.
STANDIN_EXPORT int QRX_IsDeviceOpened(intptr_t device) { return 0x100 | ((device >> 32) == kOpenedMark ? 1 : 0); }

STANDIN_EXPORT void QRX_AttachObjectToDevice(intptr_t device, intptr_t object) {
  lastCall = "AttachObjectToDevice " + N(device) + " " + N(object);
}

STANDIN_EXPORT intptr_t QRX_GetAttachedObject(intptr_t) { return static_cast<intptr_t>(0xFEDCBA9876543210u); }

STANDIN_EXPORT void QRX_SetDeviceStatusChangeCallback(intptr_t device, void (*callback)(void*, int)) {
  lastCall = "SetDeviceStatusChangeCallback " + N(device) + (callback ? " set" : " none");
}

STANDIN_EXPORT void QRX_SetDataArriveCallback(intptr_t device, void (*callback)(void*, const char*)) {
  lastCall = "SetDataArriveCallback " + N(device) + (callback ? " set" : " none");
}

STANDIN_EXPORT int QRX_SendMessage(intptr_t device, const char* hex) {
  lastCall = "SendMessage " + N(device) + " " + hex;
  return 42;
}

STANDIN_EXPORT const char* QRX_SendAndReceiveMessage(intptr_t device, const char* hex, int timeoutMs) {
  return Answer("SendAndReceiveMessage " + N(device) + " " + hex + " " + N(timeoutMs));
}

STANDIN_EXPORT const char* QRX_SendFommatedCommand(intptr_t, const char*, int) { return nullptr; }

STANDIN_EXPORT const char* QRX_SendCommand(intptr_t, intptr_t, int) { return ""; }

STANDIN_EXPORT intptr_t QRX_CreateCommand(int code) { return code; }

STANDIN_EXPORT void QRX_SetCommandParameter(intptr_t command, int tag, const char* hex) {
  lastCall = "SetCommandParameter " + N(command) + " " + N(tag) + " " + hex;
}

STANDIN_EXPORT const char* QRX_GetCommandBytesInHex(intptr_t command) {
  return Answer("GetCommandBytesInHex " + N(command));
}

STANDIN_EXPORT void QRX_DeleteCommand(intptr_t command) { lastCall = "DeleteCommand " + N(command); }

STANDIN_EXPORT const char* QRX_GetFormattedCommandBytesInHex(const char* text) {
  return Answer(std::string("GetFormattedCommandBytesInHex ") + text);
}

STANDIN_EXPORT int QRX_IsNotification(const char* message, uint32_t code, uint32_t id) {
  lastCall = std::string("IsNotification ") + message + " " + N(code) + " " + N(id);
  return 0x101;
}

STANDIN_EXPORT uint32_t QRX_GetNotificationCode(const char*) { return 0xFFFFFFFE; }

STANDIN_EXPORT uint32_t QRX_GetNotificationId(const char*) { return 0x1805; }

STANDIN_EXPORT const char* QRX_GetNotificationParameter(const char* message, const char* path) {
  return Answer(std::string("GetNotificationParameter ") + message + " " + path);
}

STANDIN_EXPORT const char* QRX_GetResponseParameter(const char* message, const char* path) {
  return Answer(std::string("GetResponseParameter ") + message + " " + path);
}

STANDIN_EXPORT int32_t QRX_GetCommandStatus(const char*) { return -2; }

STANDIN_EXPORT int32_t QRX_GetOperationStatus(const char*) { return 0; }

STANDIN_EXPORT int32_t QRX_GetStatusCode(const char*) { return static_cast<int32_t>(0x81000102u); }

STANDIN_EXPORT uint32_t QRX_GetResponseCommandID(const char*) { return 0x1001; }

STANDIN_EXPORT int QRX_IsFile(const char*) { return 0x201; }

STANDIN_EXPORT const char* QRX_GetFilePayload(const char* message) {
  return Answer(std::string("GetFilePayload ") + message);
}

STANDIN_EXPORT const char* QRX_GetFileMessage(uint32_t fileId, const char* payload, uint32_t code) {
  return Answer("GetFileMessage " + N(fileId) + " " + payload + " " + N(code));
}

STANDIN_EXPORT const char* QRX_SendCommandWithProgress(intptr_t device, intptr_t command, ProgressCallback callback,
                                                       void* user, int timeoutMs) {
  if (callback) {
    callback(user, 0.5);
    callback(user, 1.0);
  }
  return Answer("SendCommandWithProgress " + N(device) + " " + N(command) + " " + N(timeoutMs));
}

STANDIN_EXPORT const char* QRX_SendCommandStringWithProgress(intptr_t device, const char* hex,
                                                             ProgressCallback callback, void* user, int timeoutMs) {
  if (callback) callback(user, 1.0);
  return Answer("SendCommandStringWithProgress " + N(device) + " " + hex + " " + N(timeoutMs));
}
