#include "pelorixj/brannet/brannet_library.h"

#include "pelorixj/brannet/address_prefixes.h"
#include "pelorixj/brannet/device_list_text.h"

namespace pelorixj {
namespace {

// Export names in table order.
const char* const kExportNames[kBrannetEntryCount] = {
    "GetDeviceList",
    "OpenDeviceEx",
    "CloseDeviceEx",
    "IsDeviceConnectedEx",
    "SendCommandEx",
    "GetCardDataStructureEx",
    "ClearCardDataEx",
    "SendDataEx",
    "GetResultCodeEx",
    "GetProductIDEx",
    "OnDataReceivedEx",
    "OnNotificationDataEx",
    "OnDeviceResponseEx",
    "OnDeviceConnectionStateChangedEx",
};

}  // namespace

void BrannetLibrary::Load() { ExportTable::Load(kBrannetLibraryFile, kExportNames); }

std::string BrannetLibrary::getDeviceList() const {
  return CopyText(Require<decltype(&::GetDeviceList)>(BrannetEntry::GetDeviceList, "getDeviceList")());
}

BrannetHandle BrannetLibrary::openDevice(const std::string& path) const {
  return Require<decltype(&::OpenDeviceEx)>(BrannetEntry::OpenDeviceEx, "openDevice")(path.c_str());
}

void BrannetLibrary::closeDevice(BrannetHandle device) const {
  Require<decltype(&::CloseDeviceEx)>(BrannetEntry::CloseDeviceEx, "closeDevice")(device);
}

bool BrannetLibrary::isDeviceConnected(BrannetHandle device) const {
  auto call = Require<decltype(&::IsDeviceConnectedEx)>(BrannetEntry::IsDeviceConnectedEx, "isDeviceConnected");
  return call(device) != 0;
}

std::string BrannetLibrary::sendCommand(BrannetHandle device, const std::string& command) const {
  auto call = Require<decltype(&::SendCommandEx)>(BrannetEntry::SendCommandEx, "sendCommand");
  return CopyText(call(device, command.c_str()));
}

int BrannetLibrary::sendData(BrannetHandle device, const std::string& data) const {
  return Require<decltype(&::SendDataEx)>(BrannetEntry::SendDataEx, "sendData")(device, data.c_str());
}

int BrannetLibrary::getResultCode(BrannetHandle device) const {
  return Require<decltype(&::GetResultCodeEx)>(BrannetEntry::GetResultCodeEx, "getResultCode")(device);
}

int BrannetLibrary::getProductId(BrannetHandle device) const {
  return Require<decltype(&::GetProductIDEx)>(BrannetEntry::GetProductIDEx, "getProductId")(device);
}

void BrannetLibrary::setOnDeviceConnectionStateChanged(BrannetHandle device, BrannetConnectionStateCallback callback,
                                                       void* context) const {
  Require<decltype(&::OnDeviceConnectionStateChangedEx)>(BrannetEntry::OnDeviceConnectionStateChangedEx,
                                                       "setOnDeviceConnectionStateChanged")(device, callback, context);
}

void BrannetLibrary::setOnCardDataCallback(BrannetHandle device, BrannetTextCallback callback, void* context) const {
  Require<decltype(&::OnDataReceivedEx)>(BrannetEntry::OnDataReceivedEx, "setOnCardDataCallback")(device, callback,
                                                                                                 context);
}

void BrannetLibrary::setOnDeviceResponse(BrannetHandle device, BrannetTextCallback callback, void* context) const {
  Require<decltype(&::OnDeviceResponseEx)>(BrannetEntry::OnDeviceResponseEx, "setOnDeviceResponse")(device, callback,
                                                                                                   context);
}

void BrannetLibrary::setOnNotificationData(BrannetHandle device, BrannetNotificationCallback callback,
                                           void* context) const {
  Require<decltype(&::OnNotificationDataEx)>(BrannetEntry::OnNotificationDataEx, "setOnNotificationData")(
      device, callback, context);
}

std::string BrannetLibrary::BuildOpenPath(uint32_t connectionType, std::string path) const {
  const std::string prefix = OpenPrefix(connectionType);
  if (connectionType == 0 && path.empty()) path = FirstHidAddress(getDeviceList());
  if (prefix.empty() || path.empty()) return "";
  return path.find('/') != std::string::npos ? path : prefix + path;
}

const BrannetLibrary& Brannet() {
  static const BrannetLibrary* const library = [] {
    auto* loaded = new BrannetLibrary();
    loaded->Load();
    return loaded;
  }();
  return *library;
}

}  // namespace pelorixj
