#include "quorlan/transport/serial_comm.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace quorlan {
namespace {

std::vector<uint8_t> Counting(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

std::vector<uint8_t> ReadUpTo(SerialComm& link, unsigned wanted) {
  std::vector<uint8_t> out(wanted);
  link.Read(out.data(), &wanted);
  out.resize(wanted);
  return out;
}

TEST(ReceiveRing, OversizedBlockKeepsItsLastBytes) {
  SerialComm link;
  auto block = Counting(70000);
  link.OnDataReceived(block.data(), static_cast<unsigned>(block.size()));
  EXPECT_EQ(ReadUpTo(link, 100), std::vector<uint8_t>(block.begin() + 4464, block.begin() + 4564));
}

TEST(ReceiveRing, FullSizedBlockReplacesEverythingBefore) {
  SerialComm link;
  auto old = Counting(10);
  link.OnDataReceived(old.data(), 10);
  auto block = Counting(SerialComm::kRingCapacity);
  std::reverse(block.begin(), block.end());
  link.OnDataReceived(block.data(), SerialComm::kRingCapacity);
  EXPECT_EQ(ReadUpTo(link, SerialComm::kRingCapacity + 5), block);
}

TEST(ReceiveRing, OverflowDropsTheOldestBytes) {
  SerialComm link;
  auto first = Counting(65530);
  link.OnDataReceived(first.data(), 65530);
  std::vector<uint8_t> second(10, 0xEE);
  link.OnDataReceived(second.data(), 10);
  auto all = ReadUpTo(link, 70000);
  ASSERT_EQ(all.size(), SerialComm::kRingCapacity);
  EXPECT_EQ(all.front(), first[4]);
  EXPECT_EQ(all.back(), 0xEE);
}

TEST(ReceiveRing, ReadAvailableTellsWhetherBytesRemain) {
  SerialComm link;
  auto block = Counting(8);
  link.OnDataReceived(block.data(), 8);
  uint8_t out[8];
  unsigned length = 5;
  EXPECT_EQ(link.ReadAvailable(out, &length), kConnectionMoreBuffered);
  EXPECT_EQ(length, 5u);
  length = 8;
  EXPECT_EQ(link.ReadAvailable(out, &length), kConnectionOk);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(out[2], block[7]);
}

TEST(ReceiveRing, NothingIsBufferedWhileACallbackIsSet) {
  SerialComm link;
  std::vector<uint8_t> seen;
  link.SetDataCallback([&](uint8_t* data, unsigned length) { seen.insert(seen.end(), data, data + length); });
  auto block = Counting(20);
  link.OnDataReceived(block.data(), 20);
  EXPECT_EQ(seen, block);
  EXPECT_TRUE(ReadUpTo(link, 100).empty());
}

TEST(ReceiveRing, BehavesLikeABoundedQueueUnderRandomTraffic) {
  SerialComm link;
  std::deque<uint8_t> model;
  std::mt19937 random(7);
  uint8_t next = 0;
  for (int step = 0; step < 3000; ++step) {
    if (random() % 2) {
      std::vector<uint8_t> block(random() % (step % 100 == 0 ? 70000 : 9000));
      for (auto& b : block) b = next++;
      link.OnDataReceived(block.data(), static_cast<unsigned>(block.size()));
      model.insert(model.end(), block.begin(), block.end());
      while (model.size() > SerialComm::kRingCapacity) model.pop_front();
    } else {
      unsigned wanted = random() % 12000;
      auto got = ReadUpTo(link, wanted);
      size_t expectedCount = std::min<size_t>(wanted, model.size());
      ASSERT_EQ(got.size(), expectedCount) << "step " << step;
      ASSERT_TRUE(std::equal(got.begin(), got.end(), model.begin())) << "step " << step;
      model.erase(model.begin(), model.begin() + expectedCount);
    }
  }
}

TEST(SerialCommBase, OperationsAConnectionDoesNotProvideFail) {
  SerialComm link;
  uint8_t byte = 0;
  bool called = false;
  EXPECT_EQ(link.Open(), kConnectionFailed);
  EXPECT_EQ(link.Close(), kConnectionFailed);
  EXPECT_EQ(link.Write(&byte, 1), kConnectionFailed);
  EXPECT_FALSE(link.IsConnected());
  EXPECT_FALSE(link.GetDeviceList([&](std::string, std::string) { return called = true; }, ""));
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace quorlan
