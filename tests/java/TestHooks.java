package com.korvex.pelorix;

/**
 * What the test build of Pelorixj offers the tests beyond the SDK's
 * methods.
 */
final class TestHooks {
    static {
        System.loadLibrary("Pelorixj");
    }

    private TestHooks() {
    }

    /**
     * Gives every wait of a newer-platform device's control (reply, file,
     * firmware) a minute, so that a loaded machine fails no test that
     * expects the reader's answer. Before the device is used.
     */
    static native void roomyWaits(long device);

    /** A newer-platform device by address, its waits roomy. */
    static long newerDevice(String address) {
        long device = CoreAPI.GetDevice(3, 4, address);
        roomyWaits(device);
        return device;
    }
}
