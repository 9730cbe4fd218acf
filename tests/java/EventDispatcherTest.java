package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertThrows;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import com.korvex.pelorix.EventListeners.ThreadsByPayload;
import com.korvex.pelorix.EventListeners.Throwing;
import com.korvex.pelorix.EventListeners.WrongSignature;
import com.korvex.pelorix.UncaughtExceptions.Uncaught;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.stream.Collectors;
import org.junit.Test;

/**
 * Events reach a Java listener through the dispatcher from native threads
 * (each one daemon thread named for the events in Java, detached when it
 * ends), the calling thread and threads attached by their owner; what the
 * listener throws reaches the calling thread, or else the thread's
 * uncaught-exception handler. Local references that a delivery leaves behind show as
 * -Xcheck:jni warnings, which fail the test.
 */
public class EventDispatcherTest {
    private static final int THREADS = 4;
    private static final int EVENTS_PER_THREAD = 200;
    private static final int EVENTS = 1000;

    @Test
    public void eventsOfEachNativeThreadArriveInOrder() {
        byte[][][] perThread = new byte[THREADS][][];
        for (int t = 0; t < THREADS; t++) {
            perThread[t] = EventListeners.numbered("t" + t + "-", EVENTS_PER_THREAD);
        }
        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnNewThreads(recorder, 5, perThread);

        List<String> events = new ArrayList<>(recorder.events);
        assertEquals(THREADS * EVENTS_PER_THREAD, events.size());
        for (int t = 0; t < THREADS; t++) {
            String prefix = "5:t" + t + "-";
            List<String> expected = new ArrayList<>();
            for (int i = 0; i < EVENTS_PER_THREAD; i++) {
                expected.add(prefix + i);
            }
            assertEquals(expected, events.stream().filter(e -> e.startsWith(prefix)).collect(Collectors.toList()));
        }
    }

    @Test
    public void eachNativeThreadsEventsArriveOnOneNamedDaemonThreadThatEndsDetached() throws InterruptedException {
        ThreadsByPayload listener = new ThreadsByPayload();
        CallbackFakes.raiseOnNewThreads(listener, 1,
                new byte[][][] {EventListeners.numbered("a", EVENTS), EventListeners.numbered("b", EVENTS)});
        CallbackFakes.raiseOnDetachedThread(listener, 1, EventListeners.numbered("c", EVENTS), 1);
        for (long deadline = System.nanoTime() + 60_000_000_000L;
                !listener.threads.containsKey("c" + (EVENTS - 1)) && System.nanoTime() < deadline; ) {
            Thread.sleep(1);
        }

        assertEquals(3 * EVENTS, listener.threads.size());
        Set<String> names = new HashSet<>();
        for (String prefix : List.of("a", "b", "c")) {
            Set<Thread> threads = listener.of(prefix);
            assertEquals(1, threads.size());
            Thread thread = threads.iterator().next();
            assertTrue(thread.getName(), thread.getName().matches("pelorix-events-[0-9]+"));
            assertTrue(thread.isDaemon());
            names.add(thread.getName());
            // The joined threads have ended; the detached one ends by itself.
            thread.join(60_000);
            assertFalse(thread.isAlive());
        }
        assertEquals(3, names.size());
    }

    @Test
    public void payloadsArriveAsTheirTextWithIllFormedBytesReplaced() {
        byte[][] payloads = {
            {'c', 'a', 'r', 'd', '_', 'i', 'n', 's', 'e', 'r', 't', 'e', 'd'},
            {'c', 'a', 'f', (byte) 0xC3, (byte) 0xA9},
            {(byte) 0xE2, (byte) 0x82, (byte) 0xAC, '5'},
            // A 4-byte sequence, and the text after it.
            {(byte) 0xF0, (byte) 0x9D, (byte) 0x84, (byte) 0x9E, 'x', 'y'},
            {'a', 0, 'b'},
            {'A', (byte) 0xFF, 'B'},
            {'A', (byte) 0xE2, (byte) 0x82},
            {(byte) 0xC0, (byte) 0xAF, (byte) 0xED, (byte) 0xA0, (byte) 0x80},
            {},
        };
        List<String> expected = Arrays.asList(
                "-2:card_inserted", "-2:caf\u00e9", "-2:\u20ac5", "-2:\uD834\uDD1Exy", "-2:a\u0000b",
                "-2:A\uFFFDB", "-2:A\uFFFD", "-2:\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", "-2:");
        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnNewThreads(recorder, -2, new byte[][][] {payloads});
        assertEquals(expected, recorder.events);
    }

    @Test
    public void aListenerThatThrowsOrLacksOnEventLosesOnlyItsOwnEvents() throws InterruptedException {
        byte[][] payloads = EventListeners.utf8("a", "b", "c");
        try (UncaughtExceptions uncaught = new UncaughtExceptions()) {
            for (Object listener : new Object[] {new Object(), new WrongSignature(), null}) {
                CallbackFakes.raiseOnThisThread(listener, 1, payloads);
                CallbackFakes.raiseOnNewThreads(listener, 1, new byte[][][] {payloads, payloads});
                assertTrue(CallbackFakes.raiseOnAttachedThread(listener, 1, payloads));
            }
            assertEquals(List.of(), uncaught.await(0));

            // The calling thread's first exception leaves the native call; each of the others' reaches its handler.
            Throwing throwing = new Throwing();
            assertThrows(IllegalStateException.class, () -> CallbackFakes.raiseOnThisThread(throwing, 1, payloads));
            CallbackFakes.raiseOnNewThreads(throwing, 1, new byte[][][] {payloads, payloads});
            assertTrue(CallbackFakes.raiseOnAttachedThread(throwing, 1, payloads));
            assertEquals(4 * payloads.length, throwing.calls.get());
            List<Uncaught> received = uncaught.await(3 * payloads.length);
            assertEquals(3 * payloads.length, received.size());
            for (Uncaught one : received) {
                assertEquals("listener fails", one.thrown().getMessage());
                assertNotEquals(Thread.currentThread(), one.thread());
            }
        }

        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnThisThread(recorder, 1, payloads);
        assertEquals(Arrays.asList("1:a", "1:b", "1:c"), recorder.events);
    }

    @Test
    public void manyEventsOnAnAttachedThreadLeaveItAttachedWithoutLocalReferences() {
        byte[][] payloads = EventListeners.numbered("", 100);
        Recorder recorder = new Recorder();
        CallbackFakes.raiseOnThisThread(recorder, 0, payloads);
        assertTrue(CallbackFakes.raiseOnAttachedThread(recorder, 0, payloads));
        assertEquals(2 * payloads.length, recorder.events.size());
    }
}
