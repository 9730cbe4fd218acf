#include "pelorixj/core/control_json.h"

#include <cstdint>

#include <nlohmann/json.hpp>

#include "pelorixj/core/json_fields.h"

namespace pelorixj {

using nlohmann::json;

ImageObject ImageObjectFromJson(const std::string& text) {
  const json request = ParseJsonRequest(text);
  ImageObject image;
  image.Type = ReadNumber32(request, "Type");
  image.Data = ReadHex(request, "Data");
  image.BackgroundColor = ReadHex(request, "BackgroundColor");
  return image;
}

BarCodeRequest BarCodeRequestFromJson(const std::string& text) {
  const json request = ParseJsonRequest(text);
  BarCodeRequest r;
  r.Type = ReadNumber32(request, "Type");
  r.Format = ReadNumber32(request, "Format");
  r.Data = ReadHex(request, "Data");
  r.BlockColor = ReadHex(request, "BlockColor");
  r.BackgroundColor = ReadHex(request, "BackgroundColor");
  r.ErrorCorrection = ReadNumber8(request, "ErrorCorrection");
  r.MaskPattern = ReadNumber8(request, "MaskPattern");
  r.MinVersion = ReadNumber8(request, "MinVersion");
  r.MaxVersion = ReadNumber8(request, "MaxVersion");
  return r;
}

std::string DeviceResponseJson(const DeviceResponse& response) {
  return json{{"Data", response.Data.Text}, {"Status", static_cast<int32_t>(response.Status)}}.dump();
}

}  // namespace pelorixj
