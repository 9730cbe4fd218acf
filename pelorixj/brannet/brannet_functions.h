/* Pelorixj's view of the older reader family's outside library: the
 * functions that it binds by name at run time ("libBrannet.so",
 * "Brannet.DLL"), with the signatures it gives them. The library itself is
 * not part of this SDK; a stand-in implements these for the tests.
 *
 * Binders take the pointer types with decltype, for example
 *   using OpenDeviceFn = decltype(&OpenDeviceEx);
 *
 * Handles are pointer-sized; 0 is no device. Texts are zero-terminated and
 * belong to the library: a caller copies a returned text at once. Callbacks
 * get the device handle, the context given at registration, then the
 * payload; they run on the library's own threads, never after CloseDeviceEx
 * has returned for their handle, and stay registered until then.
 */
#ifndef PELORIXJ_BRANNET_BRANNET_FUNCTIONS_H
#define PELORIXJ_BRANNET_BRANNET_FUNCTIONS_H

#include <stdint.h>

#if defined(BRANNET_BUILD) && defined(_WIN32)
#define BRANNET_API __declspec(dllexport)
#elif defined(BRANNET_BUILD)
#define BRANNET_API __attribute__((visibility("default")))
#else
#define BRANNET_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* connected: non-zero while the reader is connected. */
typedef void (*BrannetConnectionStateCallback)(intptr_t handle, void* context, int connected);
/* text: card data or a device response; may be null. */
typedef void (*BrannetTextCallback)(intptr_t handle, void* context, const char* text);
/* code: the notification's code; text may be null. */
typedef void (*BrannetNotificationCallback)(intptr_t handle, void* context, uint32_t code,
                                            const char* text);

/* Device addresses separated by ",", each led by its prefix ("HID://",
 * "BLE://", "BLEEMV://", "BLEEMVT://", "SERIAL://"); null or "" when none. */
BRANNET_API const char* GetDeviceList(void);

/* Opens the reader at an address of the list; 0 on failure. */
BRANNET_API intptr_t OpenDeviceEx(const char* path);
BRANNET_API void CloseDeviceEx(intptr_t handle);
/* Non-zero while the reader is connected. */
BRANNET_API int IsDeviceConnectedEx(intptr_t handle);

/* Sends a command given as hexadecimal digits ("0003", "0300:..."); gives
 * the reply as hexadecimal text, valid until the next call. */
BRANNET_API const char* SendCommandEx(intptr_t handle, const char* command);
/* Sends data as given; 0 on success. */
BRANNET_API int SendDataEx(intptr_t handle, const char* data);
/* 0 when the last command succeeded. */
BRANNET_API int GetResultCodeEx(intptr_t handle);
BRANNET_API int GetProductIDEx(intptr_t handle);

BRANNET_API const char* GetCardDataStructureEx(intptr_t handle);
BRANNET_API void ClearCardDataEx(intptr_t handle);

/* Each registration replaces the earlier one of its kind for the handle. */
BRANNET_API void OnDataReceivedEx(intptr_t handle, BrannetTextCallback callback, void* context);
BRANNET_API void OnNotificationDataEx(intptr_t handle, BrannetNotificationCallback callback,
                                      void* context);
BRANNET_API void OnDeviceResponseEx(intptr_t handle, BrannetTextCallback callback, void* context);
BRANNET_API void OnDeviceConnectionStateChangedEx(intptr_t handle,
                                                  BrannetConnectionStateCallback callback,
                                                  void* context);

#ifdef __cplusplus
}
#endif

#endif
