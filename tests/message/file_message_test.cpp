#include "quorlan/message/file_message.h"

#include <gtest/gtest.h>

#include "parse_error.h"

namespace quorlan {
namespace {

TEST(FileMessageBuild, WritesHeaderThenPayload) {
  const OrvaneFileMessage message = OrvaneFileMessage::Build(0x01000000, {0x01, 0x02}, 0xD812);
  EXPECT_EQ(BytesToHexString(message.Serialize()), "AA0081080400D812010000008402" "0102");
  EXPECT_EQ(BytesToHexString(OrvaneFileMessage::Build(0xFFFFFFFF, {}, 0x0001).Serialize()),
            "AA00810804000001FFFFFFFF8400");

  const Bytes large = OrvaneFileMessage::Build(7, Bytes(300, 0x5A), 0x0102).Serialize();
  EXPECT_EQ(BytesToHexString(Bytes(large.begin() + 12, large.begin() + 16)), "8482012C");
  EXPECT_EQ(large.size(), 16u + 300u);
}

TEST(FileMessageBytesBeforePayload, AreTheBuiltMessageUpToItsPayload) {
  for (size_t size : {0, 1, 127, 128, 255, 256, 65535, 65536}) {
    const Bytes whole = OrvaneFileMessage::Build(0x01020304, Bytes(size, 0x5A), 0xD812).Serialize();
    EXPECT_EQ(FileMessageBytesBeforePayload(0x01020304, size, 0xD812), Bytes(whole.begin(), whole.end() - size))
        << size;
  }
}

TEST(FileMessageParse, GivesBackWhatWasBuilt) {
  const std::tuple<uint32_t, Bytes, uint16_t> cases[] = {
      {0x01000000, {0x01, 0x02}, 0xD812},
      {0, {0x00}, 0},
      {0xFFFFFFFF, Bytes(70000, 0xA5), 0xFFFF},
      {0x12345678, Bytes(128, 0x01), 0x8001},
  };
  for (const auto& [fileId, payload, code] : cases) {
    const OrvaneFileMessage back = OrvaneFileMessage::Parse(OrvaneFileMessage::Build(fileId, payload, code).Serialize());
    EXPECT_EQ(back.fileId, fileId);
    EXPECT_EQ(back.code, code);
    EXPECT_EQ(back.payload, payload);
  }
}

TEST(FileMessageParse, AcceptsEitherFrameTypeAndKindWithBit7Set) {
  const char* const cases[] = {"AAFF81080400D812010000008402" "0102", "AA0081088400D81201000000840201028201FF"};
  for (const char* hex : cases) {
    const OrvaneFileMessage message = OrvaneFileMessage::Parse(HexStringToBytes(hex));
    EXPECT_EQ(message.fileId, 0x01000000u) << hex;
    EXPECT_EQ(message.code, 0xD812) << hex;
    EXPECT_EQ(message.payload, Bytes({0x01, 0x02})) << hex;
  }
}

TEST(FileMessageParse, FailsWithTheTextOfTheFirstCheckMissed) {
  const std::pair<const char*, const char*> cases[] = {
      {"AA00", "invalid data"},
      {"AA0181080400D812010000008402" "0102", "Invalid frameword id"},
      {"AA00810403001805820401010101", "Invalid file message header"},
      {"AA0081090400D81201000000008402" "0102", "Invalid file message header"},
      {"AA008402" "0102", "Invalid file message header"},
      {"AA0081080300D812010000008402" "0102", "Message Type is not file"},
      {"AA0081080200D812010000008402" "0102", "Message Type is not file"},
      {"AA0081080400D812010000008400", "File message must have a payload - P4!"},
      {"AA0081080400D81201000000", "File message must have a payload - P4!"},
  };
  for (const auto& [hex, error] : cases) {
    EXPECT_EQ(ErrorOf([&] { OrvaneFileMessage::Parse(HexStringToBytes(hex)); }), error) << hex;
  }
}

}  // namespace
}  // namespace quorlan
