package com.korvex.pelorix;

/**
 * Drives the native event and configuration-callback adapters without a
 * device, through a test-only native library. Payloads are UTF-8 bytes, so
 * that ill-formed text can be sent too.
 */
final class CallbackFakes {
    static {
        System.loadLibrary("pelorixj_callback_fakes");
    }

    private CallbackFakes() {
    }

    /** Raises the events through one dispatcher on the calling thread. */
    static native void raiseOnThisThread(Object listener, int eventType, byte[][] payloads);

    /** Raises each list on a new native thread of its own, all at once; returns when all are done. */
    static native void raiseOnNewThreads(Object listener, int eventType, byte[][][] payloadsPerThread);

    /** Raises the events rounds times on a detached native thread, which then ends; returns at once. */
    static native void raiseOnDetachedThread(Object listener, int eventType, byte[][] payloads, int rounds);

    /**
     * Raises the events on a native thread that attached itself first.
     *
     * @return whether the thread was still attached after the events
     */
    static native boolean raiseOnAttachedThread(Object listener, int eventType, byte[][] payloads);

    /** Reports each value through OnProgress. */
    static native void reportProgress(Object callback, int[] values);

    /** Reports the same result through OnResult, times times. */
    static native void reportResult(Object callback, int status, byte[] data, int times);

    /**
     * Asks OnCalculateMAC times times.
     *
     * @return the last answer as "status:MAC in hexadecimal"
     */
    static native String calculateMac(Object callback, int macType, byte[] data, int times);

    /** The text as the native side reads it. */
    static native byte[] utf8Of(String text);

    /** The bytes copied into native memory and back. */
    static native byte[] copyBytes(byte[] data);

    /** "ok", or the failure value (a new empty string) when failure is 1 (C++) or 2 (Java). */
    static native String guarded(int failure);
}
