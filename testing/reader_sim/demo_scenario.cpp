#include "demo_scenario.h"

#include "demo_configuration.h"

namespace reader_sim {
namespace {

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes CardEntry(uint8_t index, uint32_t value, const std::string& dataHex) {
  return Tlv(0xA0, Concat({Tlv(0x81, {index, static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                                      static_cast<uint8_t>(value)}),
                           Tlv(0x84, FromHex(dataHex))}));
}

}  // namespace

InnerParameters DemoCardData() {
  // Made-up card values: nothing here belongs to a real card scheme.
  const Bytes entries = Concat({CardEntry(1, 0x000010, "5A0899990000000012349F0206000000001250"),
                                CardEntry(2, 0x000020, "5F200C53494D554C415445442F4341")});
  return {{0x81, {0x01, 0x02, 0x00}}, {0xA4, Tlv(0xA4, entries)}};
}

void InstallDemoScenario(SimulatedReader& reader, Milliseconds notificationGap) {
  reader.SetAnswerUnknown(true);
  Reply start = Reply::Ok()
                    .Then(BuildNotification(0x0101, 0x10010200, {}), notificationGap)
                    .Then(BuildNotification(0x1803, 0x02010100, {{0x83, TextBytes("PROCESSING")}}), notificationGap)
                    .Then(BuildNotification(0x0105, 0x00020200, {}), notificationGap)
                    .Then(BuildNotification(0x0105, 0x00040000, {}), notificationGap)
                    .Then(BuildNotification(0x0101, 0x10010300, {}), notificationGap);
  reader.SetReply(kStartTransaction, start);
  reader.SetResponder(kReadTransactionData, [](const ReceivedMessage& command) {
    Reply reply = Reply::Ok();
    const Bytes which = command.Inner(0x81);
    const uint8_t kind = which.empty() ? 0 : which[0];
    if (kind == 0x01) {
      reply.parameters = DemoCardData();
    } else if (kind == 0x02) {
      reply.parameters = {{0x84, FromHex("9F2608A1B2C3D4E5F60718")}};
    } else if (kind == 0x03) {
      reply.parameters = {{0x84, FromHex("0000DFDF3E0112")}};
    } else {
      reply = Reply::WithStatus(0x00, 0x000001);
    }
    return std::optional<Reply>(reply);
  });
  InstallDemoConfiguration(reader);
}

}  // namespace reader_sim
