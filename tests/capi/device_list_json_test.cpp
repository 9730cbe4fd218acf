#include "quorlan/capi/device_list_json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "virtual_hid.h"

namespace quorlan {
namespace {

TEST(DeviceListJson, JoinsTheEntriesOfEveryAcceptedReaderInOrder) {
  auto backend = std::make_shared<VirtualHidBackend>();
  OrvaneDevice lister(backend);
  lister.SetDeviceType(kDeviceTypeUsbHid);
  EXPECT_EQ(DeviceListJson(lister), "[]");

  backend->AddDevice("/dev/hidraw0", 0x7A3B, 0x3A11, "SN-A", "Reader \"A\"");
  backend->AddDevice("/dev/hidraw1", 0x1234, 0x5678, "OTHER", "Keyboard");
  backend->AddDevice("/dev/hidraw2", 0x7A3B, 0x3A11, "SN-B", "Reader B");
  const auto list = nlohmann::json::parse(DeviceListJson(lister));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["DSN"], "SN-A");
  EXPECT_EQ(list[0]["Product"], "Reader \"A\"");
  EXPECT_EQ(list[1]["Path"], "/dev/hidraw2");

  lister.SetDeviceType(kDeviceTypeTcp);
  EXPECT_EQ(DeviceListJson(lister), "[]");
}

}  // namespace
}  // namespace quorlan
