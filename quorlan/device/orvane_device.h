// One reader connection of the flat C interface: a connection and a
// communication package chosen by device type, sends with or without waiting
// for the response, and delivery of every received message through a queue.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "quorlan/device/operation_queue.h"
#include "quorlan/device/sent_envelopes.h"
#include "quorlan/platform/hid.h"
#include "quorlan/transport/communication_package.h"
#include "quorlan/transport/serial_comm.h"

namespace quorlan {

// Device types the interface accepts; only USB HID and TCP can be opened.
enum DeviceType : int {
  kDeviceTypeUsbHid = 0,
  kDeviceTypeBle = 1,
  kDeviceTypeTcp = 4,
  kDeviceTypeTls12 = 5,
  kDeviceTypeWebSocket = 8,
};

class OrvaneDevice {
 public:
  using Message = std::vector<uint8_t>;
  using DataCallback = std::function<void(OrvaneDevice*, Message)>;
  using StatusCallback = std::function<void(OrvaneDevice*, int)>;
  using Progress = std::function<void(double)>;

  static constexpr uint32_t kAlive = 0x4B525658;
  static constexpr uint32_t kDestroyed = 0xFFFFFFFF;

  explicit OrvaneDevice(std::shared_ptr<platform::HidBackend> hidBackend = platform::SystemHidBackend());
  // Ends the waits in progress and waits for them and for state reports to
  // finish; queued messages are dropped. Not to be called from the device's
  // own status callback.
  virtual ~OrvaneDevice();
  OrvaneDevice(const OrvaneDevice&) = delete;
  OrvaneDevice& operator=(const OrvaneDevice&) = delete;

  // Releases the connection, then takes the type; throws "Invalid device
  // type" for any type but 0, 1, 4, 5 and 8.
  virtual void SetDeviceType(int type);
  // Lists the readers of a USB HID device; false for every other type.
  virtual bool GetDeviceList(SerialComm::DeviceListEntry onEntry, std::string filter);
  // A connection that reports state 0 (a TCP link lost) releases the device
  // as Close does, but reports that state instead of 1.
  virtual bool Open(std::string address);
  // Reports status 1 when the device was open, or 0 when its link had failed
  // and no report of the loss had begun, then releases it. Returns once the
  // reports of a loss under way are made (at once from inside a state
  // report). Always true.
  virtual bool Close();
  virtual bool IsOpen();
  // True once the whole message is written. False when the device is not
  // open, the package refuses the message (nothing is written) or a write
  // fails (the rest is not written).
  virtual bool SendWithProgress(Message bytes, Progress progress);
  virtual bool Send(Message bytes);
  // Writes the bytes without framing and returns a block the connection
  // delivers; empty on time-out. Overlapping raw waits take the blocks in the
  // order they started, one block each. Throws "Device is not opened.".
  virtual Message SendRawAndWait(Message bytes, int timeoutMs);
  // Returns a message that arrives after the send (only responses when
  // waitForResponse); empty on time-out, and at once when the send fails or
  // the device is released meanwhile. Every message still reaches the data
  // callback. Throws "Device is not opened.".
  //
  // Any number of waits may overlap; a message goes to one wait at most. A
  // response answers an envelope sent (a command or a file message) by its
  // command id, which is the envelope's code, and better by the sequence byte
  // as well, which readers echo. It goes to the open wait whose envelope it
  // answers best, the oldest among equals, unless it answers better one of
  // the last SentEnvelopes::kCapacity envelopes sent whose wait has ended or
  // that were sent without a wait: then it is late, and no wait takes it.
  // A response that answers nothing sent goes to the oldest wait. An envelope
  // sent again with the same code and sequence byte (the fixed envelopes of
  // some callers) cannot be told from the earlier one: its wait takes the
  // first such response, the earlier one's late answer included.
  virtual Message SendAndWaitWithProgress(Message bytes, Progress progress, int timeoutMs, bool waitForResponse);
  virtual Message SendAndWait(Message bytes, int timeoutMs, bool waitForResponse);

  void SetDataCallback(DataCallback callback);
  void SetStatusCallback(StatusCallback callback);
  // Ends delivery for good: queued messages are dropped, no data callback
  // starts after this returns, and one running on another thread is waited
  // for. For a device that other threads may still hold after it is closed.
  void StopDelivery();

  std::atomic<intptr_t> attachedObject{0};

 private:
  // A waiting send's claim on one of the messages (or raw blocks) that arrive.
  struct Claim;
  using Claims = std::vector<std::shared_ptr<Claim>>;
  struct Link {
    std::shared_ptr<SerialComm> connection;
    std::shared_ptr<IKVCommunicationPackage> package;
  };

  // Closes and drops the connection and the package, and ends the waits in
  // progress; the device can be opened again.
  void Release();
  // Takes the connection and the package from the device (IsOpen is false
  // from then on); with `only`, nothing unless that is still the connection.
  Link TakeLink(const SerialComm* only = nullptr);
  // Release of a link already taken.
  void ReleaseLink(Link link);
  // Under the link lock: whether a report of the link's loss has begun.
  bool IsLossReportedLocked(const SerialComm* link) const;
  void WaitForLossReports();
  // Calls the status callback, if any; what it throws is dropped.
  void ReportStatus(int status);
  bool IsDeliveringState() const;
  bool IsAlive() const { return liveness_.load() == kAlive; }
  // Counts a thread into a wait or a state report; false once the device is
  // being destroyed. The destructor waits until every such thread has left.
  bool Enter();
  void Leave();
  void OnPackageMessage(Message message);
  void NoteSent(const Message& bytes);
  // Hands the message to the claim it answers, if any waits for it.
  void AnswerClaim(const Message& message);
  void OnConnectionData(IKVCommunicationPackage* package, const uint8_t* data, unsigned length);
  void OnConnectionState(const SerialComm* from, int state);
  // send tells whether the bytes went out.
  Message Wait(const std::shared_ptr<Claim>& claim, Claims* claims, const std::function<bool()>& send,
               int timeoutMs);

  const std::shared_ptr<platform::HidBackend> hidBackend_;
  std::atomic<uint32_t> liveness_{kAlive};
  std::atomic<int> deviceType_{kDeviceTypeUsbHid};

  // Guards the connection and package pointers, and the links whose loss
  // is being reported.
  std::mutex linkMutex_;
  std::condition_variable lossReported_;
  std::vector<const SerialComm*> linksReportedLost_;
  std::shared_ptr<SerialComm> connection_;
  std::shared_ptr<IKVCommunicationPackage> package_;
  // Connections released from inside their own state report, which they
  // were still delivering; destroyed by the next release on another thread.
  std::vector<std::shared_ptr<SerialComm>> retiredConnections_;

  std::mutex callbackMutex_;
  DataCallback dataCallback_;
  StatusCallback statusCallback_;

  // Guards the claims that the reader thread hands messages to (oldest
  // first), the envelopes sent, and the count of threads inside a wait or a
  // state report.
  std::mutex activityMutex_;
  std::condition_variable activityEnded_;
  Claims messageClaims_;
  Claims rawClaims_;
  SentEnvelopes sentEnvelopes_;
  int activeThreads_ = 0;
  bool destroying_ = false;

  // Last, so that it is destroyed first: a running callback is waited for
  // while the rest of the device still exists, and queued messages are dropped.
  OperationQueue<OrvaneDevice*> queue_;
};

}  // namespace quorlan
