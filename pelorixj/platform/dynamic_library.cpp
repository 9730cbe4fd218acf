#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {

bool DynamicLibrary::Load(const std::string& fileName) {
  module_ = fileName.empty() ? nullptr : OpenModule(fileName);
  return module_ != nullptr;
}

DynamicLibrary::Symbol DynamicLibrary::GetSymbol(const std::string& name) const {
  if (module_ == nullptr || name.empty()) return nullptr;
  return FindSymbol(module_, name);
}

}  // namespace pelorixj
