// A package without framing: a message goes out in one write, and every
// received block is a message.
#pragma once

#include "quorlan/transport/communication_package.h"

namespace quorlan {

class PassThroughCommunication : public IKVCommunicationPackage {
 public:
  bool Send(std::vector<uint8_t> data, Writer writer, Progress progress) override;
  void OnReceived(std::vector<uint8_t> block) override;
};

}  // namespace quorlan
