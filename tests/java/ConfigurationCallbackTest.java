package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertThrows;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.Test;
import org.junit.function.ThrowingRunnable;

/**
 * Progress, results and MAC requests reach a Java callback object through
 * the configuration adapter, on the calling thread; what it throws leaves
 * the native call. Local references that a call leaves behind show as
 * -Xcheck:jni warnings, which fail the test.
 */
public class ConfigurationCallbackTest {
    /** Records its calls; OnCalculateMAC leaves macStatus and returns mac. */
    static final class Recording implements ConfigurationCallback {
        final List<String> calls = new ArrayList<>();
        long macStatus;
        byte[] mac;

        Recording(long macStatus, byte[] mac) {
            this.macStatus = macStatus;
            this.mac = mac;
        }

        @Override
        public void OnProgress(long value) {
            calls.add("progress " + value);
        }

        @Override
        public void OnResult(long status, byte[] data) {
            calls.add("result " + status + " " + Arrays.toString(data));
        }

        @Override
        public byte[] OnCalculateMAC(long macType, byte[] data, long[] status) {
            calls.add("mac " + macType + " " + Arrays.toString(data) + " " + Arrays.toString(status));
            status[0] = macStatus;
            return mac;
        }
    }

    /** Counts its calls and throws in each, after setting the MAC status. */
    static final class Throwing implements ConfigurationCallback {
        int calls;

        @Override
        public void OnProgress(long value) {
            calls++;
            throw new IllegalStateException("progress fails");
        }

        @Override
        public void OnResult(long status, byte[] data) {
            calls++;
            throw new IllegalStateException("result fails");
        }

        @Override
        public byte[] OnCalculateMAC(long macType, byte[] data, long[] status) {
            calls++;
            status[0] = 5;
            throw new IllegalStateException("MAC fails");
        }
    }

    @Test
    public void callsReachJavaInOrderWithTheirArguments() {
        Recording callback = new Recording(0, null);
        CallbackFakes.reportProgress(callback, new int[] {-5, 0, 100});
        CallbackFakes.reportResult(callback, 0, new byte[0], 1);
        CallbackFakes.reportResult(callback, 2, null, 1);
        CallbackFakes.reportResult(callback, 1, new byte[] {1, (byte) 0xFF}, 1);
        CallbackFakes.calculateMac(callback, 0xFF, new byte[] {9}, 1);
        assertEquals(Arrays.asList("progress -5", "progress 0", "progress 100", "result 0 []", "result 2 []",
                "result 1 [1, -1]", "mac 255 [9] [0]"), callback.calls);
    }

    @Test
    public void theMacStatusIsTheLow32BitsLeftInTheStatusArray() {
        Object[][] cases = {
            {7L, new byte[] {1, 2, 3, 4}, "7:01020304"},
            {7L, null, "7:"},
            {0x1_0000_0009L, new byte[0], "9:"},
            {-1L, new byte[] {(byte) 0xAB}, "4294967295:AB"},
        };
        for (Object[] row : cases) {
            Recording callback = new Recording((Long) row[0], (byte[]) row[1]);
            assertEquals(row[2], CallbackFakes.calculateMac(callback, 1, new byte[] {1}, 1));
        }
    }

    @Test
    public void aCallbackObjectThatLacksMethodsMakesItsCallsDoNothing() {
        for (Object callback : new Object[] {new Object(), null}) {
            CallbackFakes.reportProgress(callback, new int[] {1, 2});
            CallbackFakes.reportResult(callback, 0, new byte[] {1}, 2);
            assertEquals("0:", CallbackFakes.calculateMac(callback, 1, new byte[] {1}, 2));
        }
    }

    @Test
    public void whatACallbackObjectThrowsLeavesTheNativeCallAfterItsLastCall() {
        Throwing throwing = new Throwing();
        ThrowingRunnable[] nativeCalls = {
            () -> CallbackFakes.reportProgress(throwing, new int[] {1, 2}),
            () -> CallbackFakes.reportResult(throwing, 0, new byte[] {1}, 2),
            () -> CallbackFakes.calculateMac(throwing, 1, new byte[] {1}, 2),
        };
        String[] messages = {"progress fails", "result fails", "MAC fails"};
        for (int i = 0; i < nativeCalls.length; i++) {
            assertEquals(messages[i], assertThrows(IllegalStateException.class, nativeCalls[i]).getMessage());
            assertEquals(2 * (i + 1), throwing.calls);
        }
    }

    @Test
    public void manyCallsDuringOneNativeCallLeaveNoLocalReferences() {
        int many = 1000;
        Recording callback = new Recording(3, new byte[] {1});
        CallbackFakes.reportProgress(callback, new int[many]);
        CallbackFakes.reportResult(callback, 0, new byte[] {1}, many);
        assertEquals("3:01", CallbackFakes.calculateMac(callback, 1, new byte[] {1}, many));
        assertEquals(3 * many, callback.calls.size());
    }
}
