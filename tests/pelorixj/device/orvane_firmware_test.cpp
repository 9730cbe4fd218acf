// Firmware update against the real libQuorlan.so and a simulated reader
// over TCP.
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>
#include <vector>

#include "configuration_session.h"
#include "pelorixj/device/progress_adapters.h"

namespace pelorixj {
namespace {

using reader_sim::Bytes;
using reader_sim::BuildNotification;
using reader_sim::Reply;

const Bytes kVerified = BuildNotification(0x0905, 0x08010903, {});
const Bytes kInstalled = BuildNotification(0x0905, 0x08010A03, {});
const Bytes kFailed = BuildNotification(0x0906, 0x00000001, {});
// SHA-256 of 01 02 03.
const char kSmallImageDigest[] = "039058C6F2C0CB492C533B0A4D14EF77CC0F78ABCCCED5287D84A1A2011CFB81";

// A reader that takes the image and installs it.
void InstallingReader(reader_sim::SimulatedReader& reader) {
  reader.SetReply(0xD801, Reply::Ok().Then(kVerified));
  reader.SetReply(0xD901, Reply::Ok().Then(kInstalled));
}

std::vector<int> Concat(std::vector<int> head, const std::vector<int>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// Each whole percentage once while the image goes out.
std::vector<int> Range(int first, int last) {
  std::vector<int> values(last - first + 1);
  std::iota(values.begin(), values.end(), first);
  return values;
}

TEST(FirmwareProgress, MapsTheFractionSentTo10To60WithTheSinglePrecisionOffset) {
  struct Case {
    std::vector<double> fractions;
    std::vector<int> told;
  };
  const Case cases[] = {
      {{0.0, 0.01, 0.02, 0.5, 1.0}, {11, 35, 60}},
      {{0.7, 0.94, 0.96}, {45, 57, 58}},  // 44, 56, 57 with a double 0.1
      {{0.1, 0.1, 0.11}, {15}},
  };
  for (const Case& c : cases) {
    RecordingCallback callback;
    FirmwareProgressAdapter adapter(&callback);
    FirmwareProgressAdapter silent(nullptr);
    for (double fraction : c.fractions) {
      adapter(fraction);
      silent(fraction);
    }
    EXPECT_EQ(callback.progress, c.told);
  }
}

TEST(Firmware, SendsTheImageWithItsDigestThenTheInstallCommand) {
  for (bool withCallback : {true, false}) {
    SCOPED_TRACE(withCallback);
    ConfigurationSession session;
    InstallingReader(session.reader);
    ASSERT_TRUE(session.Open());
    RecordingCallback callback;
    EXPECT_EQ(session.configuration.UpdateFirmware(0x12, {1, 2, 3}, withCallback ? &callback : nullptr), 0);
    EXPECT_EQ(session.ReceivedHex(),
              (std::vector<std::string>{
                  Envelope(0xD801, {{0x81, "03"}, {0x85, "0012"}, {0x86, kSmallImageDigest}, {0x87, "010203"}}),
                  Envelope(0xD901, {{0x81, "03"}, {0x82, "00"}, {0x85, "0012"}, {0x86, kSmallImageDigest}})}));
    if (withCallback) {
      // The data command fits one packet.
      EXPECT_EQ(callback.progress, (std::vector<int>{1, 10, 60, 66, 68, 99, 100}));
      EXPECT_EQ(callback.results, (std::vector<std::pair<int, std::string>>{{0, ""}}));
    }
  }
}

TEST(Firmware, ReportsProgressPerPacketOfTheImage) {
  ConfigurationSession session;
  InstallingReader(session.reader);
  ASSERT_TRUE(session.Open());
  RecordingCallback callback;
  // 559 bytes of command: ten packets.
  EXPECT_EQ(session.configuration.UpdateFirmware(0x0100, Bytes(500, 0x5A), &callback), 0);
  EXPECT_EQ(callback.progress, (std::vector<int>{1, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 66, 68, 99, 100}));
}

// A failure, a refusal or success ends the update without sitting out a
// roomy wait; silence ends it when the wait in progress (shortened here) ends.
TEST(Firmware, EndsAtTheStageWhereTheReaderFailsRefusesOrFallsSilent) {
  // The image's reply and its verification share one wait: one that the
  // reply meets on a busy machine and that the test can still sit out.
  const ResponseWaits unverified = ShortWait(&ResponseWaits::firmwareMs, 10000);
  struct Case {
    const char* name;
    Reply data;
    Reply install;
    ResponseWaits waits;
    size_t commands;
    std::vector<int> progressTail;
    int result = 2;
  };
  const Case cases[] = {
      {"failure before verification", Reply::Ok().Then(kFailed), Reply::Ok(), kRoomyWaits, 1, {60}},
      {"failure after verification", Reply::Ok().Then(kVerified), Reply::Ok().Then(kFailed), kRoomyWaits, 2,
       {60, 66, 68}},
      {"failure repeated", Reply::Ok().Then(kVerified), Reply::Ok().Then(kFailed).Then(kFailed, 20ms), kRoomyWaits, 2,
       {60, 66, 68}},
      {"no reply to the image", Reply::Ok().WithoutResponse(), Reply::Ok(), ShortWait(&ResponseWaits::firmwareMs), 1,
       {60}},
      {"image refused", Reply::WithStatus(0, 3).Then(kVerified), Reply::Ok(), kRoomyWaits, 1, {60}},
      {"never verified", Reply::Ok(), Reply::Ok(), unverified, 1, {60}},
      {"installed but never verified", Reply::Ok().Then(kInstalled), Reply::Ok(), unverified, 1, {60}},
      {"no reply to the install command", Reply::Ok().Then(kVerified), Reply::Ok().WithoutResponse(),
       ShortWait(&ResponseWaits::replyMs), 2, {60, 66}},
      {"install command refused", Reply::Ok().Then(kVerified), Reply::WithStatus(1, 0).Then(kInstalled), kRoomyWaits,
       2, {60, 66, 68}},
      {"never installed", Reply::Ok().Then(kVerified), Reply::Ok(), ShortWait(&ResponseWaits::installationMs), 2,
       {60, 66, 68}},
      {"installed before verified", Reply::Ok().Then(kInstalled).Then(kVerified), Reply::Ok(), kRoomyWaits, 2,
       {60, 66, 68, 99, 100}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;
    session.control->SetResponseWaits(c.waits);
    session.reader.SetReply(0xD801, c.data);
    session.reader.SetReply(0xD901, c.install);
    ASSERT_TRUE(session.Open());
    RecordingCallback callback;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(session.configuration.UpdateFirmware(1, {1, 2, 3}, &callback), c.result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);  // half a roomy wait
    EXPECT_EQ(session.reader.Received().size(), c.commands);
    EXPECT_EQ(callback.progress, Concat({1, 10}, c.progressTail));
    EXPECT_EQ(callback.results, (std::vector<std::pair<int, std::string>>{{c.result, ""}}));
  }
}

TEST(Firmware, PausesTheDevicesEventsWhileItRunsOnly) {
  ConfigurationSession session;
  const Bytes during = BuildNotification(0x1001, 0x01050000, {});
  session.reader.SetReply(0xD801, Reply::Ok().Then(during).Then(kVerified));
  session.reader.SetReply(0xD901, Reply::Ok().Then(kInstalled));
  ASSERT_TRUE(session.Open());
  EXPECT_EQ(session.configuration.UpdateFirmware(1, {1, 2, 3}, nullptr), 0);
  const Bytes after = BuildNotification(0x1001, 0x01060000, {});
  session.reader.Push(after);
  ASSERT_TRUE(session.messages.WaitForCount(1));
  EXPECT_EQ(session.messages.Values(), std::vector<std::string>{Hex(after)});
}

// The largest image is the one whose command fills the largest message of
// the packet stream (3997755 bytes): 61 of them frame the image.
TEST(Firmware, Sends3MegabytesAndTheLargestImageThroughTheLink) {
  for (size_t size : {size_t{3} << 20, size_t{3997755 - 61}}) {
    SCOPED_TRACE(size);
    ConfigurationSession session;
    InstallingReader(session.reader);
    ASSERT_TRUE(session.Open());
    Bytes image(size);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
    RecordingCallback callback;
    EXPECT_EQ(session.configuration.UpdateFirmware(7, image, &callback), 0);
    const auto data = session.reader.WaitForCommand(0xD801, 0s);
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->Inner(0x87) == image);
    EXPECT_EQ(data->raw.size(), size + 61);
    EXPECT_EQ(callback.progress, Concat(Concat({1}, Range(10, 60)), {66, 68, 99, 100}));
    EXPECT_TRUE(session.reader.ProtocolErrors().empty());
  }
}

}  // namespace
}  // namespace pelorixj
