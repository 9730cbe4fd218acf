package com.korvex.pelorix;

/**
 * A simulated reader of the newer platform on loopback TCP, inside the
 * test's JVM, made by a test-only native library. It answers every command
 * with success; after a transaction's start it announces card inserted, a
 * display text, approval, completion and card removed, 10 ms apart.
 */
final class SimulatedReader implements AutoCloseable {
    static {
        System.loadLibrary("pelorixj_test_devices");
    }

    private final long reader = start();

    private static native long start();

    private static native void stop(long reader);

    private static native String address(long reader);

    private static native void pushNotification(long reader, int id, int code, int tag, String valueHex);

    private static native String waitForCommand(long reader, int code, int timeoutMs);

    private static native void clearReceived(long reader);

    /** "tcp://127.0.0.1:port". */
    String address() {
        return address(reader);
    }

    /** Sends a notification with one parameter (tag 0: none) to every connection. */
    void pushNotification(int id, int code, int tag, String valueHex) {
        pushNotification(reader, id, code, tag, valueHex);
    }

    /** The first command of the code received, as its inner parameters "82=3C A3=..."; null when none came. */
    String waitForCommand(int code) {
        return waitForCommand(reader, code, 5000);
    }

    void clearReceived() {
        clearReceived(reader);
    }

    @Override
    public void close() {
        stop(reader);
    }
}
