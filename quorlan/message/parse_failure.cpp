#include "quorlan/message/parse_failure.h"

#include <stdexcept>

namespace quorlan {

void ParseFailure::Raise() const {
  switch (kind) {
    case Kind::kArgument:
      throw std::invalid_argument(text);
    case Kind::kRange:
      throw std::out_of_range(text);
    case Kind::kRuntime:
      break;
  }
  throw std::runtime_error(text);
}

}  // namespace quorlan
