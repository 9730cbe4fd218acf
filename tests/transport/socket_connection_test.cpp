#include "quorlan/transport/socket_connection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "eventually.h"
#include "quorlan/message/command_envelope.h"
#include "quorlan/transport/korvex_packet_format.h"
#include "simulated_reader.h"
#include "tcp_host.h"

namespace quorlan {
namespace {

using namespace std::chrono_literals;
using reader_sim::SimulatedReader;
using test_support::Eventually;
using test_support::kRoomyWait;
using testing_support::TcpHost;

// Raw test messages that the reader must not take for commands.
std::vector<uint8_t> RawMessage(size_t length, uint32_t seed) {
  std::vector<uint8_t> message(length);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : message) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  if (!message.empty()) message[0] = 0x55;
  return message;
}

class SocketConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reader.Start()); }
  void TearDown() override { EXPECT_TRUE(reader.ProtocolErrors().empty()); }

  // Opens the connection with a data callback that takes 300 ms, and returns
  // once the reader thread is inside it.
  void OpenInsideASlowCallback(SocketConnection& connection, std::atomic<bool>& callbackDone) {
    connection.SetDataCallback([this, &callbackDone](uint8_t*, unsigned) {
      inSlowCallback = true;
      std::this_thread::sleep_for(300ms);
      callbackDone = true;
    });
    ASSERT_EQ(connection.Open(), kConnectionOk);
    ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
    reader.PushNotification(0x0101, 1);
    ASSERT_TRUE(Eventually([this] { return inSlowCallback.load(); }));
  }

  SimulatedReader reader;
  std::atomic<bool> inSlowCallback{false};
};

TEST_F(SocketConnectionTest, ExchangesACommandAndItsResponse) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  EXPECT_TRUE(host.connection->IsConnected());
  reader.SetReply(0x1008, reader_sim::Reply::Ok({{0x81, {0x42}}}));
  OrvaneCommand command(0x1008);
  const auto bytes = command.Serialize();
  ASSERT_EQ(host.Send(bytes), kConnectionOk);

  const auto received = reader.WaitForCommand(0x1008, kRoomyWait);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->raw, bytes);
  ASSERT_TRUE(host.WaitForMessages(1));
  EXPECT_EQ(host.Messages()[0],
            reader_sim::BuildResponse(0x1008, received->sequence, {0x00, 0x000000}, {{0x81, {0x42}}}));
  EXPECT_EQ(host.connection->Close(), kConnectionOk);
  EXPECT_FALSE(host.connection->IsConnected());
}

TEST_F(SocketConnectionTest, RefusedPortFailsToOpen) {
  const int port = reader.port();
  reader.Stop();
  SocketConnection connection("127.0.0.1", port);
  EXPECT_EQ(connection.Open(), kConnectionOpenFailed);
  EXPECT_FALSE(connection.IsConnected());
  const uint8_t byte = 0;
  EXPECT_EQ(connection.Write(&byte, 1), kConnectionFailed);
  EXPECT_EQ(connection.Close(), kConnectionOk);
}

TEST(SocketConnection, AddressesThatAreNoIpv4AddressFailToOpen) {
  for (const char* host : {"tcp://my-reader:8000", "", "300.1.1.1", "reader"}) {
    SocketConnection connection(host, 8888);
    EXPECT_EQ(connection.Open(), kConnectionOpenFailed) << host;
    EXPECT_FALSE(connection.IsConnected()) << host;
  }
  SocketConnection outOfRange("127.0.0.1", -1);
  EXPECT_EQ(outOfRange.Open(), kConnectionOpenFailed);
}

TEST(SocketConnection, CloseWithoutOpenDoesNothing) {
  SocketConnection connection("127.0.0.1", 1);
  EXPECT_EQ(connection.Close(), kConnectionOk);
  EXPECT_FALSE(connection.IsConnected());
}

// The reader cuts its stream at every offset of a four-packet message; each
// cut arrives in a receive of its own.
TEST_F(SocketConnectionTest, RejoinsPacketsSplitAtEveryOffset) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  const auto notification = reader_sim::BuildNotification(0x0105, 0x00020200, {{0x84, RawMessage(180, 1)}});
  const size_t streamLength = reader_sim::PacketiseForReader(notification).size();
  ASSERT_EQ(streamLength, 4u * 64);
  for (size_t cut = 1; cut < streamLength; ++cut) {
    reader.SetWriteShape({{cut}, 0, 1ms});
    ASSERT_EQ(reader.Push(notification), 1u);
    ASSERT_TRUE(host.WaitForMessages(cut)) << "cut at " << cut;
  }
  const auto messages = host.Messages();
  ASSERT_EQ(messages.size(), streamLength - 1);
  for (const auto& message : messages) ASSERT_EQ(message, notification);
}

TEST_F(SocketConnectionTest, CoalescedWritesDeliverEveryMessageInOrder) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.HoldWrites();
  std::vector<std::vector<uint8_t>> pushed;
  for (uint16_t i = 0; i < 50; ++i) {
    pushed.push_back(reader_sim::BuildNotification(0x0101, i, {{0x84, RawMessage(i * 7, i)}}));
    reader.Push(pushed.back());
  }
  reader.PushFile(0xD812, 0x01000000, RawMessage(3000, 9));
  pushed.push_back(reader_sim::BuildFileMessage(0xD812, 0x01000000, RawMessage(3000, 9)));
  reader.ReleaseWrites();
  ASSERT_TRUE(host.WaitForMessages(pushed.size()));
  EXPECT_EQ(host.Messages(), pushed);
}

struct RoundTrip {
  size_t length;
  size_t chunk;
};

void PrintTo(const RoundTrip& c, std::ostream* out) { *out << c.length << " bytes, reader writes of " << c.chunk; }

class SocketRoundTrip : public SocketConnectionTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SocketRoundTrip, MessageComesBackIntact) {
  reader.EchoOtherMessages();
  reader.SetWriteShape({{}, GetParam().chunk, 0ms});
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  const auto message = RawMessage(GetParam().length, static_cast<uint32_t>(GetParam().length));
  ASSERT_EQ(host.Send(message), kConnectionOk);
  ASSERT_TRUE(host.WaitForMessages(1));
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_TRUE(host.Messages()[0] == message);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SocketRoundTrip,
                         ::testing::Values(RoundTrip{0, 0}, RoundTrip{1, 0}, RoundTrip{62, 0}, RoundTrip{63, 0},
                                           RoundTrip{181, 0}, RoundTrip{182, 0}, RoundTrip{8191, 0},
                                           RoundTrip{8192, 100}, RoundTrip{65536, 0}, RoundTrip{70001, 1000},
                                           RoundTrip{1 << 20, 0}, RoundTrip{1 << 20, 9999},
                                           RoundTrip{3 * 1024 * 1024, 0}, RoundTrip{3 * 1024 * 1024, 65537}));

TEST_F(SocketConnectionTest, WriteWaitsWhileThePeerStopsReading) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.PauseReading(true);
  // Loopback socket buffers take a few megabytes before a writer has to wait.
  std::vector<std::vector<uint8_t>> messages;
  for (uint32_t seed = 0; seed < 4; ++seed) messages.push_back(RawMessage(kMaxMessageLength, seed));
  auto sending = std::async(std::launch::async, [&] {
    int result = kConnectionOk;
    for (const auto& message : messages) result |= host.Send(message);
    return result;
  });
  EXPECT_EQ(sending.wait_for(500ms), std::future_status::timeout) << "the socket buffers took everything";
  reader.PauseReading(false);
  EXPECT_EQ(sending.get(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForMessageCount(messages.size(), kRoomyWait));
  for (size_t i = 0; i < messages.size(); ++i) EXPECT_TRUE(reader.Received()[i].raw == messages[i]) << i;
}

TEST_F(SocketConnectionTest, WriteFailsWhenThePeerTakesNothingForTheTimeOut) {
  TcpHost host(reader.port(), 300);
  std::atomic<int> lossReports{0};
  host.connection->SetStateCallback([&](int state) {
    if (state == 0) ++lossReports;
  });
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.PauseReading(true);
  const auto started = std::chrono::steady_clock::now();
  int result = kConnectionOk;
  for (uint32_t seed = 0; seed < 4 && result == kConnectionOk; ++seed) {
    result = host.Send(RawMessage(kMaxMessageLength, seed));
  }
  EXPECT_EQ(result, kConnectionFailed);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << "the first failed write ends the message";
  // Part of a message went out: the link has failed, and says so once.
  EXPECT_FALSE(host.connection->IsConnected());
  EXPECT_TRUE(Eventually([&] { return lossReports != 0; }));
  reader.PauseReading(false);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(lossReports.load(), 1);
}

TEST_F(SocketConnectionTest, WriteFailsOnceThePeerHasClosed) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.DropConnections();
  const uint8_t packet[] = {0x00, 0x01, 0x55};
  int result = kConnectionOk;
  EXPECT_TRUE(Eventually([&] {
    result = host.connection->Write(packet, sizeof packet);
    return result != kConnectionOk;
  }));
  EXPECT_EQ(result, kConnectionFailed);
  EXPECT_FALSE(host.connection->IsConnected());
  EXPECT_EQ(host.connection->Close(), kConnectionOk);
}

TEST_F(SocketConnectionTest, ReplyDroppedConnectionAndDelaysAreScriptable) {
  reader.SetReply(0x1004, reader_sim::Reply::Ok().After(50ms).ThenDrop());
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(host.Send(OrvaneCommand(0x1004).Serialize()), kConnectionOk);
  ASSERT_TRUE(host.WaitForMessages(1));
  EXPECT_GE(std::chrono::steady_clock::now() - started, 50ms);
  EXPECT_TRUE(Eventually([&] { return reader.OpenCount() == 0; }));
  EXPECT_EQ(reader.OpenCount(), 0u);
}

TEST_F(SocketConnectionTest, CloseReturnsOnlyAfterTheReaderHasLeftTheCallback) {
  SocketConnection connection("127.0.0.1", reader.port());
  std::atomic<bool> callbackDone{false};
  OpenInsideASlowCallback(connection, callbackDone);
  if (HasFatalFailure()) return;
  EXPECT_EQ(connection.Close(), kConnectionOk);
  EXPECT_TRUE(callbackDone);
}

TEST_F(SocketConnectionTest, ConnectionMayBeDestroyedFromItsOwnCallback) {
  auto connection = std::make_unique<SocketConnection>("127.0.0.1", reader.port());
  std::promise<void> destroyed;
  connection->SetDataCallback([&](uint8_t*, unsigned) {
    // This lambda dies with the connection: copy its captures first.
    auto* owner = &connection;
    auto* done = &destroyed;
    if (*owner) {
      owner->reset();
      done->set_value();
    }
  });
  ASSERT_EQ(connection->Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.PushNotification(0x0101, 1);
  EXPECT_EQ(destroyed.get_future().wait_for(kRoomyWait), std::future_status::ready);
}

// The first reader closes and reopens from its callback; the second reader
// then closes from its own callback while the first has not yet ended.
TEST_F(SocketConnectionTest, ReaderCallbacksMayCloseAndReopenInTurn) {
  SocketConnection connection("127.0.0.1", reader.port());
  std::atomic<int> calls{0};
  std::promise<void> secondClosed;
  connection.SetDataCallback([&](uint8_t*, unsigned) {
    const int call = ++calls;
    if (call == 1) {
      connection.Close();
      connection.Open();
    } else if (call == 2) {
      connection.Close();
      secondClosed.set_value();
    }
  });
  ASSERT_EQ(connection.Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  reader.PushNotification(0x0101, 1);
  ASSERT_TRUE(reader.WaitForConnections(2, kRoomyWait));
  reader.PushNotification(0x0101, 2);
  EXPECT_EQ(secondClosed.get_future().wait_for(kRoomyWait), std::future_status::ready);
  EXPECT_FALSE(connection.IsConnected());
}

TEST_F(SocketConnectionTest, CloseDuringAnotherCloseWaitsForTheReader) {
  SocketConnection connection("127.0.0.1", reader.port());
  std::atomic<bool> callbackDone{false};
  OpenInsideASlowCallback(connection, callbackDone);
  if (HasFatalFailure()) return;
  std::thread firstClose([&] { connection.Close(); });
  EXPECT_TRUE(Eventually([&] { return !connection.IsConnected(); }));
  EXPECT_EQ(connection.Close(), kConnectionOk);
  EXPECT_TRUE(callbackDone);
  firstClose.join();
}

TEST_F(SocketConnectionTest, WithoutADataCallbackBytesWaitInTheReceiveRing) {
  SocketConnection connection("127.0.0.1", reader.port());
  ASSERT_EQ(connection.Open(), kConnectionOk);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
  const auto notification = reader_sim::BuildNotification(0x0101, 0x10010200, {});
  reader.Push(notification);
  std::vector<uint8_t> buffered;
  EXPECT_TRUE(Eventually([&] {
    uint8_t chunk[64];
    unsigned length = sizeof chunk;
    connection.ReadAvailable(chunk, &length);
    buffered.insert(buffered.end(), chunk, chunk + length);
    return buffered.size() >= 64;
  }));
  ASSERT_EQ(buffered.size(), 64u);
  EXPECT_EQ(buffered, reader_sim::PacketiseForReader(notification));
}

TEST_F(SocketConnectionTest, ConcurrentSendersKeepTheirPacketsTogether) {
  TcpHost host(reader.port());
  ASSERT_EQ(host.connection->Open(), kConnectionOk);
  std::vector<std::thread> senders;
  for (uint32_t t = 0; t < 4; ++t) {
    senders.emplace_back([&host, t] {
      for (uint32_t i = 0; i < 10; ++i) host.Send(RawMessage(20000 + t * 100 + i, t * 100 + i));
    });
  }
  for (auto& sender : senders) sender.join();
  ASSERT_TRUE(reader.WaitForMessageCount(40, kRoomyWait));
  for (const auto& message : reader.Received()) {
    EXPECT_GE(message.raw.size(), 20000u);
  }
}

TEST_F(SocketConnectionTest, ReopensAfterClose) {
  TcpHost host(reader.port());
  reader.EchoOtherMessages();
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(host.connection->Open(), kConnectionOk);
    ASSERT_EQ(host.Send(RawMessage(100, round)), kConnectionOk);
    ASSERT_TRUE(host.WaitForMessages(round + 1));
    EXPECT_EQ(host.connection->Close(), kConnectionOk);
  }
  EXPECT_TRUE(reader.WaitForConnections(3, kRoomyWait));
}

}  // namespace
}  // namespace quorlan
