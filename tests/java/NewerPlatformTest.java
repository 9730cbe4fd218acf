package com.korvex.pelorix;

import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import com.korvex.pelorix.EventListeners.Recorder;
import java.util.List;
import org.junit.After;
import org.junit.Test;

/**
 * Readers of the newer platform (device type 3) from Java, end to end:
 * Java, Pelorixj, Quorlan, TCP, and a simulated reader.
 */
public class NewerPlatformTest {
    private final SimulatedReader reader = new SimulatedReader();

    @After
    public void stopReader() {
        reader.close();
    }

    @Test
    public void aReaderByAddressIsRegisteredDescribedOpenedAndReleased() {
        String address = reader.address();
        long device = CoreAPI.GetDevice(3, 4, address);
        assertNotEquals(0, device);
        assertEquals(device, CoreAPI.GetDevice(3, 4, address));
        assertEquals("{\"Address\":\"" + address + "\",\"ConnectionType\":4,\"DeviceType\":3}",
                WrapperIDevice.GetConnectionInfo(device));
        assertEquals(address, WrapperIDevice.GetName(device));
        assertEquals("{\"Model\":\"\",\"Name\":\"" + address + "\",\"Serial\":\"\"}",
                WrapperIDevice.GetDeviceInfo(device));
        assertEquals("{\"BatteryBackedClock\":true,\"Display\":true,\"MSRPowerSaver\":false,\"PINPad\":true,"
                + "\"PaymentMethods\":7,\"SRED\":true,\"Signature\":true}", WrapperIDevice.GetDeviceCapabilities(device));
        assertEquals(1, WrapperIDevice.GetConnectionState(device));

        Recorder recorder = new Recorder();
        assertTrue(WrapperIDevice.SubscribeAll(device, recorder));
        assertNotEquals(0, WrapperIDevice.GetDeviceConfiguration(device));
        assertNotEquals(0, WrapperIDevice.GetDeviceControl(device));
        assertEquals(4, WrapperIDevice.GetConnectionState(device));
        assertArrayEquals(new long[] {device}, CoreAPI.GetDeviceListWithConnectionType(3, 4));

        CoreAPI.ReleaseDeviceList(new long[] {device, device});
        assertEquals(List.of("0:connected", "0:disconnected"), recorder.events);
        assertArrayEquals(new long[0], CoreAPI.GetDeviceListWithConnectionType(3, 4));
    }

    @Test
    public void listingFindsOnlyNewerPlatformReadersOnUsb() {
        for (long device : CoreAPI.GetDeviceList(3)) {
            assertTrue(WrapperIDevice.GetConnectionInfo(device).endsWith(",\"ConnectionType\":0,\"DeviceType\":3}"));
        }
    }
}
