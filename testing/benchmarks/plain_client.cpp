#include "plain_client.h"

#include <algorithm>
#include <array>

namespace bench {

namespace platform = quorlan::platform;

namespace {

constexpr size_t kPacket = 64;

struct NibbleTable {
  std::array<uint8_t, 256> value{};
  NibbleTable() {
    for (int c = 0; c < 10; ++c) value['0' + c] = static_cast<uint8_t>(c);
    for (int c = 0; c < 6; ++c) value['A' + c] = value['a' + c] = static_cast<uint8_t>(10 + c);
  }
};

const NibbleTable kNibbles;

void PutBigEndian(Bytes& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutBerLength(Bytes& out, size_t length) {
  if (length < 0x80) {
    out.push_back(static_cast<uint8_t>(length));
    return;
  }
  int size = 1;
  while (size < 4 && (length >> (8 * size)) != 0) ++size;
  out.push_back(static_cast<uint8_t>(0x80 + size));
  PutBigEndian(out, static_cast<uint32_t>(length), size);
}

Bytes Header(uint8_t kind, uint16_t code) {
  return {kind, 0x00, static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)};
}

Bytes Inner(uint16_t type, const Bytes& parameter84) { return Frame(type, {{0x84, parameter84}}); }

}  // namespace

void TableDecode(const char* text, size_t length, Bytes& out) {
  out.resize(length / 2);
  const auto* in = reinterpret_cast<const uint8_t*>(text);
  uint8_t* bytes = out.data();
  const size_t count = out.size();
  for (size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<uint8_t>(kNibbles.value[in[2 * i]] << 4 | kNibbles.value[in[2 * i + 1]]);
  }
}

Bytes TableDecode(const char* text, size_t length) {
  Bytes out;
  TableDecode(text, length, out);
  return out;
}

std::string TableEncode(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(bytes.size() * 2, '0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return text;
}

Bytes CutPackets(const Bytes& message, bool padded) {
  Bytes out;
  CutPackets(message, out);
  if (padded) out.resize((out.size() + kPacket - 1) / kPacket * kPacket, 0x00);
  return out;
}

void CutPackets(const Bytes& message, Bytes& out) {
  out.clear();
  const size_t length = message.size();
  if (length <= 62) {
    out = {0x00, static_cast<uint8_t>(length)};
    out.insert(out.end(), message.begin(), message.end());
  } else {
    out.reserve((length / 61 + 2) * kPacket);
    out.push_back(0x01);
    PutBigEndian(out, static_cast<uint32_t>(length), 4);
    out.insert(out.end(), message.begin(), message.begin() + 59);
    size_t position = 59;
    uint16_t sequence = 1;
    while (length - position > 61) {
      out.push_back(0x02);
      PutBigEndian(out, sequence++, 2);
      out.insert(out.end(), message.begin() + position, message.begin() + position + 61);
      position += 61;
    }
    out.push_back(0x03);
    out.push_back(static_cast<uint8_t>(length - position));
    out.insert(out.end(), message.begin() + position, message.end());
  }
}

PlainClient::PlainClient(int port) : socket_(platform::ConnectTcp("127.0.0.1", port)) {}

PlainClient::~PlainClient() { platform::CloseSocket(socket_); }

bool PlainClient::Exchange(const std::string& hex, size_t replySize) {
  TableDecode(hex.data(), hex.size(), message_);
  CutPackets(message_, packets_);
  if (!SendAll(socket_, packets_.data(), packets_.size())) return false;
  reply_.resize(replySize);
  return replySize == 0 || ReceiveExactly(waiter_, socket_, reply_.data(), replySize);
}

Bytes Frame(uint16_t type, const std::vector<std::pair<uint8_t, Bytes>>& items) {
  Bytes out = {static_cast<uint8_t>(type >> 8), static_cast<uint8_t>(type)};
  for (const auto& [tag, value] : items) {
    out.push_back(tag);
    PutBerLength(out, value.size());
    out.insert(out.end(), value.begin(), value.end());
  }
  return out;
}

Bytes CommandMessage(uint16_t code, const Bytes& parameter84) {
  return Frame(0xAA00, {{0x81, Header(0x01, code)}, {0x84, Inner(code, parameter84)}});
}

Bytes ResponseMessage(uint16_t commandId, const Bytes& parameter84) {
  return Frame(0xAA00, {{0x81, Header(0x02, commandId)}, {0x82, {0, 0, 0, 0}}, {0x84, Inner(commandId, parameter84)}});
}

Bytes NotificationMessage(uint16_t id, uint32_t code, const Bytes& parameter84) {
  Bytes codeBytes;
  PutBigEndian(codeBytes, code, 4);
  std::vector<std::pair<uint8_t, Bytes>> items = {{0x81, Header(0x03, id)}, {0x82, codeBytes}};
  if (!parameter84.empty()) items.emplace_back(0x84, Inner(id, parameter84));
  return Frame(0xAA00, items);
}

Bytes FileMessage(uint32_t fileId, uint16_t code, const Bytes& payload) {
  Bytes header = Header(0x04, code);
  PutBigEndian(header, fileId, 4);
  return Frame(0xAA00, {{0x81, header}, {0x84, payload}});
}

Bytes Payload(size_t size) {
  Bytes out(size);
  uint32_t state = 0x12345678;
  for (auto& byte : out) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return out;
}

}  // namespace bench
