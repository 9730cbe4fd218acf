#include <gtest/gtest.h>

#include <functional>

#include "package_test_support.h"
#include "quorlan/transport/korvex_usb_hid_package.h"
#include "quorlan/transport/pass_through_communication.h"

namespace quorlan {
namespace {

using testing_support::DeliveredMessages;
using testing_support::PatternMessage;
using testing_support::RecordingWriter;

TEST(KorvexUsbHidPackage, WritesOneReportPerPacketBehindTheReportId) {
  KorvexUSBHIDPackage package;
  package.reportId = 0;
  RecordingWriter writer;
  const auto message = PatternMessage(182, 5);
  package.Send(message, writer.Writer(), nullptr);
  EXPECT_EQ(writer.writes, (std::vector<size_t>{65, 65, 65, 4}));
  const auto packets = BuildPackets(message.data(), message.size());
  size_t position = 0;
  for (size_t i = 0; i < packets.count; ++i) {
    EXPECT_EQ(writer.stream[position], 0x00);
    EXPECT_TRUE(std::equal(packets.Packet(i), packets.Packet(i) + packets.PacketLength(i),
                           writer.stream.begin() + position + 1));
    position += writer.writes[i];
  }
}

TEST(KorvexUsbHidPackage, ReportsProgressPerReport) {
  KorvexUSBHIDPackage package;
  RecordingWriter writer;
  std::vector<double> progress;
  package.Send(PatternMessage(182, 1), writer.Writer(), [&](double fraction) { progress.push_back(fraction); });
  EXPECT_EQ(progress, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
}

TEST(KorvexUsbHidPackage, EmptyWriterThrowsBadFunctionCall) {
  KorvexUSBHIDPackage package;
  EXPECT_THROW(package.Send(PatternMessage(3, 1), nullptr, nullptr), std::bad_function_call);
  // The package is not left locked by the failed send.
  RecordingWriter writer;
  package.Send(PatternMessage(3, 1), writer.Writer(), nullptr);
  EXPECT_EQ(writer.writes.size(), 1u);
}

TEST(KorvexUsbHidPackage, FirstFailedReportEndsTheMessage) {
  KorvexUSBHIDPackage package;
  int writes = 0;
  package.Send(PatternMessage(1000, 1), [&](uint8_t*, unsigned) { return ++writes == 3 ? 129 : 0; }, nullptr);
  EXPECT_EQ(writes, 3);
}

TEST(KorvexUsbHidPackage, ReceivedReportDeliversItsSinglePacket) {
  KorvexUSBHIDPackage package;
  DeliveredMessages delivered;
  delivered.Attach(package);
  std::vector<uint8_t> report(65, 0);
  report[1] = 0x00;
  report[2] = 0x03;
  report[3] = 0x41;
  report[4] = 0x42;
  report[5] = 0x43;
  package.OnReceived(report);
  ASSERT_EQ(delivered.messages.size(), 1u);
  EXPECT_EQ(delivered.messages[0], (std::vector<uint8_t>{0x41, 0x42, 0x43}));
}

// Reports are whole packets: a short report is not held back for the next one.
TEST(KorvexUsbHidPackage, ShortReportsAreNotJoined) {
  KorvexUSBHIDPackage package;
  DeliveredMessages delivered;
  delivered.Attach(package);
  package.OnReceived({0x00});
  package.OnReceived({});
  package.OnReceived({0x00, 0x00, 0x02, 0x10, 0x20});
  package.OnReceived({0x00, 0x00, 0x01, 0x30});
  ASSERT_EQ(delivered.messages.size(), 2u);
  EXPECT_EQ(delivered.messages[0], (std::vector<uint8_t>{0x10, 0x20}));
  EXPECT_EQ(delivered.messages[1], (std::vector<uint8_t>{0x30}));
}

TEST(KorvexUsbHidPackage, MultiReportMessageIsReassembled) {
  KorvexUSBHIDPackage sender;
  RecordingWriter writer;
  const auto message = PatternMessage(1000, 8);
  sender.Send(message, writer.Writer(), nullptr);
  KorvexUSBHIDPackage receiver;
  DeliveredMessages delivered;
  delivered.Attach(receiver);
  size_t position = 0;
  for (size_t length : writer.writes) {
    std::vector<uint8_t> report(writer.stream.begin() + position, writer.stream.begin() + position + length);
    report.resize(65, 0);
    receiver.OnReceived(report);
    position += length;
  }
  ASSERT_EQ(delivered.messages.size(), 1u);
  EXPECT_EQ(delivered.messages[0], message);
}

TEST(PassThroughCommunication, SendsTheWholeMessageInOneWrite) {
  PassThroughCommunication package;
  RecordingWriter writer;
  std::vector<double> progress;
  const auto message = PatternMessage(5000, 2);
  package.Send(message, writer.Writer(), [&](double fraction) { progress.push_back(fraction); });
  EXPECT_EQ(writer.writes, (std::vector<size_t>{5000}));
  EXPECT_EQ(writer.stream, message);
  EXPECT_EQ(progress, (std::vector<double>{1.0}));
}

TEST(PassThroughCommunication, DeliversEveryBlockAsItIs) {
  PassThroughCommunication package;
  DeliveredMessages delivered;
  package.OnReceived({0x01});
  delivered.Attach(package);
  package.OnReceived({0x02, 0x03});
  ASSERT_EQ(delivered.messages.size(), 1u) << "blocks before a callback is set are dropped";
  EXPECT_EQ(delivered.messages[0], (std::vector<uint8_t>{0x02, 0x03}));
}

}  // namespace
}  // namespace quorlan
