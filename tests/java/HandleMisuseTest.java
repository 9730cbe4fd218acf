package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertNotNull;
import static org.junit.Assert.assertTrue;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Random;
import java.util.concurrent.ThreadLocalRandom;
import java.util.concurrent.atomic.AtomicBoolean;
import java.util.concurrent.atomic.AtomicReference;
import java.util.function.LongFunction;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/**
 * Every method that takes a handle, given one that names no live object of
 * its kind (made up, released, or of another kind), gives its failure value
 * and touches nothing; and a device released while eight threads call it
 * harms none of them.
 */
public class HandleMisuseTest {
    private static final String OLDER_READER = "HID://P1";
    private static final String PIN =
            "{\"MaxLength\":6,\"MinLength\":4,\"PINMode\":1,\"Timeout\":20,\"Tone\":0,\"Format\":2,\"PAN\":\"5413\"}";
    private static final String BAR_CODE = "{\"Type\":1,\"Format\":2,\"Data\":\"C0DE\",\"BlockColor\":\"\","
            + "\"BackgroundColor\":\"\",\"ErrorCorrection\":1,\"MaskPattern\":2,\"MinVersion\":3,\"MaxVersion\":4}";

    /** A method and the value it gives for a handle that names nothing. */
    private static final class Method {
        final String name;
        final LongFunction<Object> call;
        final Object failure;

        Method(String name, LongFunction<Object> call, Object failure) {
            this.name = name;
            this.call = call;
            this.failure = failure;
        }
    }

    private static final List<Method> DEVICE_METHODS = List.of(
        new Method("GetName", WrapperIDevice::GetName, ""),
        new Method("GetConnectionInfo", WrapperIDevice::GetConnectionInfo, ""),
        new Method("GetConnectionState", WrapperIDevice::GetConnectionState, 3L),
        new Method("GetDeviceInfo", WrapperIDevice::GetDeviceInfo, ""),
        new Method("GetDeviceCapabilities", WrapperIDevice::GetDeviceCapabilities, ""),
        new Method("GetDeviceControl", WrapperIDevice::GetDeviceControl, 0L),
        new Method("GetDeviceConfiguration", WrapperIDevice::GetDeviceConfiguration, 0L),
        new Method("SubscribeAll", d -> WrapperIDevice.SubscribeAll(d, (DeviceEventListener) (t, p) -> { }), false),
        new Method("UnsubscribeAll", WrapperIDevice::UnsubscribeAll, false),
        new Method("StartTransaction", d -> WrapperIDevice.StartTransaction(d,
                "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true,\"Amount\":\"1\"}"), false),
        new Method("CancelTransaction", WrapperIDevice::CancelTransaction, false),
        new Method("SendSelection", d -> WrapperIDevice.SendSelection(d, "01"), false),
        new Method("SendAuthorization", d -> WrapperIDevice.SendAuthorization(d, "01"), false),
        new Method("RequestPIN", d -> WrapperIDevice.RequestPIN(d, PIN), false),
        new Method("RequestPAN", d -> WrapperIDevice.RequestPAN(d, "{\"Timeout\":10,\"PaymentMethods\":5}", PIN), false),
        new Method("RequestSignature", WrapperIDevice::RequestSignature, false));

    private static final List<Method> CONTROL_METHODS = List.of(
        new Method("Open", WrapperIDeviceControl::Open, false),
        new Method("Close", WrapperIDeviceControl::Close, false),
        new Method("Send", c -> WrapperIDeviceControl.Send(c, "AA00"), false),
        new Method("SendSync", c -> WrapperIDeviceControl.SendSync(c, "AA00"), null),
        new Method("SendExtendedCommand", c -> WrapperIDeviceControl.SendExtendedCommand(c, "AA00"), false),
        new Method("EndSession", WrapperIDeviceControl::EndSession, false),
        new Method("SetDateTime", c -> WrapperIDeviceControl.SetDateTime(c, "0102"), false),
        new Method("PlaySound", c -> WrapperIDeviceControl.PlaySound(c, "01"), false),
        new Method("GetInput", c -> WrapperIDeviceControl.GetInput(c, "01"), false),
        new Method("DisplayMessage", c -> WrapperIDeviceControl.DisplayMessage(c, (byte) 1, (byte) 2), false),
        new Method("ShowImageObject", c -> WrapperIDeviceControl.ShowImageObject(c,
                "{\"Type\":0,\"Data\":\"FF\",\"BackgroundColor\":\"\"}", (byte) 0), false),
        new Method("ShowImage", c -> WrapperIDeviceControl.ShowImage(c, (byte) 1), false),
        new Method("ShowBarCode", c -> WrapperIDeviceControl.ShowBarCode(c, BAR_CODE, (byte) 0), false),
        new Method("SetLatch", c -> WrapperIDeviceControl.SetLatch(c, true), false),
        new Method("DeviceReset", WrapperIDeviceControl::DeviceReset, false));

    private static final byte[] NO_BYTES = new byte[0];
    private static final byte[] ONE = {1};

    private static final List<Method> CONFIGURATION_METHODS = List.of(
        new Method("GetDeviceInfo", g -> WrapperIDeviceConfiguration.GetDeviceInfo(g, 1), ""),
        new Method("GetConfigInfo", g -> WrapperIDeviceConfiguration.GetConfigInfo(g, 1, ONE), NO_BYTES),
        new Method("GetKeyInfo", g -> WrapperIDeviceConfiguration.GetKeyInfo(g, 1, ONE), NO_BYTES),
        new Method("GetChallengeToken", g -> WrapperIDeviceConfiguration.GetChallengeToken(g, ONE), NO_BYTES),
        new Method("SetConfigInfo", g -> WrapperIDeviceConfiguration.SetConfigInfo(g, 1, ONE, new Object()), -1),
        new Method("UpdateKeyInfo", g -> WrapperIDeviceConfiguration.UpdateKeyInfo(g, 1, ONE, new Object()), -1),
        new Method("UpdateFirmware", g -> WrapperIDeviceConfiguration.UpdateFirmware(g, 1, ONE, new Object()), -1),
        new Method("GetFile", g -> WrapperIDeviceConfiguration.GetFile(g, ONE, new Object()), -1),
        new Method("SendFile", g -> WrapperIDeviceConfiguration.SendFile(g, ONE, ONE, new Object()), -1),
        new Method("SendSecureFile", g -> WrapperIDeviceConfiguration.SendSecureFile(g, ONE, ONE, new Object()), -1),
        new Method("SendImage", g -> WrapperIDeviceConfiguration.SendImage(g, 1, ONE, new Object()), -1),
        new Method("SetDisplayImage", g -> WrapperIDeviceConfiguration.SetDisplayImage(g, 1), -1));

    private SimulatedReader reader;
    private SimulatedReader releasedReader;

    @Before
    public void startReaders() {
        reader = new SimulatedReader();
        releasedReader = new SimulatedReader();
        BrannetStandin.reset();
        BrannetStandin.addDevice(OLDER_READER);
    }

    @After
    public void stopReaders() {
        reader.close();
        releasedReader.close();
    }

    /** A device of the newer platform, open, and its control and configuration. */
    private static long[] opened(SimulatedReader at) {
        long device = CoreAPI.GetDevice(3, 4, at.address());
        long configuration = WrapperIDevice.GetDeviceConfiguration(device);
        assertNotEquals(0, configuration);
        return new long[] {device, WrapperIDevice.GetDeviceControl(device), configuration};
    }

    private static void assertEachFails(List<Method> methods, long handle) {
        for (Method method : methods) {
            Object result = method.call.apply(handle);
            assertTrue(method.name + "(" + handle + ") gave " + result,
                    Arrays.deepEquals(new Object[] {method.failure}, new Object[] {result}));
        }
    }

    @Test
    public void aHandleThatNamesNoLiveObjectOfTheKindGivesTheFailureValue() {
        long[] newer = opened(reader);
        long older = CoreAPI.GetDevice(0, 0, OLDER_READER);
        long olderControl = WrapperIDevice.GetDeviceControl(older);
        long[] released = opened(releasedReader);
        CoreAPI.ReleaseDevice(released[0]);

        List<Long> madeUp = new ArrayList<>(List.of(-1L, Long.MIN_VALUE, Long.MAX_VALUE, 0x10L, 0xDEADBEEFL,
                0x7F00_0000_1000L));
        Random random = new Random(26);
        for (int i = 0; i < 20; i++) {
            madeUp.add(random.nextLong());
        }
        madeUp.addAll(List.of(released[0], released[1], released[2]));
        List<Long> devices = List.of(newer[0], older);
        List<Long> controls = List.of(newer[1], olderControl);
        List<Long> configurations = List.of(newer[2]);

        for (long handle : madeUp) {
            assertEachFails(DEVICE_METHODS, handle);
            assertEachFails(CONTROL_METHODS, handle);
            assertEachFails(CONFIGURATION_METHODS, handle);
            CoreAPI.ReleaseDevice(handle);
        }
        for (long handle : controls) {
            assertEachFails(DEVICE_METHODS, handle);
            assertEachFails(CONFIGURATION_METHODS, handle);
        }
        for (long handle : configurations) {
            assertEachFails(DEVICE_METHODS, handle);
            assertEachFails(CONTROL_METHODS, handle);
        }
        for (long handle : devices) {
            assertEachFails(CONTROL_METHODS, handle);
            assertEachFails(CONFIGURATION_METHODS, handle);
        }
        // A release of a part's handle releases nothing.
        CoreAPI.ReleaseDeviceList(new long[] {newer[1], newer[2], olderControl});

        // The live objects were not touched and still answer (in time or not).
        assertEquals(4, WrapperIDevice.GetConnectionState(newer[0]));
        assertNotNull(WrapperIDeviceControl.SendSync(newer[1], "AA0081040102100184021001"));
        assertNotEquals(-1, WrapperIDeviceConfiguration.SetDisplayImage(newer[2], 1));
        assertEquals(olderControl, WrapperIDevice.GetDeviceControl(older));
        assertEquals(0, releasedReader.openCount());
        CoreAPI.ReleaseDeviceList(new long[] {newer[0], older});
    }

    @Test
    public void aReleaseThatRacesCallsOnEightThreadsHarmsNone() throws InterruptedException {
        List<Method> configurationMethods = new ArrayList<>(CONFIGURATION_METHODS.subList(0, 5));
        configurationMethods.add(CONFIGURATION_METHODS.get(11));
        AtomicReference<long[]> current = new AtomicReference<>(new long[] {0, 0, 0, 0, 0});
        AtomicBoolean stop = new AtomicBoolean();
        List<Throwable> failures = new ArrayList<>();
        List<Thread> callers = new ArrayList<>();
        for (int t = 0; t < 8; t++) {
            Thread caller = new Thread(() -> {
                ThreadLocalRandom random = ThreadLocalRandom.current();
                while (!stop.get()) {
                    long[] handles = current.get();
                    int which = random.nextInt(handles.length);
                    List<Method> methods = which == 0 || which == 3 ? DEVICE_METHODS
                            : which == 2 ? configurationMethods : CONTROL_METHODS;
                    methods.get(random.nextInt(methods.size())).call.apply(handles[which]);
                }
            });
            caller.setUncaughtExceptionHandler((thread, e) -> {
                synchronized (failures) {
                    failures.add(e);
                }
            });
            caller.start();
            callers.add(caller);
        }
        long end = System.nanoTime() + 10_000_000_000L;
        while (System.nanoTime() < end) {
            long newer = CoreAPI.GetDevice(3, 4, reader.address());
            long older = CoreAPI.GetDevice(0, 0, OLDER_READER);
            current.set(new long[] {newer, WrapperIDevice.GetDeviceControl(newer),
                WrapperIDevice.GetDeviceConfiguration(newer), older, WrapperIDevice.GetDeviceControl(older)});
            Thread.sleep(5);
            CoreAPI.ReleaseDeviceList(new long[] {newer, older});
        }
        stop.set(true);
        for (Thread caller : callers) {
            caller.join();
        }
        assertEquals(List.of(), failures);
        for (int i = 0; i < 6000 && reader.openCount() != 0; i++) {
            Thread.sleep(10);
        }
        assertEquals(0, reader.openCount());
        assertEquals(0, BrannetStandin.openHandle(OLDER_READER));
    }
}
