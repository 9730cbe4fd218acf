package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;

import org.junit.Test;

/** The interface version, the connection-type tables and what device types without devices give. */
public class CoreApiTest {
    @Test
    public void apiVersionIs116() {
        assertEquals(116, CoreAPI.GetAPIVersion());
    }

    @Test
    public void connectionTypesHaveNamesBothWays() {
        String[] names = {"USB", "BLE", "BLEEMV", "BLEEMVT", "TCP", "TLS12", "TLS12TRUST", "SERIAL", "WebSocket"};
        for (int type = 0; type < names.length; type++) {
            assertEquals(names[type], CoreAPI.GetConnectionTypeString(type));
            assertEquals(type, CoreAPI.GetConnectionTypeFromStringJ(names[type]));
        }
        assertEquals("", CoreAPI.GetConnectionTypeString(9));
        assertEquals("", CoreAPI.GetConnectionTypeString(-1));

        Object[][] otherNames = {
            {"websocket", 8L}, {"tls12trust", 6L}, {"Serial", 7L}, {"usb", 0L},
            {"BLE ", 0L}, {" TCP", 0L}, {"", 0L}, {null, 0L}, {"t\u00e7p", 0L},
        };
        for (Object[] row : otherNames) {
            assertEquals(String.valueOf(row[0]), row[1], CoreAPI.GetConnectionTypeFromStringJ((String) row[0]));
        }
    }

    @Test
    public void eachDeviceTypeHasItsConnectionTypesAndListsSomeOfThem() {
        assertArrayEquals(new long[] {0, 8, 7}, CoreAPI.GetConnectionTypes(3));
        assertArrayEquals(new long[] {0, 1, 2, 3, 7}, CoreAPI.GetConnectionTypes(0));
        assertArrayEquals(new long[0], CoreAPI.GetConnectionTypes(5));

        int[][] enumerable = {{3, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}};
        for (int deviceType : new int[] {0, 1, 2, 3, -1}) {
            for (int connectionType = -1; connectionType <= 9; connectionType++) {
                boolean expected = false;
                for (int[] row : enumerable) {
                    expected |= row[0] == deviceType && row[1] == connectionType;
                }
                assertEquals(deviceType + "/" + connectionType, expected,
                        CoreAPI.IsEnumable(deviceType, connectionType));
            }
        }
    }

    @Test
    public void deviceTypesWithoutDevicesGiveEmptyResults() {
        assertArrayEquals(new long[0], CoreAPI.GetDeviceList(2));
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(-1, 0));
        assertEquals(0, CoreAPI.GetDevice(2, 0, "HID://P1"));
        CoreAPI.ReleaseDevice(0);
        CoreAPI.ReleaseDeviceList(new long[0]);
        CoreAPI.ReleaseDeviceList(new long[] {0, 0});
        CoreAPI.ReleaseDeviceList(null);
    }
}
