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
     * @param eventType the event number, 0 to 15
     * @param payload the event's text: an event name, a connection state
     *     name or a message as hexadecimal text
     */
    void OnEvent(long eventType, String payload);
}
