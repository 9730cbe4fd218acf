// The device wrapper's JSON: requests read from arbitrary text, and results
// written around arbitrary device text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "fuzz_check.h"
#include "pelorixj/core/device_json.h"
#include "pelorixj/core/json_fields.h"
#include "quorlan/message/plain_text.h"

using namespace pelorixj;
using nlohmann::json;

namespace {

// A read fails only as JsonFieldError; any other exception ends the run.
template <typename Read>
bool Reads(Read&& read) {
  try {
    read();
    return true;
  } catch (const JsonFieldError&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const json parsed = json::parse(text, nullptr, false);
  const bool isObject = parsed.is_object();

  TransactionRequest transaction;
  if (Reads([&] { transaction = TransactionRequestFromJson(text); })) {
    FUZZ_CHECK(isObject && parsed["Amount"].get<std::string>() == transaction.Amount);
    // A hexadecimal member given as a string was whole pairs: its bytes give it back.
    const std::pair<const char*, const Bytes*> hexMembers[] = {
        {"CurrencyCode", &transaction.CurrencyCode},         {"CurrencyExponent", &transaction.CurrencyExponent},
        {"MerchantCategory", &transaction.MerchantCategory}, {"MerchantCustomData", &transaction.MerchantCustomData},
        {"MerchantID", &transaction.MerchantID},             {"TransactionCategory", &transaction.TransactionCategory},
    };
    for (const auto& [key, bytes] : hexMembers) {
      const auto member = parsed.find(key);
      if (member != parsed.end() && member->is_string()) {
        FUZZ_CHECK(BytesToHexString(*bytes) == quorlan::ToUpper(member->get<std::string>()));
      }
    }
  }
  PinRequest pin;
  if (Reads([&] { pin = PinRequestFromJson(text); })) {
    FUZZ_CHECK(isObject && parsed["PAN"].get<std::string>() == pin.PAN && IsHexPairs(pin.PAN));
  }
  FUZZ_CHECK(!Reads([&] { PanRequestFromJson(text); }) || isObject);

  // Text that is not UTF-8 makes the writer throw; any other comes back as it was.
  ConnectionInfo info;
  info.Address = text;
  try {
    FUZZ_CHECK(json::parse(ConnectionInfoJson(info))["Address"].get<std::string>() == text);
  } catch (const json::type_error&) {
  }
  return 0;
}
