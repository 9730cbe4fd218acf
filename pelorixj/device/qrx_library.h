// Quorlan's QRX_ functions, loaded by name at run time: Pelorixj does not
// link against Quorlan. A missing library or export is not reported at
// load; each operation that needs a missing function throws
// std::runtime_error("Function (" + operation name + ") initialize failed.")
// without using its arguments.
//
// Texts that Quorlan returns lie in its reused output buffers: each is copied
// right after the call. Nothing here serialises calls into Quorlan.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "pelorixj/platform/export_table.h"
#include "quorlan/qrx.h"

namespace pelorixj {

// The bound exports, in table order.
enum class QrxEntry {
  GetDeviceList,
  OpenDevice,
  CloseDevice,
  IsDeviceOpened,
  AttachObjectToDevice,
  GetAttachedObject,
  SetDeviceStatusChangeCallback,
  SetDataArriveCallback,
  SendMessage,
  SendAndReceiveMessage,
  SendFommatedCommand,  // looked up, never called
  SendCommand,          // looked up, never called
  CreateCommand,
  SetCommandParameter,
  GetCommandBytesInHex,
  DeleteCommand,
  GetFormattedCommandBytesInHex,
  IsNotification,
  GetNotificationCode,
  GetNotificationId,
  GetNotificationParameter,
  GetResponseParameter,
  GetCommandStatus,
  GetOperationStatus,  // looked up, never called
  GetStatusCode,
  GetResponseCommandID,
  IsFile,
  GetFilePayload,
  GetFileMessage,
  SendCommandWithProgress,
  SendCommandStringWithProgress,
};
constexpr int kQrxEntryCount = 31;

// Device and command handles are pointer-sized and pass whole.
using QrxHandle = intptr_t;
// What openDevice returns on failure (besides 0): all bits set.
constexpr QrxHandle kFailedDeviceHandle = -1;

// Called with the fraction of the message sent so far.
using ProgressFunction = std::function<void(double)>;

// Handed to Quorlan with user = the address of a ProgressFunction; calls it
// with the fraction unchanged. A null user does nothing, and nothing that the
// function throws reaches Quorlan.
void QRX_CALL ProgressThunk(void* user, double fraction);

class QrxLibrary : private ExportTable<QrxEntry, kQrxEntryCount> {
 public:
  // Empties the table, loads Quorlan by its file name unless it is loaded,
  // and looks up every entry. Failures only leave entries empty.
  void Load();

  using ExportTable::IsBound;
  using ExportTable::IsLoaded;

  std::string getDeviceList(uint32_t connectionType) const;
  QrxHandle openDevice(uint32_t connectionType, const std::string& address) const;
  void closeDevice(QrxHandle device) const;
  bool isDeviceOpened(QrxHandle device) const;
  void attachObjectToDevice(QrxHandle device, intptr_t object) const;
  intptr_t getAttachedObject(QrxHandle device) const;
  void setDeviceStatusChangeCallback(QrxHandle device, QRX_DeviceStatusChangeCallback callback) const;
  void setDataArriveCallback(QrxHandle device, QRX_DataArriveCallback callback) const;
  int32_t sendMessage(QrxHandle device, const std::string& hex) const;
  std::string sendAndReceiveMessage(QrxHandle device, const std::string& hex, int32_t timeoutMs) const;
  QrxHandle createCommand(uint16_t commandId) const;
  void setCommandParameter(QrxHandle command, uint8_t tag, const std::string& hexValue) const;
  std::string getCommandBytesInHex(QrxHandle command) const;
  void deleteCommand(QrxHandle command) const;
  std::string getFormattedCommandBytesInHex(const std::string& formattedCommand) const;
  bool isNotification(const std::string& message, uint32_t code, uint16_t id) const;
  uint32_t getNotificationCode(const std::string& message) const;
  uint32_t getNotificationId(const std::string& message) const;
  std::string getNotificationParameter(const std::string& message, const std::string& tagPath) const;
  std::string getResponseParameter(const std::string& response, const std::string& tagPath) const;
  // Statuses keep their 32 bits unchanged.
  uint32_t getCommandStatus(const std::string& response) const;
  uint32_t getStatusCode(const std::string& response) const;
  uint32_t getResponseCommandID(const std::string& message) const;
  bool isFile(const std::string& message) const;
  std::string getFilePayload(const std::string& message) const;
  std::string createFileMessage(uint32_t fileId, const std::string& payloadHex, uint16_t code) const;
  // The progress function lives until the call returns.
  std::string sendCommandWithProgress(QrxHandle device, QrxHandle command, ProgressFunction progress,
                                      int32_t timeoutMs) const;
  std::string sendCommandWithProgress(QrxHandle device, const std::string& hex, ProgressFunction progress,
                                      int32_t timeoutMs) const;
};

// The process's binding of Quorlan: loaded on first use (thread-safe), which
// JNI_OnLoad makes happen when the Java VM loads Pelorixj. Never destroyed,
// never reloaded.
const QrxLibrary& Qrx();

}  // namespace pelorixj
