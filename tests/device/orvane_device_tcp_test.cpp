// The device object over TCP against a peer that writes raw bytes, for what
// the packet stream does around raw exchanges.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "eventually.h"
#include "listening_socket.h"
#include "quorlan/device/orvane_device.h"

namespace quorlan {
namespace {

using test_support::Eventually;
using test_support::kRoomyWait;
using Bytes = std::vector<uint8_t>;

// One accepted loopback connection, written and read byte for byte.
class RawPeer {
 public:
  RawPeer() {
    platform::StartSocketsOnce();
    listener_ = platform::ListenTcp("127.0.0.1", 0, &port_);
  }
  ~RawPeer() {
    if (peer_ != platform::kNoSocket) platform::CloseSocket(peer_);
    if (listener_ != platform::kNoSocket) platform::CloseSocket(listener_);
  }

  int port() const { return port_; }

  bool Accept() {
    return Eventually([this] {
      if (peer_ == platform::kNoSocket) peer_ = platform::AcceptTcp(listener_);
      return peer_ != platform::kNoSocket;
    });
  }

  bool Write(const Bytes& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
      const auto result = platform::SendSome(peer_, bytes.data() + sent, bytes.size() - sent);
      if (result.status == platform::IoStatus::kDone) {
        sent += result.count;
      } else if (result.status != platform::IoStatus::kWouldBlock ||
                 platform::WaitWritable(peer_, static_cast<int>(kRoomyWait.count())) != platform::WaitResult::kReady) {
        return false;
      }
    }
    return true;
  }

  Bytes Read(size_t count) {
    Bytes bytes;
    Eventually([&] {
      uint8_t buffer[256];
      const auto result = platform::ReceiveSome(peer_, buffer, sizeof buffer);
      if (result.status == platform::IoStatus::kDone) bytes.insert(bytes.end(), buffer, buffer + result.count);
      return bytes.size() >= count;
    });
    return bytes;
  }

 private:
  platform::SocketHandle listener_ = platform::kNoSocket;
  platform::SocketHandle peer_ = platform::kNoSocket;
  int port_ = 0;
};

Bytes PaddedSinglePacket(const Bytes& message) {
  Bytes packet(64, 0);
  packet[1] = static_cast<uint8_t>(message.size());
  std::copy(message.begin(), message.end(), packet.begin() + 2);
  return packet;
}

struct Messages {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Bytes> received;

  OrvaneDevice::DataCallback Callback() {
    return [this](OrvaneDevice*, Bytes message) {
      std::lock_guard<std::mutex> lock(mutex);
      received.push_back(std::move(message));
      changed.notify_all();
    };
  }
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, kRoomyWait, [&] { return received.size() >= count; });
  }
};

TEST(DeviceOverTcp, RawExchangeDropsAPacketBegunBeforeIt) {
  RawPeer peer;
  ASSERT_NE(peer.port(), 0);
  Messages messages;
  OrvaneDevice device;
  device.SetDataCallback(messages.Callback());
  device.SetDeviceType(kDeviceTypeTcp);
  ASSERT_TRUE(device.Open("tcp://127.0.0.1:" + std::to_string(peer.port())));
  ASSERT_TRUE(peer.Accept());

  // A whole message and, in the same write, the head of a start packet whose
  // rest never comes: the reader switched to raw replies.
  const Bytes first = {0xAA, 0x00, 0x81, 0x01, 0x03};
  Bytes block = PaddedSinglePacket(first);
  const Bytes startHead = {0x01, 0x00, 0x00, 0x00, 0x64, 0x10, 0x11, 0x12, 0x13, 0x14};
  block.insert(block.end(), startHead.begin(), startHead.end());
  ASSERT_TRUE(peer.Write(block));
  ASSERT_TRUE(messages.WaitFor(1));

  std::thread peerSide([&] {
    if (peer.Read(4).size() == 4) peer.Write({0x55, 0x66});
  });
  const Bytes reply = device.SendRawAndWait({0x10, 0x20, 0x30, 0x40}, 30000);
  peerSide.join();
  EXPECT_EQ(reply, (Bytes{0x55, 0x66}));

  const Bytes next = {0xAA, 0x00, 0x81, 0x01, 0x04};
  ASSERT_TRUE(peer.Write(PaddedSinglePacket(next)));
  ASSERT_TRUE(messages.WaitFor(2));
  EXPECT_EQ(messages.received[1], next);
}

}  // namespace
}  // namespace quorlan
