#include "quorlan/transport/communication_package.h"

namespace quorlan {

void IKVCommunicationPackage::DeliverMessage(std::vector<uint8_t> message) {
  if (receiveCallback) receiveCallback(std::move(message));
}

void IKVCommunicationPackage::DeliverBytes(const uint8_t* data, unsigned length) {
  if (receiveCallback) receiveCallback(std::vector<uint8_t>(data, data + length));
}

}  // namespace quorlan
