#include "pelorixj/core/json_fields.h"

#include <cmath>
#include <limits>

namespace pelorixj {
namespace {

using nlohmann::json;

const json& Member(const json& request, const char* key) {
  const auto found = request.find(key);
  if (found == request.end()) throw JsonKindError(std::string("missing member ") + key);
  return *found;
}

[[noreturn]] void WrongType(const char* expected, const char* key, const json& value) {
  throw JsonKindError(std::string(key) + " must be " + expected + ", but is " + value.type_name());
}

int32_t TruncateSaturated(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

json ParseJsonRequest(const std::string& text) {
  json request = json::parse(text, nullptr, false);
  if (!request.is_object()) throw JsonKindError("the request is no JSON object");
  return request;
}

uint32_t ReadNumber32(const json& request, const char* key) {
  const json& value = Member(request, key);
  if (value.is_number_unsigned()) return static_cast<uint32_t>(value.get<uint64_t>());
  if (value.is_number_integer()) return static_cast<uint32_t>(value.get<int64_t>());
  if (value.is_number_float()) return static_cast<uint32_t>(TruncateSaturated(value.get<double>()));
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  WrongType("number", key, value);
}

uint8_t ReadNumber8(const json& request, const char* key) { return static_cast<uint8_t>(ReadNumber32(request, key)); }

bool ReadBoolean(const json& request, const char* key) {
  const json& value = Member(request, key);
  if (!value.is_boolean()) WrongType("boolean", key, value);
  return value.get<bool>();
}

std::string ReadString(const json& request, const char* key) {
  const json& value = Member(request, key);
  if (!value.is_string()) WrongType("string", key, value);
  return value.get<std::string>();
}

std::string ReadHexText(const json& request, const char* key) {
  std::string text = ReadString(request, key);
  if (!IsHexPairs(text)) throw JsonFieldError(std::string(key) + " must be whole pairs of hexadecimal digits");
  return text;
}

Bytes ReadHex(const json& request, const char* key) { return HexPairsToBytes(ReadHexText(request, key)); }

}  // namespace pelorixj
