// The binding's table without Quorlan and against stand-ins that lack
// exports. Each test expects its own library on the search path: ctest runs
// each with the matching stand-in folder (or none) in LD_LIBRARY_PATH.
#include "pelorixj/device/qrx_library.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelorixj {
namespace {

// What the stand-in's last call without a text result was given.
std::string LastCall() {
  DynamicLibrary standin;
  standin.Load(kQuorlanLibraryFile);
  auto read = reinterpret_cast<const char* (*)()>(standin.GetSymbol("StandinLastCall"));
  return read ? read() : "no stand-in";
}

// A result, then what the call was given: the call has run before LastCall.
template <class Result>
std::string AndLastCall(Result result) {
  return std::to_string(result) + " " + LastCall();
}

std::string Progress(const std::vector<double>& fractions) {
  std::string text;
  for (double f : fractions) text += " " + std::to_string(f).substr(0, 3);
  return text;
}

struct Operation {
  const char* name;
  std::function<std::string(const QrxLibrary&)> call;
  std::string standinAnswer;
};

const intptr_t kObject = static_cast<intptr_t>(0xFEDCBA9876543210u);

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> operations = {
      {"getDeviceList", [](const QrxLibrary& q) { return q.getDeviceList(4); }, "GetDeviceList 4"},
      {"openDevice", [](const QrxLibrary& q) { return AndLastCall(q.openDevice(4, "tcp://a")); },
       std::to_string((intptr_t{0x7A5C} << 32) | 4) + " OpenDevice 4 tcp://a"},
      {"closeDevice", [](const QrxLibrary& q) { q.closeDevice(kObject); return LastCall(); },
       "CloseDevice " + std::to_string(kObject)},
      {"isDeviceOpened", [](const QrxLibrary& q) { return std::to_string(q.isDeviceOpened(7)); }, "0"},
      {"attachObjectToDevice", [](const QrxLibrary& q) { q.attachObjectToDevice(7, kObject); return LastCall(); },
       "AttachObjectToDevice 7 " + std::to_string(kObject)},
      {"getAttachedObject", [](const QrxLibrary& q) { return std::to_string(q.getAttachedObject(7)); },
       std::to_string(kObject)},
      {"setDeviceStatusChangeCallback",
       [](const QrxLibrary& q) { q.setDeviceStatusChangeCallback(7, nullptr); return LastCall(); },
       "SetDeviceStatusChangeCallback 7 none"},
      {"setDataArriveCallback", [](const QrxLibrary& q) { q.setDataArriveCallback(7, nullptr); return LastCall(); },
       "SetDataArriveCallback 7 none"},
      {"sendMessage", [](const QrxLibrary& q) { return AndLastCall(q.sendMessage(7, "AB")); },
       "42 SendMessage 7 AB"},
      {"sendAndReceiveMessage", [](const QrxLibrary& q) { return q.sendAndReceiveMessage(7, "AB", 1000); },
       "SendAndReceiveMessage 7 AB 1000"},
      {"createCommand", [](const QrxLibrary& q) { return std::to_string(q.createCommand(0xFFFF)); }, "65535"},
      {"setCommandParameter", [](const QrxLibrary& q) { q.setCommandParameter(9, 0xC1, "01"); return LastCall(); },
       "SetCommandParameter 9 193 01"},
      {"getCommandBytesInHex", [](const QrxLibrary& q) { return q.getCommandBytesInHex(9); },
       "GetCommandBytesInHex 9"},
      {"deleteCommand", [](const QrxLibrary& q) { q.deleteCommand(9); return LastCall(); }, "DeleteCommand 9"},
      {"getFormattedCommandBytesInHex", [](const QrxLibrary& q) { return q.getFormattedCommandBytesInHex("1008"); },
       "GetFormattedCommandBytesInHex 1008"},
      {"isNotification",
       [](const QrxLibrary& q) { return AndLastCall(q.isNotification("M", 0x80000001, 0xFFFF)); },
       "1 IsNotification M 2147483649 65535"},
      {"getNotificationCode", [](const QrxLibrary& q) { return std::to_string(q.getNotificationCode("M")); },
       "4294967294"},
      {"getNotificationId", [](const QrxLibrary& q) { return std::to_string(q.getNotificationId("M")); }, "6149"},
      {"getNotificationParameter", [](const QrxLibrary& q) { return q.getNotificationParameter("M", "84"); },
       "GetNotificationParameter M 84"},
      {"getResponseParameter", [](const QrxLibrary& q) { return q.getResponseParameter("R", "A4.81"); },
       "GetResponseParameter R A4.81"},
      {"getCommandStatus", [](const QrxLibrary& q) { return std::to_string(q.getCommandStatus("R")); },
       "4294967294"},
      {"getStatusCode", [](const QrxLibrary& q) { return std::to_string(q.getStatusCode("R") >> 24); }, "129"},
      {"getResponseCommandID", [](const QrxLibrary& q) { return std::to_string(q.getResponseCommandID("R")); },
       "4097"},
      {"isFile", [](const QrxLibrary& q) { return std::to_string(q.isFile("F")); }, "1"},
      {"getFilePayload", [](const QrxLibrary& q) { return q.getFilePayload("F"); }, "GetFilePayload F"},
      {"createFileMessage", [](const QrxLibrary& q) { return q.createFileMessage(0x01000000, "AB", 0x8001); },
       "GetFileMessage 16777216 AB 32769"},
      {"sendCommandWithProgress",
       [](const QrxLibrary& q) {
         std::vector<double> seen;
         std::string reply = q.sendCommandWithProgress(7, 9, [&](double f) { seen.push_back(f); }, 500);
         return reply + Progress(seen);
       },
       "SendCommandWithProgress 7 9 500 0.5 1.0"},
      {"sendCommandWithProgress",
       [](const QrxLibrary& q) {
         std::vector<double> seen;
         std::string reply = q.sendCommandWithProgress(7, std::string("AB"), [&](double f) { seen.push_back(f); }, 500);
         return reply + Progress(seen) + " / " + q.sendCommandWithProgress(7, std::string("CD"), nullptr, 1);
       },
       "SendCommandStringWithProgress 7 AB 500 1.0 / SendCommandStringWithProgress 7 CD 1"},
  };
  return operations;
}

std::string FailureOf(const std::string& name) { return "Function (" + name + ") initialize failed."; }

// Runs every operation; those named in missing must fail with their own
// name, every other must give the stand-in's answer.
void ExpectOperations(const std::set<std::string>& missing) {
  for (const Operation& op : Operations()) {
    try {
      const std::string answer = op.call(Qrx());
      EXPECT_EQ(missing.count(op.name), 0u) << op.name << " worked";
      EXPECT_EQ(answer, op.standinAnswer) << op.name;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(missing.count(op.name), 1u) << op.name << " failed: " << e.what();
      EXPECT_EQ(e.what(), FailureOf(op.name));
    }
  }
}

TEST(QrxWithoutQuorlan, EveryOperationFailsWithItsOwnName) {
  EXPECT_FALSE(Qrx().IsLoaded());
  std::set<std::string> all;
  for (const Operation& op : Operations()) all.insert(op.name);
  ExpectOperations(all);
  for (int e = 0; e < kQrxEntryCount; ++e) EXPECT_FALSE(Qrx().IsBound(static_cast<QrxEntry>(e))) << e;
}

TEST(QrxStandinLackingOneExport, OnlyThatOperationFails) {
  ASSERT_TRUE(Qrx().IsLoaded());
  EXPECT_FALSE(Qrx().IsBound(QrxEntry::GetNotificationId));
  ExpectOperations({"getNotificationId"});
}

TEST(QrxStandinLackingUncalledExports, EveryOperationWorks) {
  ASSERT_TRUE(Qrx().IsLoaded());
  const std::set<int> uncalled = {static_cast<int>(QrxEntry::SendFommatedCommand),
                                  static_cast<int>(QrxEntry::SendCommand),
                                  static_cast<int>(QrxEntry::GetOperationStatus)};
  for (int e = 0; e < kQrxEntryCount; ++e) {
    EXPECT_EQ(Qrx().IsBound(static_cast<QrxEntry>(e)), uncalled.count(e) == 0) << e;
  }
  ExpectOperations({});
}

}  // namespace
}  // namespace pelorixj
