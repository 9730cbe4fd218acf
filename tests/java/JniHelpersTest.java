package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;

import org.junit.Test;

/** The helpers that every native method uses to read arguments and fail safely. */
public class JniHelpersTest {
    @Test
    public void javaTextArrivesAsStandardUtf8() {
        Object[][] cases = {
            {null, new byte[0]},
            {"", new byte[0]},
            {"{\"Amount\":\"100\"}", "{\"Amount\":\"100\"}".getBytes()},
            {"caf\u00e9", new byte[] {'c', 'a', 'f', (byte) 0xC3, (byte) 0xA9}},
            {"\uD834\uDD1E!", new byte[] {(byte) 0xF0, (byte) 0x9D, (byte) 0x84, (byte) 0x9E, '!'}},
            {"a\u0000b", new byte[] {'a', 0, 'b'}},
            {"\uD800x\uDC00", new byte[] {(byte) 0xEF, (byte) 0xBF, (byte) 0xBD, 'x', (byte) 0xEF, (byte) 0xBF,
                (byte) 0xBD}},
        };
        for (Object[] row : cases) {
            assertArrayEquals(String.valueOf(row[0]), (byte[]) row[1], CallbackFakes.utf8Of((String) row[0]));
        }
    }

    @Test
    public void byteArraysCopyBothWaysAndNullReadsAsEmpty() {
        assertArrayEquals(new byte[0], CallbackFakes.copyBytes(null));
        assertArrayEquals(new byte[0], CallbackFakes.copyBytes(new byte[0]));
        assertArrayEquals(new byte[] {0, -1, 127, -128}, CallbackFakes.copyBytes(new byte[] {0, -1, 127, -128}));
    }

    @Test
    public void aFailureInsideANativeMethodGivesItsFailureValueAndNoException() {
        assertEquals("ok", CallbackFakes.guarded(0));
        assertEquals("", CallbackFakes.guarded(1));
        assertEquals("", CallbackFakes.guarded(2));
    }
}
