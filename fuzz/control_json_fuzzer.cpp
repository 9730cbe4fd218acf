// The JSON requests of the device-control wrapper read from arbitrary text,
// and its response result written from arbitrary bytes, as the JNI
// functions do.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_check.h"
#include "pelorixj/core/control_json.h"
#include "pelorixj/core/json_fields.h"
#include "quorlan/message/plain_text.h"

using namespace pelorixj;
using nlohmann::json;

namespace {

json BarCodeJson(const BarCodeRequest& r) {
  return json{{"Type", r.Type},
              {"Format", r.Format},
              {"Data", BytesToHexString(r.Data)},
              {"BlockColor", BytesToHexString(r.BlockColor)},
              {"BackgroundColor", BytesToHexString(r.BackgroundColor)},
              {"ErrorCorrection", r.ErrorCorrection},
              {"MaskPattern", r.MaskPattern},
              {"MinVersion", r.MinVersion},
              {"MaxVersion", r.MaxVersion}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const json parsed = json::parse(text, nullptr, false);
  const bool isObject = parsed.is_object();

  // Only a field error may come out of a read; a request read once reads
  // the same when written back, its hexadecimal members as they were given
  // (only whole pairs of digits are read).
  try {
    const ImageObject image = ImageObjectFromJson(text);
    FUZZ_CHECK(isObject);
    const json written = {{"Type", image.Type},
                          {"Data", BytesToHexString(image.Data)},
                          {"BackgroundColor", BytesToHexString(image.BackgroundColor)}};
    for (const char* key : {"Data", "BackgroundColor"}) {
      FUZZ_CHECK(written[key] == quorlan::ToUpper(parsed[key].get<std::string>()));
    }
    const ImageObject again = ImageObjectFromJson(written.dump());
    FUZZ_CHECK(again.Type == image.Type && again.Data == image.Data &&
               again.BackgroundColor == image.BackgroundColor);
  } catch (const JsonFieldError&) {
  }
  try {
    const BarCodeRequest request = BarCodeRequestFromJson(text);
    FUZZ_CHECK(isObject);
    const json written = BarCodeJson(request);
    FUZZ_CHECK(BarCodeJson(BarCodeRequestFromJson(written.dump())) == written);
    for (const char* key : {"Data", "BlockColor", "BackgroundColor"}) {
      FUZZ_CHECK(written[key] == quorlan::ToUpper(parsed[key].get<std::string>()));
    }
  } catch (const JsonFieldError&) {
  }

  // Text that is not UTF-8 fails the writing; any other comes back as it was.
  DeviceResponse response;
  response.Status = size > 0 ? static_cast<uint32_t>(data[0]) << 24 : 0;
  response.Data = ByteDataRecord(text);
  try {
    const json result = json::parse(DeviceResponseJson(response));
    FUZZ_CHECK(result.at("Data") == text);
    FUZZ_CHECK(result.at("Status") == static_cast<int32_t>(response.Status));
  } catch (const json::type_error&) {
  }
  return 0;
}
