#include "quorlan/transport/communication_package.h"

namespace quorlan {

void IKVCommunicationPackage::DeliverMessage(std::vector<uint8_t> message) {
  if (ReceiveCallback callback = CurrentReceiveCallback()) callback(std::move(message));
}

void IKVCommunicationPackage::DeliverBytes(const uint8_t* data, unsigned length) {
  if (ReceiveCallback callback = CurrentReceiveCallback()) callback(std::vector<uint8_t>(data, data + length));
}

void IKVCommunicationPackage::SetReceiveCallback(ReceiveCallback callback) {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  receiveCallback_ = std::move(callback);
}

IKVCommunicationPackage::ReceiveCallback IKVCommunicationPackage::CurrentReceiveCallback() {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  return receiveCallback_;
}

}  // namespace quorlan
