// Exports that list, open, close and configure devices.
#include <memory>
#include <string>

#include "quorlan/capi/device_handles.h"
#include "quorlan/capi/device_list_json.h"
#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/capi/status_notifier.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/device/orvane_device.h"
#include "quorlan/qrx.h"

using namespace quorlan;

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
    auto device = std::make_shared<OrvaneDevice>();
    device->SetDeviceType(connectionType);
    if (!device->Open(address)) return -1;
    return AddDevice(std::move(device));
  });
}

QRX_API void QRX_CALL QRX_CloseDevice(intptr_t handle) {
  GuardExport([&] {
    std::shared_ptr<OrvaneDevice> device = RemoveDevice(handle);
    if (!device) return;
    device->Close();
    // Another thread's export may hold the device a while longer.
    device->StopDelivery();
  });
}

QRX_API uint8_t QRX_CALL QRX_IsDeviceOpened(intptr_t handle) {
  return GuardExport<uint8_t>(0, [&] {
    auto device = FindDevice(handle);
    return device && device->IsOpen() ? 1 : 0;
  });
}

QRX_API void QRX_CALL QRX_AttachObjectToDevice(intptr_t handle, intptr_t object) {
  GuardExport([&] {
    if (auto device = FindDevice(handle)) device->attachedObject = object;
  });
}

QRX_API intptr_t QRX_CALL QRX_GetAttachedObject(intptr_t handle) {
  return GuardExport<intptr_t>(0, [&]() -> intptr_t {
    auto device = FindDevice(handle);
    return device ? device->attachedObject.load() : 0;
  });
}

QRX_API void QRX_CALL QRX_SetDeviceStatusChangeCallback(intptr_t handle, QRX_DeviceStatusChangeCallback callback) {
  GuardExport([&] {
    if (auto device = FindDevice(handle)) device->SetStatusCallback(MakeStatusNotifier(callback, handle, device));
  });
}

QRX_API void QRX_CALL QRX_SetDataArriveCallback(intptr_t handle, QRX_DataArriveCallback callback) {
  GuardExport([&] {
    auto device = FindDevice(handle);
    if (!device) return;
    if (callback == nullptr) {
      device->SetDataCallback(nullptr);
      return;
    }
    device->SetDataCallback([callback, handle](OrvaneDevice*, std::vector<uint8_t> message) {
      callback(reinterpret_cast<void*>(handle), StoreHexInOutputBuffer({ViewOf(message)}, kResultBuffer));
    });
  });
}

}  // extern "C"
