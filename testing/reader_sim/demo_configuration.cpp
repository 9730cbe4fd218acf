#include "demo_configuration.h"

#include <string>
#include <vector>

namespace reader_sim {
namespace {

constexpr uint8_t kReadByTagPath = 0x02;

struct PathValue {
  std::vector<uint8_t> path;
  Bytes value;
};

// The value wrapped in the items of the path, the last tag innermost.
Bytes AtPath(const std::vector<uint8_t>& path, Bytes value) {
  for (auto tag = path.rbegin(); tag != path.rend(); ++tag) value = Tlv(*tag, value);
  return value;
}

std::vector<PathValue> DemoInformation() {
  const std::string model = kDemoModel;
  return {{{0xE1, 0xE2, 0xE2, 0xE2, 0xC2}, Bytes(model.begin(), model.end())},
          {{0xE2, 0xE1, 0xE1, 0xE1, 0xC1}, FromHex(std::string(kDemoSerial) + "F")}};
}

Reply Refused() { return Reply::WithStatus(0x00, 0x000001); }

}  // namespace

Bytes DemoFileContent() {
  const std::string text = "FICTUS DEMO FILE";
  return Bytes(text.begin(), text.end());
}

void InstallDemoConfiguration(SimulatedReader& reader) {
  reader.SetResponder(kReadConfiguration, [](const ReceivedMessage& command) {
    if (command.Inner(0x85) == Bytes{kReadByTagPath}) {
      for (const PathValue& item : DemoInformation()) {
        if (command.Inner(0x89) == AtPath(item.path, {})) {
          return std::optional<Reply>(Reply::Ok({{0x89, AtPath(item.path, item.value)}}));
        }
      }
    }
    return std::optional<Reply>(Refused());
  });
  reader.SetResponder(kReadFile, [](const ReceivedMessage& command) {
    if (command.Inner(0x81) != BigEndian32(kDemoFileId)) return std::optional<Reply>(Refused());
    return std::optional<Reply>(Reply::Ok().Then(BuildFileMessage(kReadFile, kDemoFileId, DemoFileContent())));
  });
}

}  // namespace reader_sim
