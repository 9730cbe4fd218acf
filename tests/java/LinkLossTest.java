package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotNull;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.stream.Collectors;
import org.junit.Test;

/**
 * A reader of the newer platform that goes away, by an orderly close or by
 * a reset, while a transaction and a SendSync wait for its replies.
 */
public class LinkLossTest {
    private static final String TRANSACTION = "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,"
            + "\"EMVOnly\":true,\"Amount\":\"12.50\",\"CurrencyCode\":\"0840\"}";
    private static final String UNANSWERED = "AA0081040102700184027001";
    /** The waits themselves last a minute (TestHooks): only the lost link ends them this early. */
    private static final long ENDED_EARLY_SECONDS = 10;

    @Test
    public void aReaderThatClosesTheLinkIsReportedOnceAndRequestsFail() throws Exception {
        readerGoesAway(false);
    }

    @Test
    public void aReaderThatResetsTheLinkIsReportedOnceAndRequestsFail() throws Exception {
        readerGoesAway(true);
    }

    private static List<String> stateEvents(Recorder recorder) {
        synchronized (recorder.events) {
            return recorder.events.stream().filter(e -> e.startsWith("0:")).collect(Collectors.toList());
        }
    }

    private static void readerGoesAway(boolean reset) throws Exception {
        ExecutorService threads = Executors.newFixedThreadPool(2);
        try (SimulatedReader reader = new SimulatedReader()) {
            reader.setNoReply(0x1001);
            reader.setNoReply(0x7001);
            long device = TestHooks.newerDevice(reader.address());
            long control = WrapperIDevice.GetDeviceControl(device);
            Recorder recorder = new Recorder();
            WrapperIDevice.SubscribeAll(device, recorder);
            assertTrue(WrapperIDeviceControl.Open(control));
            Future<Boolean> transaction = threads.submit(() -> WrapperIDevice.StartTransaction(device, TRANSACTION));
            Future<String> sync = threads.submit(() -> WrapperIDeviceControl.SendSync(control, UNANSWERED));
            assertNotNull(reader.waitForCommand(0x1001));
            assertNotNull(reader.waitForCommand(0x7001));

            reader.goAway(reset);
            // Sent before the link went: true, whatever the reply.
            assertTrue(transaction.get(ENDED_EARLY_SECONDS, TimeUnit.SECONDS));
            assertEquals("{\"Data\":\"\",\"Status\":1}", sync.get(ENDED_EARLY_SECONDS, TimeUnit.SECONDS));
            for (int i = 0; i < 6000 && !stateEvents(recorder).contains("0:disconnected"); i++) {
                Thread.sleep(10);
            }
            assertEquals(List.of("0:connected", "0:disconnected"), stateEvents(recorder));
            assertEquals(1, WrapperIDevice.GetConnectionState(device));
            assertFalse(WrapperIDeviceControl.Send(control, UNANSWERED));
            assertEquals("{\"Data\":\"\",\"Status\":3}", WrapperIDeviceControl.SendSync(control, UNANSWERED));
            // Opens again first, which finds no reader.
            assertFalse(WrapperIDevice.StartTransaction(device, TRANSACTION));
            CoreAPI.ReleaseDevice(device);
            Thread.sleep(200);
            assertEquals(List.of("0:connected", "0:disconnected"), stateEvents(recorder));
        } finally {
            threads.shutdownNow();
        }
    }
}
