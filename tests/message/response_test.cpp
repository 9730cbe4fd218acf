#include "quorlan/message/response.h"

#include <gtest/gtest.h>

#include "parse_error.h"
#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

struct ResponseCase {
  const char* hex;
  uint16_t commandId;
  int operationStatus;
  int commandStatus;
};

TEST(ResponseParse, ReadsCommandIdAndStatuses) {
  const ResponseCase cases[] = {
      {"AA00810402051001820400000000", 0x1001, 0, 0},
      {"AA00810402051001820401000002", 0x1001, 1, 2},
      {"AA00810402051001820501000002FF", 0x1001, 1, 2},
      {"AA00810402051001820412ABCDEF", 0x1001, 0x12, 0xABCDEF},
      // Parameter 0x21 holds the statuses, nested items included; P2 is then not read.
      {"AA0081040205D812820405000009" "A208A106810103820100", 0xD812, 0, 3},
      {"AA0081040205D812" "A2068101048201FF", 0xD812, 0xFF, 4},
      {"AA0081040205D812" "A20C810100810109820102820103", 0xD812, 2, 0},
      {"AA0081040205D812" "A20A8104000000018202000F", 0xD812, 0x0F, 1},
      {"AAFF810402051008820400000000", 0x1008, 0, 0},
      {"AA00810482000010820400000000", 0x0010, 0, 0},
      {"aa00810402051001820400000000", 0x1001, 0, 0},
  };
  for (const auto& c : cases) {
    const OrvaneResponse response = OrvaneResponse::FromHex(c.hex);
    EXPECT_EQ(response.commandId, c.commandId) << c.hex;
    EXPECT_EQ(response.operationStatus, c.operationStatus) << c.hex;
    EXPECT_EQ(response.commandStatus, c.commandStatus) << c.hex;
    EXPECT_EQ(response.messageText, ToUpper(c.hex)) << c.hex;
  }
}

struct FailureCase {
  const char* hex;
  const char* error;  // nullptr: any error of the standard library
};

TEST(ResponseParse, FailsWithTheTextOfTheFirstCheckMissed) {
  const FailureCase cases[] = {
      {"AA00", "invalid data"},
      {"", "invalid data"},
      {"AA01810402051001820400000000", "Invalid frameword id"},
      {"0000810402051001820400000000", "Invalid frameword id"},
      {"AA00810403001805820401010101", "Invalid message type"},
      {"AA00810404001001820400000000", "Invalid message type"},
      {"AA008104020510018203000000", "Cannot find response status"},
      {"AA0081040205100182030000008303000000", "Cannot find response status"},
      {"AA008104020510018400", "Cannot find response status"},
      {"AA00820400000000", nullptr},
      {"AA008100820400000000", nullptr},
      {"AA008103020510820400000000", nullptr},
      // Parameter 0x21 with no operation status, or a status beyond 32 bits.
      {"AA0081040205D812" "A203810103", nullptr},
      {"AA0081040205D812" "A20A8105FFFFFFFFFF820100", nullptr},
      // An inner frame of fewer than 3 bytes.
      {"AA00810402051001820400000000840110", "invalid data"},
      {"ZZZZZZ", "Invalid frameword id"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf([&] { OrvaneResponse::FromHex(c.hex); });
    if (c.error != nullptr) {
      EXPECT_EQ(error, c.error) << c.hex;
    } else {
      EXPECT_NE(error, kNoError) << c.hex;
    }
  }
}

TEST(ResponseParse, ReadsTheInnerFrameFromParameter4) {
  const OrvaneResponse withData = OrvaneResponse::FromHex("AA00810402051001820400000000" "8409100181010184020102");
  EXPECT_EQ(withData.frame.type, 0x1001);
  EXPECT_EQ(withData.frame.parameters, (ParameterMap{{1, {0x01}}, {4, {0x01, 0x02}}}));

  const OrvaneResponse without = OrvaneResponse::FromHex("AA00810402052002820400000000");
  EXPECT_EQ(without.frame.type, 0x2002);
  EXPECT_TRUE(without.frame.parameters.empty());
}

TEST(ResponseParameters, AreFoundByTagAndByPath) {
  // Inner frame: 81 = 01, A0 (key 31) = E1 03 C1 01 07.
  const OrvaneResponse response =
      OrvaneResponse::FromHex("AA00810402051001820400000000" "840C1001810101A005E103C10107");
  const std::pair<uint8_t, const char*> byTag[] = {
      {0x81, "01"}, {0xA0, "E103C10107"}, {0x82, ""}, {0x80, ""}, {0x9F, ""}, {0xFF, ""}};
  for (const auto& [tag, value] : byTag) {
    EXPECT_EQ(BytesToHexString(response.GetParameterByTag(tag)), value) << int{tag};
  }
  EXPECT_EQ(BytesToHexString(response.GetParameterByPath("A0.E1.C1")), "07");
  EXPECT_EQ(BytesToHexString(response.GetParameterByPath("81")), "01");
}

TEST(ResponseStatusCode, IsOperationTimes256PlusCommandIn32Bits) {
  OrvaneResponse response;
  const std::tuple<int, int, int32_t> cases[] = {
      {0x12, 0x34, 0x1234}, {0, 0, 0}, {1, 0xFFFFFF, 0x10000FF}, {0x01000000, 5, 5}, {0xFF, 0xFF, 0xFFFF}};
  for (const auto& [operation, command, code] : cases) {
    response.operationStatus = operation;
    response.commandStatus = command;
    EXPECT_EQ(response.StatusCode(), code) << operation << " " << command;
  }
}

}  // namespace
}  // namespace quorlan
