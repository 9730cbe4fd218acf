// No exception leaves an export: each turns it into its failure result.
#pragma once

#include <cstdint>

namespace quorlan {

template <class Result, class Body>
Result GuardExport(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

template <class Body>
void GuardExport(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// 0 and -1 (all bits set) stand for no object.
inline bool IsNoObject(intptr_t handle) { return handle == 0 || handle == -1; }

}  // namespace quorlan
