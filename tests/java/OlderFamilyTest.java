package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import java.lang.ref.WeakReference;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/**
 * Readers of the older family (device type 0) listed, described, driven and
 * released from Java, end to end through the stand-in library, whose
 * callbacks arrive on its own threads.
 */
public class OlderFamilyTest {
    private static final String READER = "HID://P1";
    private final List<Long> devices = new ArrayList<>();

    @Before
    public void resetLibrary() {
        BrannetStandin.reset();
        BrannetStandin.addDevice(READER);
    }

    @After
    public void releaseDevices() {
        CoreAPI.ReleaseDeviceList(devices.stream().mapToLong(Long::longValue).toArray());
    }

    private long get(String address) {
        long device = CoreAPI.GetDevice(0, 0, address);
        devices.add(device);
        return device;
    }

    private static List<String> connectionInfos(long[] devices) {
        List<String> infos = new ArrayList<>();
        for (long device : devices) {
            infos.add(WrapperIDevice.GetConnectionInfo(device));
        }
        return infos;
    }

    private static String info(String address, int connectionType) {
        return "{\"Address\":\"" + address + "\",\"ConnectionType\":" + connectionType + ",\"DeviceType\":0}";
    }

    @Test
    public void listingWalksTheListableTypesAndReturnsTheSameDevicesAgain() {
        BrannetStandin.setDeviceList("hid://p1,BLE://B2,serial://s3,bleemvt://t4,tcp://x5,HID://P1");
        long[] listed = CoreAPI.GetDeviceList(0);
        for (long device : listed) {
            devices.add(device);
        }
        assertEquals(List.of(info("HID://P1", 0), info("BLE://B2", 1), info("BLEEMVT://T4", 3)),
                connectionInfos(listed));
        assertArrayEquals(listed, CoreAPI.GetDeviceList(0));
        assertArrayEquals(new long[] {listed[1]}, CoreAPI.GetDeviceListWithConnectionType(0, 1));
        assertArrayEquals(new long[] {listed[0]}, new long[] {get("HID://P1")});

        long[] serial = CoreAPI.GetDeviceListWithConnectionType(0, 7);
        devices.add(serial[0]);
        assertEquals(List.of(info("SERIAL://S3", 7)), connectionInfos(serial));
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(0, 4));

        long unlisted = get("hid://p1");
        assertNotEquals(listed[0], unlisted);
        assertEquals(info("hid://p1", 0), WrapperIDevice.GetConnectionInfo(unlisted));
    }

    @Test
    public void aReaderIsDescribedInJson() {
        BrannetStandin.setProductId(READER, 0x0132);
        BrannetStandin.setReply(READER, "0003", "3132");
        long device = get(READER);
        assertEquals(1, WrapperIDevice.GetConnectionState(device));
        assertEquals("{\"Model\":\"Fictus P41 Pad Pen\",\"Name\":\"P1\",\"Serial\":\"12\"}",
                WrapperIDevice.GetDeviceInfo(device));
        assertEquals(4, WrapperIDevice.GetConnectionState(device));
        assertEquals("{\"BatteryBackedClock\":true,\"Display\":true,\"MSRPowerSaver\":false,\"PINPad\":true,"
                + "\"PaymentMethods\":7,\"SRED\":true,\"Signature\":true}", WrapperIDevice.GetDeviceCapabilities(device));
        assertEquals("P1", WrapperIDevice.GetName(device));
        assertEquals(info(READER, 0), WrapperIDevice.GetConnectionInfo(device));
        assertNotEquals(0, WrapperIDevice.GetDeviceControl(device));
        assertEquals(0, WrapperIDevice.GetDeviceConfiguration(device));

        long absent = get("HID://NONE");
        assertEquals("{\"Model\":\"Unknown\",\"Name\":\"Lumar Device\",\"Serial\":\"Unknown\"}",
                WrapperIDevice.GetDeviceInfo(absent));
    }

    @Test
    public void aTransactionIsSentAsTheFamilysCommand() {
        BrannetStandin.setProductId(READER, 0x0132);
        long device = get(READER);
        WrapperIDevice.GetDeviceInfo(device);
        long handle = BrannetStandin.openHandle(READER);
        BrannetStandin.takeCallLog();

        assertTrue(WrapperIDevice.StartTransaction(device,
                "{\"Timeout\":30,\"PaymentMethods\":15,\"QuickChip\":true,\"EMVOnly\":false,\"Amount\":\"12.34\","
                + "\"CashBack\":\"0.5\"}"));
        assertFalse(WrapperIDevice.StartTransaction(device,
                "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":true,\"EMVOnly\":false,\"Amount\":\"abc\"}"));
        // Amounts that are not decimal text, as "Amount" and as "CashBack".
        for (String amount : new String[] {"12,50", "1e3", "0x10", "-0.004", "12.50 EUR", ".5", "5.", ""}) {
            String request = "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":true,\"EMVOnly\":false,";
            assertFalse(amount, WrapperIDevice.StartTransaction(device, request + "\"Amount\":\"" + amount + "\"}"));
            assertFalse(amount, WrapperIDevice.StartTransaction(device,
                    request + "\"Amount\":\"1\",\"CashBack\":\"" + amount + "\"}"));
        }
        assertTrue(WrapperIDevice.CancelTransaction(device));
        assertFalse(WrapperIDevice.SendSelection(device, "01"));
        assertFalse(WrapperIDevice.SendAuthorization(device, "01"));
        assertFalse(WrapperIDevice.RequestSignature(device));
        assertFalse(WrapperIDevice.RequestPAN(device, "{\"Timeout\":10,\"PaymentMethods\":5}", ""));
        List<String> commands = new ArrayList<>();
        for (String call : BrannetStandin.takeCallLog().split("\n")) {
            if (call.startsWith("SendCommandEx(")) {
                commands.add(call);
            }
        }
        assertEquals(List.of("SendCommandEx(" + handle + ", \"0300:3C078000000000123400000000000050000002\")",
                "SendCommandEx(" + handle + ", \"4906000003040000\")"), commands);
    }

    @Test
    public void theLibrarysCallbacksBecomeEventsInOrderWithTheirText() {
        long device = get(READER);
        Recorder recorder = new Recorder();
        assertTrue(WrapperIDevice.SubscribeAll(device, recorder));
        WrapperIDevice.GetDeviceInfo(device);
        long handle = BrannetStandin.openHandle(READER);
        String text = "Karte \u00fcber \u20ac \uD83D\uDCB3";
        byte[] utf8 = text.getBytes(StandardCharsets.UTF_8);
        BrannetStandin.fireConnectionState(handle, true);
        BrannetStandin.fireDeviceResponse(handle, utf8);
        BrannetStandin.fireDataReceived(handle, "AA00".getBytes(StandardCharsets.UTF_8));
        for (int code = 0x300; code <= 0x306; code++) {
            BrannetStandin.fireNotification(handle, code, ("n" + code).getBytes(StandardCharsets.UTF_8));
        }
        BrannetStandin.fireConnectionState(handle, false);
        BrannetStandin.waitDelivered(handle);
        assertEquals(List.of("0:04", "1:" + text, "4:AA00", "5:n768", "6:n769", "7:n770", "8:n771", "9:n772",
                "10:n773", "0:01"), recorder.events);
    }

    @Test
    public void releasingASubscribedDeviceFreesItsListenerOnceAndLaterReleasesDoNothing()
            throws InterruptedException {
        BrannetStandin.setDeviceList(READER);
        long device = CoreAPI.GetDeviceList(0)[0];
        Recorder recorder = new Recorder();
        WrapperIDevice.SubscribeAll(device, recorder);
        WrapperIDevice.GetDeviceInfo(device);
        long handle = BrannetStandin.openHandle(READER);

        CoreAPI.ReleaseDeviceList(new long[] {device, device, 0});
        CoreAPI.ReleaseDevice(device);
        assertEquals(0, BrannetStandin.openHandle(READER));
        BrannetStandin.fireConnectionState(handle, true);
        assertEquals(List.of(), recorder.events);
        WeakReference<Recorder> released = new WeakReference<>(recorder);
        recorder = null;
        DeviceEventsTest.assertCollected(released);

        long again = CoreAPI.GetDeviceList(0)[0];
        devices.add(again);
        assertEquals(info(READER, 0), WrapperIDevice.GetConnectionInfo(again));
    }

    @Test
    public void aDeviceReleasedOnSeveralThreadsAtOnceIsClosedAndFreedOnce() throws InterruptedException {
        for (int round = 0; round < 20; round++) {
            long device = CoreAPI.GetDevice(0, 0, READER);
            WrapperIDevice.SubscribeAll(device, new Recorder());
            WrapperIDevice.GetDeviceInfo(device);
            BrannetStandin.takeCallLog();
            CountDownLatch start = new CountDownLatch(1);
            List<Thread> threads = new ArrayList<>();
            for (int t = 0; t < 4; t++) {
                Thread thread = new Thread(() -> {
                    try {
                        start.await();
                    } catch (InterruptedException e) {
                        return;
                    }
                    CoreAPI.ReleaseDeviceList(new long[] {device, device});
                });
                thread.start();
                threads.add(thread);
            }
            start.countDown();
            for (Thread thread : threads) {
                thread.join();
            }
            assertEquals(1, BrannetStandin.takeCallLog().split("CloseDeviceEx", -1).length - 1);
            assertEquals(0, BrannetStandin.openHandle(READER));
        }
    }

    @Test
    public void aListenerMayReleaseItsDeviceFromInsideAnEvent() throws InterruptedException {
        long device = CoreAPI.GetDevice(0, 0, READER);
        List<String> seen = Collections.synchronizedList(new ArrayList<>());
        WrapperIDevice.SubscribeAll(device, (DeviceEventListener) (type, payload) -> {
            seen.add(type + ":" + payload);
            CoreAPI.ReleaseDevice(device);
        });
        WrapperIDevice.GetDeviceInfo(device);
        long handle = BrannetStandin.openHandle(READER);
        BrannetStandin.fireDeviceResponse(handle, "a".getBytes(StandardCharsets.UTF_8));
        BrannetStandin.fireDeviceResponse(handle, "b".getBytes(StandardCharsets.UTF_8));
        for (int i = 0; i < 6000 && BrannetStandin.openHandle(READER) != 0; i++) {
            Thread.sleep(10);
        }
        assertEquals(0, BrannetStandin.openHandle(READER));
        assertEquals(List.of("1:a"), seen);
    }
}
