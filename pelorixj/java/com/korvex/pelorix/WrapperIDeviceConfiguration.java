package com.korvex.pelorix;

/**
 * Configuration operations of a newer-platform device (device type 3),
 * named by a handle from {@link WrapperIDevice#GetDeviceConfiguration(long)};
 * the older family has none. Each runs on the calling thread until it has
 * ended; operations with a callback report through it meanwhile. Number
 * arguments pass on only the bits named; a null byte[] reads as empty. A
 * handle that names no live configuration (0, of a released device, or of
 * a device or control) gives the method's failure value, and the callback
 * is not called.
 * What the callback, or a {@link DeviceEventListener}, throws on the
 * calling thread is thrown from the method once the operation has ended:
 * the first exception when there are several.
 *
 * <p>No operation opens the device: on a closed one each fails. Every
 * request waits up to 1000 ms for its reply, counted once it is written (a
 * write to a TCP reader fails after 5 s without progress); files wait 5 s,
 * firmware 10 s and its installation up to 900 s. Closing the device ends
 * every wait at once. The callback may be null, and a callback without one
 * of the methods is not asked for it.
 */
public final class WrapperIDeviceConfiguration {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDeviceConfiguration() {
    }

    /**
     * Reads a piece of device information: the value that the reader keeps
     * at a tag path of its configuration (command D101), by selector:
     * 0 E2.E1.E1.E1.C1, as hexadecimal text cut to its first 7 digits;
     * 1 E1.E2.E2.E2.C2, 2 E2.E1.E1.E1.C2, 3 E1.E2.E1.E1.C2, 4 E1.E2.E1.E2.C2,
     * as text up to its first zero byte, trailing blanks removed;
     * 5 E1.E2.E6.E1.C1, 6 E3.E1.E1.E2.C3, 7 E3.E1.E2.E1.C1, 8 E3.E1.E2.E1.C2,
     * as hexadecimal text. What each value means is the reader's.
     *
     * <p>On failure: the empty string, for a handle that names no live
     * configuration, a selector outside 0 to 8 (nothing is sent), a device
     * that is not open, no reply within the wait, and a reader that refuses
     * the request (a status code other than 0) or has no value there.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param selector which information, 0 to 8
     * @return the information
     */
    public static native String GetDeviceInfo(long configuration, int selector);

    /**
     * Reads configuration information: command D101 with the type as
     * parameter 85 and the data as 89; the reply's parameter 89, whatever
     * the reply's status.
     *
     * <p>On failure: an empty array, for a handle that names no live
     * configuration, a device that is not open, no reply within the wait,
     * and a reply without parameter 89 (as a refusal usually is).
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param type the configuration type (low 8 bits)
     * @param data the request data
     * @return the information
     */
    public static native byte[] GetConfigInfo(long configuration, int type, byte[] data);

    /**
     * Reads key information: command EF11 with the data as parameter 81 (the
     * key type is not sent); the reply's parameter 84, whatever the reply's
     * status.
     *
     * <p>On failure: an empty array, for a handle that names no live
     * configuration, a device that is not open, no reply within the wait,
     * and a reply without parameter 84.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param keyType the key type; not sent
     * @param data the request data
     * @return the information
     */
    public static native byte[] GetKeyInfo(long configuration, int keyType, byte[] data);

    /**
     * Asks the device for a challenge token: command E001 with the two
     * request bytes, the id of the challenge, as parameter 81; the reply's
     * parameter 83.
     *
     * <p>On failure: an empty array, for a handle that names no live
     * configuration, a request that is not exactly 2 bytes (nothing is
     * sent), a device that is not open, no reply within the wait, and a
     * reply without parameter 83.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param request the challenge's id, 2 bytes
     * @return the token
     */
    public static native byte[] GetChallengeToken(long configuration, byte[] request);

    /**
     * Writes configuration information: command D111 with the type as
     * parameter 85 and the data as 89. The callback's OnResult gets 0 and
     * the whole reply when the reader's status code is 0, else 2 and the
     * reply (empty when none came).
     *
     * <p>On failure: the reader's status code when it refuses; 2 for a
     * device that is not open and no reply within the wait; -1 for a handle
     * that names no live configuration.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param type the configuration type (low 8 bits)
     * @param data the configuration data
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0, the reader's status code, on success
     */
    public static native int SetConfigInfo(long configuration, int type, byte[] data, Object callback);

    /**
     * Updates key information: command EF01 with the data as parameter 84.
     * The type is not sent and the callback is not called.
     *
     * <p>On failure: the reader's status code when it refuses; 2 for a
     * device that is not open and no reply within the wait; -1 for a handle
     * that names no live configuration.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param type the key type; not sent
     * @param data the key data
     * @param callback not called
     * @return 0, the reader's status code, on success
     */
    public static native int UpdateKeyInfo(long configuration, int type, byte[] data, Object callback);

    /**
     * Sends a firmware image with its SHA-256 digest (command D801), waits
     * for the reader to find it good, commands its installation (D901) and
     * waits for the reader to report it installed. The callback's
     * OnProgress is told 1, 10, 11 to 60 while the image is written, 66, 68,
     * 99 and 100; then OnResult gets 0 or 2 and no data. Meanwhile the
     * listener hears none of the reader's messages.
     *
     * <p>On failure: 2, for a device that is not open, no reply or report
     * within a wait, a reader that refuses the image or the installation or
     * reports a firmware failure (notification 0906), a device closed
     * meanwhile, and an image over 3 997 694 bytes, whose command is longer
     * than the reader's packets can carry (no byte of it is sent); -1 for a
     * handle that names no live configuration.
     * <p>Longest wait: writing the image, 10 s for the reply, 10 s for the
     * report that the image is good, 1000 ms for the installation's reply
     * and 900 s for its end.
     *
     * @param configuration the configuration handle
     * @param firmwareType the firmware type (low 16 bits)
     * @param image the firmware image
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0 when the reader reported the image installed
     */
    public static native int UpdateFirmware(long configuration, int firmwareType, byte[] image, Object callback);

    /**
     * Reads a file from the device: command D821 with the file's id as
     * parameter 81, then the wait for the file. The file's content is the
     * payload of the first file message (event 12) that names the requested
     * file: bytes 4 to 7 of its header (parameter 1) are the id; messages of
     * other files are not taken. The file may come before the reply. Events
     * go on meanwhile. The callback's OnResult gets 0 and the content, or 1
     * and no data when the reader accepted the request but no such file came.
     *
     * <p>On failure: 2, for a device that is not open, no reply within the
     * wait, a reader that refuses the request (a status code other than 0;
     * the callback is not called), and no file within the wait or a device
     * closed while it waits for the file (OnResult gets 1); 3, with nothing
     * sent, for an id that is not 4 bytes; -1 for a handle that names no
     * live configuration.
     * <p>Longest wait: the 1000 ms reply wait, then 5 s for the file.
     *
     * @param configuration the configuration handle
     * @param fileId the file's id, 4 bytes
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0 when the file came
     */
    public static native int GetFile(long configuration, byte[] fileId, Object callback);

    /**
     * Sends a file to the device: an announcement (command D812) with the
     * file's id, size and SHA-256 digest, and once the reader accepts it the
     * content as one file message. The callback's OnProgress is told the
     * percentage written, 1 to 100; then OnResult gets 0 or 2 and no data.
     *
     * <p>On failure: 2, for empty content (nothing is sent; the callback is
     * not called), content over 3 997 738 bytes, whose file message is
     * longer than the reader's packets can carry (nothing is sent), a device
     * that is not open, no reply within a wait, a reader that refuses the
     * announcement or the content, and an id that is empty or, read as a
     * number, exceeds 7FFFFFFF (the announcement goes out, the content does
     * not); -1 for a handle that names no live configuration.
     * <p>Longest wait: the 1000 ms reply wait for the announcement, then
     * writing the content and 5 s for its reply.
     *
     * @param configuration the configuration handle
     * @param fileId the file's id, at most 7FFFFFFF read as a number
     * @param data the file's content
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0 when the reader accepted the file
     */
    public static native int SendFile(long configuration, byte[] fileId, byte[] data, Object callback);

    /**
     * Sends a file signed with a MAC that the callback computes: the reader's
     * challenge for command D811 (command E001), the announcement of
     * {@link #SendFile} under D811 signed over the challenge, for which
     * OnCalculateMAC is called once with MAC type 0 (a status other than 0,
     * or no callback, signs with an empty MAC), then the content. OnProgress
     * and OnResult as for {@link #SendFile}.
     *
     * <p>On failure: 2, for content over 3 997 738 bytes (nothing is sent,
     * not even the challenge request; OnCalculateMAC is not called), a
     * device that is not open, no reply within a wait, a reader that refuses
     * the signed announcement or the content, and a name that is empty or,
     * read as a number, exceeds 7FFFFFFF; -1 for a handle that names no live
     * configuration.
     * <p>Longest wait: two 1000 ms reply waits (challenge, announcement),
     * then writing the content and 5 s for its reply.
     *
     * @param configuration the configuration handle
     * @param fileName the file's id, at most 7FFFFFFF read as a number
     * @param data the file's content
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0 when the reader accepted the file
     */
    public static native int SendSecureFile(long configuration, byte[] fileName, byte[] data, Object callback);

    /**
     * Stores an image in a slot of the device: {@link #SendFile} with the
     * slot's file id, 02000000 for slot 1 to 02000003 for slot 4.
     *
     * <p>On failure: 3, with nothing sent, for a slot other than 1 to 4;
     * otherwise as for {@link #SendFile}: 2, or -1 for a handle that names
     * no live configuration.
     * <p>Longest wait: as for {@link #SendFile}.
     *
     * @param configuration the configuration handle
     * @param imageSlot the slot, 1 to 4 (low 8 bits)
     * @param data the image
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return 0 when the reader accepted the image
     */
    public static native int SendImage(long configuration, int imageSlot, byte[] data, Object callback);

    /**
     * Chooses the image that the display shows when idle: writes the byte at
     * the tag path E2.E3.E1.E1.C1 of the reader's configuration (command
     * D111).
     *
     * <p>On failure: the reader's status code when it refuses; 2 for a
     * device that is not open and no reply within the wait; -1 for a handle
     * that names no live configuration.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param configuration the configuration handle
     * @param imageId the image (low 8 bits)
     * @return 0, the reader's status code, on success
     */
    public static native int SetDisplayImage(long configuration, int imageId);
}
