#include "pelorixj/device/configuration_support.h"

#include <utility>

namespace pelorixj {

void ReportResult(IConfigurationCallback* callback, int status, std::vector<uint8_t> data) {
  if (callback == nullptr) return;
  try {
    callback->OnResult(status, std::move(data));
  } catch (...) {
  }
}

}  // namespace pelorixj
