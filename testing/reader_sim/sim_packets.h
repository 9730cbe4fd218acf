// The reader's side of the 64-byte packet stream, written apart from the
// library's package so that a fault in one is not hidden by the same fault
// in the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reader_sim {

using Bytes = std::vector<uint8_t>;

// The packets of one message, each padded with zeros to 64 bytes, as a
// reader sends them.
Bytes PacketiseForReader(const Bytes& message);

// Cuts the host's unpadded packet stream into packets by their headers and
// reassembles messages. Strict: anything out of order is reported as an error.
class PacketStreamParser {
 public:
  void Feed(const uint8_t* data, size_t length);
  // Messages completed so far, oldest first; taking them clears the list.
  std::vector<Bytes> TakeMessages();
  std::vector<std::string> TakeErrors();

 private:
  // Length of the packet at the front of pending_, or 0 if its header is incomplete.
  size_t FrontPacketLength() const;
  void HandlePacket(const uint8_t* packet, size_t length);

  Bytes pending_;
  size_t pendingStart_ = 0;
  bool collecting_ = false;
  uint32_t expectedLength_ = 0;
  uint16_t nextSequence_ = 1;
  Bytes message_;
  std::vector<Bytes> complete_;
  std::vector<std::string> errors_;
};

}  // namespace reader_sim
