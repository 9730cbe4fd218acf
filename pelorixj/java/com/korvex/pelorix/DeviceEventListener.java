package com.korvex.pelorix;

/**
 * Receives the events of a device subscribed with
 * {@link WrapperIDevice#SubscribeAll(long, Object)}. The table "Events" in
 * the SDK's README.md lists every event number of both device families:
 * the payload it carries, the thread it arrives on and the request or
 * reader message that raises it.
 */
public interface DeviceEventListener {
    /**
     * Called for every event of the device, possibly on several threads at
     * once and on the libraries' own threads, which Java sees as daemon
     * threads named "pelorix-events-&lt;n&gt;". An exception thrown here
     * loses only this event. On a thread inside a method of this package
     * (an event that the call raised, such as "connected" in
     * {@link WrapperIDeviceControl#Open(long)}), the method throws the
     * first such exception once its work is done; on any other thread the
     * exception goes to the thread's uncaught-exception handler.
     *
     * <p>From inside this method a listener may call any method of the
     * package on any device: subscribe and unsubscribe, open, close and
     * release devices, its own or another. None of these waits here for
     * another device's event thread, so listeners may close or release
     * each other's devices at the same moment:
     * {@link WrapperIDeviceControl#Close(long)} and
     * {@link CoreAPI#ReleaseDevice(long)} return once the link is taken
     * from the device, which then reads as closed, and the rest of the
     * close goes on, on a thread of its own. Events already under way on
     * other threads (of the device closed, released or unsubscribed) may
     * still arrive after such a call returns.
     *
     * @param eventType the event number, 0 to 15
     * @param payload the event's text: an event name, a connection state
     *     name or a message as hexadecimal text
     */
    void OnEvent(long eventType, String payload);
}
