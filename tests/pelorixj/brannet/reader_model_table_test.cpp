#include "pelorixj/brannet/reader_model_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace pelorixj {
namespace {

TEST(ReaderModelTable, HasTwentyThreeModelsThatTestsCanTellApart) {
  const auto& models = ReaderModelTable();
  EXPECT_EQ(models.size(), 23u);
  std::set<uint32_t> ids;
  std::set<std::string> names;
  std::set<std::tuple<uint32_t, bool, bool, bool, bool, bool, bool>> capabilities;
  for (const ReaderModel& m : models) {
    EXPECT_GE(m.productId, 1u) << m.modelName;
    ids.insert(m.productId);
    names.insert(m.modelName);
    const DeviceCapabilities& c = m.capabilities;
    capabilities.insert({c.PaymentMethods, c.Display, c.PINPad, c.Signature, c.SRED, c.MSRPowerSaver,
                         c.BatteryBackedClock});
  }
  EXPECT_EQ(ids.size(), models.size());
  EXPECT_EQ(names.size(), models.size());
  EXPECT_EQ(capabilities.size(), models.size());
}

}  // namespace
}  // namespace pelorixj
