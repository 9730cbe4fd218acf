// Loads the stand-in library of one variant's folder by its file name, as
// Pelorixj loads the outside library, and looks its functions up by name.
#pragma once

#include <string>

namespace brannet_standin_test {

class BrannetModule {
 public:
  // Never unloaded, like the library Pelorixj binds.
  explicit BrannetModule(const std::string& folder);

  bool Loaded() const { return module_ != nullptr; }
  void* Find(const char* name) const;

  template <typename Function>
  Function Get(const char* name) const {
    return reinterpret_cast<Function>(Find(name));
  }

 private:
  void* module_;
};

}  // namespace brannet_standin_test
