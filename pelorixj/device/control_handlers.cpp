#include "pelorixj/device/control_handlers.h"

#include <utility>

namespace pelorixj {

void ControlHandlers::SetDataArriveHandler(DataArriveHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  data_ = std::move(handler);
}

void ControlHandlers::SetStatusChangeHandler(StatusChangeHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = std::move(handler);
}

void ControlHandlers::DeliverData(const std::string& hexMessage) {
  DataArriveHandler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = data_;
  }
  if (handler) handler(hexMessage);
}

void ControlHandlers::DeliverStatus(bool connected) {
  StatusChangeHandler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = status_;
  }
  if (handler) handler(connected);
}

}  // namespace pelorixj
