package com.korvex.pelorix;

/**
 * Configuration operations of a device, named by a handle from
 * {@link WrapperIDevice#GetDeviceConfiguration(long)}. Each runs on the
 * calling thread until it has ended; operations with a callback report
 * through it meanwhile. Number arguments pass on only the bits named. A
 * handle that names no live configuration (0, of a released device, or of a
 * device or control) gives the method's failure value.
 * What the callback, or a {@link DeviceEventListener}, throws on the
 * calling thread is thrown from the method once the operation has ended:
 * the first exception when there are several.
 */
public final class WrapperIDeviceConfiguration {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDeviceConfiguration() {
    }

    /**
     * Reads a piece of device information.
     *
     * @param configuration the configuration handle
     * @param selector which information
     * @return the information; the empty string on failure
     */
    public static native String GetDeviceInfo(long configuration, int selector);

    /**
     * Reads configuration information.
     *
     * @param configuration the configuration handle
     * @param type the configuration type (low 8 bits)
     * @param data the request data
     * @return the information; empty on failure
     */
    public static native byte[] GetConfigInfo(long configuration, int type, byte[] data);

    /**
     * Reads key information.
     *
     * @param configuration the configuration handle
     * @param keyType the key type (low 8 bits)
     * @param data the request data
     * @return the information; empty on failure
     */
    public static native byte[] GetKeyInfo(long configuration, int keyType, byte[] data);

    /**
     * Asks the device for a challenge token.
     *
     * @param configuration the configuration handle
     * @param request the request data
     * @return the token; empty on failure
     */
    public static native byte[] GetChallengeToken(long configuration, byte[] request);

    /**
     * Writes configuration information.
     *
     * @param configuration the configuration handle
     * @param type the configuration type (low 8 bits)
     * @param data the configuration data
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int SetConfigInfo(long configuration, int type, byte[] data, Object callback);

    /**
     * Updates key information.
     *
     * @param configuration the configuration handle
     * @param type the key type (low 8 bits)
     * @param data the key data
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int UpdateKeyInfo(long configuration, int type, byte[] data, Object callback);

    /**
     * Sends a firmware image and installs it; this can take many minutes.
     *
     * @param configuration the configuration handle
     * @param firmwareType the firmware type (low 16 bits)
     * @param image the firmware image
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int UpdateFirmware(long configuration, int firmwareType, byte[] image, Object callback);

    /**
     * Reads a file from the device; its content arrives through OnResult.
     *
     * @param configuration the configuration handle
     * @param fileId the file's id
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int GetFile(long configuration, byte[] fileId, Object callback);

    /**
     * Sends a file to the device.
     *
     * @param configuration the configuration handle
     * @param fileId the file's id
     * @param data the file's content
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int SendFile(long configuration, byte[] fileId, byte[] data, Object callback);

    /**
     * Sends a file signed with a MAC that the callback computes.
     *
     * @param configuration the configuration handle
     * @param fileName the file's name
     * @param data the file's content
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int SendSecureFile(long configuration, byte[] fileName, byte[] data, Object callback);

    /**
     * Stores an image in a slot of the device.
     *
     * @param configuration the configuration handle
     * @param imageSlot the slot (low 8 bits)
     * @param data the image
     * @param callback an object with the methods of {@link ConfigurationCallback}
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int SendImage(long configuration, int imageSlot, byte[] data, Object callback);

    /**
     * Chooses the image that the display shows when idle.
     *
     * @param configuration the configuration handle
     * @param imageId the image (low 8 bits)
     * @return the operation's status, 0 on success; -1 on failure to call it
     */
    public static native int SetDisplayImage(long configuration, int imageId);
}
