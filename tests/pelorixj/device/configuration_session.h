// A configuration object on a control opened on a simulated reader, and a
// callback that records what it is told.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "pelorixj/device/orvane_device_configuration.h"
#include "reader_session.h"

namespace pelorixj {

inline std::string Hex(const reader_sim::Bytes& bytes) { return reader_sim::ToHex(bytes); }

// Called on the thread of the one operation it is given to.
class RecordingCallback : public IConfigurationCallback {
 public:
  void OnProgress(int percent) override { progress.push_back(percent); }
  void OnResult(int status, std::vector<uint8_t> data) override { results.emplace_back(status, Hex(data)); }
  MacResult OnCalculateMAC(uint8_t type, std::vector<uint8_t> data) override {
    signedData.emplace_back(type, Hex(data));
    return macAnswer;
  }

  std::vector<int> progress;
  std::vector<std::pair<int, std::string>> results;
  std::vector<std::pair<int, std::string>> signedData;
  MacResult macAnswer;
};

struct ConfigurationSession : ReaderSession {
  OrvaneDeviceConfiguration configuration{control.get()};
};

}  // namespace pelorixj
