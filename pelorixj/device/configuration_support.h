// What the configuration operations share: their results told to a caller's
// callback.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/iconfiguration_callback.h"

namespace pelorixj {

// Nothing when callback is null. A failure inside the callback never
// changes the operation's own result.
void ReportResult(IConfigurationCallback* callback, int status, std::vector<uint8_t> data = {});

}  // namespace pelorixj
