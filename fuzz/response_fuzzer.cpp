// Responses from arbitrary bytes, and what is read from them afterwards.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "quorlan/capi/formatted_response.h"
#include "fuzz_check.h"
#include "quorlan/message/response.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvaneResponse response;
  try {
    response = OrvaneResponse::Parse(Bytes(data, data + size));
  } catch (const std::logic_error&) {
    return 0;
  } catch (const std::runtime_error&) {
    return 0;
  }
  FUZZ_CHECK(HexStringToBytes(response.messageText) == Bytes(data, data + size));
  response.StatusCode();
  response.GetParameterByTag(0x81);
  response.GetParameterByPath("A4.A4.A0(1).81");
  FormatResponseText(response);
  return 0;
}
