package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertNotNull;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.function.BooleanSupplier;
import java.util.stream.Collectors;
import org.junit.After;
import org.junit.Test;

/**
 * Readers of the newer platform (device type 3) from Java, end to end:
 * Java, Pelorixj, Quorlan, TCP, and a simulated reader.
 */
public class NewerPlatformTest {
    private final SimulatedReader reader = new SimulatedReader();

    @After
    public void stopReader() {
        reader.close();
    }

    @Test
    public void aReaderByAddressIsRegisteredDescribedOpenedAndReleased() {
        String address = reader.address();
        long device = TestHooks.newerDevice(address);
        assertNotEquals(0, device);
        assertEquals(device, CoreAPI.GetDevice(3, 4, address));
        assertEquals("{\"Address\":\"" + address + "\",\"ConnectionType\":4,\"DeviceType\":3}",
                WrapperIDevice.GetConnectionInfo(device));
        assertEquals(address, WrapperIDevice.GetName(device));
        assertEquals("{\"Model\":\"\",\"Name\":\"" + address + "\",\"Serial\":\"\"}",
                WrapperIDevice.GetDeviceInfo(device));
        assertEquals("{\"BatteryBackedClock\":true,\"Display\":true,\"MSRPowerSaver\":false,\"PINPad\":true,"
                + "\"PaymentMethods\":7,\"SRED\":true,\"Signature\":true}", WrapperIDevice.GetDeviceCapabilities(device));
        assertEquals(1, WrapperIDevice.GetConnectionState(device));

        Recorder recorder = new Recorder();
        assertTrue(WrapperIDevice.SubscribeAll(device, recorder));
        assertNotEquals(0, WrapperIDevice.GetDeviceConfiguration(device));
        assertNotEquals(0, WrapperIDevice.GetDeviceControl(device));
        assertEquals(4, WrapperIDevice.GetConnectionState(device));
        assertArrayEquals(new long[] {device}, CoreAPI.GetDeviceListWithConnectionType(3, 4));

        CoreAPI.ReleaseDeviceList(new long[] {device, device});
        assertEquals(List.of("0:connected", "0:disconnected"), recorder.events);
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(3, 4));
    }

    /** All events so far, once the last one has come. */
    private static List<String> awaitEvents(Recorder recorder, String last) throws InterruptedException {
        for (int i = 0; i < 6000 && !recorder.events.contains(last); i++) {
            Thread.sleep(10);
        }
        synchronized (recorder.events) {
            return List.copyOf(recorder.events);
        }
    }

    @Test
    public void aTransactionRunsWithItsEventsFromQuorlansThreads() throws InterruptedException {
        long device = TestHooks.newerDevice(reader.address());
        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        assertTrue(WrapperIDevice.StartTransaction(device, "{\"Timeout\":30,\"PaymentMethods\":7,"
                + "\"QuickChip\":false,\"EMVOnly\":true,\"Amount\":\"12.50\",\"CurrencyCode\":\"0840\"}"));
        assertEquals("82=1E 84=0002 86=9F02060000000012509F03060000000000009C01005F2A020840"
                + " A3=810101820101830101 AC=", reader.waitForCommand(0x1001));
        List<String> events = awaitEvents(recorder, "5:card_removed");
        // Raw messages (1 and 3) aside: one notification message per announcement.
        assertEquals(List.of("0:connected", "13:operation_done,00001001,Operation Done,00000000",
                "5:card_inserted", "6:PROCESSING", "5:transaction_approved", "5:transaction_completed",
                "5:card_removed"), events.stream().filter(e -> !e.startsWith("1:") && !e.startsWith("3:"))
                .collect(Collectors.toList()));
        assertEquals(5, events.stream().filter(e -> e.startsWith("3:AA00")).count());
        CoreAPI.ReleaseDevice(device);
    }

    /** Amount texts that are not decimal text, as "Amount" and as "CashBack". */
    private static final String[] REFUSED_AMOUNTS = {"12,50", "1e3", "0x10", "-0.004", "12.50 EUR", ".5", "5.", ""};

    private static String transaction(String amount, String cashBack) {
        return "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true,\"Amount\":\"" + amount
                + "\",\"CashBack\":\"" + cashBack + "\"}";
    }

    @Test
    public void anAmountThatIsNotDecimalTextIsRefusedBeforeTheDeviceOpens() {
        long device = TestHooks.newerDevice(reader.address());
        for (String amount : REFUSED_AMOUNTS) {
            assertFalse(amount, WrapperIDevice.StartTransaction(device, transaction(amount, "0")));
            assertFalse(amount, WrapperIDevice.StartTransaction(device, transaction("1", amount)));
        }
        assertEquals(1, WrapperIDevice.GetConnectionState(device));
        assertTrue(WrapperIDevice.StartTransaction(device, transaction(" 0012.5 ", "0.50")));
        // The reader's first transaction is the one accepted.
        assertEquals("82=1E 84=0002 86=9F02060000000012509F03060000000000509C0100 A3=810101820101830101 AC=",
                reader.waitForCommand(0x1001));
        CoreAPI.ReleaseDevice(device);
    }

    @Test
    public void aReaderThatClosesTheLinkIsReportedOnceAndRequestsFail() throws Exception {
        readerGoesAwayDuringWaits(false);
    }

    @Test
    public void aReaderThatResetsTheLinkIsReportedOnceAndRequestsFail() throws Exception {
        readerGoesAwayDuringWaits(true);
    }

    private static List<String> stateEvents(List<String> events) {
        return events.stream().filter(e -> e.startsWith("0:")).collect(Collectors.toList());
    }

    /** A transaction and a SendSync wait for their replies when the reader goes away. */
    private void readerGoesAwayDuringWaits(boolean reset) throws Exception {
        String transaction = "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true,"
                + "\"Amount\":\"12.50\"}";
        String unanswered = "AA0081040102700184027001";
        reader.setNoReply(0x1001);
        reader.setNoReply(0x7001);
        long device = TestHooks.newerDevice(reader.address());
        long control = WrapperIDevice.GetDeviceControl(device);
        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        assertTrue(WrapperIDeviceControl.Open(control));
        ExecutorService threads = Executors.newFixedThreadPool(2);
        Future<Boolean> started = threads.submit(() -> WrapperIDevice.StartTransaction(device, transaction));
        Future<String> sync = threads.submit(() -> WrapperIDeviceControl.SendSync(control, unanswered));
        threads.shutdown();
        assertNotNull(reader.waitForCommand(0x1001));
        assertNotNull(reader.waitForCommand(0x7001));

        reader.goAway(reset);
        // The waits last a minute (TestHooks): only the lost link ends them this early.
        // The transaction's command went out: true, whatever the reply.
        assertTrue(started.get(10, TimeUnit.SECONDS));
        assertEquals("{\"Data\":\"\",\"Status\":1}", sync.get(10, TimeUnit.SECONDS));
        List<String> once = List.of("0:connected", "0:disconnected");
        assertEquals(once, stateEvents(awaitEvents(recorder, "0:disconnected")));
        assertEquals(1, WrapperIDevice.GetConnectionState(device));
        assertFalse(WrapperIDeviceControl.Send(control, unanswered));
        assertEquals("{\"Data\":\"\",\"Status\":3}", WrapperIDeviceControl.SendSync(control, unanswered));
        // It opens the device again first, and finds no reader.
        assertFalse(WrapperIDevice.StartTransaction(device, transaction));
        CoreAPI.ReleaseDevice(device);
        Thread.sleep(200);
        assertEquals(once, stateEvents(awaitEvents(recorder, "0:disconnected")));
    }

    @Test
    public void requestsReachTheReaderAsTheirCommands() {
        long device = TestHooks.newerDevice(reader.address());
        WrapperIDevice.GetDeviceConfiguration(device);
        Object[][] rows = {
            {(BooleanSupplier) () -> WrapperIDevice.CancelTransaction(device), 0x1008, ""},
            {(BooleanSupplier) () -> WrapperIDevice.SendSelection(device, "0102"), 0x1802, "81=01 82=02"},
            {(BooleanSupplier) () -> WrapperIDevice.SendAuthorization(device, "8a02"), 0x1802, "81=00 82=30 84=8A02"},
            {(BooleanSupplier) () -> WrapperIDevice.RequestPIN(device, "{\"MaxLength\":6,\"MinLength\":4,"
                + "\"PINMode\":1,\"Timeout\":20,\"Tone\":1,\"Format\":2,\"PAN\":\"5413\"}"), 0x1831,
                "81=14 82=01 83=0604 84=5413 85=02"},
            {(BooleanSupplier) () -> WrapperIDevice.RequestSignature(device), 0x1801, "81=1C"},
        };
        for (Object[] row : rows) {
            reader.clearReceived();
            assertTrue(((BooleanSupplier) row[0]).getAsBoolean());
            assertEquals(row[2], reader.waitForCommand((Integer) row[1]));
        }
        CoreAPI.ReleaseDevice(device);
    }

    @Test
    public void listingFindsOnlyNewerPlatformReadersOnUsb() {
        long[] listed = CoreAPI.GetDeviceList(3);
        assertArrayEquals(listed, CoreAPI.GetDeviceListWithConnectionType(3, 0));
        for (long device : listed) {
            assertTrue(WrapperIDevice.GetConnectionInfo(device).endsWith(",\"ConnectionType\":0,\"DeviceType\":3}"));
        }
        CoreAPI.ReleaseDeviceList(listed);
    }
}
