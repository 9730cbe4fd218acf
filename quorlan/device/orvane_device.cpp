#include "quorlan/device/orvane_device.h"

#include <chrono>
#include <future>
#include <stdexcept>

#include "quorlan/device/live_devices.h"
#include "quorlan/message/response.h"
#include "quorlan/transport/korvex_communication_package.h"
#include "quorlan/transport/korvex_usb_hid_package.h"
#include "quorlan/transport/pass_through_communication.h"
#include "quorlan/transport/socket_connection.h"
#include "quorlan/transport/tcp_address.h"
#include "quorlan/transport/usb_connection.h"

namespace quorlan {
namespace {

// The device whose connection state this thread is delivering, if any.
thread_local const OrvaneDevice* stateDeliveryOf = nullptr;

}  // namespace

bool OrvaneDevice::IsDeliveringState() const { return stateDeliveryOf == this; }

struct OrvaneDevice::Waiter {
  explicit Waiter(bool responsesOnly) : responsesOnly(responsesOnly) {}

  // A wait that began while another was in progress passes every message on
  // to that one too (overlapping waits on one device are not supported).
  void Offer(const Message& message) {
    if (previous) previous->Offer(message);
    try {
      if (responsesOnly) OrvaneResponse::Parse(message);
      if (!answered.exchange(true)) promise.set_value(message);
    } catch (...) {
      // A message that is no response does not end the wait.
    }
  }

  // Ends the wait with no reply: the link it waits on is gone.
  void Abandon() {
    if (previous) previous->Abandon();
    if (!answered.exchange(true)) promise.set_value(Message());
  }

  const bool responsesOnly;
  std::shared_ptr<Waiter> previous;
  std::atomic<bool> answered{false};
  std::promise<Message> promise;
};

OrvaneDevice::OrvaneDevice(std::shared_ptr<HidBackend> hidBackend) : hidBackend_(std::move(hidBackend)) {
  RegisterLiveDevice(this);
}

OrvaneDevice::~OrvaneDevice() {
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    destroying_ = true;
  }
  UnregisterLiveDevice(this);
  queue_.Close();
  // Ends the waits and the link, whose state reports finish meanwhile.
  Release();
  {
    // A thread still inside a wait or a state report touches the device until it leaves.
    std::unique_lock<std::mutex> lock(activityMutex_);
    const int own = IsDeliveringState() ? 1 : 0;
    activityEnded_.wait(lock, [&] { return activeThreads_ == own; });
  }
  // Connections that state reports retired meanwhile.
  Release();
  liveness_ = kDestroyed;
}

bool OrvaneDevice::Enter() {
  std::lock_guard<std::mutex> lock(activityMutex_);
  if (destroying_) return false;
  ++activeThreads_;
  return true;
}

void OrvaneDevice::Leave() {
  std::lock_guard<std::mutex> lock(activityMutex_);
  --activeThreads_;
  activityEnded_.notify_all();
}

void OrvaneDevice::SetDeviceType(int type) {
  Release();
  switch (type) {
    case kDeviceTypeUsbHid:
    case kDeviceTypeBle:
    case kDeviceTypeTcp:
    case kDeviceTypeTls12:
    case kDeviceTypeWebSocket:
      deviceType_ = type;
      return;
    default:
      throw std::runtime_error("Invalid device type");
  }
}

bool OrvaneDevice::GetDeviceList(SerialComm::DeviceListEntry onEntry, std::string filter) {
  if (deviceType_ != kDeviceTypeUsbHid) return false;
  try {
    USBConnection enumerator(hidBackend_);
    return enumerator.GetDeviceList(std::move(onEntry), std::move(filter));
  } catch (...) {
    return false;
  }
}

bool OrvaneDevice::Open(std::string address) {
  if (IsOpen()) return true;
  std::shared_ptr<SerialComm> connection;
  std::shared_ptr<IKVCommunicationPackage> package;
  switch (deviceType_) {
    case kDeviceTypeUsbHid: {
      connection = std::make_shared<USBConnection>(address, hidBackend_);
      auto usbPackage = std::make_shared<KorvexUSBHIDPackage>();
      usbPackage->reportId = 0;
      package = usbPackage;
      break;
    }
    case kDeviceTypeTcp: {
      TcpAddress tcp = ParseTcpAddress(address);
      connection = std::make_shared<SocketConnection>(tcp.host, tcp.port);
      package = std::make_shared<KorvexCommunicationPackage>();
      break;
    }
    default:
      break;
  }
  Release();
  if (!connection) return false;

  package->receiveCallback = [this](Message message) { OnPackageMessage(std::move(message)); };
  connection->dataCallback = [this, raw = package.get()](uint8_t* data, unsigned length) {
    OnConnectionData(raw, data, length);
  };
  connection->stateCallback = [this](int state) { OnConnectionState(state); };
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    connection_ = connection;
    package_ = package;
  }
  if (connection->Open() == kConnectionOk) return true;
  Release();
  return false;
}

bool OrvaneDevice::Close() {
  if (!IsOpen()) return true;
  StatusCallback status;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    status = statusCallback_;
  }
  if (status && IsAlive()) status(this, 1);
  Release();
  return true;
}

bool OrvaneDevice::IsOpen() {
  std::shared_ptr<SerialComm> connection;
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    if (!package_) return false;
    connection = connection_;
  }
  return connection && connection->IsConnected();
}

void OrvaneDevice::Release() {
  std::shared_ptr<SerialComm> connection;
  std::shared_ptr<IKVCommunicationPackage> package;
  std::vector<std::shared_ptr<SerialComm>> retired;
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    connection = std::move(connection_);
    package = std::move(package_);
    if (!IsDeliveringState()) retired.swap(retiredConnections_);
  }
  if (connection) {
    // Ends the reader thread, so the package below is no longer fed.
    connection->Close();
  }
  if (package) package->receiveCallback = nullptr;
  if (connection && IsDeliveringState()) {
    // A connection waits for its state reports when destroyed, and this is one.
    std::lock_guard<std::mutex> lock(linkMutex_);
    retiredConnections_.push_back(std::move(connection));
  }
  std::lock_guard<std::mutex> lock(activityMutex_);
  if (messageWaiter_) messageWaiter_->Abandon();
  if (rawWaiter_) rawWaiter_->Abandon();
}

void OrvaneDevice::SendWithProgress(Message bytes, Progress progress) {
  std::shared_ptr<SerialComm> connection;
  std::shared_ptr<IKVCommunicationPackage> package;
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    connection = connection_;
    package = package_;
  }
  if (!connection || !package || !connection->IsConnected()) return;
  package->Send(std::move(bytes),
                [connection](uint8_t* data, unsigned length) { return connection->Write(data, length); },
                std::move(progress));
}

void OrvaneDevice::Send(Message bytes) { SendWithProgress(std::move(bytes), nullptr); }

OrvaneDevice::Message OrvaneDevice::Wait(const std::shared_ptr<Waiter>& waiter, std::shared_ptr<Waiter>* slot,
                                         const std::function<void()>& send, int timeoutMs) {
  if (!Enter()) throw std::runtime_error("Device is not opened.");
  std::future<Message> answer = waiter->promise.get_future();
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    waiter->previous = *slot;
    *slot = waiter;
  }
  struct Restore {
    OrvaneDevice* device;
    const std::shared_ptr<Waiter>& waiter;
    std::shared_ptr<Waiter>* slot;
    ~Restore() {
      {
        std::lock_guard<std::mutex> lock(device->activityMutex_);
        *slot = waiter->previous;
      }
      device->Leave();
    }
  } restore{this, waiter, slot};
  send();
  if (answer.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready) return answer.get();
  return Message();
}

OrvaneDevice::Message OrvaneDevice::SendAndWaitWithProgress(Message bytes, Progress progress, int timeoutMs,
                                                            bool waitForResponse) {
  if (!IsOpen()) throw std::runtime_error("Device is not opened.");
  auto waiter = std::make_shared<Waiter>(waitForResponse);
  return Wait(waiter, &messageWaiter_, [&] { SendWithProgress(std::move(bytes), std::move(progress)); }, timeoutMs);
}

OrvaneDevice::Message OrvaneDevice::SendAndWait(Message bytes, int timeoutMs, bool waitForResponse) {
  return SendAndWaitWithProgress(std::move(bytes), nullptr, timeoutMs, waitForResponse);
}

OrvaneDevice::Message OrvaneDevice::SendRawAndWait(Message bytes, int timeoutMs) {
  if (!IsOpen()) throw std::runtime_error("Device is not opened.");
  auto waiter = std::make_shared<Waiter>(false);
  return Wait(waiter, &rawWaiter_,
              [&] {
                std::shared_ptr<SerialComm> connection;
                {
                  std::lock_guard<std::mutex> lock(linkMutex_);
                  connection = connection_;
                }
                if (connection) connection->Write(bytes.data(), static_cast<unsigned>(bytes.size()));
              },
              timeoutMs);
}

void OrvaneDevice::SetDataCallback(DataCallback callback) {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  dataCallback_ = std::move(callback);
}

void OrvaneDevice::SetStatusCallback(StatusCallback callback) {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  statusCallback_ = std::move(callback);
}

void OrvaneDevice::OnPackageMessage(Message message) {
  if (!IsAlive()) return;
  std::shared_ptr<Waiter> waiter;
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    waiter = messageWaiter_;
  }
  DataCallback callback;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    callback = dataCallback_;
  }
  if (callback) queue_.Enqueue(std::move(callback), this, message);
  if (waiter) waiter->Offer(message);
}

void OrvaneDevice::OnConnectionData(IKVCommunicationPackage* package, const uint8_t* data, unsigned length) {
  if (!IsAlive()) return;
  try {
    Message block(data, data + length);
    std::shared_ptr<Waiter> raw;
    {
      std::lock_guard<std::mutex> lock(activityMutex_);
      raw = rawWaiter_;
    }
    if (raw) {
      // What a raw exchange takes is no part of the packet stream: a packet
      // begun before it would join the wrong bytes.
      if (auto* korvex = dynamic_cast<KorvexCommunicationPackage*>(package)) korvex->DiscardPartialInput();
      raw->Offer(block);
    } else {
      package->OnReceived(std::move(block));
    }
  } catch (...) {
    // A malformed block must not end the reader thread.
  }
}

void OrvaneDevice::OnConnectionState(int state) {
  if (!IsAlive() || !Enter()) return;
  struct Delivery {
    OrvaneDevice* device;
    explicit Delivery(OrvaneDevice* device) : device(device) { stateDeliveryOf = device; }
    ~Delivery() {
      stateDeliveryOf = nullptr;
      device->Leave();
    }
  } delivery(this);
  StatusCallback status;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    status = statusCallback_;
  }
  if (status) {
    try {
      status(this, state);
    } catch (...) {
    }
  }
  if (state == 0) Release();
}

}  // namespace quorlan
