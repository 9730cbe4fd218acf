package com.korvex.pelorix;

/**
 * Operations of a device, named by a handle from {@link CoreAPI}. Structured
 * requests and results are JSON text, byte data hexadecimal text of whole
 * pairs of digits, in either case (any other text gives the method's failure
 * value, with nothing sent). A handle that names no live device (0, released, or of a control or
 * configuration), or any failure, gives the method's failure value.
 * What a {@link DeviceEventListener} throws on the calling thread during a
 * call is thrown from the method once its work is done.
 *
 * <p>The requests of the newer platform (device type 3) send one command
 * and wait up to 1000 ms for its reply, counted once the command is
 * written (a write to a TCP reader fails after 5 s without progress).
 * {@link #StartTransaction}, {@link #CancelTransaction},
 * {@link #SendSelection}, {@link #SendAuthorization},
 * {@link #RequestSignature} and {@link #GetDeviceConfiguration} open a
 * closed device first, raising "connected" (event 0) on the calling
 * thread; opening has no time-out of its own (a TCP connect takes as long
 * as the system lets it). What the reader reports afterwards arrives as
 * events (see the README's table of events). The older family (device
 * type 0) runs its commands through its outside library, which takes as
 * long as it takes, and opens nothing by itself except in
 * {@link #GetName}, {@link #GetDeviceInfo} and {@link #GetDeviceCapabilities}.
 */
public final class WrapperIDevice {
    static {
        System.loadLibrary("Pelorixj");
    }

    private WrapperIDevice() {
    }

    /**
     * Returns the device's name. Newer platform: the name of its entry in
     * the USB list, else its serial number, else its address. Older family:
     * as in {@link #GetDeviceInfo}, which it runs, opening the device.
     *
     * <p>On failure: the empty string, for a handle that names no live
     * device. An older-family device that does not open gives
     * "Lumar Device".
     * <p>Longest wait: none for the newer platform; for the older family,
     * opening the device and asking the reader for its serial number.
     *
     * @param device the device handle
     * @return the name
     */
    public static native String GetName(long device);

    /**
     * Returns how the device is reached, such as
     * {@code {"Address":"tcp://127.0.0.1:8888","ConnectionType":4,"DeviceType":3}}.
     *
     * <p>On failure: the empty string, for a handle that names no live device.
     * <p>Longest wait: none.
     *
     * @param device the device handle
     * @return JSON with "Address", "ConnectionType" and "DeviceType"
     */
    public static native String GetConnectionInfo(long device);

    /**
     * Returns the connection state: 4 connected while the link is open, else
     * 1 disconnected (2 connecting and 5 disconnecting are not reported). A
     * newer-platform reader that goes away (a USB reader unplugged, a TCP
     * link that its reader ends or resets, or that fails) closes the link:
     * the listener hears "disconnected" once, and waits under way end.
     *
     * <p>On failure: 3 (error), for a handle that names no live device.
     * <p>Longest wait: none; the older family asks its outside library.
     *
     * @param device the device handle
     * @return the connection state
     */
    public static native long GetConnectionState(long device);

    /**
     * Returns the device's name, model and serial number. Newer platform:
     * "Name", "Product" and "DSN" of its entry in the USB list (a device
     * made by address has its address as name and empty model and serial).
     * Older family: opens the device when it is not connected; the name is
     * the address after its last "/", the model that of the reader's product
     * id (empty for an unknown one), and the serial number the reader's
     * answer to command 0003 (empty when it refuses).
     *
     * <p>On failure: the empty string, for a handle that names no live
     * device. An older-family device that does not open gives
     * {@code {"Model":"Unknown","Name":"Lumar Device","Serial":"Unknown"}}.
     * <p>Longest wait: none for the newer platform; for the older family,
     * opening the device and one command through its outside library.
     *
     * @param device the device handle
     * @return JSON with "Model", "Name" and "Serial"
     */
    public static native String GetDeviceInfo(long device);

    /**
     * Returns what the device can do. Newer platform: the same for every reader,
     * {@code {"BatteryBackedClock":true,"Display":true,"MSRPowerSaver":false,"PINPad":true,"PaymentMethods":7,"SRED":true,"Signature":true}}.
     * Older family: opens the device when it is not connected and gives the
     * capabilities of its model; "PaymentMethods" bit 0 is the magnetic
     * stripe, bit 1 the contact chip, bit 2 contactless.
     *
     * <p>On failure: the empty string, for a handle that names no live
     * device. An older-family device that does not open, or whose model is
     * unknown, gives every member false or 0.
     * <p>Longest wait: none for the newer platform; for the older family,
     * opening the device and, for an unknown model, one command through its
     * outside library.
     *
     * @param device the device handle
     * @return JSON with "BatteryBackedClock", "Display", "MSRPowerSaver",
     *     "PINPad", "PaymentMethods", "SRED" and "Signature"
     */
    public static native String GetDeviceCapabilities(long device);

    /**
     * Returns the device's control object, which lives as long as the device;
     * the same handle at every call.
     *
     * <p>On failure: 0, for a handle that names no live device.
     * <p>Longest wait: none.
     *
     * @param device the device handle
     * @return a handle for {@link WrapperIDeviceControl}
     */
    public static native long GetDeviceControl(long device);

    /**
     * Returns the configuration object of a newer-platform device, which lives
     * as long as the device; the same handle at every call. Opens the
     * device when it is closed.
     *
     * <p>On failure: 0, for a handle that names no live device, for a device
     * that does not open, and always for the older family, which has no
     * configuration.
     * <p>Longest wait: opening the device.
     *
     * @param device the device handle
     * @return a handle for {@link WrapperIDeviceConfiguration}
     */
    public static native long GetDeviceConfiguration(long device);

    /**
     * Makes a listener the device's one subscriber, replacing any earlier one.
     * May be called from inside any listener, for any device. A null
     * listener, or one without the method, subscribes and hears nothing.
     *
     * <p>On failure: false, for a handle that names no live device.
     * <p>Longest wait: until events being delivered to the replaced listener
     * on other threads have returned; none when called from inside an event.
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
     * <p>On failure: false, for a handle that names no live device.
     * <p>Longest wait: until events being delivered to the listener on other
     * threads have returned; none when called from inside an event.
     *
     * @param device the device handle
     * @return true when unsubscribed, also when there was no subscriber
     */
    public static native boolean UnsubscribeAll(long device);

    /**
     * Starts a transaction. The request's members:
     * "Timeout" (seconds, low 8 bits), "PaymentMethods" (bit 0 magnetic
     * stripe, bit 1 contact chip, bit 2 contactless, bit 3 manual entry),
     * "QuickChip" and "EMVOnly" (booleans), and "Amount", a JSON string of
     * decimal text in the currency's major unit, such as {@code "12.50"}:
     * digits, optionally a point and digits, white space around them
     * allowed, read alike in every locale and rounded to hundredths; 0 to
     * 9999999999.99 is accepted. Anything else is refused: a JSON number
     * ({@code "Amount":12.5}), a comma, a sign, an exponent, hexadecimal,
     * {@code ".5"}, {@code "5."}, a currency after the number. Optional:
     * "CashBack" (as "Amount", default "0"),
     * "TransactionType", "OverrideFinalTransactionMessage", "ManualEntryType",
     * "ManualEntryFormat", "ManualEntrySound" (numbers),
     * "SuppressThankYouMessage", "PreventMSRSignatureForCardWithICC"
     * (booleans), "CurrencyCode", "CurrencyExponent", "MerchantCategory",
     * "MerchantCustomData", "MerchantID", "TransactionCategory" (hexadecimal
     * strings of whole pairs of digits); an optional member of the wrong
     * kind keeps its default, a hexadecimal string of anything but whole
     * pairs of digits is refused. The
     * older family sends only the payment methods (bits 0 to 2), the quick-chip
     * flag and the amounts, with a time-out of 60.
     *
     * <p>Newer platform: opens a closed device, sends command 1001 and gives
     * true once it has been sent, whatever the reply: no reply within the
     * wait, and a refusal, also give true. The transaction reports through
     * events; "transaction_completed" (event 5) ends it. Older family: true
     * when the library accepted the command; the device must be open.
     *
     * <p>On failure: false, with nothing sent, for a handle that names no
     * live device, a request that is no JSON object or lacks a member of the
     * five or has one of the wrong kind, an amount (or cash-back) text that
     * is not decimal text or lies outside the range, a hexadecimal member
     * that is not whole pairs of digits, a request too long for the command
     * (none of these opens a closed device), and a device that is not open
     * and does not open. The older family also gives false when its reader
     * refuses the command.
     * <p>Longest wait: opening the device, then the 1000 ms reply wait; the
     * older family, its library's command.
     *
     * @param device the device handle
     * @param json the transaction request, with at least "Timeout",
     *     "PaymentMethods", "QuickChip", "EMVOnly" and "Amount"
     * @return true when the transaction was sent (newer platform) or
     *     accepted (older family)
     */
    public static native boolean StartTransaction(long device, String json);

    /**
     * Cancels the running transaction. Newer platform: opens a closed device
     * and sends command 1008; true once it has been sent, whatever the reply.
     * Older family: sends command 4906000003040000; true when the library
     * accepted it. Either way the transaction's end arrives as events.
     *
     * <p>On failure: false, for a handle that names no live device and a
     * device that is not open and does not open (the older family does not
     * open it). The older family also gives false when its reader refuses
     * the command.
     * <p>Longest wait: opening the device, then the 1000 ms reply wait; the
     * older family, its library's command.
     *
     * @param device the device handle
     * @return true when the cancel was sent (newer platform) or accepted
     *     (older family)
     */
    public static native boolean CancelTransaction(long device);

    /**
     * Sends the selection made by the user (newer platform): command 1802
     * with the first byte as parameter 81 and the second, when given, as
     * parameter 82; further bytes are not sent. Opens a closed device.
     *
     * <p>On failure: false, for a handle that names no live device, text
     * that is empty or not whole pairs of hexadecimal digits (nothing is
     * sent, nothing opened), a device that does not open, and no reply
     * within the wait. Always false for the older family. A reply that
     * refuses the selection
     * still gives true.
     * <p>Longest wait: opening the device, then the 1000 ms reply wait.
     *
     * @param device the device handle
     * @param hex the selection as hexadecimal text, one or two bytes
     * @return true when the reader replied
     */
    public static native boolean SendSelection(long device, String hex);

    /**
     * Sends the authorization of the transaction (newer platform): command
     * 1802 with parameters 81=00, 82=30 and the bytes as parameter 84. Opens
     * a closed device.
     *
     * <p>On failure: false, for a handle that names no live device, text
     * that is empty or not whole pairs of hexadecimal digits (nothing is
     * sent, nothing opened), a device that does not open, and no reply
     * within the wait. Always false for the older family. A reply that
     * refuses the authorization still gives true.
     * <p>Longest wait: opening the device, then the 1000 ms reply wait.
     *
     * @param device the device handle
     * @param hex the authorization as hexadecimal text
     * @return true when the reader replied
     */
    public static native boolean SendAuthorization(long device, String hex);

    /**
     * Asks the card holder for a PIN (newer platform): command 1831. The
     * request's members, all required: "Timeout", "PINMode", "MaxLength",
     * "MinLength", "Format" and "Tone" (numbers, low 8 bits; the tone is not
     * sent) and "PAN", hexadecimal text of whole pairs of digits (or empty)
     * sent as it is. The device must be open.
     *
     * <p>On failure: false, for a handle that names no live device, a
     * request that is no JSON object or lacks a member or has one of the
     * wrong kind or a "PAN" that is not whole pairs of digits, a device that is not open (it is not opened), and no reply
     * within the wait. Always false for the older family. A reply that
     * refuses the request still gives true.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param device the device handle
     * @param json the PIN request: "MaxLength", "MinLength", "PINMode",
     *     "Timeout", "Tone", "Format" and "PAN"
     * @return true when the reader replied
     */
    public static native boolean RequestPIN(long device, String json);

    /**
     * Asks the card holder for a PAN, optionally followed by a PIN (newer
     * platform): command 1832 with the payment methods' bits 0 to 2 (the
     * PAN request's "Timeout" is required but not sent) and, with a PIN
     * request, its "PINMode", "MaxLength", "MinLength" and "Format". The
     * device must be open.
     *
     * <p>On failure: false, for a handle that names no live device, a
     * request that is no JSON object or lacks a member or has one of the
     * wrong kind (the PIN request's "PAN" as for {@link #RequestPIN}), a
     * device that is not open (it is not opened), and no reply within the
     * wait. Always false for the older family. A reply that refuses the
     * request still gives true.
     * <p>Longest wait: the 1000 ms reply wait.
     *
     * @param device the device handle
     * @param panJson the PAN request: "Timeout" and "PaymentMethods"
     * @param pinJson a PIN request as for {@link #RequestPIN}, or null or empty for none
     * @return true when the reader replied
     */
    public static native boolean RequestPAN(long device, String panJson, String pinJson);

    /**
     * Asks the card holder for a signature (newer platform): command 1801
     * with parameter 81=1C. Opens a closed device.
     *
     * <p>On failure: false, for a handle that names no live device, a
     * device that does not open, and no reply within the wait. Always false
     * for the older family. A reply that refuses the request still gives
     * true.
     * <p>Longest wait: opening the device, then the 1000 ms reply wait.
     *
     * @param device the device handle
     * @return true when the reader replied
     */
    public static native boolean RequestSignature(long device);
}
