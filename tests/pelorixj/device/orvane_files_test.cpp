// File read, file and secure-file upload, images and the display image
// against the real libQuorlan.so and a simulated reader over TCP.
#include <gtest/gtest.h>

#include <openssl/sha.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "configuration_session.h"
#include "device_session.h"
#include "sim_uploads.h"

namespace pelorixj {
namespace {

using reader_sim::Bytes;
using reader_sim::BuildFileMessage;
using reader_sim::Reply;
using reader_sim::Tlv;
using Results = std::vector<std::pair<int, std::string>>;

Bytes Sha256(const Bytes& data) {
  Bytes digest(SHA256_DIGEST_LENGTH);
  SHA256(data.data(), data.size(), digest.data());
  return digest;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Pattern(size_t size) {
  Bytes data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 31 + (i >> 10));
  return data;
}

// The packet stream numbers continuation packets with 16 bits, which bounds
// a message to 59 + 65535 * 61 + 61 bytes: 17 of them frame the content.
constexpr size_t kLargestMessage = 3997755;
constexpr size_t kLargestContent = kLargestMessage - 17;

const Bytes kFileId = {0x01, 0x00, 0x00, 0x00};
const Bytes kPayload = {0xCE, 0x03, 0x82, 0x01, 0x41};
const Bytes kFile = BuildFileMessage(0xD821, 0x01000000, kPayload);

TEST(GetFile, AsksForTheFileAndTakesTheFirstFileMessageOfThatFile) {
  struct Case {
    const char* name;
    Bytes fileId;
    Reply reply;
    bool open;
    int result;
    Results told;  // with a callback
    ResponseWaits waits = kRoomyWaits;
  };
  const std::string request = Envelope(0xD821, {{0x81, "01000000"}, {0x87, "01"}});
  const Case cases[] = {
      {"file after the reply", kFileId, Reply::Ok().Then(kFile, 20ms), true, 0, {{0, Hex(kPayload)}}},
      {"file before the reply", kFileId, Reply::Ok().Before(kFile), true, 0, {{0, Hex(kPayload)}}},
      {"file twice", kFileId, Reply::Ok().Then(kFile).Then(BuildFileMessage(0xD821, 0x01000000, {9})), true, 0,
       {{0, Hex(kPayload)}}},
      {"no file", kFileId, Reply::Ok(), true, 2, {{1, ""}}, ShortWait(&ResponseWaits::fileMs)},
      {"only another file", kFileId, Reply::Ok().Then(BuildFileMessage(0xD821, 0x02000000, kPayload)), true, 2,
       {{1, ""}}, ShortWait(&ResponseWaits::fileMs)},
      {"refused", kFileId, Reply::WithStatus(0, 5).Then(kFile), true, 2, {}},
      {"no reply", kFileId, Reply::Ok().WithoutResponse(), true, 2, {}, ShortWait(&ResponseWaits::replyMs)},
      {"closed", kFileId, Reply::Ok().Then(kFile), false, 2, {}},
      {"3-byte id", {1, 0, 0}, Reply::Ok().Then(kFile), true, 3, {}},
      {"5-byte id", {1, 0, 0, 0, 0}, Reply::Ok().Then(kFile), true, 3, {}},
  };
  for (const Case& c : cases) {
    for (bool withCallback : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (withCallback ? "" : ", no callback"));
      ConfigurationSession session;
      session.control->SetResponseWaits(c.waits);
      session.reader.SetReply(0xD821, c.reply);
      if (c.open) {
        ASSERT_TRUE(session.Open());
      }
      RecordingCallback callback;
      EXPECT_EQ(session.configuration.GetFile(c.fileId, withCallback ? &callback : nullptr), c.result);
      EXPECT_EQ(callback.results, withCallback ? c.told : Results{});
      const bool sent = c.open && c.fileId.size() == 4;
      EXPECT_EQ(session.ReceivedHex(), sent ? std::vector<std::string>{request} : std::vector<std::string>{});
    }
  }
}

TEST(GetFile, Takes3MegabytesAndTheLargestFileThroughTheLink) {
  for (size_t size : {size_t{3} << 20, kLargestContent}) {
    SCOPED_TRACE(size);
    ConfigurationSession session;
    const Bytes content = Pattern(size);
    const Bytes file = BuildFileMessage(0xD821, 0x01000000, content);
    ASSERT_EQ(file.size(), size + 17);
    session.reader.SetReply(0xD821, Reply::Ok().Then(file));
    ASSERT_TRUE(session.Open());
    RecordingCallback callback;
    EXPECT_EQ(session.configuration.GetFile(kFileId, &callback), 0);
    ASSERT_EQ(callback.results.size(), 1u);
    EXPECT_EQ(callback.results[0].first, 0);
    EXPECT_TRUE(callback.results[0].second == Hex(content));
    EXPECT_TRUE(session.reader.ProtocolErrors().empty());
  }
}

TEST(GetFile, HandsEveryMessageToTheDevicesHandlerWhileItWaits) {
  ConfigurationSession session;
  const Bytes notification = reader_sim::BuildNotification(0x1001, 0x01050000, {});
  session.reader.SetReply(0xD821, Reply::Ok().Then(notification).Then(kFile, 20ms));
  // The device's own handler fails on the file: it is still taken.
  session.control->SetDataArriveHandler([&](std::string message) {
    session.messages.Add(message);
    if (message == Hex(kFile)) throw std::runtime_error("subscriber failed");
  });
  ASSERT_TRUE(session.Open());
  RecordingCallback callback;
  EXPECT_EQ(session.configuration.GetFile(kFileId, &callback), 0);
  EXPECT_EQ(callback.results, (Results{{0, Hex(kPayload)}}));
  ASSERT_TRUE(session.messages.WaitForCount(3));
  const std::vector<std::string> messages = session.messages.Values();
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 1, messages.end()),
            (std::vector<std::string>{Hex(notification), Hex(kFile)}));
}

// An announcement's inner frame: its code, then its items in the frame's
// order of parameter numbers.
Bytes AnnouncementFrame(uint16_t code, const std::string& idHex, const Bytes& content) {
  Bytes size;
  for (size_t n = content.size(); n > 0; n >>= 8) size.insert(size.begin(), static_cast<uint8_t>(n));
  if (size.empty()) size = {0};
  return reader_sim::Concat(
      {{static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)}, Tlv(0x81, reader_sim::FromHex(idHex)),
       Tlv(0x87, {1}), Tlv(0xA2, reader_sim::Concat({Tlv(0x81, size), Tlv(0x82, {4}), Tlv(0x83, Sha256(content))})),
       Tlv(0xA3, Tlv(0x81, Text(idHex)))});
}

std::string Announced(uint16_t code, const std::string& idHex, const Bytes& content) {
  return Masked(Hex(CommandEnvelope(code, AnnouncementFrame(code, idHex, content))));
}

std::string FileMessage(uint16_t code, uint32_t fileNumber, const Bytes& content) {
  return Masked(Hex(BuildFileMessage(code, fileNumber, content)));
}

TEST(SendFile, AnnouncesTheFileThenSendsItsContent) {
  struct Case {
    const char* name;
    Bytes fileId;
    Bytes content;
    reader_sim::UploadScript script;
    int result;
    bool contentSent;
  };
  reader_sim::UploadScript refuseAnnouncement;
  refuseAnnouncement.announcement = {0, 7};
  reader_sim::UploadScript refuseContent;
  refuseContent.content = {1, 0};
  const Case cases[] = {
      {"image id", {2, 0, 0, 0}, Text("abc"), {}, 0, true},
      {"255 bytes", {2, 0, 0, 1}, Pattern(255), {}, 0, true},
      {"256 bytes", {2, 0, 0, 1}, Pattern(256), {}, 0, true},
      {"65536 bytes", {2, 0, 0, 1}, Pattern(65536), {}, 0, true},
      {"announcement refused", {2, 0, 0, 0}, Text("abc"), refuseAnnouncement, 2, false},
      {"content refused", {2, 0, 0, 0}, Text("abc"), refuseContent, 2, true},
      {"id above 7FFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF}, Text("abc"), {}, 2, false},
      {"empty id", {}, Text("abc"), {}, 2, false},
  };
  for (const Case& c : cases) {
    for (bool withCallback : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (withCallback ? "" : ", no callback"));
      ConfigurationSession session;
      reader_sim::UploadDesk desk(session.reader, c.script);
      ASSERT_TRUE(session.Open());
      RecordingCallback callback;
      EXPECT_EQ(session.configuration.SendFile(c.fileId, c.content, withCallback ? &callback : nullptr), c.result);
      const std::string idHex = Hex(c.fileId);
      std::vector<std::string> sent = {Announced(0xD812, idHex, c.content)};
      if (c.contentSent) sent.push_back(FileMessage(0xD812, std::stoul(idHex, nullptr, 16), c.content));
      EXPECT_EQ(session.ReceivedHex(), sent);
      if (!withCallback) continue;
      EXPECT_EQ(callback.results, (Results{{c.result, ""}}));
      if (c.contentSent) {
        ASSERT_FALSE(callback.progress.empty());
        EXPECT_EQ(callback.progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(callback.progress.begin(), callback.progress.end()));
      }
    }
  }
}

TEST(SendFile, SendsNothingForEmptyContent) {
  ConfigurationSession session;
  ASSERT_TRUE(session.Open());
  RecordingCallback callback;
  EXPECT_EQ(session.configuration.SendFile({2, 0, 0, 0}, {}, &callback), 2);
  EXPECT_TRUE(callback.results.empty());
  session.control->SendFormattedCommand("1F7F");
  ASSERT_TRUE(session.reader.WaitForCommand(0x1F7F, kRoomyWait));
  EXPECT_EQ(session.ReceivedHex(), std::vector<std::string>{Envelope(0x1F7F)});
}

TEST(SendSecureFile, SignsTheAnnouncementOverTheChallengeWithTheCallersMac) {
  struct Case {
    const char* name;
    Bytes content;
    bool withCallback;
    MacResult mac;
    Bytes macSent;
    reader_sim::UploadScript script;
    int result;
  };
  reader_sim::UploadScript refuseContent;
  refuseContent.content = {0, 9};
  const Case cases[] = {
      {"content", Text("abc"), true, {0, "", {0xAB, 0xCD}}, {0xAB, 0xCD}, {}, 0},
      {"empty content", {}, true, {0, "", {0xAB}}, {0xAB}, {}, 0},
      {"MAC refused by the callback", Text("abc"), true, {4, "", {0xAB}}, {}, {}, 0},
      {"no callback", Text("abc"), false, {}, {}, {}, 0},
      {"content refused", Text("abc"), true, {0, "", {0xAB}}, {0xAB}, refuseContent, 2},
  };
  const Bytes name = {0x0A, 0x0B, 0x0C, 0x0D};
  const Bytes nested = reader_sim::FromHex("8105030306020884008500A8021111A900");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;
    reader_sim::UploadDesk desk(session.reader, c.script);
    ASSERT_TRUE(session.Open());
    RecordingCallback callback;
    callback.macAnswer = c.mac;
    EXPECT_EQ(session.configuration.SendSecureFile(name, c.content, c.withCallback ? &callback : nullptr), c.result);

    const reader_sim::UploadScript& s = c.script;
    const Bytes signedPart =
        reader_sim::Concat({{0xEE, 0xEE}, Tlv(0x82, s.parameter82), Tlv(0x83, s.token),
                            Tlv(0x84, AnnouncementFrame(0xD811, "0A0B0C0D", c.content)), Tlv(0xA1, nested)});
    // Named by the frame type of the command it signs: the envelope's.
    const Bytes signedRequest = CommandEnvelope(0xAA00, reader_sim::Concat({signedPart, Tlv(0xFF, c.macSent)}));
    EXPECT_EQ(session.ReceivedHex(), (std::vector<std::string>{Envelope(0xE001, {{0x81, "D811"}}),
                                                                Masked(Hex(signedRequest)),
                                                                FileMessage(0xD811, 0x0A0B0C0D, c.content)}));
    if (!c.withCallback) continue;
    EXPECT_EQ(callback.signedData, (Results{{0, Hex(signedPart)}}));
    EXPECT_EQ(callback.results, (Results{{c.result, ""}}));
  }
}

TEST(SendImage, UploadsIntoSlots1To4Only) {
  for (uint8_t slot = 0; slot <= 5; ++slot) {
    SCOPED_TRACE(slot);
    ConfigurationSession session;
    reader_sim::UploadDesk desk(session.reader, {});
    ASSERT_TRUE(session.Open());
    RecordingCallback callback;
    const bool valid = slot >= 1 && slot <= 4;
    EXPECT_EQ(session.configuration.SendImage(slot, Text("img"), &callback), valid ? 0 : 3);
    EXPECT_EQ(callback.results, valid ? (Results{{0, ""}}) : Results());
    const auto uploads = desk.Uploads();
    ASSERT_EQ(uploads.size(), valid ? 1u : 0u);
    if (valid) {
      EXPECT_EQ(uploads[0].fileNumber, 0x02000000u + slot - 1);
      EXPECT_EQ(uploads[0].fault, "");
    }
  }
}

TEST(SendImage, Uploads3MegabytesAndTheLargestImageThroughTheLink) {
  for (size_t size : {size_t{3} << 20, kLargestContent}) {
    SCOPED_TRACE(size);
    ConfigurationSession session;
    reader_sim::UploadScript script;
    script.sha256 = Sha256;
    reader_sim::UploadDesk desk(session.reader, script);
    ASSERT_TRUE(session.Open());
    const Bytes image = Pattern(size);
    RecordingCallback callback;
    EXPECT_EQ(session.configuration.SendImage(2, image, &callback), 0);
    const auto uploads = desk.Uploads();
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].fault, "");
    EXPECT_TRUE(uploads[0].content == image);
    EXPECT_EQ(session.reader.Received().back().raw.size(), size + 17);
    std::vector<int> everyPercent(100);
    std::iota(everyPercent.begin(), everyPercent.end(), 1);
    EXPECT_EQ(callback.progress, everyPercent);
    EXPECT_TRUE(session.reader.ProtocolErrors().empty());
  }
}

TEST(SetDisplayImage, WritesTheImageIdAtItsPath) {
  for (uint32_t status : {0u, 5u}) {
    ConfigurationSession session;
    session.reader.SetReply(0xD111, Reply::WithStatus(0, status));
    ASSERT_TRUE(session.Open());
    EXPECT_EQ(session.configuration.SetDisplayImage(2), static_cast<int>(status));
    EXPECT_EQ(session.ReceivedHex(),
              std::vector<std::string>{Envelope(0xD111, {{0x85, "01"}, {0x89, "E209E307E105E103C10102"}})});
  }
}

// The device's own read of the file its reader announces, a caller's read
// of another file meanwhile, and a firmware update started meanwhile each
// get what they wait for, and the device's events flow again afterwards.
// The announced file arrives while the update pauses the events.
TEST(Overlaps, TheDevicesOwnReadACallersReadAndAFirmwareUpdateEachComplete) {
  DeviceSession session;
  const Bytes first = {0x11}, second = {0x22};
  const Bytes firstFile = BuildFileMessage(0xD821, 0x01000000, first);
  const Bytes secondFile = BuildFileMessage(0xD821, 0x02000000, second);
  session.reader.SetResponder(0xD821, [&](const reader_sim::ReceivedMessage& m) {
    return std::optional<Reply>(m.Inner(0x81) == kFileId ? Reply::Ok() : Reply::Ok().Then(secondFile));
  });
  session.reader.SetReply(0xD801, Reply::Ok().Then(reader_sim::BuildNotification(0x0905, 0x08010903, {})));
  session.reader.SetReply(0xD901, Reply::Ok().Then(reader_sim::BuildNotification(0x0905, 0x08010A03, {}), 300ms));
  ASSERT_TRUE(session.Open());
  auto* configuration = static_cast<OrvaneDeviceConfiguration*>(session.device->GetDeviceConfiguration());
  // The device's own read as the device makes it, with a callback to observe it.
  RecordingCallback ownRead, callersRead, update;
  Recorded<int> ownResult;
  session.device->SetFollowUpRead(
      [&](const StopSignal& stop) { ownResult.Add(configuration->GetFile(kFileId, &ownRead, stop)); });

  session.reader.Push(reader_sim::BuildNotification(0x1805, 0x01010101, {}));
  ASSERT_TRUE(session.reader.WaitForCommand(0xD821, kRoomyWait));
  EXPECT_EQ(configuration->GetFile({2, 0, 0, 0}, &callersRead), 0);
  std::thread pusher([&] {
    session.reader.WaitForCommand(0xD901, kRoomyWait);
    session.reader.Push(firstFile);
  });
  EXPECT_EQ(configuration->UpdateFirmware(1, {1, 2, 3}, &update), 0);
  pusher.join();
  ASSERT_TRUE(ownResult.WaitForCount(1));
  EXPECT_EQ(ownResult.Values(), std::vector<int>{0});
  EXPECT_EQ(ownRead.results, (Results{{0, Hex(first)}}));
  EXPECT_EQ(callersRead.results, (Results{{0, Hex(second)}}));
  EXPECT_EQ(update.results, (Results{{0, ""}}));
  const Events events = session.subscriber.events.Values();
  EXPECT_EQ(std::count(events.begin(), events.end(), Event{kEventFileMessage, Hex(firstFile)}), 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), Event{kEventFileMessage, Hex(secondFile)}), 1);

  session.reader.Push(reader_sim::BuildNotification(0x1001, 0x01060000, {}));
  ASSERT_TRUE(session.subscriber.events.WaitForCount(events.size() + 2));
  EXPECT_EQ(session.subscriber.events.Values().back(), (Event{kEventUser, "touch_removed"}));
}

TEST(Overlaps, ClosingTheControlOrRaisingTheStopSignalEndsTheWaitsAtOnce) {
  struct Case {
    const char* name;
    uint16_t lastCommand;
    std::function<int(OrvaneDeviceConfiguration&, RecordingCallback&, const StopSignal&)> call;
    bool raiseStop;  // else close the control
    Results told;
  };
  const Case cases[] = {
      {"file read, closed", 0xD821, [](auto& c, auto& cb, auto&) { return c.GetFile(kFileId, &cb); }, false, {{1, ""}}},
      {"file read, stopped", 0xD821, [](auto& c, auto& cb, auto& stop) { return c.GetFile(kFileId, &cb, stop); },
       true, {{1, ""}}},
      {"firmware update, closed", 0xD901, [](auto& c, auto& cb, auto&) { return c.UpdateFirmware(1, {1, 2, 3}, &cb); },
       false, {{2, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;  // waits far longer than the bound below
    session.reader.SetReply(0xD821, Reply::Ok());
    session.reader.SetReply(0xD801, Reply::Ok().Then(reader_sim::BuildNotification(0x0905, 0x08010903, {})));
    session.reader.SetReply(0xD901, Reply::Ok());
    ASSERT_TRUE(session.Open());
    StopSignal stop;
    std::thread ender([&] {
      session.reader.WaitForCommand(c.lastCommand, kRoomyWait);
      std::this_thread::sleep_for(50ms);
      if (c.raiseStop) {
        stop.Raise();
      } else {
        session.control->Close();
      }
    });
    RecordingCallback callback;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.call(session.configuration, callback, stop), 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    ender.join();
    EXPECT_EQ(callback.results, c.told);
  }
}

}  // namespace
}  // namespace pelorixj
