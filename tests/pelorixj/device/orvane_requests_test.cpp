// The requests of a newer-platform device, as the simulated reader receives
// them over TCP through the real libQuorlan.so.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device_session.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/orvane_transaction_text.h"

namespace pelorixj {
namespace {

using reader_sim::Reply;
using Request = std::function<bool(OrvaneIDevice&)>;

// The reader's example: a contactless, chip and stripe sale of 1.00.
TransactionRequest Sale() {
  TransactionRequest request;
  request.Timeout = 60;
  request.PaymentMethods = 7;
  request.EMVOnly = true;
  request.QuickChip = true;
  request.Amount = "1.00";
  request.CashBack = "0";
  return request;
}

template <class Change>
TransactionRequest SaleWith(Change change) {
  TransactionRequest request = Sale();
  change(request);
  return request;
}

// The transaction command as the reader receives it.
std::string TransactionEnvelope(const std::string& cardTypes, const std::string& option, const std::string& amounts,
                                const std::string& finalMessage = "") {
  return Envelope(0x1001, {{0x82, "3C"}, {0x84, "00" + option}, {0x86, amounts}, {0xA3, cardTypes},
                           {0xAC, finalMessage}});
}

const char kOneUnit[] = "9F0206000000000100" "9F0306000000000000" "9C0100";
const char kAllMethods[] = "810101820101830101";

TEST(OrvaneRequests, BuildsTheReadersTransactionText) {
  EXPECT_EQ(TransactionCommandText(Sale()),
            "1001,82=3C,A3=810101820101830101,84=0003,86=9F02060000000001009F03060000000000009C0100,AC=");
  const TransactionRequest manual = SaleWith([](auto& r) {
    r.PaymentMethods = 8 | 1;
    r.ManualEntryFormat = 1;
    r.ManualEntryType = 2;
    r.ManualEntrySound = 3;
    r.QuickChip = false;
    r.PreventMSRSignatureForCardWithICC = true;
    r.Amount = "12.34";
    r.CashBack = "0.5";
    r.TransactionType = 0x20;
  });
  EXPECT_EQ(TransactionCommandText(manual),
            "1001,82=3C,A3=8101008201008301008403010203,84=0006,"
            "86=9F02060000000012349F03060000000000509C0120,AC=");
  // Past the text's limit nothing is built, rather than a cut text.
  const TransactionRequest longCustomData = SaleWith([](auto& r) { r.MerchantCustomData.assign(200, 0xAB); });
  EXPECT_EQ(TransactionCommandText(longCustomData), std::nullopt);
}

TEST(OrvaneRequests, ReadsAmountsInMinorUnitsAndRefusesWhatTheFieldCannotHold) {
  const struct {
    const char* amount;
    const char* cashBack;
    std::optional<std::string> amounts;  // nothing: refused
  } cases[] = {
      {"0.125", "0.375", "9F0206000000000013" "9F0306000000000038" "9C0100"},
      {"9999999999.99", "0", "9F0206999999999999" "9F0306000000000000" "9C0100"},
      {"0.004", "0.005", "9F0206000000000000" "9F0306000000000001" "9C0100"},
      // Only decimal text: the amount, and the cash-back amount.
      {" +1e2", "0", std::nullopt},
      {"1", "0x10", std::nullopt},
      {"abc", "0", std::nullopt},
      {"", "0", std::nullopt},
      {"10000000000", "0", std::nullopt},
      {"-0.01", "0", std::nullopt},
      {"0", "-5", std::nullopt},
      {"inf", "0", std::nullopt},
      {"nan", "0", std::nullopt},
      {"1e300", "0", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.amount) + " " + c.cashBack);
    const auto text = TransactionCommandText(SaleWith([&](auto& r) {
      r.Amount = c.amount;
      r.CashBack = c.cashBack;
    }));
    ASSERT_EQ(text.has_value(), c.amounts.has_value());
    if (text) {
      EXPECT_NE(text->find(",86=" + *c.amounts + ",AC="), std::string::npos) << *text;
    }
  }
}

TEST(OrvaneRequests, SendsEachRequestAsTheReaderExpectsIt) {
  // As long as the text's limit allows beside the other fields.
  const std::string customData(100, 'C');
  PinRequest pin;
  PinRequest panPin;
  panPin.PINMode = 2;
  panPin.MinLength = 6;
  panPin.Format = 3;
  PanRequest pan;
  pan.PaymentMethods = 5;
  pan.Timeout = 99;
  const struct {
    const char* name;
    bool open;
    Request call;
    uint16_t code;
    bool answered;
    std::string sent;  // "" when nothing may be sent
    bool result;
  } cases[] = {
      {"the example", true, [](auto& d) { return d.StartTransaction(Sale()); }, 0x1001, true,
       TransactionEnvelope(kAllMethods, "03", kOneUnit), true},
      {"a transaction opens a closed device", false, [](auto& d) { return d.StartTransaction(Sale()); }, 0x1001, true,
       TransactionEnvelope(kAllMethods, "03", kOneUnit), true},
      {"no reply still counts as started", true, [](auto& d) { return d.StartTransaction(Sale()); }, 0x1001, false,
       TransactionEnvelope(kAllMethods, "03", kOneUnit), true},
      {"not EMV only: the first card type is 80", true,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.EMVOnly = false; })); }, 0x1001, true,
       TransactionEnvelope("810180820101830101", "03", kOneUnit), true},
      {"EMV fields in the reader's order", true,
       [&](auto& d) {
         return d.StartTransaction(SaleWith([&](auto& r) {
           r.MerchantID = {0x16};
           r.TransactionCategory = {0x53};
           r.MerchantCustomData = HexPairsToBytes(customData);
           r.MerchantCategory = {0x15, 0x15};
           r.CurrencyExponent = {0x02};
           r.CurrencyCode = {0x08, 0x40};
         }));
       },
       0x1001, true,
       TransactionEnvelope(kAllMethods, "03",
                           std::string(kOneUnit) + "5F2A020840" "5F360102" "9F15021515" "9F7C32" + customData +
                               "9F530153" "9F160116"),
       true},
      {"no thank-you message", true,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.SuppressThankYouMessage = true; })); },
       0x1001, true, TransactionEnvelope(kAllMethods, "03", kOneUnit, "8100"), true},
      {"another final message", true,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.OverrideFinalTransactionMessage = 5; })); },
       0x1001, true, TransactionEnvelope(kAllMethods, "03", kOneUnit, "8100820105"), true},
      {"no signature for chip cards, no quick chip", true,
       [](auto& d) {
         return d.StartTransaction(SaleWith([](auto& r) {
           r.QuickChip = false;
           r.PreventMSRSignatureForCardWithICC = true;
         }));
       },
       0x1001, true, TransactionEnvelope(kAllMethods, "06", kOneUnit), true},
      {"a refused amount sends nothing", true,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.Amount = "-1"; })); }, 0x1001, true, "",
       false},
      {"a refused amount leaves a closed device closed", false,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.CashBack = "12,50"; })); }, 0x1001, true,
       "", false},
      {"too long a text sends nothing", true,
       [](auto& d) { return d.StartTransaction(SaleWith([](auto& r) { r.MerchantCustomData.assign(200, 1); })); },
       0x1001, true, "", false},
      {"cancel", false, [](auto& d) { return d.CancelTransaction(); }, 0x1008, false, Envelope(0x1008), true},
      {"one selection byte", false, [](auto& d) { return d.SendSelection(ByteDataRecord("01")); }, 0x1802, true,
       Envelope(0x1802, {{0x81, "01"}}), true},
      {"two selection bytes", true, [](auto& d) { return d.SendSelection(ByteDataRecord("0102")); }, 0x1802, true,
       Envelope(0x1802, {{0x81, "01"}, {0x82, "02"}}), true},
      {"an empty selection", false, [](auto& d) { return d.SendSelection(ByteDataRecord("")); }, 0x1802, true, "",
       false},
      {"a selection without reply", true, [](auto& d) { return d.SendSelection(ByteDataRecord("01")); }, 0x1802,
       false, Envelope(0x1802, {{0x81, "01"}}), false},
      {"authorization", false, [](auto& d) { return d.SendAuthorization(ByteDataRecord("abcd")); }, 0x1802, true,
       Envelope(0x1802, {{0x81, "00"}, {0x82, "30"}, {0x84, "ABCD"}}), true},
      {"an empty authorization", false, [](auto& d) { return d.SendAuthorization(ByteDataRecord("")); }, 0x1802,
       true, "", false},
      {"PIN with the defaults", true, [&](auto& d) { return d.RequestPIN(pin); }, 0x1831, true,
       Envelope(0x1831, {{0x81, "3C"}, {0x82, "00"}, {0x83, "0C04"}, {0x84, ""}, {0x85, "01"}}), true},
      {"PIN for a PAN", true,
       [&](auto& d) {
         PinRequest withPan = panPin;
         withPan.PAN = "5413";
         return d.RequestPIN(withPan);
       },
       0x1831, true, Envelope(0x1831, {{0x81, "3C"}, {0x82, "02"}, {0x83, "0C06"}, {0x84, "5413"}, {0x85, "03"}}),
       true},
      {"PIN on a closed device", false, [&](auto& d) { return d.RequestPIN(pin); }, 0x1831, true, "", false},
      {"PAN with a PIN", true, [&](auto& d) { return d.RequestPAN(pan, &panPin); }, 0x1832, true,
       Envelope(0x1832, {{0xA3, "810101820100830101"}, {0xA4, "820102" "83020C06" "850103"}}), true},
      {"PAN without a PIN", true, [&](auto& d) { return d.RequestPAN(pan, nullptr); }, 0x1832, true,
       Envelope(0x1832, {{0xA3, "810101820100830101"}}), true},
      {"PAN on a closed device", false, [&](auto& d) { return d.RequestPAN(pan, &panPin); }, 0x1832, true, "",
       false},
      {"signature", false, [](auto& d) { return d.RequestSignature(); }, 0x1801, true,
       Envelope(0x1801, {{0x81, "1C"}}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceSession session;
    if (c.answered) {
      // A reader's refusal is still a reply.
      session.reader.SetReply(c.code, Reply::WithStatus(0, 5));
    } else {
      session.reader.SetNoReply(c.code);
      session.device->Control().SetResponseWaits(ShortWait(&ResponseWaits::replyMs));
    }
    if (c.open) {
      ASSERT_TRUE(session.Open());
    }
    EXPECT_EQ(c.call(*session.device), c.result);
    std::vector<std::string> expected;
    if (!c.sent.empty()) expected.push_back(c.sent);
    // Requests that do not open the device leave it as it was.
    EXPECT_EQ(session.device->Control().IsOpened(), c.open || !c.sent.empty());
    if (session.device->Control().IsOpened()) {
      // Quorlan keeps the order of one device's writes: all before this marker has arrived.
      session.device->Control().SendFormattedCommand("1F7F");
      ASSERT_TRUE(session.reader.WaitForCommand(0x1F7F, kRoomyWait));
      expected.push_back(Envelope(0x1F7F));
    }
    EXPECT_EQ(session.ReceivedHex(), expected);
  }
}

}  // namespace
}  // namespace pelorixj
