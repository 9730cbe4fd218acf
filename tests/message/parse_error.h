// The text of the exception a parse raises, for tables of failure cases.
#pragma once

#include <exception>
#include <string>

namespace quorlan {

constexpr const char kNoError[] = "(no error)";

template <class Parse>
std::string ErrorOf(Parse&& parse) {
  try {
    parse();
  } catch (const std::exception& error) {
    return error.what();
  }
  return kNoError;
}

}  // namespace quorlan
