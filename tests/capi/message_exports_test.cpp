// The message accessor exports, called through the shared library.
#include <gtest/gtest.h>

#include <string>

#include "quorlan/qrx.h"

namespace {

// Notification id 0x1805, code 0x01010101, inner data A2 = E1 03 C1 01 07.
const char kNotification[] = "AA00810403001805820401010101" "84091805A205E103C10107";
// Notification id 0x0905 with code 0 (taken from P3).
const char kNotificationOfCodeZero[] = "AA0081040300090583050000000000";
// Notification whose P2 holds only two of the four code bytes.
const char kNotificationWithoutCode[] = "AA00810403001805820201018305FF00000007";
// Response to 0x1001, operation status 0x12, command status 0x34, inner 81 = 01, 84 = AB CD.
const char kResponse[] = "AA00810402051001820412000034" "840910018101018402ABCD";
// File 0x01000000 of code 0xD812 with payload 01 02.
const char kFile[] = "AA0081080400D812010000008402" "0102";

struct IsNotificationCase {
  const char* message;
  uint32_t code;
  uint16_t id;
  uint8_t expected;
};

TEST(IsNotification, MatchesCodeAndIdByTheirRule) {
  const IsNotificationCase cases[] = {
      {kNotification, 0, 0, 1},
      {kNotification, 0x01010101, 0, 1},
      {kNotification, 0x01010101, 0x1805, 1},
      {kNotification, 0x01010101, 0x0905, 0},
      {kNotification, 0x02020202, 0, 0},
      {kNotification, 0x02020202, 0x1805, 0},
      {kNotification, 0, 0x0905, 1},
      {kNotificationOfCodeZero, 0, 0x0905, 1},
      {kNotificationOfCodeZero, 0, 0x0906, 0},
      {kNotificationOfCodeZero, 0, 0, 1},
      {kNotificationWithoutCode, 0, 0, 0},
      {kResponse, 0, 0, 0},
      {kFile, 0, 0, 0},
      {"not a message", 0, 0, 0},
      {"", 0, 0, 0},
      {nullptr, 0, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QRX_IsNotification(c.message, c.code, c.id), c.expected)
        << (c.message ? c.message : "null") << " " << c.code << " " << c.id;
  }
}

TEST(NotificationAccessors, ReadCodeIdAndParameters) {
  EXPECT_EQ(QRX_GetNotificationCode(kNotification), 0x01010101u);
  EXPECT_EQ(QRX_GetNotificationId(kNotification), 0x1805u);
  EXPECT_STREQ(QRX_GetNotificationParameter(kNotification, "A2.E1.C1"), "07");
  EXPECT_STREQ(QRX_GetNotificationParameter(kNotification, "A2"), "E103C10107");
  EXPECT_EQ(QRX_GetNotificationId(kNotificationOfCodeZero), 0x0905u);
}

TEST(ResponseAccessors, ReadStatusesCommandIdAndParameters) {
  EXPECT_EQ(QRX_GetCommandStatus(kResponse), 0x34);
  EXPECT_EQ(QRX_GetOperationStatus(kResponse), 0x12);
  EXPECT_EQ(QRX_GetStatusCode(kResponse), 0x1234);
  EXPECT_EQ(QRX_GetResponseCommandID(kResponse), 0x1001u);
  EXPECT_STREQ(QRX_GetResponseParameter(kResponse, "84"), "ABCD");
  EXPECT_STREQ(QRX_GetResponseParameter("aa00810402051001820412000034840910018101018402abcd", "81"), "01");
}

TEST(FileAccessors, ReadWhatQRXGetFileMessageBuilt) {
  const std::string built = QRX_GetFileMessage(0x01000000, "0102", 0xD812);
  EXPECT_EQ(built, kFile);
  EXPECT_EQ(QRX_IsFile(built.c_str()), 1);
  EXPECT_EQ(QRX_GetFileID(built.c_str()), 0x01000000u);
  EXPECT_STREQ(QRX_GetFilePayload(built.c_str()), "0102");

  const std::string empty = QRX_GetFileMessage(0xFFFFFFFF, "", 0x0001);
  EXPECT_EQ(empty, "AA00810804000001FFFFFFFF8400");
  EXPECT_EQ(QRX_IsFile(empty.c_str()), 0);
  EXPECT_EQ(QRX_GetFileID(empty.c_str()), 0u);
}

// The fixed empty text of the library, as a failing export returns it.
const char* FixedEmptyText() { return QRX_GetFilePayload(nullptr); }

TEST(TextAccessors, GiveTheFixedEmptyTextForAnEmptyValue) {
  const char* const empty = FixedEmptyText();
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  EXPECT_EQ(QRX_GetResponseParameter(kResponse, "82"), empty);
  EXPECT_EQ(QRX_GetResponseParameter(kResponse, "A2.E1"), empty);
  EXPECT_EQ(QRX_GetNotificationParameter(kNotification, "A3.E1"), empty);
  EXPECT_EQ(QRX_GetNotificationParameter(kNotification, "9F"), empty);
}

// Every accessor on one input, so that failures are checked alike.
struct Answers {
  uint8_t isNotification;
  uint32_t notificationCode;
  uint32_t notificationId;
  std::string notificationParameter;
  std::string responseParameter;
  int32_t commandStatus;
  int32_t operationStatus;
  uint32_t responseCommandId;
  int32_t statusCode;
  uint8_t isFile;
  uint32_t fileId;
  std::string filePayload;
};

Answers AskEverything(const char* message, const char* path) {
  auto text = [](const char* result) { return result == nullptr ? std::string("(null)") : std::string(result); };
  return {QRX_IsNotification(message, 0, 0),
          QRX_GetNotificationCode(message),
          QRX_GetNotificationId(message),
          text(QRX_GetNotificationParameter(message, path)),
          text(QRX_GetResponseParameter(message, path)),
          QRX_GetCommandStatus(message),
          QRX_GetOperationStatus(message),
          QRX_GetResponseCommandID(message),
          QRX_GetStatusCode(message),
          QRX_IsFile(message),
          QRX_GetFileID(message),
          text(QRX_GetFilePayload(message))};
}

void ExpectAllFailed(const Answers& a, const std::string& what) {
  EXPECT_EQ(a.isNotification, 0) << what;
  EXPECT_EQ(a.notificationCode, 0u) << what;
  EXPECT_EQ(a.notificationId, 0u) << what;
  EXPECT_EQ(a.notificationParameter, "") << what;
  EXPECT_EQ(a.responseParameter, "") << what;
  EXPECT_EQ(a.commandStatus, 0xFF) << what;
  EXPECT_EQ(a.operationStatus, 0xFF) << what;
  EXPECT_EQ(a.responseCommandId, 0u) << what;
  EXPECT_EQ(a.statusCode, 0xFF) << what;
  EXPECT_EQ(a.isFile, 0) << what;
  EXPECT_EQ(a.fileId, 0u) << what;
  EXPECT_EQ(a.filePayload, "") << what;
}

TEST(AllAccessors, GiveTheirFailureValueForNullAndMalformedText) {
  const char* const inputs[] = {
      nullptr, "", "hello", "ZZZZZZZZ", "AA", "AA00", "AA0081", "AA01810402051001820412000034",
      "AA0081", "AA00810402", "AA00810403", "AA00810404", "AA00FF", "AA008184FFFFFFFF02",
      kNotificationWithoutCode,
  };
  for (const char* input : inputs) {
    ExpectAllFailed(AskEverything(input, "84"), input == nullptr ? "null" : input);
  }
  // A null tag path with a good message.
  EXPECT_STREQ(QRX_GetResponseParameter(kResponse, nullptr), "");
  EXPECT_STREQ(QRX_GetNotificationParameter(kNotification, nullptr), "");
  // A path without a parameter tag, or with an index beyond int.
  EXPECT_STREQ(QRX_GetResponseParameter(kResponse, "ZZ.81"), "");
  EXPECT_STREQ(QRX_GetNotificationParameter(kNotification, "A2.E1(99999999999)"), "");
  EXPECT_STREQ(QRX_GetFileMessage(1, nullptr, 2), "");
}

TEST(AllAccessors, TellTheKindsOfMessageApart) {
  const Answers notification = AskEverything(kNotification, "A2");
  EXPECT_EQ(notification.isNotification, 1);
  EXPECT_EQ(notification.notificationParameter, "E103C10107");
  EXPECT_EQ(notification.statusCode, 0xFF);
  EXPECT_EQ(notification.responseCommandId, 0u);
  EXPECT_EQ(notification.isFile, 0);

  const Answers response = AskEverything(kResponse, "81");
  EXPECT_EQ(response.isNotification, 0);
  EXPECT_EQ(response.notificationCode, 0u);
  EXPECT_EQ(response.responseParameter, "01");
  EXPECT_EQ(response.notificationParameter, "");
  EXPECT_EQ(response.isFile, 0);

  const Answers file = AskEverything(kFile, "84");
  EXPECT_EQ(file.isFile, 1);
  EXPECT_EQ(file.isNotification, 0);
  EXPECT_EQ(file.commandStatus, 0xFF);
}

TEST(SelfTestExport, RunsTheEncodingRoundTripsOfNineThousandCommands) {
  auto sequenceOfNextCommand = [] {
    return std::stoi(std::string(QRX_GetFormattedCommandBytesInHex("1008")).substr(10, 2), nullptr, 16);
  };
  const int before = sequenceOfNextCommand();
  TestMain();
  const int after = sequenceOfNextCommand();
  // Two draws per formatted command, two per self-test pass.
  EXPECT_EQ((after - before) & 0xFF, (2 + 2 * 99 * 99) & 0xFF);
}

}  // namespace
