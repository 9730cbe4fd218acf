#include "pelorixj/device/orvane_transaction_text.h"

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/minor_units.h"
#include "quorlan/message/message_frame.h"

namespace pelorixj {
namespace {

constexpr uint32_t kManualEntry = 8;
// The first card type of a request that is not EMV only, whatever its methods.
constexpr uint8_t kNotEmvOnly = 0x80;
constexpr unsigned kOptionBase = 2;
constexpr unsigned kQuickChipOption = 1;
constexpr unsigned kPreventSignatureOption = 4;

std::string TwelveDigits(int64_t value) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%012lld", static_cast<long long>(value));
  return digits;
}

uint8_t Bit(uint32_t bits, int bit) { return static_cast<uint8_t>((bits >> bit) & 1u); }

std::string CardTypes(const TransactionRequest& request) {
  if (request.PaymentMethods & kManualEntry) {
    return "8101008201008301008403" + HexByte(request.ManualEntryFormat) + HexByte(request.ManualEntryType) +
           HexByte(request.ManualEntrySound);
  }
  return "8101" + HexByte(request.EMVOnly ? Bit(request.PaymentMethods, 0) : kNotEmvOnly) + "8201" +
         HexByte(Bit(request.PaymentMethods, 1)) + "8301" + HexByte(Bit(request.PaymentMethods, 2));
}

std::string EmvFields(const TransactionRequest& request) {
  const std::pair<const char*, const std::vector<uint8_t>*> fields[] = {
      {"5F2A", &request.CurrencyCode},        {"5F36", &request.CurrencyExponent},
      {"9F15", &request.MerchantCategory},    {"9F7C", &request.MerchantCustomData},
      {"9F53", &request.TransactionCategory}, {"9F16", &request.MerchantID},
  };
  std::string text;
  for (const auto& [tag, bytes] : fields) {
    if (bytes->empty()) continue;
    text += tag + quorlan::BerLengthToHex(static_cast<uint32_t>(bytes->size())) + BytesToHexString(*bytes);
  }
  return text;
}

std::string FinalMessage(const TransactionRequest& request) {
  if (request.OverrideFinalTransactionMessage != 0) {
    return "81008201" + HexByte(request.OverrideFinalTransactionMessage);
  }
  return request.SuppressThankYouMessage ? "8100" : "";
}

}  // namespace

std::optional<std::string> TransactionCommandText(const TransactionRequest& request) {
  const std::optional<int64_t> amount = MinorUnits(request.Amount);
  const std::optional<int64_t> cashBack = MinorUnits(request.CashBack);
  if (!amount || !cashBack) return std::nullopt;
  const auto option = static_cast<uint8_t>(kOptionBase | (request.QuickChip ? kQuickChipOption : 0u) |
                                           (request.PreventMSRSignatureForCardWithICC ? kPreventSignatureOption : 0u));
  std::string text = "1001,82=" + HexByte(request.Timeout) + ",A3=" + CardTypes(request) + ",84=00" + HexByte(option) +
                     ",86=9F0206" + TwelveDigits(*amount) + "9F0306" + TwelveDigits(*cashBack) + "9C01" +
                     HexByte(request.TransactionType) + EmvFields(request) + ",AC=" + FinalMessage(request);
  if (text.size() > kMaxTransactionTextLength) return std::nullopt;
  return text;
}

}  // namespace pelorixj
