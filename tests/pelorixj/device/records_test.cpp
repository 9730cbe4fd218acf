#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/byte_data_record.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/device_records.h"
#include "pelorixj/device/event_names.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {
namespace {

TEST(Records, StartWithTheirDefaults) {
  const TransactionRequest transaction;
  const PinRequest pin;
  const PanRequest pan;
  const DeviceCapabilities capabilities;
  const DeviceResponse response;
  struct Row {
    const char* field;
    int64_t value;
    int64_t expected;
  };
  const Row rows[] = {
      {"Transaction.Timeout", transaction.Timeout, 60},
      {"Transaction.PaymentMethods", transaction.PaymentMethods, 0},
      {"Transaction.QuickChip", transaction.QuickChip, 0},
      {"Transaction.EMVOnly", transaction.EMVOnly, 0},
      {"Transaction.PreventMSRSignatureForCardWithICC", transaction.PreventMSRSignatureForCardWithICC, 0},
      {"Transaction.SuppressThankYouMessage", transaction.SuppressThankYouMessage, 0},
      {"Transaction.OverrideFinalTransactionMessage", transaction.OverrideFinalTransactionMessage, 0},
      {"Transaction.EMVResponseFormat", transaction.EMVResponseFormat, 0},
      {"Transaction.TransactionType", transaction.TransactionType, 0},
      {"Transaction.ManualEntryType", transaction.ManualEntryType, 0},
      {"Transaction.ManualEntryFormat", transaction.ManualEntryFormat, 0},
      {"Transaction.ManualEntrySound", transaction.ManualEntrySound, 0},
      {"Transaction byte fields", static_cast<int64_t>(
           transaction.CurrencyCode.size() + transaction.CurrencyExponent.size() +
           transaction.TransactionCategory.size() + transaction.MerchantCategory.size() +
           transaction.MerchantID.size() + transaction.MerchantCustomData.size()), 0},
      {"Pin.Timeout", pin.Timeout, 60},
      {"Pin.PINMode", pin.PINMode, 0},
      {"Pin.MinLength", pin.MinLength, 4},
      {"Pin.MaxLength", pin.MaxLength, 12},
      {"Pin.Tone", pin.Tone, 1},
      {"Pin.Format", pin.Format, 1},
      {"Pan.Timeout", pan.Timeout, 0},
      {"Pan.PaymentMethods", pan.PaymentMethods, 1},
      {"Capabilities.PaymentMethods", capabilities.PaymentMethods, 0},
      {"Response.Status", response.Status, 0},
  };
  for (const Row& row : rows) EXPECT_EQ(row.value, row.expected) << row.field;
  EXPECT_EQ(transaction.Amount, "0");
  EXPECT_EQ(transaction.CashBack, "0");
  EXPECT_EQ(pin.PAN, "");
  EXPECT_EQ(response.Data.Text, "");
  EXPECT_TRUE(response.Data.Bytes.empty());
}

TEST(ByteDataRecord, KeepsTheTextAndDecodesItsPairs) {
  struct Case {
    std::string text;
    std::vector<uint8_t> bytes;
  };
  for (const Case& c : {Case{"0102", {0x01, 0x02}}, Case{"123", {}}, Case{"zz", {0x00}},
                        Case{"card_swiped", {}}, Case{"", {}}}) {
    const ByteDataRecord record(c.text);
    EXPECT_EQ(record.Text, c.text);
    EXPECT_EQ(record.Bytes, c.bytes) << c.text;
  }
}

TEST(ConnectionStateText, NamesTheFiveStatesAndNothingElse) {
  const char* const expected[] = {"", "disconnected", "connecting", "error", "connected", "disconnecting", ""};
  for (uint32_t state = 0; state <= 6; ++state) {
    EXPECT_EQ(ConnectionStateText(state), expected[state]) << state;
  }
  EXPECT_EQ(ConnectionStateText(0xFFFFFFFF), "");
  EXPECT_EQ(ConnectionStateText(kStateConnected), EventNames().connected);
}

}  // namespace
}  // namespace pelorixj
