package com.korvex.pelorix;

/**
 * Entry point of the SDK: the interface version, connection types and their
 * names, and the devices of a device type (3 for the newer platform, 0 for
 * the older family). A device is a {@code long} handle for
 * {@link WrapperIDevice}, valid until it is released here. Handles are
 * opaque numbers, never handed out twice in a process; 0 names nothing.
 * Any thread may use any handle, also while another thread releases it:
 * a call that names a released device, or a handle of another kind, gives
 * its failure value.
 * What a {@link DeviceEventListener} throws on the calling thread during a
 * call is thrown from the method once its work is done.
 */
public final class CoreAPI {
    static {
        System.loadLibrary("Pelorixj");
    }

    private CoreAPI() {
    }

    /**
     * Returns the version of the native interface.
     *
     * @return the interface version
     */
    public static native int GetAPIVersion();

    /**
     * Returns the name of a connection type, such as "USB" for 0.
     *
     * @param connectionType the connection type
     * @return its name, or the empty string for an unknown type
     */
    public static native String GetConnectionTypeString(int connectionType);

    /**
     * Returns the connection type of a name, ignoring case.
     *
     * @param name a connection type name such as "TCP"
     * @return its connection type, or 0 for an unknown name
     */
    public static native long GetConnectionTypeFromStringJ(String name);

    /**
     * Tells whether devices of a type can be listed on a connection type.
     *
     * @param deviceType the device type
     * @param connectionType the connection type
     * @return true when listing is possible
     */
    public static native boolean IsEnumable(int deviceType, int connectionType);

    /**
     * Returns the connection types that a device type supports.
     *
     * @param deviceType the device type
     * @return the connection types, empty for an unknown device type
     */
    public static native long[] GetConnectionTypes(int deviceType);

    /**
     * Lists the devices of a device type on every connection type that can be listed.
     *
     * @param deviceType the device type
     * @return device handles, empty when none is found or listing fails
     */
    public static native long[] GetDeviceList(int deviceType);

    /**
     * Lists the devices of a device type on one connection type.
     *
     * @param deviceType the device type
     * @param connectionType the connection type
     * @return device handles, empty when none is found or listing fails
     */
    public static native long[] GetDeviceListWithConnectionType(int deviceType, int connectionType);

    /**
     * Returns the device at an address, the one already listed there if any.
     *
     * @param deviceType the device type
     * @param connectionType the connection type
     * @param address the device's address
     * @return a device handle, or 0 when there is none
     */
    public static native long GetDevice(int deviceType, int connectionType, String address);

    /**
     * Closes and destroys a device; its handle, and those of its control and
     * configuration, name nothing afterwards. Calls that run on the device on
     * other threads finish first. A listener may release its own device
     * from inside an event.
     *
     * @param device a device handle; 0, a released device and any handle
     *     that names no device are ignored
     */
    public static native void ReleaseDevice(long device);

    /**
     * Releases each device of a list, in order.
     *
     * @param devices device handles
     */
    public static native void ReleaseDeviceList(long[] devices);
}
