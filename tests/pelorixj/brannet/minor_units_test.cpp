#include "pelorixj/device/minor_units.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pelorixj {
namespace {

// What both families charge for an amount text; nothing: refused.
TEST(MinorUnits, TakeOnlyDecimalText) {
  const std::string zeros(400, '0');
  const struct {
    std::string text;
    std::optional<int64_t> minorUnits;
  } cases[] = {
      {"12.50", 1250},
      {"0", 0},
      {"007", 700},
      {" \t12.5\r\n", 1250},
      {"0.125", 13},
      {"0.375", 38},
      {"1.005", 100},  // the nearest double lies below the half
      {"0.004", 0},
      {"0.005", 1},
      {"9999999999.99", kMaxMinorUnits},
      {"9999999999.995", std::nullopt},
      {"10000000000", std::nullopt},
      {"0." + zeros + "1", 0},
      {"1" + zeros, std::nullopt},
      {"12,50", std::nullopt},
      {"1e3", std::nullopt},
      {"0x10", std::nullopt},
      {"-0.004", std::nullopt},
      {"-0", std::nullopt},
      {"+1", std::nullopt},
      {"12.50 EUR", std::nullopt},
      {"12.5.0", std::nullopt},
      {"1 000", std::nullopt},
      {".5", std::nullopt},
      {"5.", std::nullopt},
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {std::string("1\0", 2), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(MinorUnits(c.text), c.minorUnits) << c.text;
}

}  // namespace
}  // namespace pelorixj
