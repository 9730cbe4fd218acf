#include "pelorixj/core/load_time_tables.h"

#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/reader_model_table.h"
#include "pelorixj/device/event_names.h"
#include "pelorixj/device/orvane_device_registry.h"
#include "pelorixj/device/qrx_library.h"

namespace pelorixj {

// None is ever destroyed: device threads may still use them while the
// library is unloaded.
void BuildLoadTimeTables() {
  EventNames();
  // The hexadecimal tables are compile-time constants.
  OrvaneDeviceRegistry();
  BrannetDeviceRegistry();
  ReaderModelTable();
  Qrx();
  Brannet();
}

}  // namespace pelorixj
