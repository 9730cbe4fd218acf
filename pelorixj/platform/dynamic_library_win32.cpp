#include <windows.h>

#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {

const char kQuorlanLibraryFile[] = "Quorlan.DLL";
const char kBrannetLibraryFile[] = "Brannet.DLL";

void* DynamicLibrary::OpenModule(const std::string& fileName) {
  return reinterpret_cast<void*>(LoadLibraryA(fileName.c_str()));
}

DynamicLibrary::Symbol DynamicLibrary::FindSymbol(void* module, const std::string& name) {
  return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(module), name.c_str()));
}

}  // namespace pelorixj
