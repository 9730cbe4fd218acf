// The device and send exports, through the shared library, against the
// simulated reader on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "quorlan/qrx.h"
#include "simulated_reader.h"

namespace {

using namespace std::chrono_literals;
using reader_sim::BuildNotification;
using reader_sim::BuildResponse;
using reader_sim::Bytes;
using reader_sim::Reply;
using reader_sim::SimulatedReader;
using test_support::Eventually;
using test_support::kRoomyWait;

constexpr int kTcp = 4;

// What the callbacks of one test saw; the callbacks are plain C functions.
struct Observed {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> messages;
  std::vector<int> messageThreads;
  std::vector<int> statuses;
  std::vector<std::thread::id> statusThreads;
  std::vector<double> progress;
  std::atomic<int> inCallback{0};
  std::atomic<bool> overlapped{false};

  template <class Predicate>
  bool WaitFor(Predicate predicate) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, kRoomyWait, predicate);
  }
};

std::atomic<Observed*> observed{nullptr};

// A number per thread, never given twice as thread ids may be.
int ThreadSerial() {
  static std::atomic<int> next{0};
  thread_local const int serial = ++next;
  return serial;
}
std::atomic<std::chrono::milliseconds> callbackPause{std::chrono::milliseconds(0)};

// Each callback notifies while it holds the lock, so that a test may end
// as soon as it has seen the result.
void QRX_CALL RecordMessage(void*, const char* hex) {
  Observed* seen = observed;
  if (seen->inCallback.fetch_add(1) != 0) seen->overlapped = true;
  std::this_thread::sleep_for(callbackPause.load());
  seen->inCallback.fetch_sub(1);
  std::lock_guard<std::mutex> lock(seen->mutex);
  seen->messages.push_back(hex);
  seen->messageThreads.push_back(ThreadSerial());
  seen->changed.notify_all();
}

void QRX_CALL RecordStatus(void*, int status) {
  Observed* seen = observed;
  std::lock_guard<std::mutex> lock(seen->mutex);
  seen->statuses.push_back(status);
  seen->statusThreads.push_back(std::this_thread::get_id());
  seen->changed.notify_all();
}

void QRX_CALL RecordProgress(void* user, double fraction) {
  static_cast<Observed*>(user)->progress.push_back(fraction);
}

class DeviceExports : public ::testing::Test {
 protected:
  void SetUp() override {
    observed = &seen;
    callbackPause = 0ms;
    ASSERT_TRUE(reader.Start());
  }
  void TearDown() override {
    if (device != -1) QRX_CloseDevice(device);
    reader.Stop();
    observed = nullptr;
  }
  void Open() {
    device = QRX_OpenDevice(kTcp, reader.Address().c_str());
    ASSERT_NE(device, -1);
    QRX_SetDataArriveCallback(device, RecordMessage);
    ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  }
  static std::string Notification(uint16_t id, uint32_t code) {
    return reader_sim::ToHex(BuildNotification(id, code, {}));
  }

  Observed seen;
  SimulatedReader reader;
  intptr_t device = -1;
};

TEST_F(DeviceExports, ListsAndOpensOnlyWhatTheTypeAllows) {
  EXPECT_STREQ(QRX_GetDeviceList(kTcp), "[]");
  for (int refused : {2, 3, 6, 7, 9, -1}) EXPECT_STREQ(QRX_GetDeviceList(refused), "") << refused;
  for (int type : {1, 5, 7, 8, 2, 100}) EXPECT_EQ(QRX_OpenDevice(type, reader.Address().c_str()), -1) << type;
  EXPECT_EQ(QRX_OpenDevice(kTcp, nullptr), -1);

  SimulatedReader closed;
  ASSERT_TRUE(closed.Start());
  std::string refusedAddress = closed.Address();
  closed.Stop();
  EXPECT_EQ(QRX_OpenDevice(kTcp, refusedAddress.c_str()), -1);
}

TEST_F(DeviceExports, CloseReportsStatusOneOnceOnAnotherThread) {
  Open();
  EXPECT_EQ(QRX_IsDeviceOpened(device), 1);
  QRX_AttachObjectToDevice(device, intptr_t{-2});
  EXPECT_EQ(QRX_GetAttachedObject(device), intptr_t{-2});
  QRX_SetDeviceStatusChangeCallback(device, RecordStatus);
  QRX_CloseDevice(device);
  device = -1;
  ASSERT_TRUE(seen.WaitFor([&] { return !seen.statuses.empty(); }));
  std::this_thread::sleep_for(100ms);
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.statuses, std::vector<int>{1});
  EXPECT_NE(seen.statusThreads[0], std::this_thread::get_id());
}

TEST_F(DeviceExports, DeliversMessagesInArrivalOrderOneAtATime) {
  callbackPause = 5ms;
  Open();
  std::vector<std::string> sent;
  for (uint16_t id = 1; id <= 20; ++id) {
    sent.push_back(Notification(id, 0x0100 + id));
    reader.PushNotification(id, 0x0100 + id);
  }
  ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() == sent.size(); }));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.messages, sent);
  EXPECT_FALSE(seen.overlapped);
}

TEST_F(DeviceExports, DeliversABurstWholeAndInOrder) {
  Open();
  std::vector<std::string> sent;
  reader.HoldWrites();
  for (uint32_t code = 0; code < 5000; ++code) {
    sent.push_back(Notification(0x0101, code));
    reader.PushNotification(0x0101, code);
  }
  reader.ReleaseWrites();
  ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() == sent.size(); }));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.messages, sent);
}

TEST_F(DeviceExports, MessagesAFewMillisecondsApartShareOneDeliveryThread) {
  Open();
  for (uint16_t id = 1; id <= 20; ++id) {
    reader.PushNotification(id, id);
    ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() == id; }));
    std::this_thread::sleep_for(3ms);
  }
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(std::set<int>(seen.messageThreads.begin(), seen.messageThreads.end()).size(), 1u);
}

TEST_F(DeviceExports, MessagesBeforeTheDataCallbackAreDropped) {
  device = QRX_OpenDevice(kTcp, reader.Address().c_str());
  ASSERT_NE(device, -1);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.PushNotification(1, 1);
  // The reply follows the notification on the stream: once it is in, so is
  // the notification, however loaded the machine.
  const intptr_t command = QRX_CreateCommand(0x1008);
  EXPECT_EQ(QRX_GetStatusCode(QRX_SendCommand(device, command, 30000)), 0);
  QRX_DeleteCommand(command);
  QRX_SetDataArriveCallback(device, RecordMessage);
  reader.PushNotification(2, 2);
  ASSERT_TRUE(seen.WaitFor([&] { return !seen.messages.empty(); }));
  std::this_thread::sleep_for(50ms);
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.messages, std::vector<std::string>{Notification(2, 2)});
}

TEST_F(DeviceExports, WaitEndsWithTheResponseAndLetsTheNotificationThrough) {
  Open();
  reader.SetNoReply(0x1008);
  std::thread script([&] {
    if (!reader.WaitForCommand(0x1008, kRoomyWait)) return;
    reader.PushNotification(0x1805, 0x01010101);
    std::this_thread::sleep_for(20ms);
    reader.PushResponse(0x1008, {0x12, 0x34}, {{0x81, {0x07}}});
  });
  intptr_t command = QRX_CreateCommand(0x1008);
  std::string response = QRX_SendCommand(device, command, 30000);
  QRX_DeleteCommand(command);
  script.join();
  EXPECT_EQ(QRX_GetStatusCode(response.c_str()), 0x1234);
  EXPECT_STREQ(QRX_GetResponseParameter(response.c_str(), "81"), "07");
  ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() == 2; }));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.messages[0], Notification(0x1805, 0x01010101));
  EXPECT_EQ(seen.messages[1], response);
}

TEST_F(DeviceExports, SlowDataCallbackDoesNotHoldUpTheResponse) {
  callbackPause = 300ms;
  Open();
  reader.PushNotification(1, 1);
  ASSERT_TRUE(Eventually([&] { return seen.inCallback.load() > 0; }));
  auto started = std::chrono::steady_clock::now();
  std::string response = QRX_SendAndReceiveMessage(device, QRX_GetFormattedCommandBytesInHex("1008"), 2000);
  EXPECT_NE(response, "");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 250ms);
}

TEST_F(DeviceExports, TimeOutGivesTheEmptyTextAfterTheTimeOut) {
  Open();
  reader.SetNoReply(0x1008);
  auto started = std::chrono::steady_clock::now();
  EXPECT_STREQ(QRX_SendAndReceiveMessage(device, QRX_GetFormattedCommandBytesInHex("1008"), 200), "");
  EXPECT_GE(std::chrono::steady_clock::now() - started, 195ms);
  EXPECT_EQ(QRX_SendFommatedCommand(device, "1008", 100), nullptr);
}

TEST_F(DeviceExports, FormattedCommandGivesTheFormattedResponse) {
  Open();
  reader.SetReply(0x1001, Reply::WithStatus(0x11, 0, {{0x81, {0x01}}, {0x84, {0xAB, 0xCD}}}));
  const char* text = QRX_SendFommatedCommand(device, "1001,82=01", 30000);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "1001,CommandStatus=0,OperationStatus=11,81=01,84=ABCD");
  auto command = reader.WaitForCommand(0x1001, kRoomyWait);
  ASSERT_TRUE(command);
  EXPECT_EQ(command->Inner(0x82), reader_sim::Bytes{0x01});
  EXPECT_EQ(QRX_SendFommatedCommand(device, "1001,,82=01", 2000), nullptr);
}

TEST_F(DeviceExports, ProgressCountsThePacketsWritten) {
  Open();
  intptr_t command = QRX_CreateCommand(0x1830);
  QRX_SetCommandParameter(command, 0x81, std::string(400, 'A').c_str());  // 200 bytes: four packets in all
  std::string response = QRX_SendCommandWithProgress(device, command, RecordProgress, &seen, 30000);
  EXPECT_NE(response, "");
  EXPECT_EQ(seen.progress, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  seen.progress.clear();
  EXPECT_NE(std::string(QRX_SendCommandWithProgress(device, command, nullptr, nullptr, 30000)), "");
  EXPECT_TRUE(seen.progress.empty());
  std::string hex = QRX_GetCommandBytesInHex(command);
  EXPECT_NE(std::string(QRX_SendCommandStringWithProgress(device, hex.c_str(), RecordProgress, &seen, 30000)), "");
  EXPECT_EQ(seen.progress.size(), 4u);
  QRX_DeleteCommand(command);
}

TEST_F(DeviceExports, NoObjectAndStaleHandlesFailQuietly) {
  Open();
  const intptr_t closed = device;
  QRX_CloseDevice(device);
  for (intptr_t none : {intptr_t{0}, intptr_t{-1}, closed, closed + 1000}) {
    EXPECT_EQ(QRX_IsDeviceOpened(none), 0);
    EXPECT_EQ(QRX_GetAttachedObject(none), 0);
    QRX_AttachObjectToDevice(none, 5);
    QRX_SetDataArriveCallback(none, RecordMessage);
    QRX_SetDeviceStatusChangeCallback(none, RecordStatus);
    QRX_CloseDevice(none);
    EXPECT_EQ(QRX_SendMessage(none, "00"), 5);
    EXPECT_STREQ(QRX_SendAndReceiveMessage(none, "00", 10), "");
    EXPECT_STREQ(QRX_SendCommand(none, 1, 10), "");
    EXPECT_EQ(QRX_SendFommatedCommand(none, "1008", 10), nullptr);
    EXPECT_STREQ(QRX_SendCommandWithProgress(none, 1, RecordProgress, &seen, 10), "");
    EXPECT_STREQ(QRX_SendCommandStringWithProgress(none, "00", RecordProgress, &seen, 10), "");
    const char* text = nullptr;
    EXPECT_EQ(QRX_GetBatch(none, &text), 5);
    EXPECT_EQ(QRX_CancelTransaction(none), 5);
  }
  Open();
  EXPECT_STREQ(QRX_SendCommand(device, 0, 10), "");
  EXPECT_STREQ(QRX_SendCommandWithProgress(device, -1, RecordProgress, &seen, 10), "");
  EXPECT_STREQ(QRX_SendAndReceiveMessage(device, nullptr, 10), "");
}

// The reader ends the link, by an orderly close or by a reset, during a wait
// or while the device is idle.
TEST_F(DeviceExports, LostTcpReaderIsReportedOnceAndEndsTheWaitsAndSends) {
  const struct {
    const char* name;
    reader_sim::LinkEnd end;
    bool waiting;
  } rows[] = {
      {"close during a wait", reader_sim::LinkEnd::kClose, true},
      {"reset during a wait", reader_sim::LinkEnd::kReset, true},
      {"close while idle, then a send", reader_sim::LinkEnd::kClose, false},
      {"reset while idle, then a send", reader_sim::LinkEnd::kReset, false},
  };
  // Far beyond the end expected: only the lost link can end such a wait early.
  constexpr int kLongWaitMs = 30000;
  const std::string command = QRX_GetFormattedCommandBytesInHex("1008");
  reader.SetNoReply(0x1008);
  size_t connections = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    reader.ClearReceived();
    device = QRX_OpenDevice(kTcp, reader.Address().c_str());
    ASSERT_NE(device, -1);
    QRX_SetDeviceStatusChangeCallback(device, RecordStatus);
    ASSERT_TRUE(reader.WaitForConnections(++connections, kRoomyWait));
    std::future<std::string> reply;
    if (row.waiting) {
      reply = std::async(std::launch::async, [&] {
        return std::string(QRX_SendAndReceiveMessage(device, command.c_str(), kLongWaitMs));
      });
      ASSERT_TRUE(reader.WaitForCommand(0x1008, kRoomyWait));
    }
    const auto dropped = std::chrono::steady_clock::now();
    reader.DropConnections(row.end);
    // Races the reader thread's finding of the loss.
    if (!row.waiting) QRX_SendMessage(device, command.c_str());
    EXPECT_TRUE(seen.WaitFor([&] { return !seen.statuses.empty(); }));
    if (row.waiting) {
      EXPECT_EQ(reply.get(), "");
    }
    EXPECT_EQ(QRX_IsDeviceOpened(device), 0);
    EXPECT_EQ(QRX_SendMessage(device, command.c_str()), 0xFF);
    EXPECT_STREQ(QRX_SendAndReceiveMessage(device, command.c_str(), kLongWaitMs), "");
    EXPECT_LT(std::chrono::steady_clock::now() - dropped, 10s);
    QRX_CloseDevice(device);
    device = -1;
    // Room for a second report, which must not come.
    std::this_thread::sleep_for(200ms);
    std::lock_guard<std::mutex> lock(seen.mutex);
    EXPECT_EQ(seen.statuses, std::vector<int>{0});
    seen.statuses.clear();
  }
}

// A close that races the reader thread's finding of a reset: whichever
// takes the link reports it (1 still open, 0 lost), once. The close starts
// a little later each round, to sweep the race.
TEST_F(DeviceExports, ACloseRacingTheLossOfTheLinkReportsItOnce) {
  size_t connections = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    device = QRX_OpenDevice(kTcp, reader.Address().c_str());
    ASSERT_NE(device, -1);
    QRX_SetDeviceStatusChangeCallback(device, RecordStatus);
    ASSERT_TRUE(reader.WaitForConnections(++connections, kRoomyWait));
    reader.DropConnections(reader_sim::LinkEnd::kReset);
    std::this_thread::sleep_for(std::chrono::microseconds(50 * round));
    QRX_CloseDevice(device);
    device = -1;
    ASSERT_TRUE(seen.WaitFor([&] { return !seen.statuses.empty(); }));
    // Room for a second report, which must not come.
    std::this_thread::sleep_for(200ms);
    std::lock_guard<std::mutex> lock(seen.mutex);
    EXPECT_EQ(seen.statuses.size(), 1u);
    seen.statuses.clear();
  }
}

// Refused before anything is written: the message's packets could not be
// numbered. Raw bytes 55, which the reader takes for no command.
TEST_F(DeviceExports, MessagesLongerThanTheLimitAreRefusedWithNothingSent) {
  Open();
  const std::string atLimit(2 * QRX_MAX_MESSAGE_LENGTH, '5');
  const std::string overLimit = atLimit + "55";
  const struct {
    const char* name;
    std::function<std::string()> send;
    std::string result;
  } rows[] = {
      {"send at the limit", [&] { return std::to_string(QRX_SendMessage(device, atLimit.c_str())); }, "0"},
      {"send", [&] { return std::to_string(QRX_SendMessage(device, overLimit.c_str())); }, "255"},
      {"send and wait", [&] { return std::string(QRX_SendAndReceiveMessage(device, overLimit.c_str(), 30000)); }, ""},
      {"send with progress and wait",
       [&] {
         return std::string(
             QRX_SendCommandStringWithProgress(device, overLimit.c_str(), RecordProgress, &seen, 30000));
       },
       ""},
  };
  for (const auto& row : rows) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(row.send(), row.result) << row.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s) << row.name;
  }
  EXPECT_TRUE(seen.progress.empty());
  EXPECT_EQ(QRX_IsDeviceOpened(device), 1);
  // One device's writes arrive in order: all before this marker is in.
  EXPECT_EQ(QRX_SendMessage(device, "5501"), 0);
  ASSERT_TRUE(reader.WaitForMessageCount(2, kRoomyWait));
  const auto received = reader.Received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].raw.size(), size_t{QRX_MAX_MESSAGE_LENGTH});
  EXPECT_EQ(received[1].raw, (Bytes{0x55, 0x01}));
  EXPECT_TRUE(reader.ProtocolErrors().empty());
}

std::atomic<bool> closeReturned{false};
std::atomic<int> callbacksAfterClose{0};

void QRX_CALL CountCallbacksAfterClose(void*, const char*) {
  if (closeReturned) ++callbacksAfterClose;
}

TEST_F(DeviceExports, NoDataCallbackStartsAfterCloseReturned) {
  for (int round = 0; round < 5; ++round) {
    device = QRX_OpenDevice(kTcp, reader.Address().c_str());
    ASSERT_NE(device, -1);
    closeReturned = false;
    QRX_SetDataArriveCallback(device, CountCallbacksAfterClose);
    ASSERT_TRUE(reader.WaitForConnections(round + 1, kRoomyWait));
    std::atomic<bool> pushing{true};
    std::thread pusher([&] {
      for (uint16_t id = 0; pushing && id < 2000; ++id) reader.PushNotification(id, id);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
    QRX_CloseDevice(device);
    closeReturned = true;
    device = -1;
    std::this_thread::sleep_for(20ms);
    pushing = false;
    pusher.join();
  }
  EXPECT_EQ(callbacksAfterClose.load(), 0);
}

TEST_F(DeviceExports, CloseEndsAWaitInProgress) {
  Open();
  reader.SetNoReply(0x1008);
  std::string reply = "unset";
  auto started = std::chrono::steady_clock::now();
  std::thread waiter([&] { reply = QRX_SendAndReceiveMessage(device, QRX_GetFormattedCommandBytesInHex("1008"), 3000); });
  ASSERT_TRUE(reader.WaitForCommand(0x1008, kRoomyWait));
  QRX_CloseDevice(device);
  device = -1;
  waiter.join();
  EXPECT_EQ(reply, "");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
}

std::atomic<intptr_t> closeFromCallback{-1};
std::atomic<int> callsAfterClose{0};

void QRX_CALL CloseOwnDevice(void*, const char*) {
  if (closeFromCallback == -1) {
    ++callsAfterClose;
    return;
  }
  QRX_CloseDevice(closeFromCallback.exchange(-1));
}

TEST_F(DeviceExports, DataCallbackMayCloseItsOwnDevice) {
  device = QRX_OpenDevice(kTcp, reader.Address().c_str());
  ASSERT_NE(device, -1);
  closeFromCallback = device;
  QRX_SetDataArriveCallback(device, CloseOwnDevice);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  for (uint16_t id = 0; id < 50; ++id) reader.PushNotification(id, id);
  EXPECT_TRUE(Eventually([] { return closeFromCallback == -1; }));
  device = -1;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(callsAfterClose.load(), 0);
}

// Waits on one device, each on its own thread, answered in every order; with
// one command code for all, only the echoed sequence byte tells them apart.
TEST_F(DeviceExports, OverlappingWaitsEachGetTheResponseToTheirOwnCommand) {
  Open();
  for (const bool sameCode : {false, true}) {
    for (const uint8_t count : {2, 3}) {
      std::vector<uint8_t> order(count);
      std::iota(order.begin(), order.end(), uint8_t{0});
      do {
        reader.ClearReceived();
        std::vector<std::string> replies(count);
        std::vector<std::thread> waits;
        for (uint8_t i = 0; i < count; ++i) {
          const uint16_t code = sameCode ? 0x2000 : 0x2000 + i;
          reader.SetNoReply(code);
          waits.emplace_back([&, i, code] {
            intptr_t command = QRX_CreateCommand(code);
            QRX_SetCommandParameter(command, 0x81, reader_sim::ToHex({i}).c_str());
            replies[i] = QRX_SendCommand(device, command, 30000);
            QRX_DeleteCommand(command);
          });
        }
        ASSERT_TRUE(reader.WaitForMessageCount(count, kRoomyWait));
        const auto received = reader.Received();
        for (const uint8_t i : order) {
          auto command = std::find_if(received.begin(), received.end(),
                                      [&](const auto& message) { return message.Inner(0x81) == Bytes{i}; });
          reader.Push(BuildResponse(command->commandCode, command->sequence, {}, {{0x81, {i}}}));
          std::this_thread::sleep_for(20ms);
        }
        for (auto& wait : waits) wait.join();
        for (uint8_t i = 0; i < count; ++i) {
          EXPECT_EQ(std::string(QRX_GetResponseParameter(replies[i].c_str(), "81")), reader_sim::ToHex({i}))
              << "same code " << sameCode << ", wait " << int{i} << " of " << int{count};
        }
      } while (std::next_permutation(order.begin(), order.end()));
    }
  }
}

// One wait, started from a callback the first time it runs after Arm.
struct NestedWait {
  std::atomic<intptr_t> device{-1};
  const char* command = nullptr;
  std::string reply;
  std::atomic<bool> done{false};

  void Arm(intptr_t on, const char* text) {
    command = text;
    done = false;
    device = on;
  }

  void RunIfArmed() {
    if (const intptr_t on = device.exchange(-1); on != -1) {
      reply = QRX_SendAndReceiveMessage(on, QRX_GetFormattedCommandBytesInHex(command), 30000);
      done = true;
    }
  }
};
// One for each callback: the data callback still runs for messages that
// came while it waited, and must not take the progress callback's wait.
NestedWait onData;
NestedWait onProgress;

void QRX_CALL WaitOnceOnData(void*, const char*) { onData.RunIfArmed(); }
void QRX_CALL WaitOnceOnProgress(void*, double) { onProgress.RunIfArmed(); }

// A wait from the data callback outlives a wait of the application thread
// that times out; one from a progress callback gets its own response, and
// the outer wait gets the outer one.
TEST_F(DeviceExports, NestedWaitsGetTheirOwnResponses) {
  Open();
  QRX_SetDataArriveCallback(device, WaitOnceOnData);
  reader.SetNoReply(0x2001);
  reader.SetReply(0x2002, Reply::Ok().After(500ms));
  onData.Arm(device, "2002");
  std::thread push([&] {
    if (reader.WaitForCommand(0x2001, kRoomyWait)) reader.PushNotification(1, 1);
  });
  EXPECT_STREQ(QRX_SendAndReceiveMessage(device, QRX_GetFormattedCommandBytesInHex("2001"), 300), "");
  push.join();
  ASSERT_TRUE(Eventually([] { return onData.done.load(); }));
  EXPECT_EQ(QRX_GetResponseCommandID(onData.reply.c_str()), 0x2002u);

  onProgress.Arm(device, "1008");
  const char* outer = QRX_SendCommandStringWithProgress(
      device, QRX_GetFormattedCommandBytesInHex(("1830,81=" + std::string(400, 'A')).c_str()), WaitOnceOnProgress,
      nullptr, 30000);
  EXPECT_EQ(QRX_GetResponseCommandID(outer), 0x1830u);
  ASSERT_TRUE(Eventually([] { return onProgress.done.load(); }));
  EXPECT_EQ(QRX_GetResponseCommandID(onProgress.reply.c_str()), 0x1008u);
}

// Two commands in turn. The reader leaves the first unanswered until the
// second comes, then sends the late reply (parameter 81 = EE) just before the
// second's own reply (81 = 01), if it answers the second at all.
struct LateReplyRow {
  const char* name;
  std::string first;
  bool firstWaits;  // else sent without a wait
  std::string second;
  bool secondAnswered;
  uint16_t lateCode;  // 0: the first command's; else a code nobody sent
  std::string secondGets;  // parameter 81 of the second wait's reply
};

std::string Formatted(const char* command) { return QRX_GetFormattedCommandBytesInHex(command); }

TEST_F(DeviceExports, ALateReplyGoesToNoOtherWait) {
  Open();
  const std::string fixed = "AA0081040102705184027051";  // sequence byte 02, as some callers send
  const LateReplyRow rows[] = {
      {"next command answered", Formatted("7001"), true, Formatted("7002"), true, 0, "01"},
      {"next command unanswered", Formatted("7011"), true, Formatted("7012"), false, 0, ""},
      {"same code, fresh sequence", Formatted("7021"), true, Formatted("7021"), true, 0, "01"},
      {"first sent without a wait", Formatted("7031"), false, Formatted("7032"), false, 0, ""},
      {"reply to nothing sent", Formatted("7041"), true, Formatted("7042"), false, 0x7045, "EE"},
      {"same envelope again", fixed, true, fixed, true, 0, "EE"},
  };
  for (const LateReplyRow& row : rows) {
    SCOPED_TRACE(row.name);
    // Command bytes: AA 00 81 04 01, the sequence byte, the code.
    const Bytes first = reader_sim::FromHex(row.first);
    const uint16_t firstCode = static_cast<uint16_t>(first[6] << 8 | first[7]);
    const Bytes late = BuildResponse(row.lateCode ? row.lateCode : firstCode, first[5], {}, {{0x81, {0xEE}}});
    auto arrivals = std::make_shared<int>(0);
    const reader_sim::Responder responder = [=](const reader_sim::ReceivedMessage&) -> std::optional<Reply> {
      if ((*arrivals)++ == 0) return std::nullopt;
      Reply own = Reply::Ok({{0x81, {0x01}}}).Before(late);
      if (!row.secondAnswered) own.WithoutResponse();
      return own;
    };
    for (const std::string& command : {row.first, row.second}) {
      const Bytes bytes = reader_sim::FromHex(command);
      reader.SetResponder(static_cast<uint16_t>(bytes[6] << 8 | bytes[7]), responder);
    }
    if (row.firstWaits) {
      EXPECT_STREQ(QRX_SendAndReceiveMessage(device, row.first.c_str(), 100), "");
    } else {
      EXPECT_EQ(QRX_SendMessage(device, row.first.c_str()), 0);
    }
    const char* reply = QRX_SendAndReceiveMessage(device, row.second.c_str(), row.secondGets.empty() ? 300 : 30000);
    EXPECT_EQ(QRX_GetResponseParameter(reply, "81"), row.secondGets);
    EXPECT_TRUE(seen.WaitFor([&] {
      return std::find(seen.messages.begin(), seen.messages.end(), reader_sim::ToHex(late)) != seen.messages.end();
    }));
  }
}

// Resident memory in kB; 0 where the system does not tell it. Windows has no
// /proc: under wine it would be wine's own Linux process that answered, and
// slowly enough that the waits there outlast a busy machine's time limit.
long ResidentKb() {
#ifdef _WIN32
  return 0;
#else
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
#endif
}

void QRX_CALL IgnoreMessage(void*, const char*) {}

// Waits answered and waits that run out, 20,000 after a warm-up. The texts
// that replies take in buffer 0 are no growth once it has wrapped: a file
// message just under its 4 MB, as text, makes it wrap at once.
TEST_F(DeviceExports, WaitsLeaveNoMemoryBehind) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers hold on to freed memory";
#endif
  if (ResidentKb() == 0) GTEST_SKIP() << "the system does not tell the resident memory";
  Open();
  QRX_SetDataArriveCallback(device, IgnoreMessage);
  reader.SetNoReply(0x7061);
  const std::string answered = Formatted("1008");
  const std::string unanswered = Formatted("7061");
  const std::string payload(2 * (4194304 / 2 - 96), '0');
  ASSERT_GT(std::strlen(QRX_GetFileMessage(1, payload.c_str(), 0xD812)), 4194304u - 4096);
  auto waits = [&](int count) {
    for (int i = 1; i <= count; ++i) {
      const bool timesOut = i % 10 == 0;
      QRX_SendAndReceiveMessage(device, (timesOut ? unanswered : answered).c_str(), timesOut ? 1 : 30000);
      if (i % 500 == 0) reader.ClearReceived();  // the reader's own record of what came
    }
  };
  waits(2000);
  const long before = ResidentKb();
  waits(20000);
  EXPECT_LT(ResidentKb() - before, 200) << "kB";
}

TEST_F(DeviceExports, ConcurrentTransactionsEachGetAResponse) {
  Open();
  std::atomic<int> failed{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      CardDataRecord record;
      for (int i = 0; i < 25; ++i) failed += QRX_GetCardData(device, &record) != 0;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failed.load(), 0);
}

TEST_F(DeviceExports, CloseIsQuickWithANullStatusCallback) {
  Open();
  QRX_SetDeviceStatusChangeCallback(device, nullptr);
  const auto started = std::chrono::steady_clock::now();
  QRX_CloseDevice(device);
  device = -1;
  EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
}

// Random stray bytes of every length in the same write as the next message,
// then stray runs in the middle of a flood of one write.
TEST_F(DeviceExports, StrayBytesLoseNoLaterMessage) {
  Open();
  std::mt19937 random(12);
  auto stray = [&](size_t length) {
    Bytes bytes(length);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
  };
  std::vector<std::string> expected;
  for (uint16_t length = 1; length <= 300; ++length) {
    reader.HoldWrites();
    reader.PushBytes(stray(length));
    reader.PushNotification(length, length);
    reader.ReleaseWrites();
    expected.push_back(Notification(length, length));
    ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() >= expected.size(); })) << length;
  }
  reader.HoldWrites();
  for (uint16_t id = 1; id <= 2000; ++id) {
    if (id % 400 == 0) reader.PushBytes(stray(id / 7));
    reader.PushNotification(id, 0x10000 + id);
    expected.push_back(Notification(id, 0x10000 + id));
  }
  reader.ReleaseWrites();
  ASSERT_TRUE(seen.WaitFor([&] { return seen.messages.size() >= expected.size(); }));
  std::lock_guard<std::mutex> lock(seen.mutex);
  EXPECT_EQ(seen.messages, expected);
}

std::atomic<int> statusReports{0};
std::atomic<intptr_t> attachedSeenAfterClose{0};

void QRX_CALL ReadAttachedObject(void* device, int) {
  attachedSeenAfterClose += QRX_GetAttachedObject(reinterpret_cast<intptr_t>(device));
  ++statusReports;
}

// Calls running on the device while another thread closes it, then with its
// stale handle until that tells them so. A handle never comes back, so the
// late status report of a closed device cannot reach the next one.
TEST_F(DeviceExports, ExportsRacingACloseOnAnotherThreadAreSafe) {
  statusReports = 0;
  attachedSeenAfterClose = 0;
  std::set<intptr_t> handles;
  for (int round = 1; round <= 10; ++round) {
    Open();
    EXPECT_TRUE(handles.insert(device).second);
    QRX_AttachObjectToDevice(device, round);
    QRX_SetDeviceStatusChangeCallback(device, ReadAttachedObject);
    std::thread user([handle = device] {
      while (QRX_SendMessage(handle, "AA00") == 0) QRX_SendAndReceiveMessage(handle, "AA00", 1);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(round));
    QRX_CloseDevice(device);
    device = -1;
    user.join();
  }
  EXPECT_TRUE(Eventually([] { return statusReports == 10; }));
  EXPECT_EQ(attachedSeenAfterClose.load(), 0);
}

}  // namespace
