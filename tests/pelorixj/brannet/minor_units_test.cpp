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
      {"0x1p40", std::nullopt},
      {"0x1p9999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(MinorUnits(c.text), c.minorUnits) << c.text;
}

}  // namespace
}  // namespace pelorixj
