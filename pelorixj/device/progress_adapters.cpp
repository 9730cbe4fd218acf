#include "pelorixj/device/progress_adapters.h"

namespace pelorixj {
namespace {

void Tell(IConfigurationCallback* callback, int percent, int& last) {
  if (percent != last && callback != nullptr) callback->OnProgress(percent);
  last = percent;
}

}  // namespace

void FirmwareProgressAdapter::operator()(double fraction) {
  Tell(callback_, static_cast<int>((fraction * 0.5 + static_cast<double>(0.1f)) * 100.0), last_);
}

void FileProgressAdapter::operator()(double fraction) {
  Tell(callback_, static_cast<int>(fraction * 100.0), last_);
}

}  // namespace pelorixj
