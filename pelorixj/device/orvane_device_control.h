// The control object of a reader of the newer platform: it owns the link to
// one Quorlan device, hands Quorlan two plain callbacks that pass what the
// reader sends to the owner's handlers, and sends commands.
//
// Quorlan reaches the control through the process's DeviceHandleMap, never
// through the value attached to the device: a status report may run while
// or after Quorlan destroys the device, and after this control is gone.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "pelorixj/device/control_handlers.h"
#include "pelorixj/device/device_records.h"
#include "pelorixj/device/idevice_control.h"
#include "pelorixj/device/link_sequence.h"
#include "pelorixj/device/qrx_library.h"
#include "pelorixj/device/response_waits.h"

namespace pelorixj {

class OrvaneIDeviceControl : public IDeviceControl {
 public:
  // text is one entry of Quorlan's device list, whose string "Path" becomes
  // the address, or else the address itself.
  OrvaneIDeviceControl(uint32_t connectionType, std::string text);
  // Tells the watchers, then waits for callbacks running with this control
  // on other threads and for its closes handed off. Does not close the
  // device.
  ~OrvaneIDeviceControl();
  OrvaneIDeviceControl(const OrvaneIDeviceControl&) = delete;
  OrvaneIDeviceControl& operator=(const OrvaneIDeviceControl&) = delete;

  // Opening and closing are one sequence (see LinkSequence), whose every
  // change the status handler hears in order: true for each link opened,
  // false for each closed, on the thread that made the change unless
  // another one is reporting then. Quorlan's own report of a close is not
  // passed on.
  //
  // True when open; "connected" when it opens the link, none when it is
  // open already. Threads that open at once open one link.
  bool Open() override;
  // True, also when not open. When it takes the link, the watchers are told
  // and the link is closed: here, or, on a thread inside a listener or
  // callback, handed off, so that this returns at once. Each handle is
  // closed once, whichever of several closing threads gets it.
  bool Close() override;
  bool Send(ByteDataRecord command) override;
  // Status 0 with the reply; 1 when no reply came; 2 when the exchange
  // failed, and with nothing sent for a message longer than
  // QRX_MAX_MESSAGE_LENGTH; 3, and nothing sent, when not open.
  DeviceResponse SendSync(ByteDataRecord command) override;
  bool SendExtendedCommand(ByteDataRecord command) override;
  bool EndSession() override;
  bool SetDateTime(ByteDataRecord dateTime) override;
  bool PlaySound(ByteDataRecord sound) override;
  bool GetInput(ByteDataRecord request) override;
  // The reader's parameter 0x81 takes timeout and 0x82 messageId.
  bool DisplayMessage(uint8_t messageId, uint8_t timeout) override;
  // Only images of type 0 are sent.
  bool ShowImageObject(ImageObject image, uint8_t option) override;
  bool ShowImage(uint8_t imageId) override;
  bool ShowBarCode(BarCodeRequest request, uint8_t option, const std::string* text) override;
  bool SetLatch(bool enable) override;
  // Opens the device first when it is closed.
  bool DeviceReset() override;
  void SendFormattedCommand(std::string formattedCommand) override;

  virtual bool IsOpened() const;
  // Opens the device when it is closed; whether it is open then.
  bool OpenIfClosed();
  // Quorlan's handle of the open device; 0 when not open.
  QrxHandle DeviceHandle() const { return link_.Current(); }
  // These three throw std::runtime_error "Device is not opened." or
  // "timeout" (no reply), and return the reply as upper-case hexadecimal.
  virtual std::string SendCommandStringWithProgress(const std::string& hexCommand, ProgressFunction progress,
                                                    int32_t timeoutMs);
  virtual std::string SendCommandWithProgress(QrxHandle command, ProgressFunction progress, int32_t timeoutMs);
  virtual std::string SendSyncWithTimeout(const std::string& hexCommand, int32_t timeoutMs);

  // Set by the owning device. Whatever Quorlan reports of a link means that
  // it is gone: the control closes it, which the status handler hears.
  void SetDataArriveHandler(DataArriveHandler handler) { handlers_.SetDataArriveHandler(std::move(handler)); }
  void SetStatusChangeHandler(StatusChangeHandler handler) { handlers_.SetStatusChangeHandler(std::move(handler)); }

  // Watchers of configuration operations; each is told when the control
  // closes or is destroyed.
  WatcherToken AddWatcher(MessageWatcher watcher) { return handlers_.AddWatcher(std::move(watcher)); }
  void RemoveWatcher(WatcherToken token) { handlers_.RemoveWatcher(token); }

  const ConnectionInfo& GetConnectionInfo() const { return connectionInfo_; }

  // Set before the control is used from other threads.
  void SetResponseWaits(const ResponseWaits& waits) { waits_ = waits; }
  const ResponseWaits& Waits() const { return waits_; }

  // The plain callbacks handed to Quorlan. Reports for handles that no
  // control holds are ignored; nothing unwinds into Quorlan.
  static void QRX_CALL DataArriveThunk(void* device, const char* hexMessage);
  static void QRX_CALL StatusChangeThunk(void* device, int status);

 private:
  // The handle of the open device; throws "Device is not opened." when closed.
  QrxHandle OpenHandle() const;
  // Sends fixed command text and tells whether the reader's status is 0.
  bool SendFixed(const std::string& hexCommand);
  // Sends a built command with the usual wait; its reply's command status.
  uint32_t CommandStatusOfBuilt(QrxHandle command);
  // Quorlan's calls that open, register on and close a link.
  LinkSequence::Calls LinkCalls();

  const ConnectionInfo connectionInfo_;
  ControlHandlers handlers_;
  ResponseWaits waits_;
  // After the handlers, which its reports use.
  LinkSequence link_;
};

// A watcher present on a control from construction to destruction.
class ScopedWatcher {
 public:
  ScopedWatcher(OrvaneIDeviceControl& control, MessageWatcher watcher)
      : control_(control), token_(control.AddWatcher(std::move(watcher))) {}
  ~ScopedWatcher() { control_.RemoveWatcher(token_); }
  ScopedWatcher(const ScopedWatcher&) = delete;
  ScopedWatcher& operator=(const ScopedWatcher&) = delete;

 private:
  OrvaneIDeviceControl& control_;
  const WatcherToken token_;
};

}  // namespace pelorixj
