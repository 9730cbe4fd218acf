package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertTrue;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.function.Function;
import java.util.function.LongPredicate;
import org.junit.Test;

/**
 * WrapperIDeviceControl end to end: on a simulated reader of the newer
 * platform (through Quorlan over TCP) and on the stand-in older-family
 * library.
 */
public class DeviceControlWrapperTest {
    private static final String OLDER_READER = "HID://P1";

    /** Every boolean method, called with valid arguments. */
    private static final LongPredicate[] BOOLEAN_METHODS = {
        WrapperIDeviceControl::Open,
        WrapperIDeviceControl::Close,
        c -> WrapperIDeviceControl.Send(c, "AA00"),
        c -> WrapperIDeviceControl.SendExtendedCommand(c, "AA00"),
        WrapperIDeviceControl::EndSession,
        c -> WrapperIDeviceControl.SetDateTime(c, "0102"),
        c -> WrapperIDeviceControl.PlaySound(c, "01"),
        c -> WrapperIDeviceControl.GetInput(c, "01"),
        c -> WrapperIDeviceControl.DisplayMessage(c, (byte) 1, (byte) 2),
        c -> WrapperIDeviceControl.ShowImageObject(c, "{\"Type\":0,\"Data\":\"FF\",\"BackgroundColor\":\"\"}", (byte) 0),
        c -> WrapperIDeviceControl.ShowImage(c, (byte) 1),
        c -> WrapperIDeviceControl.ShowBarCode(c, barCode("\"MaxVersion\":1"), (byte) 0),
        c -> WrapperIDeviceControl.SetLatch(c, true),
        WrapperIDeviceControl::DeviceReset,
    };

    /** The operations that neither family's control implements. */
    private static final LongPredicate[] UNSUPPORTED = {
        c -> WrapperIDeviceControl.SendExtendedCommand(c, "AA00"),
        WrapperIDeviceControl::EndSession,
        c -> WrapperIDeviceControl.SetDateTime(c, "0102"),
        c -> WrapperIDeviceControl.PlaySound(c, "01"),
        c -> WrapperIDeviceControl.GetInput(c, "01"),
        c -> WrapperIDeviceControl.SetLatch(c, true),
        c -> WrapperIDeviceControl.SetLatch(c, false),
    };

    /** Text that is not whole pairs of hexadecimal digits. */
    private static final String[] NOT_HEX_PAIRS = {"zz", "ABC", "hello", "AA 00", "0x10", "\u00e9\u00e9"};

    /** Every method that takes hexadecimal text, as argument or as member of its request, given the text. */
    private static List<Function<String, Object>> hexMethods(long device, long control) {
        String pin = "{\"MaxLength\":6,\"MinLength\":4,\"PINMode\":1,\"Timeout\":20,\"Tone\":0,\"Format\":2,\"PAN\":\"";
        return List.of(
            hex -> WrapperIDeviceControl.Send(control, hex),
            hex -> WrapperIDeviceControl.SendSync(control, hex),
            hex -> WrapperIDeviceControl.SendExtendedCommand(control, hex),
            hex -> WrapperIDeviceControl.SetDateTime(control, hex),
            hex -> WrapperIDeviceControl.PlaySound(control, hex),
            hex -> WrapperIDeviceControl.GetInput(control, hex),
            hex -> WrapperIDeviceControl.ShowImageObject(control,
                    "{\"Type\":0,\"Data\":\"FF\",\"BackgroundColor\":\"" + hex + "\"}", (byte) 0),
            hex -> WrapperIDeviceControl.ShowBarCode(control, barCode("\"MaxVersion\":1").replace("C0DE", hex), (byte) 0),
            hex -> WrapperIDevice.SendSelection(device, hex),
            hex -> WrapperIDevice.SendAuthorization(device, hex),
            hex -> WrapperIDevice.StartTransaction(device, "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,"
                    + "\"EMVOnly\":true,\"Amount\":\"1.00\",\"CurrencyCode\":\"" + hex + "\"}"),
            hex -> WrapperIDevice.RequestPIN(device, pin + hex + "\"}"),
            hex -> WrapperIDevice.RequestPAN(device, "{\"Timeout\":10,\"PaymentMethods\":5}", pin + hex + "\"}"));
    }

    /** Each method gives its failure value, false or (SendSync) null, for each text. */
    private static void assertTextThatIsNotHexPairsIsRefused(long device, long control) {
        List<Function<String, Object>> methods = hexMethods(device, control);
        for (int i = 0; i < methods.size(); i++) {
            for (String text : NOT_HEX_PAIRS) {
                Object result = methods.get(i).apply(text);
                assertTrue("method " + i + " " + text + ": " + result, result == null || result.equals(false));
            }
        }
    }

    /** A bar-code request with every member, the last one given as lastMember. */
    private static String barCode(String lastMember) {
        return "{\"Type\":1,\"Format\":2,\"Data\":\"C0DE\",\"BlockColor\":\"000000\",\"BackgroundColor\":\"FFFFFF\","
                + "\"ErrorCorrection\":1,\"MaskPattern\":2,\"MinVersion\":3," + lastMember + "}";
    }

    @Test
    public void handleZeroGivesEveryMethodsFailureValue() {
        for (int i = 0; i < BOOLEAN_METHODS.length; i++) {
            assertFalse("method " + i, BOOLEAN_METHODS[i].test(0));
        }
        assertNull(WrapperIDeviceControl.SendSync(0, "AA00"));
    }

    @Test
    public void aNewerPlatformReaderIsDrivenThroughItsControl() {
        try (SimulatedReader reader = new SimulatedReader()) {
            long device = TestHooks.newerDevice(reader.address());
            long control = WrapperIDevice.GetDeviceControl(device);
            try {
                assertEquals("{\"Data\":\"\",\"Status\":3}", WrapperIDeviceControl.SendSync(control, "AA00"));
                assertTrue(WrapperIDeviceControl.Open(control));

                String reply = WrapperIDeviceControl.SendSync(control, "AA0081040102100184021001");
                assertTrue(reply, reply.matches("\\{\"Data\":\"AA00[0-9A-F]+\",\"Status\":0}"));

                // Requests that are refused go out before the one accepted:
                // the reader's first command of each code is the accepted one.
                String[] refusedImages = {
                    "{\"Type\":0,\"Data\":\"FF00\"}",
                    "{\"Type\":0,\"Data\":7,\"BackgroundColor\":\"\"}",
                    "{\"Type\":\"0\",\"Data\":\"FF00\",\"BackgroundColor\":\"\"}",
                    "[1]",
                    "{\"Type\":0,",
                    "",
                    null,
                };
                for (String json : refusedImages) {
                    assertFalse(json, WrapperIDeviceControl.ShowImageObject(control, json, (byte) 3));
                }
                String[] refusedBarCodes = {
                    barCode("\"MaxVersion\":\"1\"").replace("\"Type\":1", "\"Type\":\"1\""),
                    barCode("\"Other\":1"),
                    barCode("\"MaxVersion\":null"),
                    barCode("\"MaxVersion\":4").replace("\"Data\":\"C0DE\"", "\"Data\":[192]"),
                };
                for (String json : refusedBarCodes) {
                    assertFalse(json, WrapperIDeviceControl.ShowBarCode(control, json, (byte) 0));
                }

                assertTrue(WrapperIDeviceControl.DisplayMessage(control, (byte) 5, (byte) 9));
                assertTrue(WrapperIDeviceControl.ShowImage(control, (byte) 0xF7));
                assertTrue(WrapperIDeviceControl.ShowImageObject(control,
                        "{\"Type\":0.9,\"Data\":\"FF00\",\"BackgroundColor\":\"\"}", (byte) 0x83));
                assertTrue(WrapperIDeviceControl.ShowBarCode(control, barCode("\"MaxVersion\":300"), (byte) 2));
                assertTrue(WrapperIDeviceControl.DeviceReset(control));
                assertEquals("81=09 82=05", reader.waitForCommand(0x1803));
                assertEquals("81=F7", reader.waitForCommand(0x1821));
                assertEquals("81=83 82= 83=00 84=00 85=FF00", reader.waitForCommand(0x1823));
                assertEquals("81=02 82=C0DE 83=01 84=02 85=03 86=2C 87=FFFFFF 88=000000",
                        reader.waitForCommand(0x1822));
                assertEquals("", reader.waitForCommand(0x1F01));

                for (LongPredicate unsupported : UNSUPPORTED) {
                    assertFalse(unsupported.test(control));
                }
                assertTrue(WrapperIDeviceControl.Close(control));
                assertFalse(WrapperIDeviceControl.Send(control, "AA00"));
            } finally {
                CoreAPI.ReleaseDevice(device);
            }
        }
    }

    @Test
    public void textThatIsNotWholeHexadecimalPairsIsRefusedWithNothingSent() {
        try (SimulatedReader reader = new SimulatedReader()) {
            long device = TestHooks.newerDevice(reader.address());
            long control = WrapperIDevice.GetDeviceControl(device);
            try {
                assertTrue(WrapperIDeviceControl.Open(control));
                reader.clearReceived();
                assertTextThatIsNotHexPairsIsRefused(device, control);
                // A device's messages arrive in order: all before the marker has arrived.
                String marker = "AA00810401001F7F84021F7F";
                assertTrue(WrapperIDeviceControl.SendSync(control, marker).endsWith("\"Status\":0}"));
                assertEquals(marker + "\n", reader.received());
            } finally {
                CoreAPI.ReleaseDevice(device);
            }
        }
        BrannetStandin.reset();
        BrannetStandin.addDevice(OLDER_READER);
        long device = CoreAPI.GetDevice(0, 0, OLDER_READER);
        try {
            long control = WrapperIDevice.GetDeviceControl(device);
            assertTrue(WrapperIDeviceControl.Open(control));
            long handle = BrannetStandin.openHandle(OLDER_READER);
            BrannetStandin.takeCallLog();
            assertTextThatIsNotHexPairsIsRefused(device, control);
            assertEquals(List.of(), dataCalls(handle));
        } finally {
            CoreAPI.ReleaseDevice(device);
        }
    }

    @Test
    public void aReplyThatComesAfterItsWaitIsNotTheNextCommandsReply() {
        try (SimulatedReader reader = new SimulatedReader()) {
            reader.answerLate(0x7001, 0x7002);
            long device = CoreAPI.GetDevice(3, 4, reader.address());
            long control = WrapperIDevice.GetDeviceControl(device);
            try {
                assertTrue(WrapperIDeviceControl.Open(control));
                String nothing = "{\"Data\":\"\",\"Status\":1}";
                assertEquals(nothing, WrapperIDeviceControl.SendSync(control, "AA0081040111700184027001"));
                assertEquals(nothing, WrapperIDeviceControl.SendSync(control, "AA0081040112700284027002"));
            } finally {
                CoreAPI.ReleaseDevice(device);
            }
        }
    }

    /** The calls of the stand-in library that carry data, with the handle written as h. */
    private static List<String> dataCalls(long handle) {
        List<String> calls = new ArrayList<>();
        for (String call : BrannetStandin.takeCallLog().split("\n")) {
            if (call.startsWith("SendCommandEx(") || call.startsWith("SendDataEx(")) {
                calls.add(call.replace("(" + handle + ", ", "(h, "));
            }
        }
        return calls;
    }

    @Test
    public void theListenerHearsEachOpenAndCloseOfTheControlInOrderWithTheState() {
        try (SimulatedReader reader = new SimulatedReader()) {
            long device = TestHooks.newerDevice(reader.address());
            long control = WrapperIDevice.GetDeviceControl(device);
            List<String> events = Collections.synchronizedList(new ArrayList<>());
            List<Long> states = new ArrayList<>();
            WrapperIDevice.SubscribeAll(device, (DeviceEventListener) (type, payload) -> events.add(type + ":" + payload));
            for (LongPredicate step : new LongPredicate[] {WrapperIDeviceControl::Open, WrapperIDeviceControl::Open,
                WrapperIDeviceControl::Close, WrapperIDeviceControl::Close, WrapperIDeviceControl::Open}) {
                assertTrue(step.test(control));
                states.add(WrapperIDevice.GetConnectionState(device));
            }
            assertEquals(List.of(4L, 4L, 1L, 1L, 4L), states);
            assertEquals(List.of("0:connected", "0:disconnected", "0:connected"), events);
            CoreAPI.ReleaseDevice(device);
            assertEquals("0:disconnected", events.get(events.size() - 1));
        }
    }

    @Test
    public void anOlderFamilyReaderGetsTheTextsAsTheyStandAndRepliesInUpperCase() {
        BrannetStandin.reset();
        BrannetStandin.setReply(OLDER_READER, "0003", "aa00bc");
        BrannetStandin.setReply(OLDER_READER, "02", "");
        long device = CoreAPI.GetDevice(0, 0, OLDER_READER);
        long control = WrapperIDevice.GetDeviceControl(device);
        try {
            assertNotEquals(0, control);
            assertTrue(WrapperIDeviceControl.Open(control));
            long handle = BrannetStandin.openHandle(OLDER_READER);
            BrannetStandin.takeCallLog();

            assertEquals("{\"Data\":\"AA00BC\",\"Status\":0}", WrapperIDeviceControl.SendSync(control, "0003"));
            assertTrue(WrapperIDeviceControl.Send(control, "aa0B"));
            assertTrue(WrapperIDeviceControl.Send(control, null));
            assertTrue(WrapperIDeviceControl.DeviceReset(control));
            for (LongPredicate unsupported : UNSUPPORTED) {
                assertFalse(unsupported.test(control));
            }
            assertEquals(List.of("SendCommandEx(h, \"0003\")", "SendDataEx(h, \"aa0B\")", "SendDataEx(h, \"\")",
                    "SendCommandEx(h, \"02\")"), dataCalls(handle));
        } finally {
            CoreAPI.ReleaseDevice(device);
        }
    }
}
