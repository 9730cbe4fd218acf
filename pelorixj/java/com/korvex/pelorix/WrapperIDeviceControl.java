package com.korvex.pelorix;

/**
 * Link and display operations of a device, named by a handle from
 * {@link WrapperIDevice#GetDeviceControl(long)}. Byte data is hexadecimal
 * text of whole pairs of digits, in either case: any other text (such as
 * "zz", "ABC" or "AA 00") gives the method's failure value, with nothing
 * sent; the empty text (or null) is taken as it is. A handle that names no
 * live control (0, of a released device, or of a device or configuration),
 * or any failure, gives the method's failure value.
 * What a {@link DeviceEventListener} throws on the calling thread during a
 * call is thrown from the method once its work is done.
 *
 * <p>Commands of the newer platform (device type 3) wait up to 1000 ms for
 * their reply, counted once the command is written (a write to a TCP
 * reader fails after 5 s without progress). Only {@link #Open} and
 * {@link #DeviceReset} open a closed device. The older family (device
 * type 0) offers {@link #Open}, {@link #Close}, {@link #Send},
 * {@link #SendSync} and {@link #DeviceReset}, through its outside library,
 * which takes as long as it takes; its other methods give false.
 */
public final class WrapperIDeviceControl {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDeviceControl() {
    }

    /**
     * Opens the link to the device, unless it is open; threads that open at
     * once open one link. Opening and closing one control are one sequence:
     * an open that starts while a {@link #Close} is under way opens afresh.
     * Newer platform: the listener hears "connected" (event 0) on this
     * thread when the link opens, in turn after the events of earlier
     * changes of the link (when another thread is raising those at that
     * moment, "connected" follows on that thread). Older family: the
     * library reports the link's state as event 0 on its own threads.
     *
     * <p>On failure: false, for a handle that names no live control and a
     * device that does not open (a wrong address, a reader that is gone or
     * busy, an older-family BLE reader, a missing library).
     * <p>Longest wait: the library's closes of this control's links begun
     * before on other threads (unless called inside a listener), then
     * opening the link, which has no time-out of its own (a TCP connect
     * takes as long as the system lets it); the older family, its library's
     * open.
     *
     * @param control the control handle
     * @return true when open
     */
    public static native boolean Open(long control);

    /**
     * Closes the link to the device; the device can be opened again. A close
     * waits for an {@link #Open} of the control under way and then closes
     * the link that it opened. Newer platform: the listener hears
     * "disconnected" (event 0) on this thread when an open link closes (in
     * turn, as for {@link #Open}), and the configuration operations waiting
     * on it end at once.
     *
     * <p>Called inside a listener or callback, it waits for no event
     * thread: it returns once the link is taken from the device, which then
     * reads as closed (state 1, sends fail), and the library's close goes
     * on, on a thread of its own; events already under way on the device's
     * threads may still arrive. Called on any other thread, it returns once
     * the link is closed, also a link whose close a listener, or the report
     * of a lost reader, left going on.
     *
     * <p>On failure: false, for a handle that names no live control and
     * when the library cannot close the link. A link that is not open gives
     * true.
     * <p>Longest wait: an {@link #Open} of the control under way; then,
     * outside a listener or callback, until the link's threads have ended,
     * which waits for an event that is being delivered to the listener on
     * another thread at that moment (the older family: its library's close,
     * which waits for its callbacks).
     *
     * @param control the control handle
     * @return true when closed
     */
    public static native boolean Close(long control);

    /**
     * Sends data without waiting for a reply. Newer platform: the text is
     * one whole message (a command envelope, as {@code QRX_GetCommandBytesInHex}
     * makes it), written as it is. Older family: handed to the library's
     * SendDataEx as it is.
     *
     * <p>On failure: false, for a handle that names no live control, a
     * device that is not open (it is not opened; nothing is sent), text that
     * is not whole pairs of hexadecimal digits (nothing is sent), text that
     * the library cannot send, a write that fails (the rest of the message
     * is not written; a TCP link is then lost), and (newer platform) a
     * message longer than 3 997 755 bytes, the most that the reader's
     * packets can carry (nothing is sent).
     * <p>Longest wait: writing the message.
     *
     * @param control the control handle
     * @param hex the data as hexadecimal text
     * @return true when sent
     */
    public static native boolean Send(long control, String hex);

    /**
     * Sends a command and waits for its reply. Newer platform: the text is
     * one whole message as for {@link #Send}; the reply is the reader's
     * whole response, whose own status tells whether the reader accepted
     * the command: a refusal is status 0 here. Older family: the command
     * goes to the library's SendCommandEx, and a non-zero result code of the
     * library is status 2.
     *
     * <p>On failure: status 1 with empty "Data" when no reply came within
     * 1000 ms (newer platform; at once when the message could not be
     * written or the link is lost during the wait); status 2 when the call
     * into the library failed, (older family) the reader refused the
     * command, or (newer platform, with nothing sent) the message is longer
     * than 3 997 755 bytes; status 3, with nothing sent, when the device is
     * not open (it is not opened). Null, with nothing sent, when the handle
     * names no live control or the text is not whole pairs of hexadecimal
     * digits; null also when the result cannot be made.
     * <p>Longest wait: the 1000 ms reply wait (newer platform); its
     * library's command (older family).
     *
     * @param control the control handle
     * @param hex the command as hexadecimal text
     * @return {@code {"Data":"<reply as upper-case hexadecimal text>","Status":0}}
     *     with the reply, else the status of the failure
     */
    public static native String SendSync(long control, String hex);

    /**
     * Sends an extended command. Neither family supports it: nothing is
     * sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @param hex the command as hexadecimal text; not sent
     * @return false
     */
    public static native boolean SendExtendedCommand(long control, String hex);

    /**
     * Ends the session on the device. Neither family supports it: nothing is
     * sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @return false
     */
    public static native boolean EndSession(long control);

    /**
     * Sets the device's clock. Neither family supports it: nothing is sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @param hex the date and time; not sent
     * @return false
     */
    public static native boolean SetDateTime(long control, String hex);

    /**
     * Plays a sound on the device. Neither family supports it: nothing is
     * sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @param hex the sound; not sent
     * @return false
     */
    public static native boolean PlaySound(long control, String hex);

    /**
     * Asks the user for input on the device. Neither family supports it:
     * nothing is sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @param hex the input request; not sent
     * @return false
     */
    public static native boolean GetInput(long control, String hex);

    /**
     * Shows one of the reader's own messages on its display (newer
     * platform): command 1803 with the message's number as parameter 82 and
     * how long to show it, its time-out in the reader's unit, as parameter
     * 81, each one byte passed on unchanged.
     *
     * <p>On failure: false, for a handle that names no live control, a
     * device that is not open (it is not opened), no reply within the wait,
     * and a reader that refuses the command (a status code other than 0).
     * Always false for the older family.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param control the control handle
     * @param first the number of the reader's message (parameter 82)
     * @param second the time-out of the message (parameter 81)
     * @return true when the reader accepted it
     */
    public static native boolean DisplayMessage(long control, byte first, byte second);

    /**
     * Shows an image on the display (newer platform): command 1823 with the
     * option as parameter 81, "BackgroundColor" as 82 and "Data" as 85. The
     * request's members, all required: "Type" (a number; only type 0 is
     * sent), "Data" and "BackgroundColor" (hexadecimal strings).
     *
     * <p>On failure: false, for a handle that names no live control, a
     * request that is no JSON object or lacks a member or has one of the
     * wrong kind or a hexadecimal string that is not whole pairs of digits,
     * a "Type" other than 0 (for each, nothing is sent), a device that is
     * not open (it is not opened), no reply within the wait, and a reader
     * that refuses the command (a command status other than 0). Always
     * false for the older family.
     * <p>Longest wait: writing the image, then the 1000 ms reply wait.
     *
     * @param control the control handle
     * @param json the image: "Type", "Data" and "BackgroundColor"
     * @param option the display option (parameter 81)
     * @return true when the reader accepted it
     */
    public static native boolean ShowImageObject(long control, String json, byte option);

    /**
     * Shows an image stored on the device (newer platform): command 1821
     * with the image's number as parameter 81; images are stored with
     * {@link WrapperIDeviceConfiguration#SendImage}.
     *
     * <p>On failure: false, for a handle that names no live control, a
     * device that is not open (it is not opened), no reply within the wait,
     * and a reader that refuses the command (a status code other than 0).
     * Always false for the older family.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param control the control handle
     * @param imageId the stored image (parameter 81)
     * @return true when the reader accepted it
     */
    public static native boolean ShowImage(long control, byte imageId);

    /**
     * Shows a bar code on the display (newer platform): command 1822 with
     * the option as parameter 81, "Data" as 82, "ErrorCorrection",
     * "MaskPattern", "MinVersion" and "MaxVersion" as 83 to 86, and
     * "BackgroundColor" and "BlockColor", when not empty, as 87 and 88.
     * Every member is required: "Type" and "Format" (numbers, read but not
     * sent), the hexadecimal strings "Data", "BlockColor" and
     * "BackgroundColor", and the others as numbers (low 8 bits).
     *
     * <p>On failure: false, for a handle that names no live control, a
     * request that is no JSON object or lacks a member or has one of the
     * wrong kind or a hexadecimal string that is not whole pairs of digits
     * (nothing is sent), a device that is not open (it is not opened), no
     * reply within the wait, and a reader that refuses the command (a
     * command status other than 0). Always false for the older family.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param control the control handle
     * @param json the bar code: "Type", "Format", "Data", "BlockColor",
     *     "BackgroundColor", "ErrorCorrection", "MaskPattern", "MinVersion" and "MaxVersion"
     * @param option the display option (parameter 81)
     * @return true when the reader accepted it
     */
    public static native boolean ShowBarCode(long control, String json, byte option);

    /**
     * Sets the device's latch. Neither family supports it: nothing is sent.
     *
     * <p>On failure: false, which is the result of every call.
     * <p>Longest wait: none.
     *
     * @param control the control handle
     * @param value the latch state; not read
     * @return false
     */
    public static native boolean SetLatch(long control, boolean value);

    /**
     * Resets the device. Newer platform: opens a closed device and sends
     * command 1F01. Older family: sends command 02 to an open device (it is
     * not opened).
     *
     * <p>On failure: false, for a handle that names no live control, a
     * device that does not open (newer platform) or is not open (older
     * family), no reply within the wait, and a reader that refuses the
     * command (a status code, or the library's result code, other than 0).
     * <p>Longest wait: opening the device, then the 1000 ms reply wait; the
     * older family, its library's command.
     *
     * @param control the control handle
     * @return true when the reader accepted it
     */
    public static native boolean DeviceReset(long control);
}
