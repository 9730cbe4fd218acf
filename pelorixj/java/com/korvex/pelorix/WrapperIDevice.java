package com.korvex.pelorix;

/**
 * Operations of a device, named by a handle from {@link CoreAPI}. Structured
 * requests and results are JSON text, byte data hexadecimal text. A handle
 * that names no live device (0, released, or of a control or
 * configuration), or any failure, gives the method's failure value.
 * What a {@link DeviceEventListener} throws on the calling thread during a
 * call is thrown from the method once its work is done.
 */
public final class WrapperIDevice {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDevice() {
    }

    /**
     * Returns the device's name.
     *
     * @param device the device handle
     * @return the name; the empty string on failure
     */
    public static native String GetName(long device);

    /**
     * Returns how the device is reached.
     *
     * @param device the device handle
     * @return JSON with "Address", "ConnectionType" and "DeviceType"; the empty string on failure
     */
    public static native String GetConnectionInfo(long device);

    /**
     * Returns the connection state: 1 disconnected, 2 connecting, 3 error,
     * 4 connected, 5 disconnecting.
     *
     * @param device the device handle
     * @return the connection state; 3 on failure
     */
    public static native long GetConnectionState(long device);

    /**
     * Returns the device's name, model and serial number.
     *
     * @param device the device handle
     * @return JSON with "Model", "Name" and "Serial"; the empty string on failure
     */
    public static native String GetDeviceInfo(long device);

    /**
     * Returns what the device can do.
     *
     * @param device the device handle
     * @return JSON with "BatteryBackedClock", "Display", "MSRPowerSaver",
     *     "PINPad", "PaymentMethods", "SRED" and "Signature"; the empty string on failure
     */
    public static native String GetDeviceCapabilities(long device);

    /**
     * Returns the device's control object, which lives as long as the device.
     *
     * @param device the device handle
     * @return a handle for {@link WrapperIDeviceControl}; 0 on failure
     */
    public static native long GetDeviceControl(long device);

    /**
     * Returns the device's configuration object, which lives as long as the device.
     *
     * @param device the device handle
     * @return a handle for {@link WrapperIDeviceConfiguration}; 0 when the device has none
     */
    public static native long GetDeviceConfiguration(long device);

    /**
     * Makes a listener the device's one subscriber, replacing any earlier one.
     * May be called from inside any listener, for any device.
     *
     * @param device the device handle
     * @param listener an object with the method {@code void OnEvent(long, String)},
     *     such as a {@link DeviceEventListener}
     * @return true when subscribed
     */
    public static native boolean SubscribeAll(long device, Object listener);

    /**
     * Removes the device's subscriber. Once it has returned, no event reaches
     * the listener; called from inside a listener, it does not wait for
     * events that are being delivered on other threads at that moment.
     *
     * @param device the device handle
     * @return true when unsubscribed
     */
    public static native boolean UnsubscribeAll(long device);

    /**
     * Starts a transaction.
     *
     * @param device the device handle
     * @param json the transaction request, with at least "Timeout",
     *     "PaymentMethods", "QuickChip", "EMVOnly" and "Amount"
     * @return true when the device accepted it
     */
    public static native boolean StartTransaction(long device, String json);

    /**
     * Cancels the running transaction.
     *
     * @param device the device handle
     * @return true when the device accepted it
     */
    public static native boolean CancelTransaction(long device);

    /**
     * Sends the selection made by the user.
     *
     * @param device the device handle
     * @param hex the selection as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean SendSelection(long device, String hex);

    /**
     * Sends the authorization of the transaction.
     *
     * @param device the device handle
     * @param hex the authorization as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean SendAuthorization(long device, String hex);

    /**
     * Asks the card holder for a PIN.
     *
     * @param device the device handle
     * @param json the PIN request: "MaxLength", "MinLength", "PINMode",
     *     "Timeout", "Tone", "Format" and "PAN"
     * @return true when the device accepted it
     */
    public static native boolean RequestPIN(long device, String json);

    /**
     * Asks the card holder for a PAN, optionally followed by a PIN.
     *
     * @param device the device handle
     * @param panJson the PAN request: "Timeout" and "PaymentMethods"
     * @param pinJson a PIN request as for {@link #RequestPIN}, or null or empty for none
     * @return true when the device accepted it
     */
    public static native boolean RequestPAN(long device, String panJson, String pinJson);

    /**
     * Asks the card holder for a signature.
     *
     * @param device the device handle
     * @return true when the device accepted it
     */
    public static native boolean RequestSignature(long device);
}
