// The 64-byte packet package of TCP links (and, through KorvexUSBHIDPackage,
// of USB HID links): splits messages into packets and reassembles them.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "quorlan/transport/communication_package.h"
#include "quorlan/transport/korvex_packet_format.h"
#include "quorlan/transport/korvex_stream_step.h"
#include "quorlan/transport/message_send_gate.h"

namespace quorlan {

class KorvexCommunicationPackage : public IKVCommunicationPackage {
 public:
  // Sends the packets of one message, never interleaved with another message
  // sent through this package, with one exception: a message of one packet
  // sent from a progress callback goes out at once, between the packets of
  // the message in progress, so that the callback may wait for its reply
  // (receivers take single packets between fragments). A longer one goes
  // out after it. The first failed write ends the message. A message longer
  // than kMaxMessageLength is refused whole.
  bool Send(std::vector<uint8_t> data, Writer writer, Progress progress) override;
  // A block of the byte stream, cut at arbitrary points. The peer pads every
  // packet to 64 bytes, so packets are cut at every 64 bytes of the stream and
  // an incomplete tail waits for the next block. A piece that is no packet
  // the stream can carry next puts it out of step; the step is found again at
  // the first later position from which fitting packets follow, so that no
  // whole message after the stray bytes is lost (see korvex_stream_step.h).
  void OnReceived(std::vector<uint8_t> block) override;
  // One packet; a packet shorter than its header says is dropped.
  void HandlePacket(const uint8_t* packet, size_t size);
  void HandlePacket(const std::vector<uint8_t>& packet) { HandlePacket(packet.data(), packet.size()); }
  // Also forgets a partly received packet: a stale tail would shift the
  // stream that follows.
  void DiscardPartialInput() override;

 protected:
  // False at the first failed write, which ends the message.
  virtual bool WritePackets(const uint8_t* message, size_t length, const Writer& writer, const Progress& progress);
  // Each piece of at most 64 bytes is a packet of its own.
  void HandlePieces(const uint8_t* data, size_t length);

 private:
  void CompleteMessage(const uint8_t* payload, size_t length);

  std::map<uint32_t, std::vector<uint8_t>> fragments_;
  uint32_t announcedLength_ = 0;
  std::vector<uint8_t> streamTail_;
  bool inStep_ = true;
  StreamExpectation expectation_;
  MessageSendGate sendGate_;
};

}  // namespace quorlan
