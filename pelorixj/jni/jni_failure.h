// A JNI call that failed and left a Java exception pending (out of memory,
// mostly). Thrown so that the native method's guard, or the callback's frame,
// clears the exception and gives the failure value.
#pragma once

#include <stdexcept>

namespace pelorixj {

class JniFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pelorixj
