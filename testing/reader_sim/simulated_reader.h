// A reader of the newer platform on loopback TCP, scripted by tests: replies
// per command code, pushed notifications and file messages, delays, dropped
// connections, split and coalesced writes, and a record of what it received.
//
//   reader_sim::SimulatedReader reader;          // 127.0.0.1, any free port
//   reader.Start();
//   reader.SetReply(0x1008, {{0, 0}, {{0x81, {0x01}}}});
//   ... connect to reader.Address() ...
//   auto command = reader.WaitForCommand(0x1008, 60s);  // returns as soon as it comes
//   reader.PushNotification(0x0101, 0x10010200);
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "quorlan/platform/socket.h"
#include "sim_messages.h"
#include "sim_packets.h"

namespace reader_sim {

using Milliseconds = std::chrono::milliseconds;

// A message sent after a pause, counted from the previous message.
struct Timed {
  Milliseconds delay{0};
  Bytes message;
};

// What the reader does with one command. Built fluently, for example
// Reply::Ok({{0x81, {0x01}}}).After(Milliseconds(50)).Then(notification).
struct Reply {
  Status status;
  InnerParameters parameters;
  Milliseconds delay{0};         // before the response
  bool respond = true;           // false: no response at all
  bool dropAfter = false;        // close the connection after the response (or instead of it)
  std::vector<Bytes> leadIns;    // messages sent just before the response
  std::vector<Timed> followUps;  // notifications, files or further responses after the response

  static Reply Ok(InnerParameters parameters = {});
  static Reply WithStatus(uint8_t operationStatus, uint32_t commandStatus, InnerParameters parameters = {});
  Reply& After(Milliseconds pause);
  Reply& Then(Bytes message, Milliseconds pause = Milliseconds(0));
  Reply& Before(Bytes message);
  Reply& WithoutResponse();
  Reply& ThenDrop();
};

// Gives the reply to a command; nullopt leaves the command unanswered.
using Responder = std::function<std::optional<Reply>(const ReceivedMessage&)>;
// Gives the messages sent back for a message that is no command.
using OtherHandler = std::function<std::vector<Bytes>(const ReceivedMessage&)>;

// How the reader ends its connections: an orderly end of stream, or a reset.
enum class LinkEnd { kClose, kReset };

// How the bytes of each outgoing message are written to the stream.
struct WriteShape {
  std::vector<size_t> cuts;  // offsets into the message's packet bytes where a write ends
  size_t chunk = 0;          // or: write at most this many bytes at a time (0: whole)
  Milliseconds gap{2};       // pause between the pieces, so they arrive apart
};

class SimulatedReader {
 public:
  explicit SimulatedReader(std::string host = "127.0.0.1", int port = 0);
  ~SimulatedReader();
  SimulatedReader(const SimulatedReader&) = delete;
  SimulatedReader& operator=(const SimulatedReader&) = delete;

  // Starts listening; false when the port cannot be taken.
  bool Start();
  // Drops every connection and stops listening; the port then refuses.
  void Stop(LinkEnd end = LinkEnd::kClose);
  int port() const { return port_; }
  // "tcp://127.0.0.1:<port>".
  std::string Address() const;

  // Scripting. Commands without a reply of their own get the default reply
  // (success without parameters) unless SetAnswerUnknown(false).
  void SetReply(uint16_t commandCode, Reply reply);
  void SetResponder(uint16_t commandCode, Responder responder);
  void SetNoReply(uint16_t commandCode);
  void SetAnswerUnknown(bool answer);
  void SetOtherHandler(OtherHandler handler);
  // Sends every message that is no command straight back.
  void EchoOtherMessages();
  void SetWriteShape(WriteShape shape);
  // While paused the reader takes no bytes off the connection, so the host's
  // writes fill the socket buffers.
  void PauseReading(bool paused);

  // Pushed to every open connection at once (returns the number reached).
  size_t Push(const Bytes& message);
  size_t PushNotification(uint16_t id, uint32_t code, const InnerParameters& parameters = {});
  size_t PushFile(uint16_t code, uint32_t fileId, const Bytes& payload);
  size_t PushResponse(uint16_t commandCode, Status status, const InnerParameters& parameters = {});
  // Bytes written as they are, outside any packet (stray bytes on the stream).
  size_t PushBytes(const Bytes& bytes);
  // Collects pushed messages and replies until ReleaseWrites, which writes
  // them all at once.
  void HoldWrites();
  void ReleaseWrites();
  void DropConnections(LinkEnd end = LinkEnd::kClose);

  // The record.
  std::vector<ReceivedMessage> Received() const;
  void ClearReceived();
  bool WaitForMessageCount(size_t count, Milliseconds timeout) const;
  std::optional<ReceivedMessage> WaitForCommand(uint16_t commandCode, Milliseconds timeout) const;
  bool WaitForConnections(size_t count, Milliseconds timeout) const;
  // Connections accepted so far, and those still open.
  size_t AcceptedCount() const;
  size_t OpenCount() const;
  // Packet stream faults seen in what the host sent (should stay empty).
  std::vector<std::string> ProtocolErrors() const;

 private:
  struct Client;

  void AcceptLoop();
  void ServeClient(std::shared_ptr<Client> client);
  void HandleMessage(Client& client, const ReceivedMessage& message);
  void SendMessages(Client& client, const std::vector<Bytes>& messages);
  void SendStream(Client& client, const Bytes& bytes);
  bool WriteShaped(Client& client, const Bytes& bytes);
  bool SleepUnlessStopped(Client& client, Milliseconds duration);
  std::optional<Reply> ReplyFor(const ReceivedMessage& message);
  std::vector<std::shared_ptr<Client>> OpenClients() const;
  void ReapFinishedClients();

  const std::string host_;
  const int requestedPort_;
  int port_ = 0;
  quorlan::platform::SocketHandle listener_ = quorlan::platform::kNoSocket;
  std::unique_ptr<quorlan::platform::SocketWaiter> acceptStop_;
  std::thread acceptThread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::shared_ptr<Client>> clients_;
  std::vector<ReceivedMessage> received_;
  std::vector<std::string> errors_;
  size_t accepted_ = 0;

  std::mutex scriptMutex_;
  std::map<uint16_t, Responder> responders_;
  bool answerUnknown_ = true;
  OtherHandler otherHandler_;
  WriteShape shape_;
  bool holding_ = false;
  std::atomic<bool> readingPaused_{false};
};

}  // namespace reader_sim
