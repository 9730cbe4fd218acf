#include <windows.h>

#include <algorithm>

#include "brannet_module.h"

namespace brannet_standin_test {

namespace {

void* Load(std::string folder) {
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return LoadLibraryA((folder + "\\Brannet.dll").c_str());
}

}  // namespace

BrannetModule::BrannetModule(const std::string& folder) : module_(Load(folder)) {}

void* BrannetModule::Find(const char* name) const {
  return module_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name))
                 : nullptr;
}

}  // namespace brannet_standin_test
