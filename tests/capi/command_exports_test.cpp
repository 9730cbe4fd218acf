// The command-building exports, called through the shared library.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "quorlan/qrx.h"

namespace {

// Envelope text with the sequence byte (characters 10 and 11) blanked out.
std::string WithoutSequence(std::string envelope) {
  if (envelope.size() >= 12) envelope.replace(10, 2, "..");
  return envelope;
}

int SequenceOf(const std::string& envelope) { return std::stoi(envelope.substr(10, 2), nullptr, 16); }

TEST(CommandHandles, BuildTheEnvelopeOfTheirParameters) {
  intptr_t command = QRX_CreateCommand(0x21010);
  ASSERT_NE(command, 0);
  QRX_SetCommandParameter(command, 0x82, "0203");
  QRX_SetCommandParameter(command, 0x181, "01");
  QRX_SetCommandParameter(command, 0x82, "02");
  QRX_SetCommandParameter(command, 0x83, nullptr);
  EXPECT_EQ(WithoutSequence(QRX_GetCommandBytesInHex(command)), "AA00810401..101084081010810101820102");
  QRX_DeleteCommand(command);
}

TEST(CommandHandles, EachSerializationDrawsTheNextSequenceNumber) {
  intptr_t command = QRX_CreateCommand(0x1008);
  std::string first = QRX_GetCommandBytesInHex(command);
  std::string second = QRX_GetCommandBytesInHex(command);
  EXPECT_EQ((SequenceOf(second) - SequenceOf(first)) & 0xFF, 1);
  QRX_DeleteCommand(command);
}

TEST(CommandHandles, NoObjectHandlesAreIgnored) {
  for (intptr_t none : {intptr_t{0}, intptr_t{-1}}) {
    QRX_SetCommandParameter(none, 0x81, "01");
    QRX_DeleteCommand(none);
    const char* text = QRX_GetCommandBytesInHex(none);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
  }
}

TEST(CommandHandles, ConsecutiveResultsLieLengthPlus22Apart) {
  intptr_t command = QRX_CreateCommand(0x1008);
  // Each test runs in a process of its own, so buffer 1 is fresh and does not wrap here.
  const char* first = QRX_GetCommandBytesInHex(command);
  const char* second = QRX_GetCommandBytesInHex(command);
  EXPECT_EQ(second, first + 24 + 22);
  QRX_DeleteCommand(command);
}

struct FormattedCase {
  const char* text;
  const char* envelope;  // nullptr: refused
};

TEST(FormattedCommand, FollowsTheGrammar) {
  const FormattedCase cases[] = {
      {"1008", "AA00810401..100884021008"},
      {"1001,82=01,81=000100", "AA00810401..1001840A10018103000100820101"},
      {"1001,81=000100,82=01", "AA00810401..1001840A10018103000100820101"},
      {"1001,82=01,82=02", "AA00810401..100184051001820102"},
      {"1001,82=", "AA00810401..1001840410018200"},
      {"1001, 82=01", "AA00810401..100184051001820101"},
      {"1001,82=01,", "AA00810401..100184051001820101"},
      {"\t1001,\n82=01", "AA00810401..100184051001820101"},
      {"1001,82=01\n", "AA00810401..100184051001820101"},
      {"0x1001,0x82=1", "AA00810401..100184051001820101"},
      {"21001,182=01", "AA00810401..100184051001820101"},
      {"1001,a1=ff", "AA00810401..10018405 1001A101FF"},
      {"1001,9F=01,FF=02", "AA00810401..10018405 1001FF0102"},
      {"1001,82=01 ", nullptr},
      {"1001,,82=01", nullptr},
      {",1001", nullptr},
      {"", nullptr},
      {",", nullptr},
      {"ZZ,82=01", nullptr},
      {"1001,G2=01", nullptr},
      {"1001,82", nullptr},
      {"1001,=01", nullptr},
      {"1001,82=0-1", nullptr},
      {"1001,82=01=02", nullptr},
      {"1001,82\n=01", nullptr},
      {"1001,  82=01", nullptr},
      {"FFFFFFFFF", nullptr},
      {"1001,100000000=01", nullptr},
  };
  for (const auto& c : cases) {
    const char* result = QRX_GetFormattedCommandBytesInHex(c.text);
    ASSERT_NE(result, nullptr) << c.text;
    if (c.envelope == nullptr) {
      EXPECT_STREQ(result, "") << "'" << c.text << "'";
    } else {
      std::string expected = c.envelope;
      expected.erase(std::remove(expected.begin(), expected.end(), ' '), expected.end());
      EXPECT_EQ(WithoutSequence(result), expected) << "'" << c.text << "'";
    }
  }
  EXPECT_STREQ(QRX_GetFormattedCommandBytesInHex(nullptr), "");
}

TEST(FormattedCommand, ConsecutiveCallsDrawTwoSequenceNumbersEach) {
  std::string first = QRX_GetFormattedCommandBytesInHex("1008");
  std::string second = QRX_GetFormattedCommandBytesInHex("1008");
  EXPECT_EQ((SequenceOf(second) - SequenceOf(first)) & 0xFF, 2);
}

TEST(FormattedCommand, CarriesAValueOfSeveralMegabytes) {
  const std::string value(5 * 1024 * 1024, 'A');
  const char* result = QRX_GetFormattedCommandBytesInHex(("1001,81=" + value).c_str());
  std::string text = result;
  ASSERT_EQ(text.size(), 2 * (2 + 6 + 1 + 4 + 2 + 1 + 4 + value.size() / 2));
  EXPECT_EQ(text.substr(text.size() - 8), "AAAAAAAA");
  const char* small = QRX_GetFormattedCommandBytesInHex("1008");
  EXPECT_STREQ(result, text.c_str());
  EXPECT_NE(small, result);
}

}  // namespace
