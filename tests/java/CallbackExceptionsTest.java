package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertSame;
import static org.junit.Assert.assertThrows;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.UncaughtExceptions.Uncaught;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.function.ToIntFunction;
import org.junit.After;
import org.junit.Test;

/**
 * What a listener or callback throws reaches Java, end to end on a
 * simulated reader of the newer platform: on the calling thread from the
 * native method, once its work is done; on a library thread through the
 * thread's uncaught-exception handler.
 */
public class CallbackExceptionsTest {
    private final SimulatedReader reader = new SimulatedReader();
    private final long device = TestHooks.newerDevice(reader.address());
    private final long control = WrapperIDevice.GetDeviceControl(device);

    @After
    public void releaseReader() {
        WrapperIDevice.UnsubscribeAll(device);
        CoreAPI.ReleaseDevice(device);
        reader.close();
    }

    /** Records its calls and throws from each an exception named after it. */
    static final class Throwing implements ConfigurationCallback {
        final List<String> calls = new ArrayList<>();

        private IllegalStateException fail(String call) {
            calls.add(call);
            return new IllegalStateException(call);
        }

        @Override
        public void OnProgress(long value) {
            throw fail("progress " + value);
        }

        @Override
        public void OnResult(long status, byte[] data) {
            throw fail("result " + status);
        }

        @Override
        public byte[] OnCalculateMAC(long macType, byte[] data, long[] status) {
            throw fail("mac " + macType);
        }
    }

    /** An operation with a callback, and the calls it makes to a Throwing one. */
    record Operation(ToIntFunction<Object> call, List<String> calls) {
    }

    @Test
    public void openThrowsWhatTheListenerThrowsOnConnectedOnceTheLinkIsOpen() {
        IllegalStateException refusal = new IllegalStateException("connected refused");
        List<String> events = Collections.synchronizedList(new ArrayList<>());
        WrapperIDevice.SubscribeAll(device, (DeviceEventListener) (type, payload) -> {
            // A native method inside the event, which must leave Open's exception to Open.
            events.add(payload + " " + WrapperIDevice.GetConnectionState(device));
            if (payload.equals("connected")) {
                throw refusal;
            }
        });
        assertSame(refusal, assertThrows(IllegalStateException.class, () -> WrapperIDeviceControl.Open(control)));
        assertEquals(List.of("connected 4"), events);
        assertEquals(4, WrapperIDevice.GetConnectionState(device));
    }

    @Test
    public void aConfigurationCallThrowsTheFirstExceptionOfItsCallbacksOnceItHasEnded() {
        long configuration = WrapperIDevice.GetDeviceConfiguration(device);
        long fake = FakeDevice.make(new byte[] {'x'}, 0, true, false);
        long throwingConfiguration = WrapperIDevice.GetDeviceConfiguration(fake);
        reader.setReply(0xD111, 0, 0, "");
        reader.setReplyThenNotification(0xD801, 0x0905, 0x08010903);
        reader.setReplyThenNotification(0xD901, 0x0905, 0x08010A03);
        Operation[] operations = {
            new Operation(cb -> WrapperIDeviceConfiguration.SetConfigInfo(configuration, 1, new byte[] {1}, cb),
                    List.of("result 0")),
            new Operation(cb -> WrapperIDeviceConfiguration.UpdateFirmware(configuration, 1, new byte[] {1}, cb),
                    List.of("progress 1", "progress 10", "progress 60", "progress 66", "progress 68", "progress 99",
                            "progress 100", "result 0")),
            // The operation fails after its callback has thrown.
            new Operation(cb -> WrapperIDeviceConfiguration.SetConfigInfo(throwingConfiguration, 1,
                    new byte[] {1}, cb), List.of("progress 1")),
        };
        for (Operation operation : operations) {
            Throwing callback = new Throwing();
            IllegalStateException thrown =
                    assertThrows(IllegalStateException.class, () -> operation.call().applyAsInt(callback));
            assertEquals(operation.calls(), callback.calls);
            assertEquals(operation.calls().get(0), thrown.getMessage());
        }
        assertEquals("85=01 89=01", reader.waitForCommand(0xD111));
        FakeDevice.free(fake);
    }

    @Test
    public void anEventOnALibraryThreadThrowsToThatThreadsUncaughtExceptionHandler() throws InterruptedException {
        assertTrue(WrapperIDeviceControl.Open(control));
        // The reader pushes only to connections that its own thread has taken.
        for (int i = 0; i < 6000 && reader.acceptedCount() == 0; i++) {
            Thread.sleep(10);
        }
        IllegalStateException refusal = new IllegalStateException("event refused");
        try (UncaughtExceptions uncaught = new UncaughtExceptions()) {
            WrapperIDevice.SubscribeAll(device, (DeviceEventListener) (type, payload) -> {
                throw refusal;
            });
            reader.pushNotification(0x0101, 0x10010200, 0, "");
            List<Uncaught> received = uncaught.await(1);
            WrapperIDevice.UnsubscribeAll(device);
            assertTrue(received.size() >= 1);
            for (Uncaught one : received) {
                assertSame(refusal, one.thrown());
                assertNotEquals(Thread.currentThread(), one.thread());
            }
        }
    }
}
