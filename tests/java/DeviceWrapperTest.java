package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotNull;
import static org.junit.Assert.assertTrue;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.function.LongFunction;
import org.junit.After;
import org.junit.Test;

/**
 * Each WrapperIDevice method forwards one call with its arguments read from
 * JSON or hexadecimal text, and turns the device's answer into compact JSON
 * or its failure value; shown on fake devices that record their calls.
 */
public class DeviceWrapperTest {
    private static final String TRANSACTION =
            "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true,\"Amount\":\"100\"";
    private static final String PIN =
            "{\"MaxLength\":6,\"MinLength\":4,\"PINMode\":1,\"Timeout\":20,\"Tone\":0,\"Format\":2,\"PAN\":\"5413\"";
    private static final String PAN = "{\"Timeout\":10,\"PaymentMethods\":5}";

    private final List<Long> fakes = new ArrayList<>();

    private long fake(String text, int number, boolean answer) {
        return fake(text.getBytes(StandardCharsets.UTF_8), number, answer, false);
    }

    private long fake(byte[] text, int number, boolean answer, boolean throwing) {
        long device = FakeDevice.make(text, number, answer, throwing);
        fakes.add(device);
        return device;
    }

    @After
    public void freeFakes() {
        for (long device : fakes) {
            FakeDevice.free(device);
        }
    }

    /** The value of key in the one call recorded, "Timeout=44 ..." style. */
    private static String field(String calls, String key) {
        for (String item : calls.trim().split(" ")) {
            if (item.startsWith(key + "=")) {
                return item.substring(key.length() + 1);
            }
        }
        throw new AssertionError(key + " not in " + calls);
    }

    @Test
    public void resultsAreCompactJsonWithMembersInKeyOrder() {
        String name = "Caf\u00e9 \"1\" \uD834\uDD1E";
        String json = "Caf\u00e9 \\\"1\\\" \uD834\uDD1E";
        long device = fake(name, 4, true);
        assertEquals(name, WrapperIDevice.GetName(device));
        assertEquals("{\"Address\":\"" + json + "\",\"ConnectionType\":4,\"DeviceType\":5}",
                WrapperIDevice.GetConnectionInfo(device));
        assertEquals(4, WrapperIDevice.GetConnectionState(device));
        assertEquals("{\"Model\":\"M-" + json + "\",\"Name\":\"" + json + "\",\"Serial\":\"S-" + json + "\"}",
                WrapperIDevice.GetDeviceInfo(device));
        assertEquals("{\"BatteryBackedClock\":false,\"Display\":true,\"MSRPowerSaver\":true,\"PINPad\":false,"
                + "\"PaymentMethods\":4,\"SRED\":false,\"Signature\":true}", WrapperIDevice.GetDeviceCapabilities(device));
    }

    @Test
    public void theControlAndTheConfigurationAreHandlesOfTheirOwn() {
        long device = fake("x", 4, true);
        long control = WrapperIDevice.GetDeviceControl(device);
        long configuration = WrapperIDevice.GetDeviceConfiguration(device);
        assertEquals(control, WrapperIDevice.GetDeviceControl(device));
        assertEquals(configuration, WrapperIDevice.GetDeviceConfiguration(device));
        // Three handles, all different, none 0.
        assertEquals(4, new HashSet<>(List.of(device, control, configuration, 0L)).size());
        // The fake's parts throw: each call reaches its own part.
        assertFalse(WrapperIDeviceControl.Open(control));
        assertEquals(-1, WrapperIDeviceConfiguration.SetDisplayImage(configuration, 1));
        assertEquals(0, WrapperIDevice.GetDeviceConfiguration(fake("x", 4, false)));
    }

    @Test
    public void numbersAreSignedFrom32BitsAndTextThatIsNotUtf8FailsOnlyInJson() {
        long large = fake("x", 0x8000_0001, true);
        assertEquals("{\"Address\":\"x\",\"ConnectionType\":-2147483647,\"DeviceType\":-2147483646}",
                WrapperIDevice.GetConnectionInfo(large));
        assertEquals(-2147483647L, WrapperIDevice.GetConnectionState(large));

        long illFormed = fake(new byte[] {'A', (byte) 0xFF, 'B'}, 1, true, false);
        assertEquals("A\uFFFDB", WrapperIDevice.GetName(illFormed));
        assertEquals("", WrapperIDevice.GetConnectionInfo(illFormed));
        assertEquals("", WrapperIDevice.GetDeviceInfo(illFormed));
        assertEquals("{\"BatteryBackedClock\":false,\"Display\":true,\"MSRPowerSaver\":true,\"PINPad\":false,"
                + "\"PaymentMethods\":1,\"SRED\":false,\"Signature\":true}",
                WrapperIDevice.GetDeviceCapabilities(illFormed));
    }

    @Test
    public void aTransactionRequestStartsFromItsDefaults() {
        long device = fake("x", 0, true);
        assertTrue(WrapperIDevice.StartTransaction(device, TRANSACTION + "}"));
        assertEquals("StartTransaction Timeout=30 PaymentMethods=7 QuickChip=0 EMVOnly=1"
                + " PreventMSRSignatureForCardWithICC=0 SuppressThankYouMessage=0 OverrideFinalTransactionMessage=0"
                + " EMVResponseFormat=0 TransactionType=0 Amount=100 CashBack=0 CurrencyCode= CurrencyExponent="
                + " TransactionCategory= MerchantCategory= MerchantID= MerchantCustomData= ManualEntryType=0"
                + " ManualEntryFormat=0 ManualEntrySound=0\n", FakeDevice.takeCalls(device));
        assertFalse(WrapperIDevice.StartTransaction(fake("x", 0, false), TRANSACTION + "}"));
    }

    @Test
    public void transactionMembersAreReadByTheirKind() {
        String[][] rows = {
            // added members, field, value
            {"\"Timeout\":300", "Timeout", "44"},
            {"\"Timeout\":12.9", "Timeout", "12"},
            {"\"Timeout\":-0.5", "Timeout", "0"},
            {"\"Timeout\":true", "Timeout", "1"},
            {"\"PaymentMethods\":4294967298", "PaymentMethods", "2"},
            {"\"PaymentMethods\":-1", "PaymentMethods", "4294967295"},
            {"\"PaymentMethods\":1e10", "PaymentMethods", "2147483647"},
            {"\"PaymentMethods\":-1e300", "PaymentMethods", "2147483648"},
            {"\"Timeout\":1e10", "Timeout", "255"},
            {"\"Amount\":\"\u20ac1\"", "Amount", "\u20ac1"},
            {"\"CashBack\":\"2.50\"", "CashBack", "2.50"},
            {"\"CashBack\":5", "CashBack", "0"},
            {"\"OverrideFinalTransactionMessage\":261", "OverrideFinalTransactionMessage", "5"},
            {"\"SuppressThankYouMessage\":true", "SuppressThankYouMessage", "1"},
            {"\"SuppressThankYouMessage\":1", "SuppressThankYouMessage", "0"},
            {"\"PreventMSRSignatureForCardWithICC\":true", "PreventMSRSignatureForCardWithICC", "1"},
            {"\"EMVResponseFormat\":2.0", "EMVResponseFormat", "2"},
            {"\"TransactionType\":\"1\"", "TransactionType", "0"},
            {"\"CurrencyCode\":\"0840\"", "CurrencyCode", "0840"},
            {"\"CurrencyCode\":\"\"", "CurrencyCode", ""},
            {"\"MerchantCategory\":\"5999\"", "MerchantCategory", "5999"},
            {"\"MerchantCustomData\":\"abcd\"", "MerchantCustomData", "ABCD"},
            {"\"MerchantID\":[1]", "MerchantID", ""},
            {"\"TransactionCategory\":\"52\"", "TransactionCategory", "52"},
            {"\"ManualEntryType\":1,\"ManualEntryFormat\":2,\"ManualEntrySound\":3", "ManualEntrySound", "3"},
            {"\"ManualEntryFormat\":null", "ManualEntryFormat", "0"},
        };
        long device = fake("x", 0, true);
        for (String[] row : rows) {
            // Later members of one text replace earlier ones of the same key.
            assertTrue(row[0], WrapperIDevice.StartTransaction(device, TRANSACTION + "," + row[0] + "}"));
            assertEquals(row[0], row[2], field(FakeDevice.takeCalls(device), row[1]));
        }
    }

    @Test
    public void aRequestWithoutItsRequiredMembersIsNotMade() {
        String[] transactions = {
            "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true}",
            TRANSACTION + ",\"QuickChip\":1}",
            TRANSACTION + ",\"Amount\":100}",
            TRANSACTION + ",\"Timeout\":\"30\"}",
            TRANSACTION,
            "[" + TRANSACTION + "}]",
            "",
            null,
        };
        String[] pins = {
            "{\"MaxLength\":6,\"MinLength\":4,\"PINMode\":1,\"Timeout\":20,\"Format\":2,\"PAN\":\"5413\"}",
            PIN + ",\"PAN\":5413}",
            "   ",
        };
        long device = fake("x", 0, true);
        for (String json : transactions) {
            assertFalse(String.valueOf(json), WrapperIDevice.StartTransaction(device, json));
        }
        for (String json : pins) {
            assertFalse(json, WrapperIDevice.RequestPIN(device, json));
            assertFalse(json, WrapperIDevice.RequestPAN(device, PAN, json));
        }
        assertFalse(WrapperIDevice.RequestPAN(device, "{\"Timeout\":10}", null));
        assertEquals("", FakeDevice.takeCalls(device));
    }

    @Test
    public void pinAndPanRequestsCarryEveryMember() {
        long device = fake("x", 0, true);
        assertTrue(WrapperIDevice.RequestPIN(device, PIN + "}"));
        assertTrue(WrapperIDevice.RequestPIN(device, PIN + ",\"PAN\":\"54aB\",\"Tone\":1.5}"));
        assertTrue(WrapperIDevice.RequestPAN(device, PAN, PIN + "}"));
        assertTrue(WrapperIDevice.RequestPAN(device, PAN, ""));
        assertTrue(WrapperIDevice.RequestPAN(device, PAN, null));
        String pin = "Timeout=20 PINMode=1 MinLength=4 MaxLength=6 Tone=0 Format=2 PAN=5413";
        assertEquals("RequestPIN " + pin + "\n"
                + "RequestPIN Timeout=20 PINMode=1 MinLength=4 MaxLength=6 Tone=1 Format=2 PAN=54aB\n"
                + "RequestPAN Timeout=10 PaymentMethods=5 PIN " + pin + "\n"
                + "RequestPAN Timeout=10 PaymentMethods=5 PIN none\n"
                + "RequestPAN Timeout=10 PaymentMethods=5 PIN none\n", FakeDevice.takeCalls(device));
    }

    @Test
    public void hexadecimalArgumentsKeepTheirTextBesideTheirBytes() {
        long device = fake("x", 0, true);
        assertTrue(WrapperIDevice.SendSelection(device, "0a02"));
        assertTrue(WrapperIDevice.SendAuthorization(device, "8A023030"));
        assertTrue(WrapperIDevice.SendAuthorization(device, null));
        assertTrue(WrapperIDevice.CancelTransaction(device));
        assertTrue(WrapperIDevice.RequestSignature(device));
        assertEquals("SendSelection Text=0a02 Bytes=0A02\n"
                + "SendAuthorization Text=8A023030 Bytes=8A023030\nSendAuthorization Text= Bytes=\n"
                + "CancelTransaction\nRequestSignature\n", FakeDevice.takeCalls(device));
        long refusing = fake("x", 0, false);
        assertFalse(WrapperIDevice.SendSelection(refusing, "01"));
        assertFalse(WrapperIDevice.CancelTransaction(refusing));
        assertFalse(WrapperIDevice.RequestSignature(refusing));
    }

    @Test
    public void handleZeroAndADeviceThatThrowsGiveEachMethodsFailureValue() {
        Listener listener = new Listener();
        List<LongFunction<Object>> methods = List.of(
            WrapperIDevice::GetName,
            WrapperIDevice::GetConnectionInfo,
            WrapperIDevice::GetConnectionState,
            WrapperIDevice::GetDeviceInfo,
            WrapperIDevice::GetDeviceCapabilities,
            WrapperIDevice::GetDeviceControl,
            WrapperIDevice::GetDeviceConfiguration,
            d -> WrapperIDevice.SubscribeAll(d, listener),
            WrapperIDevice::UnsubscribeAll,
            d -> WrapperIDevice.StartTransaction(d, TRANSACTION + "}"),
            WrapperIDevice::CancelTransaction,
            d -> WrapperIDevice.SendSelection(d, "01"),
            d -> WrapperIDevice.SendAuthorization(d, "01"),
            d -> WrapperIDevice.RequestPIN(d, PIN + "}"),
            d -> WrapperIDevice.RequestPAN(d, PAN, null),
            WrapperIDevice::RequestSignature);
        Object[] failures = {"", "", 3L, "", "", 0L, 0L, false, false, false, false, false, false, false, false, false};
        long throwing = fake(new byte[] {'x'}, 0, true, true);
        for (int i = 0; i < methods.size(); i++) {
            assertEquals("method " + i, failures[i], methods.get(i).apply(0));
            Object result = methods.get(i).apply(throwing);
            assertNotNull(result);
            assertEquals("method " + i, failures[i], result);
        }
        assertEquals(16, FakeDevice.takeCalls(throwing).split("\n").length);
    }

    /** A listener that records nothing. */
    static final class Listener implements DeviceEventListener {
        @Override
        public void OnEvent(long eventType, String payload) {
        }
    }
}
