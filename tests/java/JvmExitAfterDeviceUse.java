package com.korvex.pelorix;

import com.korvex.pelorix.EventListeners.Recorder;
import java.nio.charset.StandardCharsets;

/**
 * Lists, opens and drives a device with events from the library's threads,
 * then returns from main without releasing anything: the JVM must end by
 * itself, which it does only when no native thread was left attached.
 */
public final class JvmExitAfterDeviceUse {
    private JvmExitAfterDeviceUse() {
    }

    /**
     * Runs the device.
     *
     * @param args not used
     */
    public static void main(String[] args) {
        BrannetStandin.setDeviceList("HID://P1,HID://P2");
        BrannetStandin.addDevice("HID://P1");
        BrannetStandin.addDevice("HID://P2");
        long[] devices = CoreAPI.GetDeviceList(0);
        Recorder recorder = new Recorder();
        for (long device : devices) {
            WrapperIDevice.SubscribeAll(device, recorder);
            WrapperIDevice.GetDeviceInfo(device);
        }
        for (String path : new String[] {"HID://P1", "HID://P2"}) {
            long handle = BrannetStandin.openHandle(path);
            BrannetStandin.fireNotification(handle, 0x300, "card_inserted".getBytes(StandardCharsets.UTF_8));
            BrannetStandin.waitDelivered(handle);
        }
        CoreAPI.ReleaseDevice(devices[0]);
        if (recorder.events.size() != 2) {
            throw new AssertionError("events lost: " + recorder.events);
        }
    }
}
