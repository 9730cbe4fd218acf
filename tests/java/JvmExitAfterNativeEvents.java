package com.korvex.pelorix;

import com.korvex.pelorix.EventListeners.Recorder;

/**
 * Raises events on native threads and returns from main: the JVM must then
 * end by itself, which it does only when no thread was left attached.
 */
public final class JvmExitAfterNativeEvents {
    private JvmExitAfterNativeEvents() {
    }

    /**
     * Runs the events.
     *
     * @param args not used
     */
    public static void main(String[] args) {
        byte[][] payloads = EventListeners.numbered("", 10);
        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnNewThreads(recorder, 1, new byte[][][] {payloads, payloads, payloads});
        CallbackFakes.raiseOnAttachedThread(recorder, 1, payloads);
        if (recorder.events.size() != 4 * payloads.length) {
            throw new AssertionError("events lost: " + recorder.events);
        }
    }
}
