// A device of the newer platform made by address for a simulated reader
// over TCP, through the real libQuorlan.so, with a subscriber that records
// its events.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pelorixj/device/orvane_devices.h"
#include "pelorixj/device/orvane_idevice.h"
#include "reader_session.h"

namespace pelorixj {

using Event = std::pair<int, std::string>;
using Events = std::vector<Event>;

// A subscriber that the test owns, handed to a device that only shares it.
inline std::shared_ptr<IEventSubscriber> Unowned(IEventSubscriber& subscriber) {
  return std::shared_ptr<IEventSubscriber>(std::shared_ptr<void>(), &subscriber);
}

class RecordingSubscriber : public IEventSubscriber {
 public:
  void OnEvent(int eventType, ByteDataRecord payload) override { events.Add({eventType, payload.Text}); }
  Recorded<Event> events;
};

struct DeviceSession {
  DeviceSession() {
    reader.Start();
    device = static_cast<OrvaneIDevice*>(GetOrvaneDevice(kConnectionTcp, reader.Address()));
    device->Control().SetResponseWaits(kRoomyWaits);
    device->SubscribeAll(Unowned(subscriber));
  }
  ~DeviceSession() {
    if (device == nullptr) return;
    device->Close();
    delete device;
  }

  // Opens the closed device and waits until the reader has taken the
  // connection, so that what it pushes reaches the device.
  bool Open() {
    const size_t before = reader.AcceptedCount();
    return device->GetDeviceConfiguration() != nullptr && reader.WaitForConnections(before + 1, kRoomyWait);
  }

  std::vector<std::string> ReceivedHex() const { return pelorixj::ReceivedHex(reader); }

  reader_sim::SimulatedReader reader;
  RecordingSubscriber subscriber;
  OrvaneIDevice* device = nullptr;
};

}  // namespace pelorixj
