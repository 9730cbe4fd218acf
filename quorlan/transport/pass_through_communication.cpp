#include "quorlan/transport/pass_through_communication.h"

namespace quorlan {

bool PassThroughCommunication::Send(std::vector<uint8_t> data, Writer writer, Progress progress) {
  if (writer && writer(data.data(), static_cast<unsigned>(data.size())) != 0) return false;
  if (progress) progress(1.0);
  return true;
}

void PassThroughCommunication::OnReceived(std::vector<uint8_t> block) { DeliverMessage(std::move(block)); }

}  // namespace quorlan
