#include "quorlan/message/command_envelope.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

uint8_t SequenceOf(const Bytes& envelope) { return envelope.at(5); }

TEST(CommandEnvelope, WrapsTheCommandFrameInParameterFour) {
  OrvaneCommand plain(0x1008);
  Bytes bytes = plain.Serialize();
  bytes[5] = 0;
  EXPECT_EQ(BytesToHexString(bytes), "AA0081040100100884021008");

  OrvaneCommand withParameter(0x1010);
  withParameter.frame.SetParameterFromTag(0x81, "01");
  bytes = withParameter.Serialize();
  bytes[5] = 0;
  EXPECT_EQ(BytesToHexString(bytes), "AA0081040100101084051010810101");
}

TEST(CommandEnvelope, LargeInnerFrameUsesLongLengthForm) {
  OrvaneCommand command(0xDF01);
  command.frame.SetParameter(1, Bytes(99, 0x63));
  command.frame.SetParameter(2, Bytes(99, 0x63));
  Bytes bytes = command.Serialize();
  EXPECT_EQ(bytes[8], 0x84);
  EXPECT_EQ(bytes[9], 0x81);
  EXPECT_EQ(bytes[10], 204);
  OrvaneAPIFrameWork inner = OrvaneAPIFrameWork::Parse(OrvaneAPIFrameWork::Parse(bytes).GetParameter(4));
  EXPECT_EQ(inner.type, 0xDF01);
  EXPECT_EQ(inner.GetParameter(2).size(), 99u);
}

// The envelope is a frame of parameters 1 and 4, whatever the inner frame's length.
TEST(CommandEnvelope, IsTheFrameOfItsHeaderAndItsSerializedInnerFrame) {
  for (size_t size : {0, 120, 121, 65530, 70000}) {
    OrvaneCommand command(0x1234);
    if (size > 0) command.frame.SetParameter(4, Bytes(size, 0x77));
    const Bytes bytes = command.Serialize();
    OrvaneAPIFrameWork expected(kEnvelopeFrameType);
    expected.SetParameter(1, {0x01, SequenceOf(bytes), 0x12, 0x34});
    expected.SetParameter(4, command.frame.Serialize());
    EXPECT_EQ(bytes, expected.Serialize()) << size;
  }
}

TEST(CommandSequence, EachSerializeDrawsTheNextNumber) {
  OrvaneCommand command(0x1008);
  uint8_t first = SequenceOf(command.Serialize());
  EXPECT_EQ(SequenceOf(command.Serialize()), static_cast<uint8_t>(first + 1));
  EXPECT_EQ(SequenceOf(command.Serialize()), static_cast<uint8_t>(first + 2));
  OrvaneCommand next(0x1008);
  EXPECT_EQ(SequenceOf(next.Serialize()), static_cast<uint8_t>(first + 4));
}

TEST(CommandSequence, WrapsAfter256Draws) {
  uint8_t start = DrawCommandSequence();
  for (int i = 0; i < 255; ++i) DrawCommandSequence();
  EXPECT_EQ(DrawCommandSequence(), start);
}

}  // namespace
}  // namespace quorlan
