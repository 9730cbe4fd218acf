// A communication package turns one message into the units its link
// carries, and reassembles received blocks into messages.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace quorlan {

class IKVCommunicationPackage {
 public:
  using ReceiveCallback = std::function<void(std::vector<uint8_t> message)>;
  using Writer = std::function<int(uint8_t* data, unsigned length)>;
  using Progress = std::function<void(double fraction)>;

  virtual ~IKVCommunicationPackage() = default;

  // Hand a whole message to the receive callback; dropped while none is set.
  virtual void DeliverMessage(std::vector<uint8_t> message);
  virtual void DeliverBytes(const uint8_t* data, unsigned length);

  // True once every write of the message succeeded; false when the package
  // refuses the message (nothing is written) or a write fails, which ends
  // the message there.
  virtual bool Send(std::vector<uint8_t> data, Writer writer, Progress progress) = 0;
  // A block of bytes as the connection received it.
  virtual void OnReceived(std::vector<uint8_t> block) = 0;
  // Forgets a partly received message: bytes taken off the link for other
  // purposes must not be joined to it. Nothing to forget by default.
  virtual void DiscardPartialInput() {}

  // May be set or replaced at any time, from any thread; a delivery in
  // progress keeps the callback it began with.
  void SetReceiveCallback(ReceiveCallback callback);

 private:
  ReceiveCallback CurrentReceiveCallback();

  std::mutex callbackMutex_;
  ReceiveCallback receiveCallback_;
};

}  // namespace quorlan
