// Why bytes did not read as a message. The non-throwing parse functions
// report it; the throwing ones raise it as the standard exception its kind
// names, carrying its text.
#pragma once

#include <optional>

namespace quorlan {

struct ParseFailure {
  enum class Kind { kRuntime, kArgument, kRange };

  Kind kind = Kind::kRuntime;
  const char* text = "";

  [[noreturn]] void Raise() const;
};

// Stores the failure where one is asked for; gives nothing, for
// `return Fail(failure, {...});` in a non-throwing parse.
inline std::nullopt_t Fail(ParseFailure* failure, ParseFailure reason) {
  if (failure != nullptr) *failure = reason;
  return std::nullopt;
}

}  // namespace quorlan
