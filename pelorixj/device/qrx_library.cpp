#include "pelorixj/device/qrx_library.h"

namespace pelorixj {
namespace {

// Export names in table order, spelled as Quorlan exports them.
const char* const kExportNames[kQrxEntryCount] = {
    "QRX_GetDeviceList",
    "QRX_OpenDevice",
    "QRX_CloseDevice",
    "QRX_IsDeviceOpened",
    "QRX_AttachObjectToDevice",
    "QRX_GetAttachedObject",
    "QRX_SetDeviceStatusChangeCallback",
    "QRX_SetDataArriveCallback",
    "QRX_SendMessage",
    "QRX_SendAndReceiveMessage",
    "QRX_SendFommatedCommand",
    "QRX_SendCommand",
    "QRX_CreateCommand",
    "QRX_SetCommandParameter",
    "QRX_GetCommandBytesInHex",
    "QRX_DeleteCommand",
    "QRX_GetFormattedCommandBytesInHex",
    "QRX_IsNotification",
    "QRX_GetNotificationCode",
    "QRX_GetNotificationId",
    "QRX_GetNotificationParameter",
    "QRX_GetResponseParameter",
    "QRX_GetCommandStatus",
    "QRX_GetOperationStatus",
    "QRX_GetStatusCode",
    "QRX_GetResponseCommandID",
    "QRX_IsFile",
    "QRX_GetFilePayload",
    "QRX_GetFileMessage",
    "QRX_SendCommandWithProgress",
    "QRX_SendCommandStringWithProgress",
};

// An empty function is passed as no function at all, so the thunk never
// calls an empty one.
void* ProgressUser(ProgressFunction& progress) { return progress ? &progress : nullptr; }

}  // namespace

void QRX_CALL ProgressThunk(void* user, double fraction) {
  if (user == nullptr) return;
  try {
    (*static_cast<ProgressFunction*>(user))(fraction);
  } catch (...) {
    // Quorlan is a C interface: nothing may unwind into it.
  }
}

void QrxLibrary::Load() { ExportTable::Load(kQuorlanLibraryFile, kExportNames); }

std::string QrxLibrary::getDeviceList(uint32_t connectionType) const {
  auto call = Require<decltype(&QRX_GetDeviceList)>(QrxEntry::GetDeviceList, "getDeviceList");
  return CopyText(call(static_cast<int>(connectionType)));
}

QrxHandle QrxLibrary::openDevice(uint32_t connectionType, const std::string& address) const {
  auto call = Require<decltype(&QRX_OpenDevice)>(QrxEntry::OpenDevice, "openDevice");
  return call(static_cast<int>(connectionType), address.c_str());
}

void QrxLibrary::closeDevice(QrxHandle device) const {
  Require<decltype(&QRX_CloseDevice)>(QrxEntry::CloseDevice, "closeDevice")(device);
}

bool QrxLibrary::isDeviceOpened(QrxHandle device) const {
  return Require<decltype(&QRX_IsDeviceOpened)>(QrxEntry::IsDeviceOpened, "isDeviceOpened")(device) != 0;
}

void QrxLibrary::attachObjectToDevice(QrxHandle device, intptr_t object) const {
  Require<decltype(&QRX_AttachObjectToDevice)>(QrxEntry::AttachObjectToDevice, "attachObjectToDevice")(device,
                                                                                                         object);
}

intptr_t QrxLibrary::getAttachedObject(QrxHandle device) const {
  return Require<decltype(&QRX_GetAttachedObject)>(QrxEntry::GetAttachedObject, "getAttachedObject")(device);
}

void QrxLibrary::setDeviceStatusChangeCallback(QrxHandle device, QRX_DeviceStatusChangeCallback callback) const {
  Require<decltype(&QRX_SetDeviceStatusChangeCallback)>(QrxEntry::SetDeviceStatusChangeCallback,
                                                        "setDeviceStatusChangeCallback")(device, callback);
}

void QrxLibrary::setDataArriveCallback(QrxHandle device, QRX_DataArriveCallback callback) const {
  Require<decltype(&QRX_SetDataArriveCallback)>(QrxEntry::SetDataArriveCallback, "setDataArriveCallback")(device,
                                                                                                         callback);
}

int32_t QrxLibrary::sendMessage(QrxHandle device, const std::string& hex) const {
  return Require<decltype(&QRX_SendMessage)>(QrxEntry::SendMessage, "sendMessage")(device, hex.c_str());
}

std::string QrxLibrary::sendAndReceiveMessage(QrxHandle device, const std::string& hex, int32_t timeoutMs) const {
  auto call = Require<decltype(&QRX_SendAndReceiveMessage)>(QrxEntry::SendAndReceiveMessage, "sendAndReceiveMessage");
  return CopyText(call(device, hex.c_str(), timeoutMs));
}

QrxHandle QrxLibrary::createCommand(uint16_t commandId) const {
  return Require<decltype(&QRX_CreateCommand)>(QrxEntry::CreateCommand, "createCommand")(commandId);
}

void QrxLibrary::setCommandParameter(QrxHandle command, uint8_t tag, const std::string& hexValue) const {
  Require<decltype(&QRX_SetCommandParameter)>(QrxEntry::SetCommandParameter, "setCommandParameter")(
      command, tag, hexValue.c_str());
}

std::string QrxLibrary::getCommandBytesInHex(QrxHandle command) const {
  auto call = Require<decltype(&QRX_GetCommandBytesInHex)>(QrxEntry::GetCommandBytesInHex, "getCommandBytesInHex");
  return CopyText(call(command));
}

void QrxLibrary::deleteCommand(QrxHandle command) const {
  Require<decltype(&QRX_DeleteCommand)>(QrxEntry::DeleteCommand, "deleteCommand")(command);
}

std::string QrxLibrary::getFormattedCommandBytesInHex(const std::string& formattedCommand) const {
  auto call = Require<decltype(&QRX_GetFormattedCommandBytesInHex)>(QrxEntry::GetFormattedCommandBytesInHex,
                                                                    "getFormattedCommandBytesInHex");
  return CopyText(call(formattedCommand.c_str()));
}

bool QrxLibrary::isNotification(const std::string& message, uint32_t code, uint16_t id) const {
  auto call = Require<decltype(&QRX_IsNotification)>(QrxEntry::IsNotification, "isNotification");
  return call(message.c_str(), code, id) != 0;
}

uint32_t QrxLibrary::getNotificationCode(const std::string& message) const {
  return Require<decltype(&QRX_GetNotificationCode)>(QrxEntry::GetNotificationCode, "getNotificationCode")(
      message.c_str());
}

uint32_t QrxLibrary::getNotificationId(const std::string& message) const {
  return Require<decltype(&QRX_GetNotificationId)>(QrxEntry::GetNotificationId, "getNotificationId")(
      message.c_str());
}

std::string QrxLibrary::getNotificationParameter(const std::string& message, const std::string& tagPath) const {
  auto call = Require<decltype(&QRX_GetNotificationParameter)>(QrxEntry::GetNotificationParameter,
                                                               "getNotificationParameter");
  return CopyText(call(message.c_str(), tagPath.c_str()));
}

std::string QrxLibrary::getResponseParameter(const std::string& response, const std::string& tagPath) const {
  auto call = Require<decltype(&QRX_GetResponseParameter)>(QrxEntry::GetResponseParameter, "getResponseParameter");
  return CopyText(call(response.c_str(), tagPath.c_str()));
}

uint32_t QrxLibrary::getCommandStatus(const std::string& response) const {
  auto call = Require<decltype(&QRX_GetCommandStatus)>(QrxEntry::GetCommandStatus, "getCommandStatus");
  return static_cast<uint32_t>(call(response.c_str()));
}

uint32_t QrxLibrary::getStatusCode(const std::string& response) const {
  auto call = Require<decltype(&QRX_GetStatusCode)>(QrxEntry::GetStatusCode, "getStatusCode");
  return static_cast<uint32_t>(call(response.c_str()));
}

uint32_t QrxLibrary::getResponseCommandID(const std::string& message) const {
  return Require<decltype(&QRX_GetResponseCommandID)>(QrxEntry::GetResponseCommandID, "getResponseCommandID")(
      message.c_str());
}

bool QrxLibrary::isFile(const std::string& message) const {
  return Require<decltype(&QRX_IsFile)>(QrxEntry::IsFile, "isFile")(message.c_str()) != 0;
}

std::string QrxLibrary::getFilePayload(const std::string& message) const {
  return CopyText(Require<decltype(&QRX_GetFilePayload)>(QrxEntry::GetFilePayload, "getFilePayload")(message.c_str()));
}

std::string QrxLibrary::createFileMessage(uint32_t fileId, const std::string& payloadHex, uint16_t code) const {
  auto call = Require<decltype(&QRX_GetFileMessage)>(QrxEntry::GetFileMessage, "createFileMessage");
  return CopyText(call(fileId, payloadHex.c_str(), code));
}

std::string QrxLibrary::sendCommandWithProgress(QrxHandle device, QrxHandle command, ProgressFunction progress,
                                                int32_t timeoutMs) const {
  auto call = Require<decltype(&QRX_SendCommandWithProgress)>(QrxEntry::SendCommandWithProgress,
                                                              "sendCommandWithProgress");
  return CopyText(call(device, command, ProgressThunk, ProgressUser(progress), timeoutMs));
}

std::string QrxLibrary::sendCommandWithProgress(QrxHandle device, const std::string& hex, ProgressFunction progress,
                                                int32_t timeoutMs) const {
  auto call = Require<decltype(&QRX_SendCommandStringWithProgress)>(QrxEntry::SendCommandStringWithProgress,
                                                                    "sendCommandWithProgress");
  return CopyText(call(device, hex.c_str(), ProgressThunk, ProgressUser(progress), timeoutMs));
}

const QrxLibrary& Qrx() {
  static const QrxLibrary* const library = [] {
    auto* loaded = new QrxLibrary();
    loaded->Load();
    return loaded;
  }();
  return *library;
}

}  // namespace pelorixj
