// The control object of a reader of the older family: it owns the device
// handle of the outside library, opens and closes it, sends data and
// commands, and passes the library's callbacks to the handlers that its
// device binds. The display operations are not offered by this family.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/device/idevice_control.h"
#include "pelorixj/device/link_sequence.h"

namespace pelorixj {

// Bound once by the device; called on the library's threads.
struct BrannetHandlers {
  std::function<void(bool connected)> connectionStateChanged;
  std::function<void(std::string text)> dataReceived;
  std::function<void(std::string text)> deviceResponse;
  std::function<void(uint32_t code, std::string text)> notificationData;
};

class BrannetIDeviceControl : public IDeviceControl {
 public:
  BrannetIDeviceControl(uint32_t connectionType, std::string address, BrannetHandlers handlers);
  // Does not close the device: its owner does. Waits for its closes handed
  // off, until which the library may still call back with this control.
  ~BrannetIDeviceControl() = default;
  BrannetIDeviceControl(const BrannetIDeviceControl&) = delete;
  BrannetIDeviceControl& operator=(const BrannetIDeviceControl&) = delete;

  // Opening and closing are one sequence (see LinkSequence).
  //
  // True at once when the link is connected. Otherwise closes a handle
  // that is open first, so that no callback of it can outlive this control,
  // and opens anew. Threads that open at once open one link. False when the
  // device did not open.
  bool Open() override;
  // True also when nothing was open. The handle is closed here, or, on a
  // thread inside a listener or callback, handed off, so that this returns
  // at once. Each handle is closed once, whichever of several closing
  // threads gets it.
  bool Close() override;
  bool Send(ByteDataRecord command) override;
  // Status 0 with the reply re-encoded in upper case; 2 when the library
  // reports a non-zero result code or the call fails; 3, and nothing sent,
  // when not connected.
  DeviceResponse SendSync(ByteDataRecord command) override;
  bool SendExtendedCommand(ByteDataRecord) override { return false; }
  bool EndSession() override { return false; }
  bool SetDateTime(ByteDataRecord) override { return false; }
  bool PlaySound(ByteDataRecord) override { return false; }
  bool GetInput(ByteDataRecord) override { return false; }
  bool DisplayMessage(uint8_t, uint8_t) override { return false; }
  bool ShowImageObject(ImageObject, uint8_t) override { return false; }
  bool ShowImage(uint8_t) override { return false; }
  bool ShowBarCode(BarCodeRequest, uint8_t, const std::string*) override { return false; }
  bool SetLatch(bool) override { return false; }
  bool DeviceReset() override;
  // This family sends no formatted commands.
  void SendFormattedCommand(std::string) override {}

  bool IsDeviceConnected();
  // 0 when not open.
  int GetProductId();
  // -2 when not open.
  int GetResultCode();

  // {0, the connection type, the address}: the open path is built from it.
  const ConnectionInfo& GetConnectionInfo() const { return connectionInfo_; }

  // Registered with the library, this control as the context; they take
  // any payload, and a null or unbound context does nothing.
  static void ConnectionStateChangedCallback(BrannetHandle, void* context, int connected);
  static void DataReceivedCallback(BrannetHandle, void* context, const char* text);
  static void DeviceResponseCallback(BrannetHandle, void* context, const char* text);
  static void NotificationDataCallback(BrannetHandle, void* context, uint32_t code, const char* text);

 private:
  // The handlers of the control that is a callback's context; null when
  // there is none or they are not bound.
  static const BrannetHandlers* HandlersOf(void* context);
  // The library's calls that open, register on and close a link.
  LinkSequence::Calls LinkCalls();

  const ConnectionInfo connectionInfo_;
  const BrannetHandlers handlers_;
  // Last: the library calls back with this control until its closes end.
  LinkSequence link_;
};

}  // namespace pelorixj
