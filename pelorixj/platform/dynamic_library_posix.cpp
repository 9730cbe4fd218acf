#include <dlfcn.h>

#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {

const char kQuorlanLibraryFile[] = "libQuorlan.so";
const char kBrannetLibraryFile[] = "libBrannet.so";

void* DynamicLibrary::OpenModule(const std::string& fileName) {
  // Local: the bound libraries' symbols must not resolve anyone else's.
  return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

DynamicLibrary::Symbol DynamicLibrary::FindSymbol(void* module, const std::string& name) {
  return reinterpret_cast<Symbol>(dlsym(module, name.c_str()));
}

}  // namespace pelorixj
