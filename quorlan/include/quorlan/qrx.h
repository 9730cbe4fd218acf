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

#if defined(_WIN32)
#define QRX_API __declspec(dllexport)
#else
#define QRX_API __attribute__((visibility("default")))
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

#ifdef __cplusplus
}
#endif

#endif /* QUORLAN_QRX_H */
