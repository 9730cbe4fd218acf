// Turn the fraction of a message written into the whole percentages that a
// configuration callback is told, each value once in a row.
#pragma once

#include "pelorixj/device/iconfiguration_callback.h"

namespace pelorixj {

// Firmware data: 10 to 60 percent. The offset is the single-precision 0.1
// widened, which callers have always seen (0.7 gives 45 with it, 44 with
// the double 0.1).
class FirmwareProgressAdapter {
 public:
  explicit FirmwareProgressAdapter(IConfigurationCallback* callback) : callback_(callback) {}
  void operator()(double fraction);

 private:
  IConfigurationCallback* const callback_;
  int last_ = 10;
};

// File content: 1 to 100 percent; 0 is never told.
class FileProgressAdapter {
 public:
  explicit FileProgressAdapter(IConfigurationCallback* callback) : callback_(callback) {}
  void operator()(double fraction);

 private:
  IConfigurationCallback* const callback_;
  int last_ = 0;
};

}  // namespace pelorixj
