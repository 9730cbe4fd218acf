package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNotEquals;

import org.junit.Test;

/** Without the older family's library its devices list as none and fail their calls. */
public class BrannetAbsentTest {
    @Test
    public void listingGivesNoDevicesAndADeviceByAddressFailsItsCalls() {
        assertArrayEquals(new long[0], CoreAPI.GetDeviceList(0));
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(0, 0));
        long device = CoreAPI.GetDevice(0, 0, "HID://P1");
        assertNotEquals(0, device);
        assertEquals("{\"Address\":\"HID://P1\",\"ConnectionType\":0,\"DeviceType\":0}",
                WrapperIDevice.GetConnectionInfo(device));
        assertEquals("", WrapperIDevice.GetDeviceInfo(device));
        assertEquals("", WrapperIDevice.GetName(device));
        assertEquals(1, WrapperIDevice.GetConnectionState(device));
        assertFalse(WrapperIDevice.StartTransaction(device,
                "{\"Timeout\":30,\"PaymentMethods\":7,\"QuickChip\":false,\"EMVOnly\":true,\"Amount\":\"1\"}"));
        CoreAPI.ReleaseDeviceList(new long[] {device, device});
    }
}
