// What a caller could do without the library, written plainly and
// independently of it: the baselines the exports are measured against, and
// the messages the benchmark sends and receives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "canned_peer.h"

namespace bench {

// Valid upper- or lower-case hexadecimal text only, decoded with a 256-entry
// table into storage sized once.
Bytes TableDecode(const char* text, size_t length);
void TableDecode(const char* text, size_t length, Bytes& out);
std::string TableEncode(const Bytes& bytes);

// The 64-byte packets of one message, back to back (the last one padded when
// `padded`, as the reader pads what it sends).
Bytes CutPackets(const Bytes& message, bool padded = false);
void CutPackets(const Bytes& message, Bytes& out);

// Decodes the hex text, cuts it into packets, writes them and, when
// replySize > 0, reads that many bytes back. Keeps its buffers from one
// message to the next, so that it pays for no fresh pages.
class PlainClient {
 public:
  explicit PlainClient(int port);
  ~PlainClient();
  PlainClient(const PlainClient&) = delete;
  PlainClient& operator=(const PlainClient&) = delete;

  bool Exchange(const std::string& hex, size_t replySize);

 private:
  quorlan::platform::SocketHandle socket_;
  quorlan::platform::SocketWaiter waiter_;
  Bytes message_;
  Bytes packets_;
  Bytes reply_;
};

// Messages of the reader's protocol: a frame type, then tag, BER length and value per item.
Bytes Frame(uint16_t type, const std::vector<std::pair<uint8_t, Bytes>>& items);
Bytes CommandMessage(uint16_t code, const Bytes& parameter84);
Bytes ResponseMessage(uint16_t commandId, const Bytes& parameter84);
Bytes NotificationMessage(uint16_t id, uint32_t code, const Bytes& parameter84);
Bytes FileMessage(uint32_t fileId, uint16_t code, const Bytes& payload);
// Bytes that are neither of a constant value nor a valid frame.
Bytes Payload(size_t size);

}  // namespace bench
