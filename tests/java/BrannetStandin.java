package com.korvex.pelorix;

/**
 * The stand-in older-family library that Pelorixj loaded, driven through a
 * test-only native library. Readers are named by their open path; a reader
 * starts connected with product id 0, and its callbacks are delivered one at
 * a time on the thread of its open handle.
 */
final class BrannetStandin {
    static {
        System.loadLibrary("pelorixj_test_devices");
    }

    private BrannetStandin() {
    }

    /** Closes every handle and forgets the list, the readers and the call log. */
    static native void reset();

    /** The text that the library lists: addresses separated by ",". */
    static native void setDeviceList(String list);

    /** Makes a connected reader at the path, keeping one that exists; each setter makes one too. */
    static native void addDevice(String path);

    static native void setProductId(String path, int productId);

    /** The reply (hexadecimal text) to exactly this command text. */
    static native void setReply(String path, String command, String reply);

    /** The newest handle open on the reader; 0 when none is open. */
    static native long openHandle(String path);

    static native void fireConnectionState(long handle, boolean connected);

    static native void fireDataReceived(long handle, byte[] utf8);

    static native void fireDeviceResponse(long handle, byte[] utf8);

    static native void fireNotification(long handle, int code, byte[] utf8);

    /** Returns when every callback fired on the handle so far was delivered. */
    static native void waitDelivered(long handle);

    /** The library's calls since the last time asked, one a line, such as SendCommandEx(1, "0003"). */
    static native String takeCallLog();
}
