package com.korvex.pelorix;

import java.util.ArrayList;
import java.util.List;

/**
 * The JVM's default uncaught-exception handler while open: it records what
 * reaches it, with the thread, and the one before is put back on close.
 */
final class UncaughtExceptions implements AutoCloseable {
    /** One exception handed to the handler. */
    record Uncaught(Thread thread, Throwable thrown) {
    }

    private final Thread.UncaughtExceptionHandler previous = Thread.getDefaultUncaughtExceptionHandler();
    private final List<Uncaught> received = new ArrayList<>();

    UncaughtExceptions() {
        Thread.setDefaultUncaughtExceptionHandler(this::record);
    }

    private synchronized void record(Thread thread, Throwable thrown) {
        received.add(new Uncaught(thread, thrown));
        notifyAll();
    }

    /** All received so far, once there are at least count or a minute has passed. */
    synchronized List<Uncaught> await(int count) throws InterruptedException {
        long end = System.nanoTime() + 60_000_000_000L;
        while (received.size() < count && System.nanoTime() < end) {
            wait(100);
        }
        return List.copyOf(received);
    }

    @Override
    public void close() {
        Thread.setDefaultUncaughtExceptionHandler(previous);
    }
}
