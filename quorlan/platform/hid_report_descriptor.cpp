#include "quorlan/platform/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace quorlan {
namespace platform {
namespace {

// The largest report the Linux HID core accepts; Windows has no larger one.
constexpr uint64_t kMaxReportBytes = 16384;

constexpr uint8_t kLongItemPrefix = 0xFE;

enum ItemType : uint8_t { kMain = 0, kGlobal = 1 };
enum MainTag : uint8_t { kInput = 0x8, kOutput = 0x9, kFeature = 0xB };
enum GlobalTag : uint8_t { kReportSize = 0x7, kReportId = 0x8, kReportCount = 0x9, kPush = 0xA, kPop = 0xB };

struct GlobalState {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint32_t reportId = 0;
};

// Bits declared so far per report id, for one report type.
using ReportBits = std::map<uint32_t, uint64_t>;

int LengthOf(const ReportBits& reports) {
  if (reports.empty()) return 0;
  uint64_t longest = 0;
  for (const auto& report : reports) longest = std::max(longest, report.second);
  return static_cast<int>((longest + 7) / 8 + 1);
}

}  // namespace

std::optional<HidReportLayout> ParseReportDescriptor(const uint8_t* descriptor, size_t length) {
  GlobalState global;
  std::vector<GlobalState> pushed;
  ReportBits input, output, feature;
  bool numbered = false;

  size_t pos = 0;
  while (pos < length) {
    const uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      if (pos + 3 > length) return std::nullopt;
      const size_t dataSize = descriptor[pos + 1];
      if (pos + 3 + dataSize > length) return std::nullopt;
      pos += 3 + dataSize;
      continue;
    }
    const size_t dataSize = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
    if (pos + 1 + dataSize > length) return std::nullopt;
    uint32_t data = 0;
    for (size_t i = 0; i < dataSize; ++i) data |= uint32_t{descriptor[pos + 1 + i]} << (8 * i);
    const uint8_t type = (prefix >> 2) & 0x3;
    const uint8_t tag = prefix >> 4;
    pos += 1 + dataSize;

    if (type == kGlobal) {
      switch (tag) {
        case kReportSize: global.reportSize = data; break;
        case kReportCount: global.reportCount = data; break;
        case kReportId:
          global.reportId = data;
          numbered = true;
          break;
        case kPush: pushed.push_back(global); break;
        case kPop:
          if (pushed.empty()) return std::nullopt;
          global = pushed.back();
          pushed.pop_back();
          break;
        default: break;
      }
    } else if (type == kMain && (tag == kInput || tag == kOutput || tag == kFeature)) {
      ReportBits& reports = tag == kInput ? input : tag == kOutput ? output : feature;
      uint64_t& bits = reports[global.reportId];
      bits += uint64_t{global.reportSize} * global.reportCount;
      if (bits > kMaxReportBytes * 8) return std::nullopt;
    }
  }

  HidReportLayout layout;
  layout.numbered = numbered;
  layout.lengths.input = LengthOf(input);
  layout.lengths.output = LengthOf(output);
  layout.lengths.feature = LengthOf(feature);
  return layout;
}

}  // namespace platform
}  // namespace quorlan
