// The older family's outside library, loaded by name at run time: Pelorixj
// does not link against it, and the SDK does not ship it. A missing library
// or export is not reported at load; each wrapper whose function is missing
// throws std::runtime_error("Function (" + wrapper name + ") initialize
// failed.") without using its arguments.
//
// Texts that the library returns are copied right after the call; a null
// text reads as empty. Nothing here serialises calls into the library.
#pragma once

#include <cstdint>
#include <string>

#include "pelorixj/brannet/brannet_functions.h"
#include "pelorixj/platform/export_table.h"

namespace pelorixj {

// The bound exports, in table order.
enum class BrannetEntry {
  GetDeviceList,
  OpenDeviceEx,
  CloseDeviceEx,
  IsDeviceConnectedEx,
  SendCommandEx,
  GetCardDataStructureEx,  // looked up, never called
  ClearCardDataEx,         // looked up, never called
  SendDataEx,
  GetResultCodeEx,
  GetProductIDEx,
  OnDataReceivedEx,
  OnNotificationDataEx,
  OnDeviceResponseEx,
  OnDeviceConnectionStateChangedEx,
};
constexpr int kBrannetEntryCount = 14;

// Pointer-sized; 0 is no device.
using BrannetHandle = intptr_t;

class BrannetLibrary : private ExportTable<BrannetEntry, kBrannetEntryCount> {
 public:
  // Empties the table, loads the library by its file name unless it is
  // loaded, and looks up every entry. Failures only leave entries empty.
  void Load();

  using ExportTable::IsBound;
  using ExportTable::IsLoaded;

  // Addresses separated by ",", each led by its prefix.
  std::string getDeviceList() const;
  // 0 when the device did not open.
  BrannetHandle openDevice(const std::string& path) const;
  void closeDevice(BrannetHandle device) const;
  bool isDeviceConnected(BrannetHandle device) const;
  // The reply as hexadecimal text.
  std::string sendCommand(BrannetHandle device, const std::string& command) const;
  // 0 on success.
  int sendData(BrannetHandle device, const std::string& data) const;
  // 0 when the last command succeeded.
  int getResultCode(BrannetHandle device) const;
  int getProductId(BrannetHandle device) const;
  void setOnDeviceConnectionStateChanged(BrannetHandle device, BrannetConnectionStateCallback callback,
                                         void* context) const;
  void setOnCardDataCallback(BrannetHandle device, BrannetTextCallback callback, void* context) const;
  void setOnDeviceResponse(BrannetHandle device, BrannetTextCallback callback, void* context) const;
  void setOnNotificationData(BrannetHandle device, BrannetNotificationCallback callback, void* context) const;

  // The path with which a device of the connection type opens; empty for a
  // type that does not open. An empty USB path takes the first "HID://"
  // address of the device list.
  std::string BuildOpenPath(uint32_t connectionType, std::string path) const;
};

// The process's binding of the library: loaded on first use (thread-safe),
// which JNI_OnLoad makes happen when the Java VM loads Pelorixj. Never
// destroyed, never reloaded.
const BrannetLibrary& Brannet();

}  // namespace pelorixj
