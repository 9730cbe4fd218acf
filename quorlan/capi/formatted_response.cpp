#include "quorlan/capi/formatted_response.h"

#include <cstdio>

namespace quorlan {
namespace {

std::string Format(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string FormatResponseText(const OrvaneResponse& response) {
  std::string text = Format("%04X", response.commandId);
  text += ",CommandStatus=" + Format("%x", static_cast<unsigned>(response.commandStatus));
  text += ",OperationStatus=" + Format("%x", static_cast<unsigned>(response.operationStatus));
  for (const auto& entry : response.frame.parameters) {
    const uint8_t tag = TagOfParameterKey(entry.first);
    text += "," + Format("%02X=", tag) + BytesToHexString(response.GetParameterByTag(tag));
  }
  return text;
}

}  // namespace quorlan
