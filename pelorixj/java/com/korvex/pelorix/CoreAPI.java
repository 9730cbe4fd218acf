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
     * Returns the version of the native interface, 116.
     *
     * <p>On failure: none; the method always returns 116.
     * <p>Longest wait: none.
     *
     * @return the interface version, 116
     */
    public static native int GetAPIVersion();

    /**
     * Returns the name of a connection type: 0 "USB", 1 "BLE", 2 "BLEEMV",
     * 3 "BLEEMVT", 4 "TCP", 5 "TLS12", 6 "TLS12TRUST", 7 "SERIAL",
     * 8 "WebSocket".
     *
     * <p>On failure: the empty string, for any other number and when the
     * string cannot be made.
     * <p>Longest wait: none.
     *
     * @param connectionType the connection type
     * @return its name
     */
    public static native String GetConnectionTypeString(int connectionType);

    /**
     * Returns the connection type of a name of {@link #GetConnectionTypeString},
     * ignoring case.
     *
     * <p>On failure: 0 (which is also USB's number), for an unknown name or
     * null.
     * <p>Longest wait: none.
     *
     * @param name a connection type name such as "TCP"
     * @return its connection type
     */
    public static native long GetConnectionTypeFromStringJ(String name);

    /**
     * Tells whether devices of a type can be listed on a connection type:
     * true for device type 3 on USB (0) and for device type 0 on connection
     * types 0 to 3. Other devices are reached by address with
     * {@link #GetDevice}.
     *
     * <p>On failure: false, for any other pair.
     * <p>Longest wait: none.
     *
     * @param deviceType the device type
     * @param connectionType the connection type
     * @return true when listing is possible
     */
    public static native boolean IsEnumable(int deviceType, int connectionType);

    /**
     * Returns the connection types that a device type names as its own: 0, 8
     * and 7 for device type 3 (which also opens TCP addresses, type 4), and 0,
     * 1, 2, 3 and 7 for device type 0.
     *
     * <p>On failure: an empty array, for an unknown device type.
     * <p>Longest wait: none.
     *
     * @param deviceType the device type
     * @return the connection types
     */
    public static native long[] GetConnectionTypes(int deviceType);

    /**
     * Lists the devices of a device type on every connection type that
     * {@link #IsEnumable} names. Listing again gives the same handles for the
     * same readers; an open device of the newer platform stays listed after
     * its reader is gone. Nothing is opened.
     *
     * <p>On failure: an empty array, also when no reader is found, for an
     * unknown device type, and for the older family without its outside
     * library or its GetDeviceList function.
     * <p>Longest wait: the newer platform's USB listing reads the system's
     * device files; the older family asks its outside library for its list
     * once per connection type 0 to 3, for as long as the library takes.
     *
     * @param deviceType the device type
     * @return device handles
     */
    public static native long[] GetDeviceList(int deviceType);

    /**
     * Lists the devices of a device type on one connection type, as
     * {@link #GetDeviceList} does: for device type 3 on TCP (4), the TCP
     * devices that are open; for device type 0 also on serial (7).
     *
     * <p>On failure: an empty array, as for {@link #GetDeviceList}.
     * <p>Longest wait: as for {@link #GetDeviceList}, for one connection type.
     *
     * @param deviceType the device type
     * @param connectionType the connection type
     * @return device handles
     */
    public static native long[] GetDeviceListWithConnectionType(int deviceType, int connectionType);

    /**
     * Returns the device at an address without opening it. Newer platform:
     * the device made earlier for the same address (or listed with it as its
     * path), else a new one; an empty USB address takes the first listed
     * reader. Older family: the device listed at that address, else a new
     * one. Neither the connection type nor the address is checked here: a
     * wrong one shows when the device opens.
     *
     * <p>On failure: 0, for a device type other than 0 and 3 and when the
     * device cannot be made.
     * <p>Longest wait: none.
     *
     * @param deviceType the device type, 3 or 0
     * @param connectionType the connection type, such as 4 for
     *     "tcp://host[:port]" (device type 3) or 0 for USB
     * @param address the device's address
     * @return a device handle
     */
    public static native long GetDevice(int deviceType, int connectionType, String address);

    /**
     * Closes and destroys a device; its handle, and those of its control and
     * configuration, name nothing afterwards. An open link closes; for the
     * newer platform the listener hears "disconnected" (event 0). Calls that
     * run on the device on other threads then fail or end their waits early,
     * and keep it in memory until they return.
     *
     * <p>A listener or callback may release any device, its own or another,
     * from inside its call. There the release waits for no event thread: it
     * returns once the link is taken and the listener unsubscribed, and the
     * library's close and the device's destruction go on, on a thread of
     * their own; events already under way on other threads may still reach
     * the listener. Called on any other thread, it returns once the link is
     * closed (also a link whose close a listener, or the report of a lost
     * reader, left going on), and no event reaches the listener afterwards.
     *
     * <p>On failure: nothing is reported. A handle that names no live device
     * (0, released, of a control or configuration) is ignored; a device
     * whose link cannot be closed stays live.
     * <p>Longest wait: up to 1000 ms for a file read that the device runs by
     * itself to end, and an open of the device under way on another thread;
     * then, outside a listener or callback, closing the link, which waits
     * for an event that is being delivered to the listener on another thread
     * at that moment; the older family's outside library closes in its own
     * time.
     *
     * @param device a device handle
     */
    public static native void ReleaseDevice(long device);

    /**
     * Releases each device of a list, in order, as {@link #ReleaseDevice}
     * does.
     *
     * <p>On failure: nothing is reported; null reads as an empty list, and
     * handles that name no live device are skipped.
     * <p>Longest wait: that of {@link #ReleaseDevice} for each device.
     *
     * @param devices device handles
     */
    public static native void ReleaseDeviceList(long[] devices);
}
