// One loaded module, found by plain file name and never unloaded: a library
// that is loaded stays loaded until the process ends.
#pragma once

#include <string>

namespace pelorixj {

// The two libraries that Pelorixj loads at run time, by the names each
// platform gives them.
extern const char kQuorlanLibraryFile[];
extern const char kBrannetLibraryFile[];

class DynamicLibrary {
 public:
  using Symbol = void (*)();

  // Loads the library by plain file name (the system's search order) and
  // keeps its module; false when it did not load. An empty name loads nothing.
  bool Load(const std::string& fileName);

  // The export's address; null when no module is loaded or the name is empty
  // (the system is then not asked), or when the export is missing.
  Symbol GetSymbol(const std::string& name) const;

  bool IsLoaded() const { return module_ != nullptr; }

 private:
  static void* OpenModule(const std::string& fileName);
  static Symbol FindSymbol(void* module, const std::string& name);

  void* module_ = nullptr;
};

}  // namespace pelorixj
