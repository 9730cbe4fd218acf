/*
 * Quorlan: the flat C interface of the device messaging library.
 *
 * Messages cross this interface as hexadecimal text: upper-case pairs are
 * written, either case is read. Every text that a function returns lies in
 * one of three library-owned output buffers (named below as buffer 0, 1 or
 * 2) or is a fixed empty text when the function fails. The caller never frees
 * a returned text; it stays valid until its buffer wraps over it, so copy
 * what you keep. Handles are pointer-sized; 0 and -1 mean "no object".
 * No function lets an exception escape: each reports failure by its result.
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
 * Handles 0 and -1 and a null value are ignored.
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

#ifdef __cplusplus
}
#endif

#endif /* QUORLAN_QRX_H */
