package com.korvex.pelorix;

/**
 * A configuration handle, made by a test-only native library, whose every
 * operation reports progress 1 to its callback and then throws.
 */
final class ThrowingConfiguration {
    static {
        System.loadLibrary("pelorixj_test_devices");
    }

    private ThrowingConfiguration() {
    }

    static native long handle();
}
