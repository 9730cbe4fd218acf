package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.concurrent.Callable;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.ThreadLocalRandom;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicBoolean;
import java.util.concurrent.atomic.AtomicLong;
import java.util.function.BooleanSupplier;
import java.util.function.IntConsumer;
import java.util.function.IntToLongFunction;
import java.util.function.LongPredicate;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import org.junit.AfterClass;
import org.junit.Test;

/**
 * Several threads at once on one device: listeners that change
 * subscriptions and release devices while the application does the same,
 * listeners that close and release each other's devices at the same moment,
 * and controls opened, closed and released from eight threads, which leave
 * no connection, thread or library handle behind.
 */
public class ConcurrencyTest {
    private static final String OLDER_READER = "HID://P1";

    /** The threads of this process, Java's and native ones. */
    private static int processThreads() throws IOException {
        for (String line : Files.readAllLines(Paths.get("/proc/self/status"))) {
            if (line.startsWith("Threads:")) {
                return Integer.parseInt(line.substring("Threads:".length()).trim());
            }
        }
        throw new IOException("no thread count");
    }

    /** Waits for the condition, which the libraries' lingering threads may delay. */
    private static boolean eventually(BooleanSupplier condition) {
        try {
            for (int i = 0; i < 6000 && !condition.getAsBoolean(); i++) {
                Thread.sleep(10);
            }
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        return condition.getAsBoolean();
    }

    /** Eight threads for the whole class: making threads costs more than the calls under test. */
    private static final ExecutorService EIGHT = Executors.newFixedThreadPool(8);

    @AfterClass
    public static void endThreads() {
        EIGHT.shutdown();
    }

    /** Runs action on the eight threads, which start together. */
    private static void onEightThreads(LongPredicate action, long control) throws Exception {
        CyclicBarrier start = new CyclicBarrier(8);
        List<Callable<Boolean>> calls = new ArrayList<>();
        for (int t = 0; t < 8; t++) {
            calls.add(() -> {
                start.await();
                return action.test(control);
            });
        }
        for (Future<Boolean> call : EIGHT.invokeAll(calls)) {
            call.get();
        }
    }

    private static long count(String log, String call) {
        return log.split(call + "\\(", -1).length - 1;
    }

    /** Opens, closes, then both at random, from eight threads, and releases. */
    private static void roundOfOpenAndClose(long device) throws Exception {
        long control = WrapperIDevice.GetDeviceControl(device);
        onEightThreads(WrapperIDeviceControl::Open, control);
        onEightThreads(WrapperIDeviceControl::Close, control);
        onEightThreads(c -> {
            for (int i = 0; i < 5; i++) {
                if (ThreadLocalRandom.current().nextBoolean()) {
                    WrapperIDeviceControl.Open(c);
                } else {
                    WrapperIDeviceControl.Close(c);
                }
            }
            return true;
        }, control);
        CoreAPI.ReleaseDevice(device);
    }

    /**
     * The same with a newer-platform device of the reader, whose listener
     * hears "connected" for every link that the reader took and
     * "disconnected" for every one closed, in turn.
     */
    private static void roundOfOpenAndClose(SimulatedReader reader) throws Exception {
        long device = CoreAPI.GetDevice(3, 4, reader.address());
        Recorder heard = new Recorder();
        WrapperIDevice.SubscribeAll(device, heard);
        long accepted = reader.acceptedCount();
        roundOfOpenAndClose(device);
        List<String> events = new ArrayList<>(heard.events);
        for (int i = 0; i < events.size(); i++) {
            assertEquals("event " + i + " of " + events, i % 2 == 0 ? "0:connected" : "0:disconnected", events.get(i));
        }
        assertEquals(0, events.size() % 2);
        long links = events.size() / 2;
        assertTrue(eventually(() -> reader.acceptedCount() - accepted >= links));
        assertEquals(links, reader.acceptedCount() - accepted);
    }

    @Test
    public void eightThreadsOpenOneLinkAndEveryHandleIsClosedOnce() throws Exception {
        BrannetStandin.reset();
        BrannetStandin.addDevice(OLDER_READER);
        // One reader for the links opened once, whose count is then exact,
        // another for the opening and closing at random.
        try (SimulatedReader once = new SimulatedReader(); SimulatedReader reader = new SimulatedReader()) {
            roundOfOpenAndClose(reader);
            roundOfOpenAndClose(CoreAPI.GetDevice(0, 0, OLDER_READER));
            assertTrue(eventually(() -> reader.openCount() == 0));
            Thread.sleep(1500);
            int threadsBefore = processThreads();
            BrannetStandin.takeCallLog();

            for (int round = 0; round < 100; round++) {
                long device = CoreAPI.GetDevice(3, 4, once.address());
                long control = WrapperIDevice.GetDeviceControl(device);
                onEightThreads(WrapperIDeviceControl::Open, control);
                long opened = round + 1;
                // The reader counts a connection once its own thread has taken it.
                assertTrue(eventually(() -> once.acceptedCount() >= opened));
                assertEquals("round " + round, opened, once.acceptedCount());
                onEightThreads(WrapperIDeviceControl::Close, control);
                CoreAPI.ReleaseDevice(device);
                roundOfOpenAndClose(reader);

                long older = CoreAPI.GetDevice(0, 0, OLDER_READER);
                long olderControl = WrapperIDevice.GetDeviceControl(older);
                onEightThreads(WrapperIDeviceControl::Open, olderControl);
                assertEquals("round " + round, 1, count(BrannetStandin.takeCallLog(), "OpenDeviceEx"));
                onEightThreads(WrapperIDeviceControl::Close, olderControl);
                assertEquals("round " + round, 1, count(BrannetStandin.takeCallLog(), "CloseDeviceEx"));
                CoreAPI.ReleaseDevice(older);
                roundOfOpenAndClose(CoreAPI.GetDevice(0, 0, OLDER_READER));
                String log = BrannetStandin.takeCallLog();
                assertEquals("round " + round, count(log, "OpenDeviceEx"), count(log, "CloseDeviceEx"));
                Matcher closed = Pattern.compile("CloseDeviceEx\\((\\d+)\\)").matcher(log);
                Set<String> closedHandles = new HashSet<>();
                while (closed.find()) {
                    assertTrue("closed twice: " + closed.group(1), closedHandles.add(closed.group(1)));
                }
            }
            assertTrue(eventually(() -> reader.openCount() == 0 && once.openCount() == 0));
            assertEquals(0, BrannetStandin.openHandle(OLDER_READER));
            // Quorlan's delivery workers linger a second after their last message.
            assertTrue(eventually(() -> {
                try {
                    return processThreads() <= threadsBefore;
                } catch (IOException e) {
                    return false;
                }
            }));
        }
    }

    /**
     * Listeners of two devices change each other's subscriptions and their
     * own, and release their device now and then, while the application
     * thread subscribes, unsubscribes and releases the same devices.
     */
    @Test
    public void listenersAndTheApplicationChangeSubscriptionsAtOnceWithoutWaitingForEachOther() throws Exception {
        try (SimulatedReader first = new SimulatedReader(); SimulatedReader second = new SimulatedReader()) {
            SimulatedReader[] readers = {first, second};
            AtomicLong[] devices = {new AtomicLong(), new AtomicLong()};
            DeviceEventListener[] listeners = new DeviceEventListener[2];
            for (int i = 0; i < 2; i++) {
                int own = i;
                int other = 1 - i;
                listeners[i] = (type, payload) -> {
                    switch (ThreadLocalRandom.current().nextInt(6)) {
                        case 0:
                            WrapperIDevice.UnsubscribeAll(devices[other].get());
                            break;
                        case 1:
                            WrapperIDevice.SubscribeAll(devices[other].get(), listeners[other]);
                            break;
                        case 2:
                            WrapperIDevice.UnsubscribeAll(devices[own].get());
                            break;
                        case 3:
                            WrapperIDevice.SubscribeAll(devices[own].get(), listeners[own]);
                            break;
                        case 4:
                            if (ThreadLocalRandom.current().nextInt(20) == 0) {
                                CoreAPI.ReleaseDevice(devices[own].get());
                            }
                            break;
                        default:
                            break;
                    }
                };
            }
            AtomicBoolean stop = new AtomicBoolean();
            Thread pusher = new Thread(() -> {
                while (!stop.get()) {
                    for (SimulatedReader reader : readers) {
                        reader.pushNotification(0x0101, 0x10010200, 0, null);
                    }
                    try {
                        Thread.sleep(1);
                    } catch (InterruptedException e) {
                        return;
                    }
                }
            });
            AtomicLong rounds = new AtomicLong();
            Thread application = new Thread(() -> {
                for (int round = 0; round < 400; round++) {
                    for (int i = 0; i < 2; i++) {
                        long device = devices[i].get();
                        if (round % 40 == 0 || WrapperIDevice.GetConnectionState(device) != 4) {
                            CoreAPI.ReleaseDevice(device);
                            device = CoreAPI.GetDevice(3, 4, readers[i].address());
                            devices[i].set(device);
                            WrapperIDevice.GetDeviceConfiguration(device);
                        }
                        WrapperIDevice.SubscribeAll(device, listeners[i]);
                        WrapperIDevice.UnsubscribeAll(devices[1 - i].get());
                        WrapperIDevice.SubscribeAll(devices[1 - i].get(), listeners[1 - i]);
                    }
                    rounds.incrementAndGet();
                }
            });
            application.setDaemon(true);
            pusher.start();
            application.start();
            application.join(120_000);
            stop.set(true);
            pusher.join();
            assertFalse("hung after " + rounds.get() + " rounds", application.isAlive());
            assertEquals(400, rounds.get());
            for (AtomicLong device : devices) {
                assertNotEquals(0, device.get());
                CoreAPI.ReleaseDevice(device.get());
            }
        }
    }

    /** Far beyond what a call inside a listener may take, and well within the JVM's time limit. */
    private static final long HANG_MS = 20_000;

    /**
     * One round: the listener of each device, on its first event and once
     * the other listener is inside an event too, closes the other's device
     * and then releases it, timing both calls into longest.
     */
    private static final class CrossRelease {
        final long[] devices = new long[2];
        final CyclicBarrier bothInside = new CyclicBarrier(2);
        final CountDownLatch done = new CountDownLatch(2);
        final List<String> failures = Collections.synchronizedList(new ArrayList<>());

        DeviceEventListener listener(int own, AtomicLong[] longest) {
            AtomicBoolean first = new AtomicBoolean(true);
            return (type, payload) -> {
                if (type == 0 || !first.getAndSet(false)) {
                    return;
                }
                try {
                    bothInside.await(HANG_MS, TimeUnit.MILLISECONDS);
                    long other = devices[1 - own];
                    long control = WrapperIDevice.GetDeviceControl(other);
                    long start = System.nanoTime();
                    boolean closed = WrapperIDeviceControl.Close(control);
                    longest[0].accumulateAndGet(System.nanoTime() - start, Math::max);
                    if (!closed || WrapperIDevice.GetConnectionState(other) != 1
                            || WrapperIDeviceControl.Send(control, "AA00")) {
                        failures.add("the other device is not closed once Close returned");
                    }
                    start = System.nanoTime();
                    CoreAPI.ReleaseDevice(other);
                    longest[1].accumulateAndGet(System.nanoTime() - start, Math::max);
                } catch (Exception e) {
                    failures.add(e.toString());
                } finally {
                    done.countDown();
                }
            };
        }
    }

    /**
     * Twenty rounds of two devices, each given open by open(i), whose
     * crossing listeners hear an event that fire(i) raises.
     */
    private static void crossReleaseRounds(String family, IntToLongFunction open, IntConsumer fire)
            throws Exception {
        AtomicLong[] longest = {new AtomicLong(), new AtomicLong()};
        for (int round = 0; round < 20; round++) {
            CrossRelease cross = new CrossRelease();
            for (int i = 0; i < 2; i++) {
                cross.devices[i] = open.applyAsLong(i);
                WrapperIDevice.SubscribeAll(cross.devices[i], cross.listener(i, longest));
            }
            fire.accept(0);
            fire.accept(1);
            assertTrue(family + " round " + round + " hung", cross.done.await(HANG_MS, TimeUnit.MILLISECONDS));
            assertEquals(family + " round " + round, List.of(), cross.failures);
        }
        System.out.printf("%s: longest Close %.1f ms, longest ReleaseDevice %.1f ms inside a listener%n", family,
                longest[0].get() / 1e6, longest[1].get() / 1e6);
    }

    @Test
    public void listenersThatCloseAndReleaseEachOthersDevicesAtOnceDoNotHang() throws Exception {
        try (SimulatedReader first = new SimulatedReader(); SimulatedReader second = new SimulatedReader()) {
            SimulatedReader[] readers = {first, second};
            crossReleaseRounds("newer platform", i -> {
                long accepted = readers[i].acceptedCount();
                long device = CoreAPI.GetDevice(3, 4, readers[i].address());
                assertTrue(WrapperIDeviceControl.Open(WrapperIDevice.GetDeviceControl(device)));
                // The reader pushes only to the connections that it has taken.
                assertTrue(eventually(() -> readers[i].acceptedCount() > accepted));
                return device;
            }, i -> readers[i].pushNotification(0x0101, 0x10010200, 0, null));
            assertTrue(eventually(() -> first.openCount() == 0 && second.openCount() == 0));
        }

        BrannetStandin.reset();
        String[] paths = {"HID://C1", "HID://C2"};
        crossReleaseRounds("older family", i -> {
            BrannetStandin.addDevice(paths[i]);
            long device = CoreAPI.GetDevice(0, 0, paths[i]);
            assertTrue(WrapperIDeviceControl.Open(WrapperIDevice.GetDeviceControl(device)));
            return device;
        }, i -> BrannetStandin.fireNotification(BrannetStandin.openHandle(paths[i]), 0x300, new byte[] {'x'}));
        assertTrue(eventually(() -> BrannetStandin.openHandle(paths[0]) == 0
                && BrannetStandin.openHandle(paths[1]) == 0));
    }
}
