// Exports that list, open, close and configure devices.
#include <memory>
#include <string>

#include "quorlan/capi/device_list_json.h"
#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/capi/status_notifier.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/device/orvane_device.h"
#include "quorlan/qrx.h"

using namespace quorlan;

namespace {

OrvaneDevice* DeviceOf(intptr_t handle) { return reinterpret_cast<OrvaneDevice*>(handle); }

}  // namespace

extern "C" {

QRX_API const char* QRX_CALL QRX_GetDeviceList(int connectionType) {
  return GuardExport<const char*>(kEmptyText, [&] {
    OrvaneDevice lister;
    lister.SetDeviceType(connectionType);
    return StoreInOutputBuffer(DeviceListJson(lister), kDeviceListBuffer);
  });
}

QRX_API intptr_t QRX_CALL QRX_OpenDevice(int connectionType, const char* address) {
  if (address == nullptr) return -1;
  return GuardExport<intptr_t>(-1, [&]() -> intptr_t {
    auto device = std::make_unique<OrvaneDevice>();
    device->SetDeviceType(connectionType);
    if (!device->Open(address)) return -1;
    return reinterpret_cast<intptr_t>(device.release());
  });
}

QRX_API void QRX_CALL QRX_CloseDevice(intptr_t device) {
  if (IsNoObject(device)) return;
  GuardExport([&] {
    std::unique_ptr<OrvaneDevice> owned(DeviceOf(device));
    owned->Close();
  });
}

QRX_API uint8_t QRX_CALL QRX_IsDeviceOpened(intptr_t device) {
  if (IsNoObject(device)) return 0;
  return GuardExport<uint8_t>(0, [&] { return DeviceOf(device)->IsOpen() ? 1 : 0; });
}

QRX_API void QRX_CALL QRX_AttachObjectToDevice(intptr_t device, intptr_t object) {
  if (IsNoObject(device)) return;
  DeviceOf(device)->attachedObject = object;
}

QRX_API intptr_t QRX_CALL QRX_GetAttachedObject(intptr_t device) {
  if (IsNoObject(device)) return 0;
  return DeviceOf(device)->attachedObject;
}

QRX_API void QRX_CALL QRX_SetDeviceStatusChangeCallback(intptr_t device, QRX_DeviceStatusChangeCallback callback) {
  if (IsNoObject(device)) return;
  GuardExport([&] { DeviceOf(device)->SetStatusCallback(MakeStatusNotifier(callback)); });
}

QRX_API void QRX_CALL QRX_SetDataArriveCallback(intptr_t device, QRX_DataArriveCallback callback) {
  if (IsNoObject(device)) return;
  GuardExport([&] {
    if (callback == nullptr) {
      DeviceOf(device)->SetDataCallback(nullptr);
      return;
    }
    DeviceOf(device)->SetDataCallback([callback](OrvaneDevice* source, std::vector<uint8_t> message) {
      callback(source, StoreInOutputBuffer(BytesToHexString(message), kResultBuffer));
    });
  });
}

}  // extern "C"
