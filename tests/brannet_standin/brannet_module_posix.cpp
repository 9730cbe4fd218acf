#include <dlfcn.h>

#include "brannet_module.h"

namespace brannet_standin_test {

BrannetModule::BrannetModule(const std::string& folder)
    : module_(dlopen((folder + "/libBrannet.so").c_str(), RTLD_NOW | RTLD_LOCAL)) {}

void* BrannetModule::Find(const char* name) const {
  return module_ ? dlsym(module_, name) : nullptr;
}

}  // namespace brannet_standin_test
