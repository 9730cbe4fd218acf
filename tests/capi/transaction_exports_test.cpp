// The transaction exports, through the shared library, against the simulated reader.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

#include "eventually.h"
#include "quorlan/qrx.h"
#include "simulated_reader.h"

namespace {

using namespace std::chrono_literals;
using reader_sim::Bytes;
using reader_sim::Concat;
using reader_sim::Reply;
using reader_sim::Tlv;
using test_support::kRoomyWait;

static_assert(offsetof(CardDataRecord, text) == 3, "text follows the three header bytes");
static_assert(offsetof(CardDataRecord, value) == 1540, "values sit where 32-bit callers expect them");
static_assert(offsetof(CardDataRecord, response) == (sizeof(void*) == 4 ? 1812 : 1816), "response pointer");
static_assert(sizeof(CardDataRecord) == (sizeof(void*) == 4 ? 1816 : 1824), "record size");

Bytes Entry(uint8_t index, const Bytes& data) {
  return Tlv(0xA0, Concat({Tlv(0x81, {index, 0x00, 0x01, static_cast<uint8_t>(0x10 * index)}), Tlv(0x84, data)}));
}

class TransactionExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(reader.Start());
    device = QRX_OpenDevice(4, reader.Address().c_str());
    ASSERT_NE(device, -1);
  }
  void TearDown() override {
    QRX_CloseDevice(device);
    reader.Stop();
  }

  reader_sim::SimulatedReader reader;
  intptr_t device = -1;
};

TEST_F(TransactionExports, StartTransactionSendsAmountOptionsAndParameter84) {
  reader.SetReply(0x1001, Reply::WithStatus(0x01, 0x02));
  struct Case {
    int amount;
    const char* param84;
    Bytes amountBytes;
  } cases[] = {{1000, "0102", {0x03, 0xE8}}, {0, nullptr, {}}, {-7, "", {}}, {0x123456, nullptr, {0x12, 0x34, 0x56}}};
  for (const Case& c : cases) {
    reader.ClearReceived();
    EXPECT_EQ(QRX_StartTransaction(device, c.amount, 0x0A, 0x0B, 0x0C, c.param84), 0x0102);
    auto command = reader.WaitForCommand(0x1001, kRoomyWait);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Inner(0x81), c.amountBytes) << c.amount;
    EXPECT_EQ(command->Inner(0x82), (Bytes{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(command->inner.count(0x84), c.param84 ? 1u : 0u);
  }
  EXPECT_EQ(QRX_CancelTransaction(device), 0);
  EXPECT_TRUE(reader.WaitForCommand(0x1004, kRoomyWait));
}

TEST_F(TransactionExports, CardDataFillsTheRecordByEntryIndex) {
  const std::string longText(300, 'E');  // 150 bytes: 300 hexadecimal characters
  const Bytes entries = Concat({Entry(2, {0x22, 0x22}), Entry(1, Bytes(150, 0xEE)), Entry(0, {0x00}), Entry(7, {0x77})});
  reader.SetReply(0x1010, Reply::Ok({{0x81, {0x01, 0x02, 0x03, 0x04}}, {0xA4, Tlv(0xA4, entries)}}));
  CardDataRecord record;
  std::memset(&record, 0x5A, sizeof record);
  ASSERT_EQ(QRX_GetCardData(device, &record), 0);
  EXPECT_EQ(record.header[0], 0x01);
  EXPECT_EQ(record.header[2], 0x03);
  EXPECT_EQ(record.value[0], 0x01000110u);
  EXPECT_EQ(record.value[1], 0x02000120u);
  EXPECT_EQ(record.value[2], 0u);
  EXPECT_EQ(std::string(record.text[0]), longText.substr(0, 255));
  EXPECT_STREQ(record.text[1], "2222");
  EXPECT_STREQ(record.text[2], "");
  EXPECT_EQ(record.reserved1[0], 0);
  ASSERT_NE(record.response, nullptr);
  EXPECT_EQ(QRX_GetStatusCode(record.response), 0);
  auto command = reader.WaitForCommand(0x1010, kRoomyWait);
  ASSERT_TRUE(command);
  EXPECT_EQ(command->Inner(0x81), Bytes{0x01});
}

TEST_F(TransactionExports, CardDataWithAShortHeaderOrAFailedStatus) {
  reader.SetReply(0x1010, Reply::Ok({{0x81, {0x01}}}));
  CardDataRecord record;
  ASSERT_EQ(QRX_GetCardData(device, &record), 0);
  EXPECT_EQ(record.header[0], 0xFF);
  EXPECT_EQ(record.header[1], 0);

  reader.SetReply(0x1010, Reply::WithStatus(0x00, 0x07, {{0x81, {0x01, 0x02, 0x03}}}));
  EXPECT_EQ(QRX_GetCardData(device, &record), 7);
  EXPECT_EQ(record.header[0], 0);
  EXPECT_NE(std::string(record.response), "");
}

TEST_F(TransactionExports, ArqcAndBatchHandBackTheResponse) {
  reader.SetReply(0x1010, Reply::WithStatus(0x02, 0x00, {{0x84, {0x9F, 0x26}}}));
  const char* arqc = "untouched";
  EXPECT_EQ(QRX_GetARQC(device, &arqc), 0x0200);
  EXPECT_STREQ(QRX_GetResponseParameter(arqc, "84"), "9F26");
  EXPECT_EQ(reader.WaitForCommand(0x1010, kRoomyWait)->Inner(0x81), Bytes{0x02});
  reader.ClearReceived();
  const char* batch = nullptr;
  EXPECT_EQ(QRX_GetBatch(device, &batch), 0x0200);
  EXPECT_EQ(reader.WaitForCommand(0x1010, kRoomyWait)->Inner(0x81), Bytes{0x03});

  // Nothing between two texts of buffer 0: results of other threads there stay put.
  const char* before = QRX_GetFormattedCommandBytesInHex("1008");
  EXPECT_EQ(QRX_GetBatch(device, &batch), 0x0200);
  EXPECT_EQ(QRX_GetFormattedCommandBytesInHex("1008"), before + std::strlen(before) + 22);

  reader.SetNoReply(0x1010);
  EXPECT_EQ(QRX_GetARQC(device, &arqc), 0xFF);
  ASSERT_NE(arqc, nullptr);
  EXPECT_STREQ(arqc, "");
}

TEST_F(TransactionExports, RefuseClosedDevicesAndMissingOutputsBeforeSending) {
  const char* text = nullptr;
  CardDataRecord record;
  for (intptr_t closed : {intptr_t{0}, intptr_t{-1}}) {
    EXPECT_EQ(QRX_StartTransaction(closed, 1, 0, 0, 0, nullptr), 5);
    EXPECT_EQ(QRX_CancelTransaction(closed), 5);
    EXPECT_EQ(QRX_GetCardData(closed, &record), 5);
    EXPECT_EQ(QRX_GetARQC(closed, &text), 5);
    EXPECT_EQ(QRX_GetBatch(closed, nullptr), 5);
  }
  EXPECT_EQ(QRX_GetARQC(device, nullptr), 13);
  EXPECT_EQ(QRX_GetBatch(device, nullptr), 13);
  EXPECT_EQ(QRX_GetCardData(device, nullptr), 13);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(reader.Received().empty());
}

}  // namespace
