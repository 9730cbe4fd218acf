#include "quorlan/capi/output_buffers.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quorlan {
namespace {

TEST(OutputBuffer, PlacesTextsLengthPlus22Apart) {
  OutputBuffer buffer(1000);
  const char* first = buffer.Store("ABCD");
  const char* second = buffer.Store("");
  const char* third = buffer.Store("XY");
  EXPECT_EQ(first, buffer.Start());
  EXPECT_EQ(second, first + 4 + 22);
  EXPECT_EQ(third, second + 0 + 22);
  EXPECT_STREQ(first, "ABCD");
  EXPECT_STREQ(third, "XY");
}

TEST(OutputBuffer, WrapsToTheStartWhenTheNextTextDoesNotFit) {
  OutputBuffer buffer(100);
  const std::string text(28, 'A');  // 50 bytes with the slack: exactly two fit
  EXPECT_EQ(buffer.Store(text), buffer.Start());
  EXPECT_EQ(buffer.Store(text), buffer.Start() + 50);
  EXPECT_EQ(buffer.Store("B"), buffer.Start());
  EXPECT_STREQ(buffer.Start(), "B");
  EXPECT_EQ(buffer.Store(std::string(55, 'C')), buffer.Start() + 23);
}

TEST(OutputBuffer, OversizedTextGetsABlockOfItsOwn) {
  OutputBuffer buffer;
  const char* before = buffer.Store("1234");
  const std::string huge(5 * 1024 * 1024, 'F');
  const char* placed = buffer.Store(huge);
  ASSERT_NE(placed, nullptr);
  EXPECT_TRUE(placed < buffer.Start() || placed >= buffer.Start() + OutputBuffer::kCapacity);
  EXPECT_EQ(std::string(placed), huge);
  EXPECT_STREQ(before, "1234");
  EXPECT_EQ(buffer.Store("5"), before + 4 + 22);
  EXPECT_EQ(std::string(placed), huge);

  // A block of its own is written over by the next oversized text that fits it.
  const std::string justTooLarge(OutputBuffer::kCapacity - 21, 'E');
  const char* second = buffer.Store(justTooLarge);
  EXPECT_EQ(second, placed);
  EXPECT_EQ(std::string(second), justTooLarge);
  const std::string largestThatFits(OutputBuffer::kCapacity - 22, 'D');
  EXPECT_EQ(buffer.Store(largestThatFits), buffer.Start());
}

TEST(OutputBuffer, HexTextOfThePiecesIsFollowedByItsZeros) {
  OutputBuffer buffer(100);
  buffer.Store(std::string(70, 'X'));
  const uint8_t first[] = {0x01, 0xAB};
  const uint8_t second[] = {0xFF};
  const char* text = buffer.StoreHex({ByteView{first, 2}, ByteView{second, 1}});
  EXPECT_EQ(text, buffer.Start());
  EXPECT_EQ(std::string(text, 6 + 22), "01ABFF" + std::string(22, '\0'));
}

TEST(OutputBuffer, ConcurrentStoresNeverShareAPlace) {
  OutputBuffer buffer(1 << 20);
  constexpr int kThreads = 8;
  constexpr int kTexts = 500;
  std::vector<std::vector<const char*>> placed(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kTexts; ++i) placed[t].push_back(buffer.Store(std::string(40, static_cast<char>('a' + t))));
    });
  }
  for (auto& thread : threads) thread.join();
  // 8 * 500 texts of 62 bytes fill less than the buffer, so none was overwritten.
  for (int t = 0; t < kThreads; ++t) {
    for (const char* text : placed[t]) ASSERT_EQ(std::string(text), std::string(40, static_cast<char>('a' + t)));
  }
}

}  // namespace
}  // namespace quorlan
