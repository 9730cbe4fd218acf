// Typed reads of the fields of a JSON request from Java. A request is one
// JSON object; each read takes one member by key and fails with
// JsonFieldError: JsonKindError when the key is missing or its value has
// another type, plain JsonFieldError when a string does not hold what the
// field needs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

class JsonFieldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class JsonKindError : public JsonFieldError {
 public:
  using JsonFieldError::JsonFieldError;
};

// Throws JsonKindError for a text that does not parse or is no object.
nlohmann::json ParseJsonRequest(const std::string& text);

// An integer gives its low 32 bits; a floating-point number is truncated
// toward zero to a signed 32-bit integer, saturating beyond that range (NaN
// gives 0); true gives 1, false 0.
uint32_t ReadNumber32(const nlohmann::json& request, const char* key);
// The low 8 bits of ReadNumber32.
uint8_t ReadNumber8(const nlohmann::json& request, const char* key);
// true or false only.
bool ReadBoolean(const nlohmann::json& request, const char* key);
// A JSON string only.
std::string ReadString(const nlohmann::json& request, const char* key);
// ReadString of whole pairs of hexadecimal digits (IsHexPairs); other text
// throws JsonFieldError.
std::string ReadHexText(const nlohmann::json& request, const char* key);
// ReadHexText decoded.
Bytes ReadHex(const nlohmann::json& request, const char* key);

// field = read() when the read succeeds; field keeps its value when the
// member is missing or of another kind. Any other failure is thrown.
template <typename Field, typename Read>
void ReadOptional(Field& field, Read&& read) {
  try {
    field = read();
  } catch (const JsonKindError&) {
  }
}

}  // namespace pelorixj
