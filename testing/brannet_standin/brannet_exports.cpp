// The library's functions. A variant leaves one out when built with
// BRANNET_STANDIN_WITHOUT_GET_DEVICE_LIST or
// BRANNET_STANDIN_WITHOUT_ON_DEVICE_RESPONSE.
#include "pelorixj/brannet/brannet_functions.h"
#include "standin.h"

using brannet_standin::Standin;

#ifndef BRANNET_STANDIN_WITHOUT_GET_DEVICE_LIST
const char* GetDeviceList(void) { return Standin::Instance().GetDeviceList(); }
#endif

intptr_t OpenDeviceEx(const char* path) { return Standin::Instance().OpenDevice(path); }

void CloseDeviceEx(intptr_t handle) { Standin::Instance().CloseDevice(handle); }

int IsDeviceConnectedEx(intptr_t handle) { return Standin::Instance().IsDeviceConnected(handle); }

const char* SendCommandEx(intptr_t handle, const char* command) {
  return Standin::Instance().SendCommand(handle, command);
}

int SendDataEx(intptr_t handle, const char* data) {
  return Standin::Instance().SendData(handle, data);
}

int GetResultCodeEx(intptr_t handle) { return Standin::Instance().GetResultCode(handle); }

int GetProductIDEx(intptr_t handle) { return Standin::Instance().GetProductId(handle); }

const char* GetCardDataStructureEx(intptr_t handle) {
  return Standin::Instance().GetCardDataStructure(handle);
}

void ClearCardDataEx(intptr_t handle) { Standin::Instance().ClearCardData(handle); }

void OnDataReceivedEx(intptr_t handle, BrannetTextCallback callback, void* context) {
  Standin::Instance().RegisterDataReceived(handle, callback, context);
}

void OnNotificationDataEx(intptr_t handle, BrannetNotificationCallback callback, void* context) {
  Standin::Instance().RegisterNotification(handle, callback, context);
}

#ifndef BRANNET_STANDIN_WITHOUT_ON_DEVICE_RESPONSE
void OnDeviceResponseEx(intptr_t handle, BrannetTextCallback callback, void* context) {
  Standin::Instance().RegisterDeviceResponse(handle, callback, context);
}
#endif

void OnDeviceConnectionStateChangedEx(intptr_t handle, BrannetConnectionStateCallback callback,
                                      void* context) {
  Standin::Instance().RegisterConnectionState(handle, callback, context);
}
