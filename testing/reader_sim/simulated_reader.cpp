#include "simulated_reader.h"

#include <algorithm>
#include <exception>

#include "listening_socket.h"

namespace reader_sim {

namespace platform = quorlan::platform;
using platform::IoStatus;
using platform::WaitResult;

namespace {
constexpr size_t kReceiveSize = 65536;
constexpr int kSendStallLimitMs = 10000;
}  // namespace

struct SimulatedReader::Client {
  platform::SocketHandle socket = platform::kNoSocket;
  platform::SocketWaiter stop;
  std::thread thread;
  std::atomic<bool> ending{false};
  std::atomic<bool> resetOnEnd{false};
  std::atomic<bool> finished{false};
  std::mutex sleepMutex;
  std::condition_variable sleepWake;
  // Held for a whole outgoing write, so messages never interleave.
  std::mutex sendMutex;
  bool closed = false;
  Bytes held;
  PacketStreamParser parser;

  void End() {
    ending = true;
    stop.Wake();
    std::lock_guard<std::mutex> lock(sleepMutex);
    sleepWake.notify_all();
  }
};

Reply Reply::Ok(InnerParameters parameters) { return WithStatus(0, 0, std::move(parameters)); }

Reply Reply::WithStatus(uint8_t operationStatus, uint32_t commandStatus, InnerParameters parameters) {
  Reply reply;
  reply.status = {operationStatus, commandStatus};
  reply.parameters = std::move(parameters);
  return reply;
}

Reply& Reply::After(Milliseconds pause) {
  delay = pause;
  return *this;
}

Reply& Reply::Then(Bytes message, Milliseconds pause) {
  followUps.push_back({pause, std::move(message)});
  return *this;
}

Reply& Reply::Before(Bytes message) {
  leadIns.push_back(std::move(message));
  return *this;
}

Reply& Reply::WithoutResponse() {
  respond = false;
  return *this;
}

Reply& Reply::ThenDrop() {
  dropAfter = true;
  return *this;
}

SimulatedReader::SimulatedReader(std::string host, int port) : host_(std::move(host)), requestedPort_(port) {}

SimulatedReader::~SimulatedReader() { Stop(); }

bool SimulatedReader::Start() {
  if (acceptThread_.joinable()) return true;
  platform::StartSocketsOnce();
  acceptStop_ = std::make_unique<platform::SocketWaiter>();
  if (!acceptStop_->IsUsable()) return false;
  listener_ = platform::ListenTcp(host_, requestedPort_, &port_);
  if (listener_ == platform::kNoSocket) return false;
  acceptThread_ = std::thread(&SimulatedReader::AcceptLoop, this);
  return true;
}

void SimulatedReader::Stop(LinkEnd end) {
  if (acceptThread_.joinable()) {
    acceptStop_->Wake();
    acceptThread_.join();
    platform::CloseSocket(listener_);
    listener_ = platform::kNoSocket;
  }
  DropConnections(end);
}

std::string SimulatedReader::Address() const { return "tcp://" + host_ + ":" + std::to_string(port_); }

void SimulatedReader::AcceptLoop() {
  for (;;) {
    if (acceptStop_->WaitReadable(listener_, -1) != WaitResult::kReady) return;
    const auto socket = platform::AcceptTcp(listener_);
    if (socket == platform::kNoSocket) continue;
    ReapFinishedClients();
    auto client = std::make_shared<Client>();
    client->socket = socket;
    std::lock_guard<std::mutex> lock(mutex_);
    client->thread = std::thread(&SimulatedReader::ServeClient, this, client);
    clients_.push_back(client);
    ++accepted_;
    changed_.notify_all();
  }
}

void SimulatedReader::ReapFinishedClients() {
  std::vector<std::shared_ptr<Client>> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto split = std::stable_partition(clients_.begin(), clients_.end(), [](const auto& c) { return !c->finished; });
    finished.assign(split, clients_.end());
    clients_.erase(split, clients_.end());
  }
  for (auto& client : finished) client->thread.join();
}

void SimulatedReader::DropConnections(LinkEnd end) {
  std::vector<std::shared_ptr<Client>> clients;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    clients.swap(clients_);
  }
  for (auto& client : clients) {
    client->resetOnEnd = end == LinkEnd::kReset;
    client->End();
  }
  for (auto& client : clients) {
    if (client->thread.get_id() == std::this_thread::get_id()) {
      // Dropped from inside its own responder: it ends when the responder
      // returns and is joined by the next reaping.
      std::lock_guard<std::mutex> lock(mutex_);
      clients_.push_back(client);
    } else {
      client->thread.join();
    }
  }
}

void SimulatedReader::ServeClient(std::shared_ptr<Client> client) {
  Bytes buffer(kReceiveSize);
  while (!client->ending) {
    if (readingPaused_) {
      if (client->stop.WaitReadable(platform::kNoSocket, 5) == WaitResult::kWoken) break;
      continue;
    }
    if (client->stop.WaitReadable(client->socket, -1) != WaitResult::kReady) break;
    const auto result = platform::ReceiveSome(client->socket, buffer.data(), buffer.size());
    if (result.status == IoStatus::kWouldBlock) continue;
    if (result.status != IoStatus::kDone || result.count == 0) break;
    client->parser.Feed(buffer.data(), result.count);
    auto errors = client->parser.TakeErrors();
    std::vector<ReceivedMessage> messages;
    for (auto& raw : client->parser.TakeMessages()) messages.push_back(ReadHostMessage(raw));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      errors_.insert(errors_.end(), errors.begin(), errors.end());
      received_.insert(received_.end(), messages.begin(), messages.end());
      changed_.notify_all();
    }
    for (const auto& message : messages) {
      if (client->ending) break;
      HandleMessage(*client, message);
    }
  }
  {
    std::lock_guard<std::mutex> lock(client->sendMutex);
    client->closed = true;
    if (client->resetOnEnd) platform::ResetOnClose(client->socket);
    platform::CloseSocket(client->socket);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  client->finished = true;
  changed_.notify_all();
}

std::optional<Reply> SimulatedReader::ReplyFor(const ReceivedMessage& message) {
  Responder responder;
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    auto found = responders_.find(message.commandCode);
    if (found != responders_.end()) {
      responder = found->second;
    } else if (!answerUnknown_) {
      return std::nullopt;
    }
  }
  return responder ? responder(message) : std::optional<Reply>(Reply{});
}

void SimulatedReader::HandleMessage(Client& client, const ReceivedMessage& message) {
  if (!message.isFrame || message.kind != kCommand) {
    OtherHandler handler;
    {
      std::lock_guard<std::mutex> lock(scriptMutex_);
      handler = otherHandler_;
    }
    if (handler) SendMessages(client, handler(message));
    return;
  }
  const auto reply = ReplyFor(message);
  if (!reply) return;
  if (!SleepUnlessStopped(client, reply->delay)) return;
  SendMessages(client, reply->leadIns);
  if (reply->respond) {
    SendMessages(client, {BuildResponse(message.commandCode, message.sequence, reply->status, reply->parameters)});
  }
  for (const auto& followUp : reply->followUps) {
    if (!SleepUnlessStopped(client, followUp.delay)) return;
    SendMessages(client, {followUp.message});
  }
  if (reply->dropAfter) client.End();
}

bool SimulatedReader::SleepUnlessStopped(Client& client, Milliseconds duration) {
  if (duration.count() <= 0) return !client.ending;
  std::unique_lock<std::mutex> lock(client.sleepMutex);
  return !client.sleepWake.wait_for(lock, duration, [&] { return client.ending.load(); });
}

void SimulatedReader::SendMessages(Client& client, const std::vector<Bytes>& messages) {
  Bytes bytes;
  for (const auto& message : messages) {
    const auto packets = PacketiseForReader(message);
    bytes.insert(bytes.end(), packets.begin(), packets.end());
  }
  SendStream(client, bytes);
}

void SimulatedReader::SendStream(Client& client, const Bytes& bytes) {
  if (bytes.empty()) return;
  bool holding;
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    holding = holding_;
  }
  if (holding) {
    std::lock_guard<std::mutex> lock(client.sendMutex);
    client.held.insert(client.held.end(), bytes.begin(), bytes.end());
    return;
  }
  WriteShaped(client, bytes);
}

bool SimulatedReader::WriteShaped(Client& client, const Bytes& bytes) {
  WriteShape shape;
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    shape = shape_;
  }
  std::vector<size_t> ends;
  for (size_t cut : shape.cuts) {
    if (cut > 0 && cut < bytes.size()) ends.push_back(cut);
  }
  if (shape.chunk > 0) {
    for (size_t end = shape.chunk; end < bytes.size(); end += shape.chunk) ends.push_back(end);
  }
  std::sort(ends.begin(), ends.end());
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  ends.push_back(bytes.size());

  std::lock_guard<std::mutex> lock(client.sendMutex);
  size_t position = 0;
  for (size_t end : ends) {
    if (position > 0 && shape.gap.count() > 0 && !SleepUnlessStopped(client, shape.gap)) return false;
    while (position < end) {
      if (client.closed) return false;
      const auto result = platform::SendSome(client.socket, bytes.data() + position, end - position);
      if (result.status == IoStatus::kDone) {
        position += result.count;
      } else if (result.status != IoStatus::kWouldBlock ||
                 platform::WaitWritable(client.socket, kSendStallLimitMs) != WaitResult::kReady) {
        return false;
      }
    }
  }
  return true;
}

std::vector<std::shared_ptr<SimulatedReader::Client>> SimulatedReader::OpenClients() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::shared_ptr<Client>> open;
  for (const auto& client : clients_) {
    if (!client->finished && !client->ending) open.push_back(client);
  }
  return open;
}

void SimulatedReader::SetReply(uint16_t commandCode, Reply reply) {
  SetResponder(commandCode, [reply](const ReceivedMessage&) { return std::optional<Reply>(reply); });
}

void SimulatedReader::SetResponder(uint16_t commandCode, Responder responder) {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  responders_[commandCode] = std::move(responder);
}

void SimulatedReader::SetNoReply(uint16_t commandCode) {
  SetResponder(commandCode, [](const ReceivedMessage&) { return std::optional<Reply>(); });
}

void SimulatedReader::SetAnswerUnknown(bool answer) {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  answerUnknown_ = answer;
}

void SimulatedReader::SetOtherHandler(OtherHandler handler) {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  otherHandler_ = std::move(handler);
}

void SimulatedReader::EchoOtherMessages() {
  SetOtherHandler([](const ReceivedMessage& message) { return std::vector<Bytes>{message.raw}; });
}

void SimulatedReader::SetWriteShape(WriteShape shape) {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  shape_ = std::move(shape);
}

void SimulatedReader::PauseReading(bool paused) { readingPaused_ = paused; }

size_t SimulatedReader::Push(const Bytes& message) { return PushBytes(PacketiseForReader(message)); }

size_t SimulatedReader::PushBytes(const Bytes& bytes) {
  size_t reached = 0;
  for (auto& client : OpenClients()) {
    SendStream(*client, bytes);
    ++reached;
  }
  return reached;
}

size_t SimulatedReader::PushNotification(uint16_t id, uint32_t code, const InnerParameters& parameters) {
  return Push(BuildNotification(id, code, parameters));
}

size_t SimulatedReader::PushFile(uint16_t code, uint32_t fileId, const Bytes& payload) {
  return Push(BuildFileMessage(code, fileId, payload));
}

size_t SimulatedReader::PushResponse(uint16_t commandCode, Status status, const InnerParameters& parameters) {
  return Push(BuildResponse(commandCode, 0, status, parameters));
}

void SimulatedReader::HoldWrites() {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  holding_ = true;
}

void SimulatedReader::ReleaseWrites() {
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    holding_ = false;
  }
  for (auto& client : OpenClients()) {
    Bytes held;
    {
      std::lock_guard<std::mutex> lock(client->sendMutex);
      held.swap(client->held);
    }
    if (!held.empty()) WriteShaped(*client, held);
  }
}

std::vector<ReceivedMessage> SimulatedReader::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void SimulatedReader::ClearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
}

bool SimulatedReader::WaitForMessageCount(size_t count, Milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

std::optional<ReceivedMessage> SimulatedReader::WaitForCommand(uint16_t commandCode, Milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  std::optional<ReceivedMessage> found;
  changed_.wait_for(lock, timeout, [&] {
    for (const auto& message : received_) {
      if (message.IsCommand(commandCode)) {
        found = message;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool SimulatedReader::WaitForConnections(size_t count, Milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return accepted_ >= count; });
}

size_t SimulatedReader::AcceptedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return accepted_;
}

size_t SimulatedReader::OpenCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<size_t>(std::count_if(clients_.begin(), clients_.end(), [](const auto& c) { return !c->finished; }));
}

std::vector<std::string> SimulatedReader::ProtocolErrors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}

}  // namespace reader_sim
