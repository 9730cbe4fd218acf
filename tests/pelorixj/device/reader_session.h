// A control opened on a simulated reader over TCP through the real
// libQuorlan.so, with what its handlers receive, and the envelope of a
// command written out independently of the library's code.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "eventually.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/orvane_device_control.h"
#include "pelorixj/device/response_waits.h"
#include "simulated_reader.h"

namespace pelorixj {

using namespace std::chrono_literals;
using test_support::kRoomyWait;

// The sequence byte (parameter 1, byte 1) differs from command to command.
inline std::string Masked(std::string hex) {
  if (hex.size() >= 12) hex.replace(10, 2, "--");
  return hex;
}

// A command envelope around an inner frame (the code, then its items), as
// the reader receives it, sequence zero.
inline reader_sim::Bytes CommandEnvelope(uint16_t code, const reader_sim::Bytes& inner) {
  using reader_sim::Tlv;
  return reader_sim::Concat({{0xAA, 0x00},
                             Tlv(0x81, {0x01, 0x00, static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)}),
                             Tlv(0x84, inner)});
}

// A command envelope as the reader receives it, sequence masked: the code,
// then parameter 4 holding an inner frame of that code with the parameters
// (tag, hexadecimal value) in the order given.
inline std::string Envelope(uint16_t code, const std::vector<std::pair<uint8_t, std::string>>& parameters = {}) {
  reader_sim::Bytes inner = {static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)};
  for (const auto& [tag, value] : parameters) {
    const reader_sim::Bytes item = reader_sim::Tlv(tag, reader_sim::FromHex(value));
    inner.insert(inner.end(), item.begin(), item.end());
  }
  return Masked(reader_sim::ToHex(CommandEnvelope(code, inner)));
}

// Every command the reader received so far, as masked hexadecimal.
inline std::vector<std::string> ReceivedHex(const reader_sim::SimulatedReader& reader) {
  std::vector<std::string> hex;
  for (const auto& message : reader.Received()) hex.push_back(Masked(reader_sim::ToHex(message.raw)));
  return hex;
}

// Values that handlers receive on Quorlan's threads.
template <class Value>
class Recorded {
 public:
  void Add(Value value) {
    std::lock_guard<std::mutex> lock(mutex_);
    values_.push_back(std::move(value));
    changed_.notify_all();
  }
  std::vector<Value> Values() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_;
  }
  bool WaitForCount(size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kRoomyWait, [&] { return values_.size() >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Value> values_;
};

// Every session's waits: CI runs the tests on busy cores under the
// sanitizers, where the reader's answers can take far longer than the
// shipped waits allow.
constexpr int32_t kRoomyWaitMs = static_cast<int32_t>(kRoomyWait.count());
constexpr ResponseWaits kRoomyWaits{kRoomyWaitMs, kRoomyWaitMs, kRoomyWaitMs, kRoomyWaitMs};

// The roomy waits but one, for a test of that wait running out.
inline ResponseWaits ShortWait(int32_t ResponseWaits::*wait, int32_t ms = 300) {
  ResponseWaits waits = kRoomyWaits;
  waits.*wait = ms;
  return waits;
}

struct ReaderSession {
  ReaderSession() {
    reader.Start();
    control = std::make_unique<OrvaneIDeviceControl>(kConnectionTcp, reader.Address());
    control->SetResponseWaits(kRoomyWaits);
    control->SetStatusChangeHandler([this](bool connected) { statuses.Add(connected); });
    control->SetDataArriveHandler([this](std::string message) { messages.Add(std::move(message)); });
  }
  ~ReaderSession() {
    if (control) control->Close();
  }

  // Opens the closed control and waits until the reader has taken the
  // connection, so that what it pushes reaches the control.
  bool Open() {
    const size_t before = reader.AcceptedCount();
    return control->Open() && reader.WaitForConnections(before + 1, kRoomyWait);
  }

  std::vector<std::string> ReceivedHex() const { return pelorixj::ReceivedHex(reader); }

  reader_sim::SimulatedReader reader;
  Recorded<bool> statuses;
  Recorded<std::string> messages;
  // Destroyed first: its handlers record into the members above.
  std::unique_ptr<OrvaneIDeviceControl> control;
};

}  // namespace pelorixj
