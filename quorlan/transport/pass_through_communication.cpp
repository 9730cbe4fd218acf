#include "quorlan/transport/pass_through_communication.h"

namespace quorlan {

void PassThroughCommunication::Send(std::vector<uint8_t> data, Writer writer, Progress progress) {
  if (writer) writer(data.data(), static_cast<unsigned>(data.size()));
  if (progress) progress(1.0);
}

void PassThroughCommunication::OnReceived(std::vector<uint8_t> block) { DeliverMessage(std::move(block)); }

}  // namespace quorlan
