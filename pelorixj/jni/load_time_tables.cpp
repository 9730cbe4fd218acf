// Builds the process-wide tables and binds the device libraries when the
// library is loaded, before any JNI function can run. C++ orders static
// initialisers only within one file, so this one object builds them all,
// in this order. None is ever destroyed: device threads may still use them
// while the library is unloaded.
#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/reader_model_table.h"
#include "pelorixj/device/event_names.h"
#include "pelorixj/device/orvane_device_registry.h"
#include "pelorixj/device/qrx_library.h"

namespace pelorixj {
namespace {

struct LoadTimeTables {
  LoadTimeTables() {
    EventNames();
    // The hexadecimal tables are compile-time constants.
    OrvaneDeviceRegistry();
    BrannetDeviceRegistry();
    ReaderModelTable();
    Qrx();
    Brannet();
  }
};

const LoadTimeTables kLoadTimeTables;

}  // namespace
}  // namespace pelorixj
