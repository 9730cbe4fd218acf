package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import com.korvex.pelorix.EventListeners.Throwing;
import java.lang.ref.WeakReference;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Collectors;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/**
 * A listener subscribed with WrapperIDevice.SubscribeAll gets the device's
 * events from native threads; replacing, unsubscribing and releasing free
 * the listener's native adapter exactly once, which lets the listener be
 * collected.
 */
public class DeviceEventsTest {
    private long device;

    @Before
    public void makeDevice() {
        device = FakeDevice.make(new byte[] {'x'}, 0, true, false);
    }

    @After
    public void freeDevice() {
        WrapperIDevice.UnsubscribeAll(device);
        FakeDevice.free(device);
    }

    private void raise(int eventType, byte[][]... perThread) {
        FakeDevice.raise(device, eventType, perThread);
    }

    /** Waits until the garbage collector has cleared the reference; the JVM decides when. */
    static void assertCollected(WeakReference<?> reference) throws InterruptedException {
        for (int i = 0; i < 1000 && reference.get() != null; i++) {
            System.gc();
            Thread.sleep(20);
        }
        assertEquals("collected", null, reference.get());
    }

    @Test
    public void eventsOfEachNativeThreadArriveInOrder() {
        Recorder recorder = new Recorder();
        assertTrue(WrapperIDevice.SubscribeAll(device, recorder));
        int threads = 4;
        byte[][][] perThread = new byte[threads][][];
        for (int t = 0; t < threads; t++) {
            perThread[t] = EventListeners.numbered(t + "-", 100);
        }
        raise(5, perThread);
        assertEquals(threads * 100, recorder.events.size());
        for (int t = 0; t < threads; t++) {
            String prefix = "5:" + t + "-";
            List<String> expected = new ArrayList<>();
            for (int i = 0; i < 100; i++) {
                expected.add(prefix + i);
            }
            List<String> events = new ArrayList<>(recorder.events);
            assertEquals(expected, events.stream().filter(e -> e.startsWith(prefix)).collect(Collectors.toList()));
        }
    }

    @Test
    public void aPayloadArrivesIntactWhateverItsCharacters() {
        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        String text = "Zahlung \u00fcber 12,50 \u20ac \uD83D\uDCB3 \u5B8C\u4E86";
        raise(15, new byte[][] {text.getBytes(StandardCharsets.UTF_8), {'o', 'k', (byte) 0xC3}});
        assertEquals(List.of("15:" + text, "15:ok\uFFFD"), recorder.events);
    }

    @Test
    public void aListenerThatThrowsLosesOnlyItsOwnEvents() throws InterruptedException {
        Throwing throwing = new Throwing();
        WrapperIDevice.SubscribeAll(device, throwing);
        try (UncaughtExceptions uncaught = new UncaughtExceptions()) {
            raise(1, EventListeners.utf8("a", "b"), EventListeners.utf8("c"));
            assertEquals(3, uncaught.await(3).size());
        }
        assertEquals(3, throwing.calls.get());

        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        raise(1, EventListeners.utf8("d"));
        assertEquals(List.of("1:d"), recorder.events);
    }

    @Test
    public void subscribingAgainRetiresTheFirstListener() throws InterruptedException {
        Recorder first = new Recorder();
        Recorder second = new Recorder();
        assertTrue(WrapperIDevice.SubscribeAll(device, first));
        long firstWord = FakeDevice.userData(device);
        assertTrue(WrapperIDevice.SubscribeAll(device, second));
        assertNotEquals(firstWord, FakeDevice.userData(device));
        raise(1, EventListeners.utf8("a"));
        assertEquals(List.of(), first.events);
        assertEquals(List.of("1:a"), second.events);

        WeakReference<Recorder> retired = new WeakReference<>(first);
        first = null;
        assertCollected(retired);
    }

    @Test
    public void unsubscribingTwiceFreesTheListenerOnceAndClearsTheWord() throws InterruptedException {
        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        assertNotEquals(0, FakeDevice.userData(device));
        assertTrue(WrapperIDevice.UnsubscribeAll(device));
        assertEquals(0, FakeDevice.userData(device));
        assertTrue(WrapperIDevice.UnsubscribeAll(device));
        raise(1, EventListeners.utf8("a"));
        assertEquals(List.of(), recorder.events);

        WeakReference<Recorder> unsubscribed = new WeakReference<>(recorder);
        recorder = null;
        assertCollected(unsubscribed);
        assertEquals("SubscribeAll\nUnsubscribeAll\nUnsubscribeAll\n", FakeDevice.takeCalls(device));
    }

    @Test
    public void afterUnsubscribingWhileEventsArriveNoneReachesTheListener() throws InterruptedException {
        for (int round = 0; round < 20; round++) {
            Recorder recorder = new Recorder();
            WrapperIDevice.SubscribeAll(device, recorder);
            FakeDevice.startRaising(device, 1);
            while (recorder.events.size() < 10) {
                Thread.sleep(1);
            }
            WrapperIDevice.UnsubscribeAll(device);
            int delivered = recorder.events.size();
            int raised = FakeDevice.stopRaising(device);
            assertEquals(delivered, recorder.events.size());
            assertTrue(raised >= delivered);
            assertEquals("1:" + (delivered - 1), recorder.events.get(delivered - 1));
        }
    }

    @Test
    public void aNullListenerSubscribesAndGetsNothing() {
        assertTrue(WrapperIDevice.SubscribeAll(device, null));
        raise(1, EventListeners.utf8("a"));
        assertTrue(WrapperIDevice.UnsubscribeAll(device));
        long refusing = FakeDevice.make(new byte[] {'x'}, 0, false, false);
        try {
            assertEquals(false, WrapperIDevice.SubscribeAll(refusing, new Recorder()));
            assertEquals(false, WrapperIDevice.UnsubscribeAll(refusing));
        } finally {
            FakeDevice.free(refusing);
        }
    }
}
