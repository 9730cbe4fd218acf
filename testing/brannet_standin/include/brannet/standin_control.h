/* How tests drive the stand-in older-family library. Exported by every
 * variant beside the functions of brannet.h; a test reaches it through the
 * instance that Pelorixj binds (dlsym on the same library) or by linking.
 *
 *   BrannetStandin_SetDeviceList("HID://P1,BLE://B2");
 *   BrannetStandin_SetProductId("HID://P1", 0x21);      (makes the reader)
 *   BrannetStandin_SetReply("HID://P1", "0003", "3132");
 *   ... the code under test opens HID://P1 ...
 *   intptr_t handle = BrannetStandin_OpenHandle("HID://P1");
 *   BrannetStandin_FireNotification(handle, 0x300, "card_swiped");
 *   BrannetStandin_WaitDelivered(handle);
 *
 * Readers are named by their open path, compared byte for byte; OpenDeviceEx
 * opens only a path that names a reader, and every handle opened on a reader
 * reads its settings. A reader starts connected, with product id 0, result
 * code 0, send result 0 and no replies. Every function here is thread-safe.
 */
#ifndef BRANNET_STANDIN_CONTROL_H
#define BRANNET_STANDIN_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#include "pelorixj/brannet/brannet_functions.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Closes every handle (ending its callback thread) and forgets the list,
 * the readers and the call log. */
BRANNET_API void BrannetStandin_Reset(void);

/* What GetDeviceList returns; null makes it return null. */
BRANNET_API void BrannetStandin_SetDeviceList(const char* text);

/* Makes a reader at the path with the default settings, keeping one that
 * exists. Each setter below makes the reader too when it does not exist. */
BRANNET_API void BrannetStandin_AddDevice(const char* path);
/* What IsDeviceConnectedEx reports for the reader's open handles. */
BRANNET_API void BrannetStandin_SetConnected(const char* path, int connected);
BRANNET_API void BrannetStandin_SetProductId(const char* path, int productId);
/* What GetResultCodeEx returns, whatever was sent. */
BRANNET_API void BrannetStandin_SetResultCode(const char* path, int resultCode);
/* What SendDataEx returns. */
BRANNET_API void BrannetStandin_SetSendResult(const char* path, int result);
/* SendCommandEx of exactly this command text answers this reply (null: a
 * null reply). A command without a reply is answered with "". */
BRANNET_API void BrannetStandin_SetReply(const char* path, const char* command, const char* reply);

/* While held (non-zero), every OpenDeviceEx logs its call and then waits
 * until the hold is let go (0) before it opens anything. Reset lets go. */
BRANNET_API void BrannetStandin_HoldOpen(int hold);
/* Returns 1 once an OpenDeviceEx waits in a hold, 0 when none does within
 * the time. */
BRANNET_API int BrannetStandin_WaitOpenHeld(int timeoutMs);

/* The newest handle open on the reader; 0 when none is open. */
BRANNET_API intptr_t BrannetStandin_OpenHandle(const char* path);

/* Queue one callback on the handle's callback thread, which delivers them in
 * the order queued, one at a time, to the callback registered for the kind
 * when it is delivered (none registered: dropped). The first argument of
 * every callback is the handle. The texts are copied; null stays null.
 * 1 when queued, 0 when the handle is not open. CloseDeviceEx drops what is
 * not yet delivered and returns once the thread has ended. */
BRANNET_API int BrannetStandin_FireConnectionState(intptr_t handle, int connected);
BRANNET_API int BrannetStandin_FireDataReceived(intptr_t handle, const char* text);
BRANNET_API int BrannetStandin_FireDeviceResponse(intptr_t handle, const char* text);
BRANNET_API int BrannetStandin_FireNotification(intptr_t handle, uint32_t code, const char* text);
/* Returns when every callback queued on the handle so far has returned or
 * was dropped; at once when the handle is not open. Not from a callback. */
BRANNET_API void BrannetStandin_WaitDelivered(intptr_t handle);

/* Every call of a brannet.h function since the last reset or clear, one per
 * line, each line ended by "\n", in the order made: the name and its
 * arguments, for example
 *   GetDeviceList()
 *   OpenDeviceEx("HID://P1")
 *   SendCommandEx(4294967297, "0003")
 *   OnDataReceivedEx(4294967297)
 * Handles in decimal, texts in double quotes as given, a null text as null;
 * registrations show the handle only. Copies as much as fits into the buffer
 * (always zero-terminated when size > 0) and returns the log's full length
 * without the terminator. */
BRANNET_API size_t BrannetStandin_CallLog(char* buffer, size_t size);
BRANNET_API void BrannetStandin_ClearCallLog(void);

#ifdef __cplusplus
}
#endif

#endif
