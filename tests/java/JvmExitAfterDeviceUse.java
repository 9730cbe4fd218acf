package com.korvex.pelorix;

import com.korvex.pelorix.EventListeners.Recorder;
import java.nio.charset.StandardCharsets;
import java.util.List;

/**
 * Lists, opens and drives devices of both families with events from their
 * libraries' threads, then returns from main leaving some of them open and
 * subscribed, and a listener's release going on: the JVM must end by
 * itself, which it does only when the libraries' threads that are still
 * running (the older family's, of the devices left open, and those that
 * close links) stay attached as daemons or not at all.
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

        SimulatedReader reader = new SimulatedReader();
        long newer = CoreAPI.GetDevice(3, 4, reader.address());
        WrapperIDevice.SubscribeAll(newer, recorder);
        WrapperIDevice.GetDeviceConfiguration(newer);
        if (!recorder.events.equals(List.of("5:card_inserted", "5:card_inserted", "0:connected"))) {
            throw new AssertionError("events lost: " + recorder.events);
        }

        // A listener that releases its device, whose close and destruction
        // may still go on when main returns.
        WrapperIDevice.SubscribeAll(devices[1], (DeviceEventListener) (type, payload) -> {
            CoreAPI.ReleaseDevice(devices[1]);
        });
        BrannetStandin.fireNotification(BrannetStandin.openHandle("HID://P2"), 0x300, new byte[] {'x'});
    }
}
