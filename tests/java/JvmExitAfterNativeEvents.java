package com.korvex.pelorix;

import com.korvex.pelorix.EventListeners.Recorder;

/**
 * Raises events on native threads and returns from main while one more
 * native thread goes on raising them: the JVM must then end by itself, which
 * it does only when no thread was left attached but as a daemon, and the
 * events that come while it ends and after it is gone must not crash it.
 */
public final class JvmExitAfterNativeEvents {
    private JvmExitAfterNativeEvents() {
    }

    /**
     * Runs the events.
     *
     * @param args not used
     * @throws InterruptedException never
     */
    public static void main(String[] args) throws InterruptedException {
        byte[][] payloads = EventListeners.numbered("", 10);
        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnNewThreads(recorder, 1, new byte[][][] {payloads, payloads, payloads});
        CallbackFakes.raiseOnAttachedThread(recorder, 1, payloads);
        if (recorder.events.size() != 4 * payloads.length) {
            throw new AssertionError("events lost: " + recorder.events);
        }

        Recorder endless = new Recorder();
        CallbackFakes.raiseOnDetachedThread(endless, 2, payloads, Integer.MAX_VALUE);
        while (endless.events.size() < payloads.length) {
            Thread.sleep(1);
        }
    }
}
