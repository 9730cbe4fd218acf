package com.korvex.pelorix;

/**
 * Devices that no family provides, for the wrapper tests, made by a test
 * build of Pelorixj that the tests using them load instead of the SDK's. A
 * fake records every call with its arguments ("StartTransaction Timeout=30
 * ..."), answers with its text (any UTF-8 bytes, ill-formed included) and
 * number, and raises chosen events on native threads. Fakes are live
 * devices: CoreAPI.ReleaseDevice releases them too.
 */
final class FakeDevice {
    static {
        System.loadLibrary("Pelorixj");
    }

    private FakeDevice() {
    }

    /**
     * Makes a fake. Its name, address and device information hold text; its
     * connection type, state and payment methods are number, its device
     * type number + 1. Its control and its configuration (none unless
     * answer) throw on every call; its requests answer answer.
     */
    static native long make(byte[] text, int number, boolean answer, boolean throwing);

    /** Releases the fake without closing it; nothing when it is released already. */
    static native void free(long device);

    /** The calls since the last time asked, one a line. */
    static native String takeCalls(long device);

    /** The device's user-data word. */
    static native long userData(long device);

    /** Raises each list on a native thread of its own, all at once; returns when all are raised. */
    static native void raise(long device, int eventType, byte[][][] payloadsPerThread);

    /** Raises "0", "1", ... on a native thread until stopRaising, which returns how many. */
    static native void startRaising(long device, int eventType);

    static native int stopRaising(long device);
}
