package com.korvex.pelorix;

/**
 * Link and display operations of a device, named by a handle from
 * {@link WrapperIDevice#GetDeviceControl(long)}. Byte data is hexadecimal
 * text. A handle that names no live control (0, of a released device, or of
 * a device or configuration), or any failure, gives the method's failure
 * value.
 * What a {@link DeviceEventListener} throws on the calling thread during a
 * call is thrown from the method once its work is done.
 */
public final class WrapperIDeviceControl {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDeviceControl() {
    }

    /**
     * Opens the link to the device, unless it is open; threads that open at
     * once open one link. The listener hears "connected" (event 0) when the
     * link opens.
     *
     * @param control the control handle
     * @return true when open
     */
    public static native boolean Open(long control);

    /**
     * Closes the link to the device. The listener hears "disconnected"
     * (event 0) when an open link closes.
     *
     * @param control the control handle
     * @return true when closed
     */
    public static native boolean Close(long control);

    /**
     * Sends data without waiting for a reply.
     *
     * @param control the control handle
     * @param hex the data as hexadecimal text
     * @return true when sent
     */
    public static native boolean Send(long control, String hex);

    /**
     * Sends a command and waits for its reply.
     *
     * @param control the control handle
     * @param hex the command as hexadecimal text
     * @return JSON with "Data" (hexadecimal text) and "Status": 0 with the
     *     reply; 1 when no reply came; 2 when the exchange failed or the
     *     reader refused the command (older family); 3, with nothing sent,
     *     when the device is not open. Null when the handle names no live
     *     control or the call fails.
     */
    public static native String SendSync(long control, String hex);

    /**
     * Sends an extended command.
     *
     * @param control the control handle
     * @param hex the command as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean SendExtendedCommand(long control, String hex);

    /**
     * Ends the session on the device.
     *
     * @param control the control handle
     * @return true when the device accepted it
     */
    public static native boolean EndSession(long control);

    /**
     * Sets the device's clock.
     *
     * @param control the control handle
     * @param hex the date and time as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean SetDateTime(long control, String hex);

    /**
     * Plays a sound on the device.
     *
     * @param control the control handle
     * @param hex the sound as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean PlaySound(long control, String hex);

    /**
     * Asks the user for input on the device.
     *
     * @param control the control handle
     * @param hex the input request as hexadecimal text
     * @return true when the device accepted it
     */
    public static native boolean GetInput(long control, String hex);

    /**
     * Shows a message on the display.
     *
     * @param control the control handle
     * @param first the first message argument
     * @param second the second message argument
     * @return true when the device accepted it
     */
    public static native boolean DisplayMessage(long control, byte first, byte second);

    /**
     * Shows an image on the display.
     *
     * @param control the control handle
     * @param json the image: "Type", "Data" and "BackgroundColor"
     * @param option the display option
     * @return true when the device accepted it
     */
    public static native boolean ShowImageObject(long control, String json, byte option);

    /**
     * Shows an image stored on the device.
     *
     * @param control the control handle
     * @param imageId the stored image
     * @return true when the device accepted it
     */
    public static native boolean ShowImage(long control, byte imageId);

    /**
     * Shows a bar code on the display.
     *
     * @param control the control handle
     * @param json the bar code: "Type", "Format", "Data", "BlockColor",
     *     "BackgroundColor", "ErrorCorrection", "MaskPattern", "MinVersion" and "MaxVersion"
     * @param option the display option
     * @return true when the device accepted it
     */
    public static native boolean ShowBarCode(long control, String json, byte option);

    /**
     * Sets the device's latch.
     *
     * @param control the control handle
     * @param value the latch state
     * @return true when the device accepted it
     */
    public static native boolean SetLatch(long control, boolean value);

    /**
     * Resets the device.
     *
     * @param control the control handle
     * @return true when the device accepted it
     */
    public static native boolean DeviceReset(long control);
}
