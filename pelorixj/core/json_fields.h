// Typed reads of the fields of a JSON request from Java. A request is one
// JSON object; each read takes one member by key and fails with
// JsonFieldError when the key is missing or its value has another type.
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

// Throws JsonFieldError for a text that does not parse or is no object.
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
// ReadString decoded with HexPairsToBytes.
Bytes ReadHex(const nlohmann::json& request, const char* key);

// field = read() when the read succeeds; else field keeps its value.
template <typename Field, typename Read>
void ReadOptional(Field& field, Read&& read) {
  try {
    field = read();
  } catch (const JsonFieldError&) {
  }
}

}  // namespace pelorixj
