package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;

import org.junit.Test;

/** An older-family library that lacks its list function lists no devices; others still work. */
public class BrannetWithoutDeviceListTest {
    @Test
    public void listingGivesNoDevicesWhileADeviceByAddressWorks() {
        BrannetStandin.reset();
        BrannetStandin.setProductId("HID://P1", 0x0101);
        assertArrayEquals(new long[0], CoreAPI.GetDeviceList(0));
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(0, 1));
        long device = CoreAPI.GetDevice(0, 0, "HID://P1");
        assertEquals("P1", WrapperIDevice.GetName(device));
        CoreAPI.ReleaseDevice(device);
    }
}
