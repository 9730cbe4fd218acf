/*
 * Quorlan: the flat C interface of the device messaging library.
 *
 * Messages cross this interface as hexadecimal text: upper-case pairs are
 * written, either case is read. Every text that a function returns lies in
 * one of three library-owned output buffers (named below as buffer 0, 1 or
 * 2) or is a fixed empty text when the function fails. The caller never frees
 * a returned text; it stays valid until its buffer wraps over it, so copy
 * what you keep. A text too large for its 4 MB buffer (a firmware image, a
 * file) is kept apart and stays valid only until the next such text of the
 * same buffer. The buffers take memory as they first fill: at most 12 MB,
 * plus per buffer the largest text kept apart. Handles are pointer-sized; 0
 * and -1 mean "no object". A device handle is never handed out twice in a
 * process: given a handle that is not (or no longer) an open device, each
 * function returns its failure result.
 * No function lets an exception escape: each reports failure by its result.
 * Hexadecimal text that is not whole pairs of digits is read leniently
 * ("ABC" as AB 0C, "zz" as 00), not refused.
 */
#ifndef QUORLAN_QRX_H
#define QUORLAN_QRX_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define QRX_CALL __stdcall
#else
#define QRX_CALL
#endif

/* The 32-bit Windows build defines QRX_API empty: its .def file names the exports. */
#ifndef QRX_API
#if defined(_WIN32)
#define QRX_API __declspec(dllexport)
#else
#define QRX_API __attribute__((visibility("default")))
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Client certificate ------------------------------------------------- */

/*
 * Imports the client certificate and its chain from a PKCS #12 (PFX) blob
 * and keeps the chain, from the end-entity certificate to its root, for the
 * life of the library. type must be exactly "PKCS12"; blob holds blobLength
 * bytes; the password is its first passwordLength bytes, ending early at a
 * zero byte. Every call first drops the chain kept before.
 * Returns 0 when at least one certificate was imported; 2 for another type,
 * a missing or empty blob, or a blob that gives no certificate (including a
 * wrong password); 3 when password is null or passwordLength is below 1;
 * -1 when loading failed unexpectedly. Not to be called on two threads at once.
 */
QRX_API int QRX_CALL loadClientCertificate(const char* type, const unsigned char* blob, int blobLength,
                                           const char* password, int passwordLength);

/* ---- Command building ---------------------------------------------------- */

/*
 * Creates a command with the low 16 bits of commandCode and no parameters.
 * Returns its handle, owned by the caller until QRX_DeleteCommand; 0 on failure.
 */
QRX_API intptr_t QRX_CALL QRX_CreateCommand(int commandCode);

/*
 * Sets one parameter of the command from its tag (low 8 bits: 0x81..0x9E or
 * 0xA0..0xBE) and a hexadecimal value; setting a tag again replaces its value.
 * Tag 0x80 is written as 0x80 and every other tag as 0xFF (one value for all
 * of them), in front of the others. Handles 0 and -1 and a null value are
 * ignored.
 */
QRX_API void QRX_CALL QRX_SetCommandParameter(intptr_t command, int tag, const char* hexValue);

/*
 * Returns the command's message bytes as hexadecimal text (buffer 1). Each
 * call gives the envelope a fresh sequence number. The empty text for
 * handles 0 and -1.
 */
QRX_API const char* QRX_CALL QRX_GetCommandBytesInHex(intptr_t command);

/* Destroys the command. Handles 0 and -1 are ignored. */
QRX_API void QRX_CALL QRX_DeleteCommand(intptr_t command);

/*
 * Builds a command from formatted command text and returns its message bytes
 * as hexadecimal text (buffer 0). The text is a hexadecimal command code
 * followed by comma-separated items TAG=VALUE in hexadecimal, such as
 * "1001,81=000100,82=01". A piece may start with one white-space character;
 * a tag given twice keeps the last value. Returns the empty text when the
 * text does not follow this form.
 */
QRX_API const char* QRX_CALL QRX_GetFormattedCommandBytesInHex(const char* formattedCommand);

/* ---- Reading messages ---------------------------------------------------- */
/*
 * Each function below reads the hexadecimal message text afresh and keeps
 * nothing. A null text argument, text that is not such a message and any
 * other failure give the failure result named. Failure results can equal
 * real values (a status of 0xFF, an id of 0): check QRX_IsNotification or
 * QRX_IsFile first, or compare a returned text with the empty text.
 *
 * Tag paths select a value inside a message's parameters: dot-separated
 * hexadecimal tags, the first a parameter tag (0x80..0xBE), each further one
 * an item tag (upper-case; tags are compared as written) with an optional
 * occurrence index from 0, such as "E2.E1.E1.E1.C1" or "A4.A4.A0(1).81".
 * A tag that matches nothing leaves the value selected so far.
 */

/*
 * Tells whether hexMessage is a notification of the given code and id.
 * code 0 and id 0 match any notification; with a non-zero code, id 0
 * matches any id of that code. Returns 1 or 0; 0 on failure.
 */
QRX_API uint8_t QRX_CALL QRX_IsNotification(const char* hexMessage, uint32_t code, uint16_t id);

/* Returns the notification's 32-bit code; 0 on failure. */
QRX_API uint32_t QRX_CALL QRX_GetNotificationCode(const char* hexMessage);

/* Returns the notification's 16-bit id; 0 on failure. */
QRX_API uint32_t QRX_CALL QRX_GetNotificationId(const char* hexMessage);

/*
 * Returns the bytes at tagPath in the notification's data as hexadecimal
 * text (buffer 0). The empty text on failure or when the value is empty.
 */
QRX_API const char* QRX_CALL QRX_GetNotificationParameter(const char* hexMessage, const char* tagPath);

/*
 * Returns the bytes at tagPath in the response's data as hexadecimal text
 * (buffer 0). The empty text on failure or when the value is empty.
 */
QRX_API const char* QRX_CALL QRX_GetResponseParameter(const char* hexMessage, const char* tagPath);

/* Returns the response's command status; 0xFF on failure. */
QRX_API int32_t QRX_CALL QRX_GetCommandStatus(const char* hexResponse);

/* Returns the response's operation status; 0xFF on failure. */
QRX_API int32_t QRX_CALL QRX_GetOperationStatus(const char* hexResponse);

/* Returns the 16-bit code of the command the response answers; 0 on failure. */
QRX_API uint32_t QRX_CALL QRX_GetResponseCommandID(const char* hexResponse);

/*
 * Returns operation status * 256 + command status (0 = success); 0xFF on
 * failure.
 */
QRX_API int32_t QRX_CALL QRX_GetStatusCode(const char* hexResponse);

/* Returns 1 when hexMessage is a file message with a payload, else 0. */
QRX_API uint8_t QRX_CALL QRX_IsFile(const char* hexMessage);

/*
 * Returns the file message's 32-bit file identifier; 0 on failure.
 * Exported as _QRX_GetFileID@4 by the 32-bit Windows build.
 */
QRX_API uint32_t QRX_CALL QRX_GetFileID(const char* hexMessage);

/*
 * Returns the file message's payload as hexadecimal text (buffer 0); the
 * empty text on failure.
 */
QRX_API const char* QRX_CALL QRX_GetFilePayload(const char* hexMessage);

/*
 * Builds a file message carrying payloadHex for the given file identifier
 * and 16-bit code, and returns its bytes as hexadecimal text (buffer 0).
 * The empty text on failure.
 */
QRX_API const char* QRX_CALL QRX_GetFileMessage(uint32_t fileId, const char* payloadHex, uint16_t code);

/* ---- Self-test ----------------------------------------------------------- */

/*
 * Encodes and decodes commands with parameters of many sizes; needs no
 * reader and touches no device. It advances the command sequence counter by
 * 19602 draws. The result carries no information. Exported as _TestMain@0
 * by the 32-bit Windows build.
 */
QRX_API int QRX_CALL TestMain(void);

/* ---- Devices -------------------------------------------------------------- */

/*
 * Connection types: 0 USB HID, 4 TCP. Types 1, 5 and 8 are accepted by name
 * but cannot be opened; every other type is refused.
 */

/*
 * Called with status 1 when an open device is closed, with 0 once when a TCP
 * link is lost (the reader closed or reset it, or a read or write failed),
 * and with the error code of a failed read when a USB HID link fails. The
 * device stays open after such a code (close it with QRX_CloseDevice); a
 * status of 0 closes it by itself: waits under way on it end at once with
 * their failure result, later sends fail, and its handle stays valid until
 * QRX_CloseDevice. Each link reports its end once: QRX_CloseDevice reports
 * status 1 for a link still open, or 0 for one that failed just before and
 * whose loss was not reported yet. Runs on a new thread for each event; two
 * events may run at once.
 * The device may already be closed when the callback runs (always for a
 * status that QRX_CloseDevice reports): its handle then only identifies it,
 * and functions given it fail.
 */
typedef void(QRX_CALL* QRX_DeviceStatusChangeCallback)(void* device, int status);

/*
 * Called with every message the device receives, as hexadecimal text
 * (buffer 0), one call at a time and in arrival order, on a worker thread of
 * the device (never the thread that reads the link). The callback may send
 * and wait on the same device.
 */
typedef void(QRX_CALL* QRX_DataArriveCallback)(void* device, const char* hexMessage);

/* Called on the sending thread with the fraction (0 to 1) of the message written. */
typedef void(QRX_CALL* QRX_ProgressCallback)(void* user, double fraction);

/*
 * Lists the readers of a connection type as a JSON array of objects with the
 * keys "DSN", "Name", "Product", "PID", "VID" and "Path" (buffer 2); "[]" when
 * there are none (only USB HID lists readers). The empty text for a refused
 * type.
 */
QRX_API const char* QRX_CALL QRX_GetDeviceList(int connectionType);

/*
 * Opens a device: for USB HID the address is a device path from the list
 * (the empty text opens the first reader found); for TCP it is
 * "tcp://host[:port]" (port 8888 by default). Returns the device handle,
 * owned by the library until QRX_CloseDevice; -1 on failure.
 */
QRX_API intptr_t QRX_CALL QRX_OpenDevice(int connectionType, const char* address);

/*
 * Closes and destroys the device (status 1 when it was open, see
 * QRX_DeviceStatusChangeCallback); a report of the link's loss under way is
 * made before it returns, and no data callback starts after it returns. A call of another thread still running
 * on the device ends soon (a wait ends empty) and the device is freed when it
 * returns. Handles 0 and -1 and handles that are not live are ignored.
 */
QRX_API void QRX_CALL QRX_CloseDevice(intptr_t device);

/* 1 while the device is open; 0 otherwise and for handles 0 and -1. */
QRX_API uint8_t QRX_CALL QRX_IsDeviceOpened(intptr_t device);

/* Stores a value of the caller's with the device; the library never reads it. */
QRX_API void QRX_CALL QRX_AttachObjectToDevice(intptr_t device, intptr_t object);

/* The value stored with QRX_AttachObjectToDevice; 0 for handles 0 and -1. */
QRX_API intptr_t QRX_CALL QRX_GetAttachedObject(intptr_t device);

/* Sets (or replaces) the device's status callback. Handles 0 and -1 are ignored. */
QRX_API void QRX_CALL QRX_SetDeviceStatusChangeCallback(intptr_t device, QRX_DeviceStatusChangeCallback callback);

/*
 * Sets (or replaces) the device's data callback; null stops delivery.
 * Messages that arrive while no callback is set are dropped.
 */
QRX_API void QRX_CALL QRX_SetDataArriveCallback(intptr_t device, QRX_DataArriveCallback callback);

/*
 * The longest message a device carries, in bytes: the packets on USB HID and
 * TCP number their continuations with 16 bits. Longer messages are refused
 * before anything is written.
 */
#define QRX_MAX_MESSAGE_LENGTH 3997755

/*
 * Sends a message without waiting. Returns 0 once the whole message is
 * written (a message of more than one packet sent from a progress callback
 * goes out after the message in progress: 0 then means that it is queued),
 * 5 for handles 0 and -1 and handles that are not live, 0xFF when it was not
 * sent: a device that is not open, a message longer than
 * QRX_MAX_MESSAGE_LENGTH (nothing written), a write that failed (the rest of
 * the message is not written, and a TCP link is then lost), or any other
 * failure.
 */
QRX_API int QRX_CALL QRX_SendMessage(intptr_t device, const char* hexMessage);

/*
 * Sends a message and waits up to timeoutMs for a response; returns it as
 * hexadecimal text (buffer 0). The empty text on time-out, and at once for a
 * device that is not open, a message longer than QRX_MAX_MESSAGE_LENGTH
 * (nothing written), a write that failed, a link lost during the wait, and
 * on failure. Notifications that arrive meanwhile still reach
 * the data callback, as does the response. Waits on one device may overlap
 * (other threads, data and progress callbacks): a response goes to one wait
 * only, the one whose command it answers (same command code, then same
 * sequence byte where the reader echoes it). A response to one of the last
 * 32 commands sent whose wait has ended, or that was sent without a wait
 * (QRX_SendMessage), goes to no wait; one that answers nothing sent goes to
 * the oldest wait. A message sent again with the same command code and
 * sequence byte cannot be told from the earlier one: its wait takes the first
 * such response, a late one to the earlier message included.
 */
QRX_API const char* QRX_CALL QRX_SendAndReceiveMessage(intptr_t device, const char* hexMessage, int timeoutMs);

/* QRX_SendAndReceiveMessage with the bytes of a command (a fresh sequence number). */
QRX_API const char* QRX_CALL QRX_SendCommand(intptr_t device, intptr_t command, int timeoutMs);

/*
 * Sends a command given as formatted command text (see
 * QRX_GetFormattedCommandBytesInHex) and waits for the response. Returns it
 * as formatted response text (buffer 0): the command id, the statuses and the
 * response's parameters, such as
 * "1001,CommandStatus=0,OperationStatus=11,81=01,84=ABCD". Returns a null
 * pointer (not the empty text) on time-out and every other failure.
 */
QRX_API const char* QRX_CALL QRX_SendFommatedCommand(intptr_t device, const char* formattedCommand, int timeoutMs);

/*
 * QRX_SendCommand that reports the progress of the writing through
 * callback(user, fraction) on the calling thread; a null callback reports none.
 */
QRX_API const char* QRX_CALL QRX_SendCommandWithProgress(intptr_t device, intptr_t command,
                                                         QRX_ProgressCallback callback, void* user, int timeoutMs);

/* QRX_SendCommandWithProgress with the message given as hexadecimal text. */
QRX_API const char* QRX_CALL QRX_SendCommandStringWithProgress(intptr_t device, const char* hexMessage,
                                                               QRX_ProgressCallback callback, void* user,
                                                               int timeoutMs);

/* ---- Transactions --------------------------------------------------------- */

/*
 * Each of these sends one command on an open device, waits up to 1000 ms and
 * returns the response's status code (operation status * 256 + command
 * status; 0 is success), or 5 when the device is not open, 13 when the output
 * pointer is null, 0xFF when no response came or on failure.
 */

/*
 * The card data record. Offsets in the 32-bit build: header 0, text 3,
 * value 1540, response 1812, size 1816. The 64-bit build uses the natural
 * layout of the same fields: response at 1816 (after 4 bytes of padding),
 * size 1824.
 */
typedef struct CardDataRecord {
  /* The first three bytes of the response's parameter 81; FF 00 00 when it is shorter. */
  uint8_t header[3];
  /* For the entries with index 1, 2 and 3: their "84" item as hexadecimal text, cut to 255 characters. */
  char text[3][256];
  uint8_t reserved1[769];
  /* For the entries with index 1, 2 and 3: their "81" item, big-endian (the index is the top byte). */
  uint32_t value[3];
  uint8_t reserved2[260];
  /* The whole response as hexadecimal text (buffer 1). */
  const char* response;
} CardDataRecord;

/*
 * Starts a transaction (command 1001). amount is sent unscaled as parameter
 * 81, its minimal big-endian bytes (1000 gives 03E8; nothing for 0 or less):
 * the library applies no unit, so give the amount in the reader's, minor
 * units of the currency as examples/transaction_demo.c does (1250 for
 * 12.50). b1, b2 and b3 are sent unchanged, in that order, as the three
 * bytes of parameter 82; the library gives them no meaning (the example
 * sends 3C 07 02). param84Hex, when not null, is sent as parameter 84. A
 * transaction whose response is lost stays started on the reader.
 */
QRX_API int QRX_CALL QRX_StartTransaction(intptr_t device, int amount, uint8_t b1, uint8_t b2, uint8_t b3,
                                          const char* param84Hex);

/* Cancels the transaction (command 1004). */
QRX_API int QRX_CALL QRX_CancelTransaction(intptr_t device);

/*
 * Reads the card data (command 1010, 81=01) into a record of the caller's,
 * which is cleared first; only its response is filled when the status is not 0.
 */
QRX_API int QRX_CALL QRX_GetCardData(intptr_t device, CardDataRecord* out);

/* Reads the authorization request data (command 1010, 81=02); *out receives the response text (buffer 1). */
QRX_API int QRX_CALL QRX_GetARQC(intptr_t device, const char** out);

/* Reads the batch data (command 1010, 81=03); *out receives the response text (buffer 1). */
QRX_API int QRX_CALL QRX_GetBatch(intptr_t device, const char** out);

#ifdef __cplusplus
}
#endif

#endif /* QUORLAN_QRX_H */
