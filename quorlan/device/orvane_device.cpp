#include "quorlan/device/orvane_device.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <stdexcept>

#include "quorlan/message/incoming_message.h"
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

// A message goes to one unanswered claim that accepts it: a response to the
// claim it answers best, the oldest among equals.
struct OrvaneDevice::Claim {
  Claim(bool responsesOnly, const Message& bytes)
      : responsesOnly(responsesOnly), sent(ReadEnvelopeHeader(ViewOf(bytes))) {}

  AnswerFit Fit(const ResponseView& response) const { return sent ? FitOf(*sent, response) : AnswerFit::kNone; }

  // Under the device's activity lock.
  void Answer(Message message) {
    if (answered) return;
    answered = true;
    promise.set_value(std::move(message));
  }

  const bool responsesOnly;
  // Nothing when the bytes sent are no envelope.
  const std::optional<EnvelopeHeader> sent;
  bool answered = false;
  std::promise<Message> promise;
};

OrvaneDevice::OrvaneDevice(std::shared_ptr<platform::HidBackend> hidBackend) : hidBackend_(std::move(hidBackend)) {}

OrvaneDevice::~OrvaneDevice() {
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    destroying_ = true;
  }
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

  package->SetReceiveCallback([this](Message message) { OnPackageMessage(std::move(message)); });
  connection->SetDataCallback([this, raw = package.get()](uint8_t* data, unsigned length) {
    OnConnectionData(raw, data, length);
  });
  connection->SetStateCallback([this, raw = connection.get()](int state) { OnConnectionState(raw, state); });
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
  // Each link's end is reported once: by the report of its loss once that
  // has begun, else here, as a loss when the link has failed meanwhile.
  Link link;
  bool lossReported = false;
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    link = {std::move(connection_), std::move(package_)};
    lossReported = IsLossReportedLocked(link.connection.get());
  }
  if (link.connection && !lossReported && IsAlive()) ReportStatus(link.connection->IsConnected() ? 1 : 0);
  ReleaseLink(std::move(link));
  WaitForLossReports();
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

void OrvaneDevice::Release() { ReleaseLink(TakeLink()); }

bool OrvaneDevice::IsLossReportedLocked(const SerialComm* link) const {
  return std::find(linksReportedLost_.begin(), linksReportedLost_.end(), link) != linksReportedLost_.end();
}

void OrvaneDevice::WaitForLossReports() {
  if (IsDeliveringState()) return;
  std::unique_lock<std::mutex> lock(linkMutex_);
  lossReported_.wait(lock, [&] { return linksReportedLost_.empty(); });
}

OrvaneDevice::Link OrvaneDevice::TakeLink(const SerialComm* only) {
  std::lock_guard<std::mutex> lock(linkMutex_);
  if (only != nullptr && connection_.get() != only) return {};
  return {std::move(connection_), std::move(package_)};
}

void OrvaneDevice::ReleaseLink(Link link) {
  std::vector<std::shared_ptr<SerialComm>> retired;
  if (!IsDeliveringState()) {
    std::lock_guard<std::mutex> lock(linkMutex_);
    retired.swap(retiredConnections_);
  }
  if (link.connection) {
    // Ends the reader thread, so the package below is no longer fed.
    link.connection->Close();
  }
  if (link.package) link.package->SetReceiveCallback(nullptr);
  if (link.connection && IsDeliveringState()) {
    // A connection waits for its state reports when destroyed, and this is one.
    std::lock_guard<std::mutex> lock(linkMutex_);
    retiredConnections_.push_back(std::move(link.connection));
  }
  std::lock_guard<std::mutex> lock(activityMutex_);
  for (const auto& claim : messageClaims_) claim->Answer(Message());
  for (const auto& claim : rawClaims_) claim->Answer(Message());
}

bool OrvaneDevice::SendWithProgress(Message bytes, Progress progress) {
  NoteSent(bytes);
  std::shared_ptr<SerialComm> connection;
  std::shared_ptr<IKVCommunicationPackage> package;
  {
    std::lock_guard<std::mutex> lock(linkMutex_);
    connection = connection_;
    package = package_;
  }
  if (!connection || !package || !connection->IsConnected()) return false;
  return package->Send(std::move(bytes),
                       [connection](uint8_t* data, unsigned length) { return connection->Write(data, length); },
                       std::move(progress));
}

bool OrvaneDevice::Send(Message bytes) { return SendWithProgress(std::move(bytes), nullptr); }

OrvaneDevice::Message OrvaneDevice::Wait(const std::shared_ptr<Claim>& claim, Claims* claims,
                                         const std::function<bool()>& send, int timeoutMs) {
  if (!Enter()) throw std::runtime_error("Device is not opened.");
  std::future<Message> answer = claim->promise.get_future();
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    claims->push_back(claim);
  }
  struct Withdraw {
    OrvaneDevice* device;
    const std::shared_ptr<Claim>& claim;
    Claims* claims;
    ~Withdraw() {
      {
        std::lock_guard<std::mutex> lock(device->activityMutex_);
        claims->erase(std::find(claims->begin(), claims->end(), claim));
        // Kept among the newest, so that its answer, if it comes late, goes to no other wait.
        if (claim->sent) device->sentEnvelopes_.Note(*claim->sent);
      }
      device->Leave();
    }
  } withdraw{this, claim, claims};
  // A release that ran before the claim was in place did not end it.
  if (!IsOpen() || !send()) return Message();
  if (answer.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready) return answer.get();
  return Message();
}

OrvaneDevice::Message OrvaneDevice::SendAndWaitWithProgress(Message bytes, Progress progress, int timeoutMs,
                                                            bool waitForResponse) {
  if (!IsOpen()) throw std::runtime_error("Device is not opened.");
  auto claim = std::make_shared<Claim>(waitForResponse, bytes);
  return Wait(claim, &messageClaims_, [&] { return SendWithProgress(std::move(bytes), std::move(progress)); },
              timeoutMs);
}

OrvaneDevice::Message OrvaneDevice::SendAndWait(Message bytes, int timeoutMs, bool waitForResponse) {
  return SendAndWaitWithProgress(std::move(bytes), nullptr, timeoutMs, waitForResponse);
}

OrvaneDevice::Message OrvaneDevice::SendRawAndWait(Message bytes, int timeoutMs) {
  if (!IsOpen()) throw std::runtime_error("Device is not opened.");
  auto claim = std::make_shared<Claim>(false, Message());
  return Wait(claim, &rawClaims_,
              [&] {
                std::shared_ptr<SerialComm> connection;
                {
                  std::lock_guard<std::mutex> lock(linkMutex_);
                  connection = connection_;
                }
                return connection &&
                       connection->Write(bytes.data(), static_cast<unsigned>(bytes.size())) == kConnectionOk;
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

void OrvaneDevice::StopDelivery() { queue_.Stop(); }

void OrvaneDevice::OnPackageMessage(Message message) {
  if (!IsAlive()) return;
  DataCallback callback;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    callback = dataCallback_;
  }
  // The waiting caller first: waking the delivery worker takes a while.
  AnswerClaim(message);
  if (callback) queue_.Enqueue(std::move(callback), this, std::move(message));
}

void OrvaneDevice::NoteSent(const Message& bytes) {
  const auto sent = ReadEnvelopeHeader(ViewOf(bytes));
  if (!sent) return;
  std::lock_guard<std::mutex> lock(activityMutex_);
  sentEnvelopes_.Note(*sent);
}

void OrvaneDevice::AnswerClaim(const Message& message) {
  {
    std::lock_guard<std::mutex> lock(activityMutex_);
    if (messageClaims_.empty()) return;
  }
  const auto response = ReadResponse(ViewOf(message));
  std::lock_guard<std::mutex> lock(activityMutex_);
  Claim* chosen = nullptr;
  std::optional<AnswerFit> chosenFit;
  for (const auto& claim : messageClaims_) {
    if (claim->answered || (claim->responsesOnly && !response)) continue;
    const AnswerFit fit = response ? claim->Fit(*response) : AnswerFit::kNone;
    if (!chosenFit || fit > *chosenFit) {
      chosen = claim.get();
      chosenFit = fit;
    }
  }
  if (!chosen) return;
  // It answers an envelope whose wait has ended, or one sent without a wait.
  if (response && sentEnvelopes_.BestFit(*response) > *chosenFit) return;
  chosen->Answer(message);
}

void OrvaneDevice::OnConnectionData(IKVCommunicationPackage* package, const uint8_t* data, unsigned length) {
  if (!IsAlive()) return;
  try {
    Message block(data, data + length);
    bool raw;
    {
      std::lock_guard<std::mutex> lock(activityMutex_);
      raw = !rawClaims_.empty();
      const auto open =
          std::find_if(rawClaims_.begin(), rawClaims_.end(), [](const auto& claim) { return !claim->answered; });
      if (open != rawClaims_.end()) (*open)->Answer(block);
    }
    if (raw) {
      // What a raw exchange takes is no part of the packet stream: a packet
      // begun before it would join the wrong bytes.
      package->DiscardPartialInput();
    } else {
      package->OnReceived(std::move(block));
    }
  } catch (...) {
    // A malformed block must not end the reader thread.
  }
}

void OrvaneDevice::OnConnectionState(const SerialComm* from, int state) {
  if (!IsAlive() || !Enter()) return;
  struct Delivery {
    OrvaneDevice* device;
    explicit Delivery(OrvaneDevice* device) : device(device) { stateDeliveryOf = device; }
    ~Delivery() {
      stateDeliveryOf = nullptr;
      device->Leave();
    }
  } delivery(this);
  if (state == 0) {
    // A link that a close has taken is reported by the close, and a loss
    // is reported once.
    std::lock_guard<std::mutex> lock(linkMutex_);
    if (connection_.get() != from || IsLossReportedLocked(from)) return;
    linksReportedLost_.push_back(from);
  }
  // Ends the report on every path, so that no close waits for it forever.
  struct LossReport {
    OrvaneDevice* device;
    const SerialComm* link;
    ~LossReport() {
      if (link == nullptr) return;
      std::lock_guard<std::mutex> lock(device->linkMutex_);
      auto& links = device->linksReportedLost_;
      links.erase(std::find(links.begin(), links.end(), link));
      device->lossReported_.notify_all();
    }
  } lossReport{this, state == 0 ? from : nullptr};
  ReportStatus(state);
  if (state == 0) ReleaseLink(TakeLink(from));
}

void OrvaneDevice::ReportStatus(int status) {
  StatusCallback callback;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    callback = statusCallback_;
  }
  if (!callback) return;
  try {
    callback(this, status);
  } catch (...) {
    // The report is made; what the callback throws concerns nobody here.
  }
}

}  // namespace quorlan
