// Devices of the newer platform made by address, against the real
// libQuorlan.so and a simulated reader over TCP.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "device_session.h"
#include "eventually.h"
#include "pelorixj/device/orvane_device_registry.h"

namespace pelorixj {
namespace {

using test_support::Eventually;

void* AsDevice(QrxHandle handle) { return reinterpret_cast<void*>(handle); }

TEST(OrvaneDevice, TakesItsInformationFromItsEntryOrElseItsText) {
  const struct {
    std::string text;
    DeviceInfo info;
    std::string name;
    std::string address;
  } cases[] = {
      {R"({"DSN":"X1","Name":"","Path":"P1","Product":"M"})", {"", "M", "X1"}, "X1", "P1"},
      {R"({"DSN":"X1","Name":"N1","Path":"P1","Product":"M"})", {"N1", "M", "X1"}, "N1", "P1"},
      {"P1", {"P1", "", ""}, "P1", "P1"},
      {R"({"Path":""})", {"", "", ""}, R"({"Path":""})", R"({"Path":""})"},
      // Fields read before one that is no string stay; the name is the whole text.
      {R"({"DSN":"X1","Name":5,"Path":"P1"})", {R"({"DSN":"X1","Name":5,"Path":"P1"})", "", "X1"},
       R"({"DSN":"X1","Name":5,"Path":"P1"})", "P1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto* device = new OrvaneIDevice(kConnectionWebSocket, c.text);
    const DeviceInfo info = device->GetDeviceInfo();
    EXPECT_EQ(info.Name, c.info.Name);
    EXPECT_EQ(info.Model, c.info.Model);
    EXPECT_EQ(info.Serial, c.info.Serial);
    EXPECT_EQ(device->GetName(), c.name);
    EXPECT_EQ(device->GetConnectionInfo().Address, c.address);
    EXPECT_EQ(device->GetConnectionInfo().ConnectionType, kConnectionWebSocket);
    EXPECT_EQ(device->GetConnectionState(), kStateDisconnected);
    EXPECT_EQ(device->GetUserData(), 0u);
    EXPECT_EQ(OrvaneDeviceRegistry().Find(c.text), device);
    delete device;
    EXPECT_EQ(OrvaneDeviceRegistry().Find(c.text), nullptr);
  }
  const DeviceCapabilities capabilities = OrvaneIDevice(kConnectionTcp, "P2").GetDeviceCapabilities();
  EXPECT_EQ(capabilities.PaymentMethods, 7u);
  EXPECT_TRUE(capabilities.Display && capabilities.PINPad && capabilities.Signature && capabilities.SRED &&
              capabilities.BatteryBackedClock);
  EXPECT_FALSE(capabilities.MSRPowerSaver);
}

TEST(OrvaneDevice, ASecondDeviceWithTheSameTextIsRefused) {
  IDevice* first = GetOrvaneDevice(kConnectionTcp, "tcp://127.0.0.1:9");
  try {
    OrvaneIDevice second(kConnectionTcp, "tcp://127.0.0.1:9");
    ADD_FAILURE() << "made a second device";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "tcp://127.0.0.1:9 already exist");
  }
  EXPECT_EQ(GetOrvaneDevice(kConnectionTcp, "tcp://127.0.0.1:9"), first);
  // Forgotten, it is no longer found, and a new device may take the text.
  ForgetOrvaneDevice(first);
  EXPECT_EQ(OrvaneDeviceRegistry().Find("tcp://127.0.0.1:9"), nullptr);
  IDevice* next = GetOrvaneDevice(kConnectionTcp, "tcp://127.0.0.1:9");
  EXPECT_NE(next, first);
  delete first;
  EXPECT_EQ(OrvaneDeviceRegistry().Find("tcp://127.0.0.1:9"), next);
  delete next;
}

TEST(OrvaneDevice, ReportsEachChangeOfItsConnectionOnce) {
  DeviceSession session;
  OrvaneIDevice& device = *session.device;
  EXPECT_EQ(device.GetConnectionState(), kStateDisconnected);
  ASSERT_TRUE(session.Open());
  EXPECT_EQ(device.GetConnectionState(), kStateConnected);
  EXPECT_EQ(device.GetDeviceConfiguration(), device.GetDeviceConfiguration());
  // Quorlan reports the link gone: the device closes.
  const QrxHandle lost = device.Control().DeviceHandle();
  OrvaneIDeviceControl::StatusChangeThunk(AsDevice(lost), 1);
  EXPECT_EQ(device.GetConnectionState(), kStateDisconnected);
  EXPECT_FALSE(device.Control().IsOpened());
  OrvaneIDeviceControl::StatusChangeThunk(AsDevice(lost), 1);
  ASSERT_TRUE(session.Open());
  EXPECT_TRUE(device.Close());
  EXPECT_TRUE(device.Close());
  EXPECT_EQ(device.GetConnectionState(), kStateDisconnected);
  // Opened and closed through the control, as the Java wrapper does.
  EXPECT_TRUE(device.Control().Open());
  EXPECT_TRUE(device.Control().Open());
  EXPECT_EQ(device.GetConnectionState(), kStateConnected);
  EXPECT_TRUE(device.Control().Close());
  EXPECT_TRUE(device.Control().Close());
  EXPECT_EQ(device.GetConnectionState(), kStateDisconnected);
  EXPECT_EQ(session.subscriber.events.Values(), (Events{{0, "connected"},
                                                        {0, "disconnected"},
                                                        {0, "connected"},
                                                        {0, "disconnected"},
                                                        {0, "connected"},
                                                        {0, "disconnected"}}));
  // Without a subscriber nothing is raised, but a lost link still closes.
  device.UnsubscribeAll();
  ASSERT_TRUE(session.Open());
  OrvaneIDeviceControl::StatusChangeThunk(AsDevice(device.Control().DeviceHandle()), 0);
  EXPECT_FALSE(device.Control().IsOpened());
  EXPECT_EQ(session.subscriber.events.Values().size(), 6u);
  EXPECT_EQ(session.reader.AcceptedCount(), 4u);
}

TEST(OrvaneDevice, GivesNoConfigurationWhenItCannotOpen) {
  DeviceSession session;
  session.reader.Stop();
  EXPECT_EQ(session.device->GetDeviceConfiguration(), nullptr);
  EXPECT_EQ(session.device->GetConnectionState(), kStateDisconnected);
  EXPECT_TRUE(session.subscriber.events.Values().empty());
}

TEST(OrvaneDevice, ReleasingAnOpenDeviceClosesItsLink) {
  DeviceSession session;
  ASSERT_TRUE(session.Open());
  delete session.device;
  session.device = nullptr;
  EXPECT_TRUE(session.reader.WaitForConnections(1, kRoomyWait));
  EXPECT_TRUE(Eventually([&] { return session.reader.OpenCount() == 0; }));
  EXPECT_EQ(session.reader.OpenCount(), 0u);
  // Destruction raises no event.
  EXPECT_EQ(session.subscriber.events.Values(), (Events{{0, "connected"}}));
}

}  // namespace
}  // namespace pelorixj
