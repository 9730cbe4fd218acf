#include "quorlan/capi/formatted_response.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

TEST(FormattedResponse, WritesIdStatusesAndEachInnerParameter) {
  const std::pair<const char*, const char*> cases[] = {
      {"AA00810402051001820400000000" "A206810100820111" "840910018101018402ABCD",
       "1001,CommandStatus=0,OperationStatus=11,81=01,84=ABCD"},
      {"AA008104020500108204FF00ABCD", "0010,CommandStatus=abcd,OperationStatus=ff"},
      {"AA00810402051001820400000000" "8403100100", "1001,CommandStatus=0,OperationStatus=0"},
      // Inner parameters in key order, whatever order they arrived in; keys
      // 31 and up with their A0-based tags; an empty value written empty.
      {"AA0081040205D812820400000000" "840ED812BE01FFA0020102820081015A",
       "D812,CommandStatus=0,OperationStatus=0,81=5A,82=,A0=0102,BE=FF"},
      {"AA0081040205100182040A00001F", "1001,CommandStatus=1f,OperationStatus=a"},
  };
  for (const auto& [hex, text] : cases) {
    EXPECT_EQ(FormatResponseText(OrvaneResponse::FromHex(hex)), text) << hex;
  }
}

TEST(FormattedResponse, WritesKeysWithoutAWireTagUnderTheirStoredTag) {
  OrvaneResponse response;
  response.commandId = 0x1234;
  response.commandStatus = 0x7FFFFFFF;
  response.operationStatus = 0;
  response.frame.SetParameterFromTag(0x80, "01");
  response.frame.SetParameterFromTag(0x9F, "02");
  EXPECT_EQ(FormatResponseText(response), "1234,CommandStatus=7fffffff,OperationStatus=0,FF=02,80=01");
}

}  // namespace
}  // namespace quorlan
