#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pelorixj/brannet/transaction_command.h"

namespace pelorixj {
namespace {

TEST(MinorUnits, ReadsHexadecimalAmountsAsStodDoes) {
  const struct {
    std::string text; std::optional<int64_t> minorUnits;
  } cases[] = {
      {"0x10", 1600},
      {" +0X1.8p1", 300},
      {"0xaX", 1000},
      {"0x.8", 50},
      {"-0x0", 0},
      {"-0x1", std::nullopt},
      {"0x", 0},
      {"0xg", 0},
      {"0x-1", 0},
      {"0x+1", 0},
      {"0xinf", 0},
      {"0xnan", 0},
      {"0xA50p+-7", 264000},
      {"0x1p40", std::nullopt},
      {"0x1p9999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(MinorUnits(c.text), c.minorUnits) << c.text;
}

TEST(MinorUnits, AreZeroBelowTheNormalDoublesAndNoneBeyondThem) {
  const std::string zeros(400, '0');
  const struct {
    std::string text; std::optional<int64_t> minorUnits;
  } cases[] = {
      {"0x8p-1050", 0},  // an exact subnormal
      {"4e-320", 0},
      {"0x1.0000000000001p-1060", 0},
      {"-1e-400", 0},
      {"0x0.0001p-1070", 0},
      {"0." + zeros + "1", 0},
      {"1" + zeros + "e-800", 0},
      {"1" + zeros, std::nullopt},
      {"0." + zeros + "1e800", std::nullopt},
      {"0x0.01p1040", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(MinorUnits(c.text), c.minorUnits) << c.text;
}

}  // namespace
}  // namespace pelorixj
