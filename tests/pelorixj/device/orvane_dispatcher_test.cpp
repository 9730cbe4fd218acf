// What a newer-platform device makes of the messages its reader sends:
// events, acknowledgements and its own file read, with the simulated reader
// over TCP and the real libQuorlan.so.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device_session.h"
#include "eventually.h"
#include "pelorixj/device/destroy_device.h"
#include "pelorixj/device/orvane_device_registry.h"

namespace pelorixj {
namespace {

using reader_sim::Bytes;
using reader_sim::Concat;
using reader_sim::Tlv;
using reader_sim::ToHex;
using test_support::Eventually;

Bytes Notification(uint16_t id, uint32_t code, const reader_sim::InnerParameters& parameters = {}) {
  return reader_sim::BuildNotification(id, code, parameters);
}

// A file message whose header starts 0x84, as the reader sends the file
// that holds its text.
Bytes TextFileMessage(uint32_t fileId, const Bytes& payload) {
  return Concat({{0xAA, 0x00},
                 Tlv(0x81, {0x84, 0x00, 0xD8, 0x21, static_cast<uint8_t>(fileId >> 24),
                            static_cast<uint8_t>(fileId >> 16), static_cast<uint8_t>(fileId >> 8),
                            static_cast<uint8_t>(fileId)}),
                 Tlv(0x84, payload)});
}

// Eight bytes, then the items of the file.
Bytes TextFilePayload(const Bytes& items) { return Concat({Bytes(8, 0x00), items}); }

// A response to command 0x1001 whose statuses travel in parameter 0x21,
// where they may be as wide as the status code.
Bytes WideStatusResponse(const Bytes& commandStatus, const Bytes& operationStatus) {
  return Concat({{0xAA, 0x00}, Tlv(0x81, {0x02, 0x00, 0x10, 0x01}),
                 Tlv(0xA2, Concat({Tlv(0x81, commandStatus), Tlv(0x82, operationStatus)}))});
}

const char kArqcAcknowledgement[] = "AAFF81040101101084051010810102";
const char kBatchAcknowledgement[] = "AAFF81040101101084051010810103";

TEST(OrvaneDispatcher, TurnsEveryMessageIntoItsEventsAcknowledgementsAndReads) {
  const auto t = [](const char* text) { return Event{kEventTransaction, text}; };
  const Bytes text = {0x00, 0x41, 0x00, 0x42, 0x00, 0x43};
  const Bytes textFile = TextFilePayload(Tlv(0xCE, Tlv(0x82, text)));
  const struct {
    const char* name;
    Bytes message;
    Events derived;          // after a notification's own event 3, or all for other messages
    const char* ack = "";    // the acknowledgement the reader receives
    bool readsFile = false;  // the device starts its file read
  } rows[] = {
      {"card inserted", Notification(0x0101, 0x10010200), {t("card_inserted")}},
      {"card removed", Notification(0x0101, 0x10010300), {t("card_removed")}},
      {"card swiped", Notification(0x0101, 0x08010100), {t("card_swiped")}},
      {"card detected by contact", Notification(0x0101, 0x10010400), {t("card_detected")}},
      {"card detected contactless", Notification(0x0101, 0x20010400), {t("card_detected")}},
      {"card collision", Notification(0x0101, 0x20010500), {t("card_collision")}},
      {"card code of another id", Notification(0x0102, 0x10010200), {}},
      {"ARQC data, stripe", Notification(0x0101, 0x08080202, {{0x84, {0xAB, 0xCD}}}), {{8, "ABCD"}}},
      {"ARQC data, chip", Notification(0x0101, 0x10080202, {{0x84, {0x01}}}), {{8, "01"}}},
      {"ARQC data, contactless", Notification(0x0101, 0x20080202), {{8, ""}}},
      {"ARQC data of no interface", Notification(0x0101, 0x30080202, {{0x84, {0x01}}}), {}},
      {"batch data with extracted data",
       Notification(0x0101, 0x08080302, {{0x84, reader_sim::FromHex("0000DFDF3E0112")}}),
       {{9, "0000DFDF3E0112"}, {11, "12"}}},
      {"batch data, nothing beyond its head", Notification(0x0101, 0x10080302, {{0x84, {0x00, 0x00}}}), {{9, "0000"}}},
      {"batch data without the item", Notification(0x0101, 0x20080302, {{0x84, reader_sim::FromHex("0000DF010101")}}),
       {{9, "0000DF010101"}}},
      {"ARQC request, stripe", Notification(0x0101, 0x08080201), {}, kArqcAcknowledgement},
      {"ARQC request, chip", Notification(0x0101, 0x10080201), {}, kArqcAcknowledgement},
      {"ARQC request, contactless", Notification(0x0101, 0x20080201), {}, kArqcAcknowledgement},
      {"batch request, stripe", Notification(0x0101, 0x08080301), {}, kBatchAcknowledgement},
      {"batch request, chip", Notification(0x0101, 0x10080301), {}, kBatchAcknowledgement},
      {"batch request, contactless", Notification(0x0101, 0x20080301), {}, kBatchAcknowledgement},
      {"display cleared", Notification(0x1803, 0x02010000), {{6, ""}}},
      {"display text", Notification(0x1803, 0x02010100, {{0x83, {'H', 'i'}}}), {{6, "Hi"}}},
      {"display prompt", Notification(0x1803, 0x02010200, {{0x83, {'O', 'K'}}}), {{6, "OK"}}},
      {"display data", Notification(0x1803, 0x02020000, {{0x81, {0x07}}}),
       {{7, ToHex(Notification(0x1803, 0x02020000, {{0x81, {0x07}}}))}}},
      {"other display code", Notification(0x1803, 0x02030000), {}},
      {"file announced", Notification(0x1805, 0x01010101), {}, "", true},
      {"other code of the announcing id", Notification(0x1805, 0x01010102), {}},
      {"reset occurred", Notification(0x1001, 0x00000000), {{14, "device_reset_occurred"}}},
      {"reset will occur", Notification(0x1001, 0x00010000), {{14, "device_reset_will_occur"}}},
      {"contactless card presented", Notification(0x1001, 0x01000000), {{15, "contactless_card_presented"}}},
      {"contactless card removed", Notification(0x1001, 0x01010000), {{15, "contactless_card_removed"}}},
      {"card seated", Notification(0x1001, 0x01020000), {{15, "card_seated"}}},
      {"card unseated", Notification(0x1001, 0x01030000), {{15, "card_unseated"}}},
      {"user swiped", Notification(0x1001, 0x01040000), {{15, "card_swiped"}}},
      {"touch presented", Notification(0x1001, 0x01050000), {{15, "touch_presented"}}},
      {"touch removed", Notification(0x1001, 0x01060000), {{15, "touch_removed"}}},
      {"other system code", Notification(0x1001, 0x02000000), {}},
      {"technical fallback", Notification(0x0105, 0x10020002), {t("technical_fallback")}},
      {"technical fallback, other form", Notification(0x0105, 0x10020F02), {t("technical_fallback")}},
      {"data entered", Notification(0x0105, 0x07040000), {t("data_entered")}},
      {"cancelled on the reader", Notification(0x0105, 0x07030500), {t("transaction_cancelled")}},
      {"stripe fallback", Notification(0x0105, 0x10020103), {t("msr_fallback")}},
      {"stripe fallback, other step", Notification(0x0105, 0x10021103), {t("msr_fallback")}},
      {"timed out", Notification(0x0105, 0x00010001), {t("timed_out")}},
      {"transaction error", Notification(0x0105, 0x05030000), {t("transaction_error")}},
      {"try another interface", Notification(0x0105, 0x00020100), {t("try_another_interface")}},
      {"approved, signature", Notification(0x0105, 0x00020201),
       {t("transaction_approved"), t("signature_capture_requested")}},
      {"approved offline", Notification(0x0105, 0x00020600), {t("transaction_approved")}},
      {"declined", Notification(0x0105, 0x00020300), {t("transaction_declined")}},
      {"failed", Notification(0x0105, 0x00020400), {t("transaction_failed")}},
      {"failed, other form", Notification(0x0105, 0x00020800), {t("transaction_failed")}},
      {"not accepted", Notification(0x0105, 0x00020500), {t("transaction_not_accepted")}},
      {"not accepted, other form", Notification(0x0105, 0x00020900), {t("transaction_not_accepted")}},
      {"quick chip deferred", Notification(0x0105, 0x00020700), {t("quick_chip_deferred")}},
      {"cancelled", Notification(0x0105, 0x00020A00), {t("transaction_cancelled")}},
      {"signature alone", Notification(0x0105, 0x00021101), {t("signature_capture_requested")}},
      {"unknown outcome", Notification(0x0105, 0x00020B00), {}},
      {"completed", Notification(0x0105, 0x00040000), {t("transaction_completed")}},
      {"completed, signature", Notification(0x0105, 0x00040001),
       {t("transaction_completed"), t("signature_capture_requested")}},
      {"other stage", Notification(0x0105, 0x00050000), {}},
      {"file with text", TextFileMessage(0x01000000, textFile),
       {{12, ToHex(TextFileMessage(0x01000000, textFile))}, {11, "414243"}}},
      {"file with text of odd length", TextFileMessage(0x01000000, TextFilePayload(Tlv(0xCE, Tlv(0x82, {0, 1, 0}))))
       , {{12, ToHex(TextFileMessage(0x01000000, TextFilePayload(Tlv(0xCE, Tlv(0x82, {0, 1, 0})))))}, {11, "01"}}},
      {"file of another id", TextFileMessage(0x02000000, textFile),
       {{12, ToHex(TextFileMessage(0x02000000, textFile))}}},
      {"file with no more than its head", TextFileMessage(0x01000000, Bytes(8, 0x01)),
       {{12, ToHex(TextFileMessage(0x01000000, Bytes(8, 0x01)))}}},
      {"file without text", TextFileMessage(0x01000000, TextFilePayload(Tlv(0xC1, {0x01}))),
       {{12, ToHex(TextFileMessage(0x01000000, TextFilePayload(Tlv(0xC1, {0x01}))))}}},
      {"file with another header", reader_sim::BuildFileMessage(0xD821, 0x01000000, textFile),
       {{12, ToHex(reader_sim::BuildFileMessage(0xD821, 0x01000000, textFile))}}},
      {"response", reader_sim::BuildResponse(0x1001, 0, {1, 2}, {}),
       {{13, "operation_done,00001001,Operation Done,00000102"},
        {1, ToHex(reader_sim::BuildResponse(0x1001, 0, {1, 2}, {}))}}},
      {"response of a started operation", WideStatusResponse({0x00}, {0x01, 0x00, 0x00}),
       {{13, "operation_started,00001001,Operation Started,01000000"},
        {1, ToHex(WideStatusResponse({0x00}, {0x01, 0x00, 0x00}))}}},
      {"response with a warning", WideStatusResponse({0x40, 0x00, 0x00, 0x00}, {0x00}),
       {{13, "operation_warning,00001001,Operation Warning,40000000"},
        {13, "operation_done,00001001,Operation Done,40000000"},
        {1, ToHex(WideStatusResponse({0x40, 0x00, 0x00, 0x00}, {0x00}))}}},
      {"started with a warning", WideStatusResponse({0x41, 0x00, 0x00, 0x05}, {0x00}),
       {{13, "operation_started,00001001,Operation Started,41000005"},
        {13, "operation_warning,00001001,Operation Warning,41000005"},
        {1, ToHex(WideStatusResponse({0x41, 0x00, 0x00, 0x05}, {0x00}))}}},
      {"failed response", WideStatusResponse({0x07}, {0x80, 0x00, 0x00}),
       {{13, "operation_failed,00001001,Operation Failed,80000007"},
        {1, ToHex(WideStatusResponse({0x07}, {0x80, 0x00, 0x00}))}}},
      {"failed while running", WideStatusResponse({0x00}, {0x81, 0x00, 0x00}),
       {{13, "operation_started,00001001,Operation Running,81000000"},
        {13, "operation_failed,00001001,Operation Failed,81000000"},
        {1, ToHex(WideStatusResponse({0x00}, {0x81, 0x00, 0x00}))}}},
      {"response of another selector", WideStatusResponse({0x00}, {0x02, 0x00, 0x00}),
       {{1, ToHex(WideStatusResponse({0x00}, {0x02, 0x00, 0x00}))}}},
  };
  // Each row ends with a notification that nothing else raises: its event 3
  // marks the row's end.
  const Bytes marker = Notification(0x7E7E, 0x7E7E7E7E);
  std::atomic<int> markers{0};
  std::atomic<int> markersBeforeRow{0};
  class MarkerCounter : public RecordingSubscriber {
   public:
    MarkerCounter(const std::string& marker, std::atomic<int>& count) : marker_(marker), count_(count) {}
    void OnEvent(int eventType, ByteDataRecord payload) override {
      if (payload.Text == marker_) ++count_;
      RecordingSubscriber::OnEvent(eventType, std::move(payload));
    }

   private:
    const std::string marker_;
    std::atomic<int>& count_;
  } subscriber(ToHex(marker), markers);
  DeviceSession session;
  session.device->SubscribeAll(Unowned(subscriber));
  // The read holds its thread until the row's marker has been handled: on
  // the delivery thread it would wait in vain.
  Recorded<bool> reads;
  session.device->SetFollowUpRead([&](const StopSignal& stop) {
    reads.Add(stop.WaitFor(kRoomyWait, [&] { return markers > markersBeforeRow; }));
  });
  session.reader.SetNoReply(0x1010);
  session.reader.SetNoReply(0x1F7F);
  ASSERT_TRUE(session.Open());
  size_t seen = subscriber.events.Values().size();
  size_t announced = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    session.reader.ClearReceived();
    markersBeforeRow = markers.load();
    session.reader.Push(row.message);
    session.reader.Push(marker);
    Events expected;
    if (row.message[4] == reader_sim::kNotification) expected.push_back({kEventDeviceNotification, ToHex(row.message)});
    expected.insert(expected.end(), row.derived.begin(), row.derived.end());
    expected.push_back({kEventDeviceNotification, ToHex(marker)});
    ASSERT_TRUE(subscriber.events.WaitForCount(seen + expected.size()));
    const Events all = subscriber.events.Values();
    EXPECT_EQ(Events(all.begin() + static_cast<long>(seen), all.end()), expected);
    seen = all.size();
    // The acknowledgement went out before the marker was handled.
    session.device->Control().SendFormattedCommand("1F7F");
    ASSERT_TRUE(session.reader.WaitForCommand(0x1F7F, kRoomyWait));
    std::vector<std::string> sent;
    if (*row.ack) sent.push_back(Masked(row.ack));
    sent.push_back(Envelope(0x1F7F));
    EXPECT_EQ(ReceivedHex(session.reader), sent);
    if (row.readsFile) {
      ++announced;
      ASSERT_TRUE(reads.WaitForCount(announced));
    }
  }
  EXPECT_EQ(reads.Values(), std::vector<bool>{true});
  EXPECT_TRUE(session.reader.ProtocolErrors().empty());
}

TEST(OrvaneDispatcher, AcknowledgesAndReadsAlsoWithoutASubscriber) {
  DeviceSession session;
  session.device->UnsubscribeAll();
  Recorded<bool> reads;
  session.device->SetFollowUpRead([&](const StopSignal&) { reads.Add(true); });
  session.reader.SetNoReply(0x1010);
  ASSERT_TRUE(session.Open());
  session.reader.Push(Notification(0x1805, 0x01010101));
  session.reader.Push(Notification(0x0101, 0x10080201));
  ASSERT_TRUE(session.reader.WaitForMessageCount(1, kRoomyWait));
  EXPECT_EQ(ReceivedHex(session.reader), std::vector<std::string>{Masked(kArqcAcknowledgement)});
  EXPECT_TRUE(reads.WaitForCount(1));
  EXPECT_TRUE(session.subscriber.events.Values().empty());
}

TEST(OrvaneDispatcher, CloseAndReleaseEndTheFileReadsWaitEarly) {
  for (const bool release : {false, true}) {
    SCOPED_TRACE(release ? "release" : "close");
    DeviceSession session;
    Recorded<bool> started;
    std::atomic<bool> ended{false};
    session.device->SetFollowUpRead([&](const StopSignal& stop) {
      started.Add(true);
      stop.WaitFor(10s, [] { return false; });
      ended = true;
    });
    ASSERT_TRUE(session.Open());
    session.reader.Push(Notification(0x1805, 0x01010101));
    ASSERT_TRUE(started.WaitForCount(1));
    const auto before = std::chrono::steady_clock::now();
    if (release) {
      delete session.device;
      session.device = nullptr;
    } else {
      session.device->Close();
    }
    EXPECT_TRUE(ended);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  }
}

// The device's own read of the file the reader announces, through the
// configuration's GetFile: it goes out on the device's thread while events
// flow, takes the file whether it comes before or after the reply, and so
// frees its thread for the next announcement at once (a missed file would
// hold it for the whole wait).
TEST(OrvaneDispatcher, ReadsTheAnnouncedFileOnItsOwnThreadWhileEventsFlow) {
  using reader_sim::Reply;
  const Bytes file = TextFileMessage(0x01000000, TextFilePayload(Tlv(0xCE, Tlv(0x82, {0x00, 0x41, 0x00, 0x42}))));
  const Bytes announcement = Notification(0x1805, 0x01010101);
  const Bytes inserted = Notification(0x0101, 0x10010200);
  const Events fileEvents = {{12, ToHex(file)}, {11, "4142"}};
  const Events insertedEvents = {{3, ToHex(inserted)}, {kEventTransaction, "card_inserted"}};
  // Its reply reaches the device's handler too (sequence masked).
  const Events replyEvents = {{13, "operation_done,0000D821,Operation Done,00000000"},
                              {1, Masked(ToHex(reader_sim::BuildResponse(0xD821, 0, {0, 0}, {})))}};
  const std::string request = Envelope(0xD821, {{0x81, "01000000"}, {0x87, "01"}});
  const struct {
    const char* name;
    Reply reply;
    bool fileFirst;
  } rows[] = {
      {"file after the reply", Reply::Ok().Then(inserted).Then(file, 20ms), false},
      {"file before the reply", Reply::Ok().Before(file).Then(inserted), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    DeviceSession session;
    session.reader.SetNoReply(0x1010);
    session.reader.SetReply(0xD821, row.reply);
    ASSERT_TRUE(session.Open());
    session.reader.ClearReceived();
    const size_t seen = session.subscriber.events.Values().size();
    session.reader.Push(announcement);
    Events expected = {{3, ToHex(announcement)}};
    for (const Events* part : row.fileFirst ? std::vector<const Events*>{&fileEvents, &replyEvents, &insertedEvents}
                                            : std::vector<const Events*>{&replyEvents, &insertedEvents, &fileEvents}) {
      expected.insert(expected.end(), part->begin(), part->end());
    }
    ASSERT_TRUE(session.subscriber.events.WaitForCount(seen + expected.size()));
    Events all = session.subscriber.events.Values();
    for (Event& event : all) {
      if (event.first == 1) event.second = Masked(event.second);
    }
    EXPECT_EQ(Events(all.begin() + static_cast<long>(seen), all.end()), expected);
    EXPECT_EQ(ReceivedHex(session.reader), std::vector<std::string>{request});

    session.reader.ClearReceived();
    const auto before = std::chrono::steady_clock::now();
    session.reader.Push(announcement);
    ASSERT_TRUE(session.reader.WaitForCommand(0xD821, kRoomyWait));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    EXPECT_TRUE(session.reader.ProtocolErrors().empty());
  }
}

TEST(OrvaneDispatcher, ClosingEndsTheWaitOfItsReadForAFileThatDoesNotCome) {
  DeviceSession session;
  session.reader.SetReply(0xD821, reader_sim::Reply::Ok());
  ASSERT_TRUE(session.Open());
  session.reader.Push(Notification(0x1805, 0x01010101));
  ASSERT_TRUE(session.reader.WaitForCommand(0xD821, kRoomyWait));
  // Past the reply: the read now waits for the file.
  std::this_thread::sleep_for(50ms);
  const auto before = std::chrono::steady_clock::now();
  // Returns once the read's thread has ended.
  session.device->Close();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
}

// Subscribers are let go of right after they are replaced, as the Java
// binding does, while notifications arrive; under the sanitizers in CI.
TEST(OrvaneDispatcher, SubscribersChangeWhileEventsFlow) {
  DeviceSession session;
  ASSERT_TRUE(session.Open());
  std::atomic<bool> stop{false};
  std::thread pusher([&] {
    for (int i = 0; i < 3000 && !stop; ++i) session.reader.Push(Notification(0x0105, 0x00020201));
  });
  for (int round = 0; round < 300; ++round) {
    session.device->SubscribeAll(std::make_shared<RecordingSubscriber>());
    if (round % 3 == 0) std::this_thread::sleep_for(1ms);
    if (round % 2 == 0) session.device->UnsubscribeAll();
    session.device->SubscribeAll(Unowned(session.subscriber));
  }
  stop = true;
  pusher.join();
  // The last subscriber still receives what comes after the flow.
  session.reader.Push(Notification(0x0101, 0x10010200));
  EXPECT_TRUE(Eventually([&] {
    const Events events = session.subscriber.events.Values();
    return !events.empty() && events.back() == Event{kEventTransaction, "card_inserted"};
  }));
}

// Run under the sanitizers in CI: closing, reopening and finally releasing
// a device while notifications (and file announcements) keep arriving, and
// a subscriber that releases its device from inside an event.
TEST(OrvaneDispatcher, ClosesAndReleasesWhileNotificationsArrive) {
  DeviceSession session;
  session.device->SetFollowUpRead([](const StopSignal& stop) { stop.WaitFor(50ms, [] { return false; }); });
  ASSERT_TRUE(session.Open());
  std::atomic<bool> stop{false};
  std::thread pusher([&] {
    for (int i = 0; i < 3000 && !stop; ++i) {
      session.reader.Push(Notification(0x0101, 0x10010200));
      if (i % 20 == 0) session.reader.Push(Notification(0x1805, 0x01010101));
      std::this_thread::sleep_for(200us);
    }
  });
  for (int round = 0; round < 20; ++round) {
    session.device->Close();
    ASSERT_TRUE(session.Open());
    std::this_thread::sleep_for(5ms);
  }
  delete session.device;
  session.device = nullptr;

  // A subscriber that releases the device in the middle of the flow.
  auto* device = static_cast<OrvaneIDevice*>(GetOrvaneDevice(kConnectionTcp, session.reader.Address()));
  Recorded<bool> released;
  class Releaser : public IEventSubscriber {
   public:
    Releaser(IDevice* device, Recorded<bool>& released) : device_(device), released_(released) {}
    // The device lets go of its subscriber last.
    ~Releaser() override { released_.Add(true); }
    void OnEvent(int eventType, ByteDataRecord) override {
      if (eventType != kEventTransaction || done_) return;
      done_ = true;
      DestroyDevice(device_);
    }

   private:
    IDevice* device_;
    Recorded<bool>& released_;
    bool done_ = false;
  };
  ASSERT_NE(device->GetDeviceConfiguration(), nullptr);
  // Last use of the device on this thread: the subscriber may release it at once.
  device->SubscribeAll(std::make_shared<Releaser>(device, released));
  ASSERT_TRUE(released.WaitForCount(1));
  EXPECT_EQ(OrvaneDeviceRegistry().Find(session.reader.Address()), nullptr);
  stop = true;
  pusher.join();
  EXPECT_TRUE(session.reader.ProtocolErrors().empty());
}

}  // namespace
}  // namespace pelorixj
