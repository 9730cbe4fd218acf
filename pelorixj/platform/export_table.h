// A library loaded by plain file name and its exports bound into a table
// indexed by an entry enumeration. A missing library or export only leaves
// entries empty; it shows when an empty entry is required.
#pragma once

#include <stdexcept>
#include <string>

#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {

// A text that a bound library hands over, copied at once; a null text reads
// as empty.
inline std::string CopyText(const char* text) { return text == nullptr ? std::string() : std::string(text); }

template <class Entry, int Count>
class ExportTable {
 public:
  // Empties the table, loads the library unless it is loaded, and looks up
  // the export of each name, in table order.
  void Load(const char* fileName, const char* const (&exportNames)[Count]) {
    for (auto& symbol : symbols_) symbol = nullptr;
    if (!library_.IsLoaded()) library_.Load(fileName);
    for (int i = 0; i < Count; ++i) symbols_[i] = library_.GetSymbol(exportNames[i]);
  }

  bool IsLoaded() const { return library_.IsLoaded(); }
  bool IsBound(Entry entry) const { return symbols_[static_cast<int>(entry)] != nullptr; }

  // The entry as a function; throws std::runtime_error("Function (" +
  // callerName + ") initialize failed.") when it is empty.
  template <class Function>
  Function Require(Entry entry, const char* callerName) const {
    DynamicLibrary::Symbol symbol = symbols_[static_cast<int>(entry)];
    if (symbol == nullptr) {
      throw std::runtime_error(std::string("Function (") + callerName + ") initialize failed.");
    }
    return reinterpret_cast<Function>(symbol);
  }

 private:
  DynamicLibrary library_;
  DynamicLibrary::Symbol symbols_[Count] = {};
};

}  // namespace pelorixj
