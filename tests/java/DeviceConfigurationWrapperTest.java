package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertTrue;

import java.lang.ref.WeakReference;
import java.nio.charset.StandardCharsets;
import java.security.GeneralSecurityException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HexFormat;
import java.util.List;
import java.util.function.ToIntBiFunction;
import javax.crypto.Mac;
import javax.crypto.spec.SecretKeySpec;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/**
 * WrapperIDeviceConfiguration end to end on a simulated reader of the newer
 * platform: arguments reach the reader with their named bits, results and
 * callbacks come back to Java on the calling thread, in order.
 */
public class DeviceConfigurationWrapperTest {
    private static final HexFormat HEX = HexFormat.of().withUpperCase();
    private static final byte[] FILE_ID = {1, 0, 0, 0};

    /** Records its calls, with the thread each came on; computes MACs as HMAC-SHA256 of the data. */
    static final class Recording implements ConfigurationCallback {
        final List<String> calls = new ArrayList<>();
        final List<Thread> threads = new ArrayList<>();
        byte[] signedData;

        private void record(String call) {
            calls.add(call);
            threads.add(Thread.currentThread());
        }

        @Override
        public void OnProgress(long value) {
            record("progress " + value);
        }

        @Override
        public void OnResult(long status, byte[] data) {
            record("result " + status + " " + HEX.formatHex(data));
        }

        @Override
        public byte[] OnCalculateMAC(long macType, byte[] data, long[] status) {
            record("mac " + macType + " " + Arrays.toString(status));
            signedData = data;
            return hmac(data);
        }
    }

    /** Only a result method. */
    static final class ResultOnly {
        final List<String> results = new ArrayList<>();

        public void OnResult(long status, byte[] data) {
            results.add(status + " " + HEX.formatHex(data));
        }
    }

    static byte[] hmac(byte[] data) {
        try {
            Mac mac = Mac.getInstance("HmacSHA256");
            mac.init(new SecretKeySpec("fictitious key".getBytes(StandardCharsets.US_ASCII), "HmacSHA256"));
            return mac.doFinal(data);
        } catch (GeneralSecurityException e) {
            throw new AssertionError(e);
        }
    }

    /** Every method with a callback, called with valid arguments. */
    private static final List<ToIntBiFunction<Long, Object>> CALLBACK_METHODS = List.of(
        (c, cb) -> WrapperIDeviceConfiguration.SetConfigInfo(c, 1, new byte[] {1}, cb),
        (c, cb) -> WrapperIDeviceConfiguration.UpdateKeyInfo(c, 1, new byte[] {1}, cb),
        (c, cb) -> WrapperIDeviceConfiguration.UpdateFirmware(c, 1, new byte[] {1}, cb),
        (c, cb) -> WrapperIDeviceConfiguration.GetFile(c, FILE_ID, cb),
        (c, cb) -> WrapperIDeviceConfiguration.SendFile(c, FILE_ID, new byte[] {1}, cb),
        (c, cb) -> WrapperIDeviceConfiguration.SendSecureFile(c, FILE_ID, new byte[] {1}, cb),
        (c, cb) -> WrapperIDeviceConfiguration.SendImage(c, 1, new byte[] {1}, cb));

    private SimulatedReader reader;
    private long device;
    private long configuration;

    @Before
    public void openReader() {
        reader = new SimulatedReader();
        device = TestHooks.newerDevice(reader.address());
        configuration = WrapperIDevice.GetDeviceConfiguration(device);
        assertTrue(WrapperIDeviceControl.Open(WrapperIDevice.GetDeviceControl(device)));
    }

    @After
    public void releaseReader() {
        CoreAPI.ReleaseDevice(device);
        reader.close();
    }

    @Test
    public void handleZeroGivesEveryMethodsFailureValueWithoutCallingBack() {
        Recording callback = new Recording();
        assertEquals("", WrapperIDeviceConfiguration.GetDeviceInfo(0, 1));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetConfigInfo(0, 1, new byte[] {1}));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetKeyInfo(0, 1, null));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetChallengeToken(0, new byte[] {0, 1}));
        for (ToIntBiFunction<Long, Object> method : CALLBACK_METHODS) {
            assertEquals(-1, method.applyAsInt(0L, callback));
        }
        assertEquals(-1, WrapperIDeviceConfiguration.SetDisplayImage(0, 1));
        assertEquals(List.of(), callback.calls);
    }

    /** The nested items of a tag path holding value, the last tag innermost. */
    private static String nested(String valueHex, String... tags) {
        String item = valueHex;
        for (int i = tags.length - 1; i >= 0; i--) {
            item = tags[i] + String.format("%02X", item.length() / 2) + item;
        }
        return item;
    }

    @Test
    public void informationIsReadAndWrittenWithTheNamedBitsOfEachNumber() {
        assertEquals("", WrapperIDeviceConfiguration.GetDeviceInfo(configuration, 9));
        reader.setReply(0xD101, 0, 0, "89=" + nested("503431", "E1", "E2", "E2", "E2", "C2"));
        assertEquals("P41", WrapperIDeviceConfiguration.GetDeviceInfo(configuration, 1));
        reader.clearReceived();

        reader.setReply(0xD101, 0, 0, "89=0A0B0C");
        assertArrayEquals(new byte[] {10, 11, 12},
                WrapperIDeviceConfiguration.GetConfigInfo(configuration, 0x1FF, new byte[] {1, 2}));
        assertEquals("85=FF 89=0102", reader.waitForCommand(0xD101));
        reader.clearReceived();
        WrapperIDeviceConfiguration.GetConfigInfo(configuration, 7, null);
        assertEquals("85=07 89=", reader.waitForCommand(0xD101));

        reader.setReply(0xEF11, 0, 0, "84=4B49");
        assertArrayEquals(new byte[] {0x4B, 0x49}, WrapperIDeviceConfiguration.GetKeyInfo(configuration, 0x100, null));

        reader.setReply(0xE001, 0, 0, "82=0C 83=5AA50102");
        assertArrayEquals(new byte[] {0x5A, (byte) 0xA5, 1, 2},
                WrapperIDeviceConfiguration.GetChallengeToken(configuration, new byte[] {0, 1}));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetChallengeToken(configuration, null));

        Recording callback = new Recording();
        reader.setReply(0xD111, 0, 0, "");
        assertEquals(0, WrapperIDeviceConfiguration.SetConfigInfo(configuration, 0x1FF, new byte[] {5}, callback));
        assertEquals("85=FF 89=05", reader.waitForCommand(0xD111));
        assertEquals(1, callback.calls.size());
        assertTrue(callback.calls.get(0), callback.calls.get(0).startsWith("result 0 AA00"));

        reader.setReply(0xEF01, 0, 6, "");
        assertEquals(6, WrapperIDeviceConfiguration.UpdateKeyInfo(configuration, 1, null, null));
        assertEquals("84=", reader.waitForCommand(0xEF01));

        reader.clearReceived();
        reader.setReply(0xD111, 0, 4, "");
        assertEquals(4, WrapperIDeviceConfiguration.SetDisplayImage(configuration, 0x102));
        assertTrue(reader.waitForCommand(0xD111).endsWith("02"));
    }

    @Test
    public void aFirmwareUpdateReportsProgressThenItsResultOnTheCallingThread() {
        reader.setReplyThenNotification(0xD801, 0x0905, 0x08010903);
        reader.setReplyThenNotification(0xD901, 0x0905, 0x08010A03);
        Recording callback = new Recording();
        assertEquals(0, WrapperIDeviceConfiguration.UpdateFirmware(configuration, 0x12345, new byte[] {1, 2, 3},
                callback));
        assertEquals(List.of("progress 1", "progress 10", "progress 60", "progress 66", "progress 68",
                "progress 99", "progress 100", "result 0 "), callback.calls);
        for (Thread thread : callback.threads) {
            assertEquals(Thread.currentThread(), thread);
        }
        assertTrue(reader.waitForCommand(0xD801).contains(" 85=2345 "));
    }

    @Test
    public void filesAreReadAndUploadedAndSecureFilesSignedInJava() {
        reader.acceptUploads();
        reader.setReplyThenFile(0xD821, 0x01000000, "CE03820141");
        byte[] content = "fictitious file".getBytes(StandardCharsets.US_ASCII);
        byte[] name = {0x0A, 0x0B, 0x0C, 0x0D};

        Recording read = new Recording();
        assertEquals(0, WrapperIDeviceConfiguration.GetFile(configuration, FILE_ID, read));
        assertEquals(List.of("result 0 CE03820141"), read.calls);

        Recording sent = new Recording();
        assertEquals(0, WrapperIDeviceConfiguration.SendFile(configuration, FILE_ID, content, sent));
        assertEquals(0, WrapperIDeviceConfiguration.SendImage(configuration, 0x102, new byte[] {7, 7}, sent));
        Recording secure = new Recording();
        assertEquals(0, WrapperIDeviceConfiguration.SendSecureFile(configuration, name, content, secure));
        assertEquals(List.of("mac 0 [0]", "progress 100", "result 0 "), secure.calls);
        // The signed announcement ends with the MAC item.
        assertTrue(reader.waitForCommandHex(0xAA00).endsWith("FF20" + HEX.formatHex(hmac(secure.signedData))));
        assertEquals(List.of("progress 100", "result 0 ", "progress 100", "result 0 "), sent.calls);

        String[] uploads = reader.uploads().split("\n");
        assertEquals(Arrays.toString(uploads), 3, uploads.length);
        assertEquals("id=01000000 name=3031303030303030 content=" + HEX.formatHex(content) + " token= fault=",
                uploads[0]);
        assertTrue(uploads[1], uploads[1].startsWith("id=02"));
        assertTrue(uploads[1], uploads[1].contains(" content=0707 "));
        assertTrue(uploads[2], uploads[2].startsWith("id=" + HEX.formatHex(name)));
        assertTrue(uploads[2], uploads[2].contains(" token=5AA50102 "));
        assertTrue(HEX.formatHex(secure.signedData).contains("5AA50102"));
        for (String upload : uploads) {
            assertTrue(upload, upload.endsWith(" fault="));
        }
    }

    @Test
    public void messagesTooLongToCarryAreRefusedWithNothingSent() {
        long control = WrapperIDevice.GetDeviceControl(device);
        byte[] content = new byte[4_000_000];
        String message = HEX.formatHex(content);
        reader.clearReceived();
        assertFalse(WrapperIDeviceControl.Send(control, message));
        assertEquals("{\"Data\":\"\",\"Status\":2}", WrapperIDeviceControl.SendSync(control, message));
        Recording callback = new Recording();
        assertEquals(2, WrapperIDeviceConfiguration.SendFile(configuration, FILE_ID, content, callback));
        assertEquals(2, WrapperIDeviceConfiguration.SendSecureFile(configuration, FILE_ID, content, callback));
        assertEquals(List.of("result 2 ", "result 2 "), callback.calls);
        // Answered after everything sent before it has arrived.
        assertTrue(WrapperIDeviceControl.SendSync(control, "AA0081040102100884021008").endsWith("\"Status\":0}"));
        assertEquals(1, reader.receivedCount());
    }

    @Test
    public void aNullArrayReadsAsEmpty() {
        Recording callback = new Recording();
        assertEquals(3, WrapperIDeviceConfiguration.GetFile(configuration, null, callback));
        assertEquals(2, WrapperIDeviceConfiguration.SendFile(configuration, FILE_ID, null, callback));
        assertEquals(List.of(), callback.calls);
        assertEquals(2, WrapperIDeviceConfiguration.SendFile(configuration, null, new byte[] {1}, callback));
        assertEquals(List.of("result 2 "), callback.calls);
    }

    @Test
    public void callbacksMissingMethodsLeaveTheOperationToEnd() {
        reader.setReply(0xD111, 0, 0, "");
        ResultOnly resultOnly = new ResultOnly();
        assertEquals(0, WrapperIDeviceConfiguration.SetConfigInfo(configuration, 1, new byte[] {1}, resultOnly));
        assertEquals(1, resultOnly.results.size());
        assertEquals(0, WrapperIDeviceConfiguration.SetConfigInfo(configuration, 1, new byte[] {1}, new Object()));
        assertEquals(0, WrapperIDeviceConfiguration.SetConfigInfo(configuration, 1, new byte[] {1}, null));
    }

    @Test
    public void anOperationThatThrowsGivesItsFailureValueAndReleasesTheCallback() throws InterruptedException {
        long device = FakeDevice.make(new byte[] {'x'}, 0, true, false);
        long throwing = WrapperIDevice.GetDeviceConfiguration(device);
        assertEquals("", WrapperIDeviceConfiguration.GetDeviceInfo(throwing, 1));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetConfigInfo(throwing, 1, null));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetKeyInfo(throwing, 1, null));
        assertArrayEquals(new byte[0], WrapperIDeviceConfiguration.GetChallengeToken(throwing, null));
        assertEquals(-1, WrapperIDeviceConfiguration.SetDisplayImage(throwing, 1));

        Recording callback = new Recording();
        WeakReference<Recording> released = new WeakReference<>(callback);
        for (ToIntBiFunction<Long, Object> method : CALLBACK_METHODS) {
            assertEquals(-1, method.applyAsInt(throwing, callback));
        }
        assertEquals(7, callback.calls.stream().filter("progress 1"::equals).count());
        callback = null;
        for (int i = 0; i < 1000 && released.get() != null; i++) {
            System.gc();
            Thread.sleep(10);
        }
        assertEquals(null, released.get());
        FakeDevice.free(device);
    }
}
