#include "pelorixj/device/event_names.h"

#include "pelorixj/device/device_enums.h"

namespace pelorixj {

const EventNameTable& EventNames() {
  static const EventNameTable* const names = new EventNameTable();
  return *names;
}

const std::string& ConnectionStateText(uint32_t state) {
  static const std::string* const none = new std::string();
  const EventNameTable& names = EventNames();
  switch (state) {
    case kStateDisconnected: return names.disconnected;
    case kStateConnecting: return names.connecting;
    case kStateError: return names.error;
    case kStateConnected: return names.connected;
    case kStateDisconnecting: return names.disconnecting;
    default: return *none;
  }
}

}  // namespace pelorixj
