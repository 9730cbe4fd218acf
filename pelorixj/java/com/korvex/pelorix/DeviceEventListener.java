package com.korvex.pelorix;

/**
 * Receives the events of a device subscribed with
 * {@link WrapperIDevice#SubscribeAll(long, Object)}.
 */
public interface DeviceEventListener {
    /**
     * Called for every event of the device, possibly on several threads at
     * once and on threads that are not Java's own.
     *
     * @param eventType the event number
     * @param payload the event's text: an event name, a connection state
     *     name or a message as hexadecimal text
     */
    void OnEvent(long eventType, String payload);
}
