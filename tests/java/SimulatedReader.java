package com.korvex.pelorix;

/**
 * A simulated reader of the newer platform on loopback TCP, inside the
 * test's JVM, made by a test-only native library. It plays reader_sim's demo
 * scenario: it answers every command with success but reads of device
 * information and files it does not hold; after a transaction's start it
 * announces card inserted, a display text, approval, completion and card
 * removed, 10 ms apart.
 */
final class SimulatedReader implements AutoCloseable {
    static {
        System.loadLibrary("pelorixj_test_devices");
    }

    private final long reader = start();

    private static native long start();

    private static native void stop(long reader);

    private static native String address(long reader);

    private static native void pushNotification(long reader, int id, int code, int tag, String valueHex);

    private static native String waitForCommand(long reader, int code, int timeoutMs);

    private static native void clearReceived(long reader);

    private static native String received(long reader);

    private static native long receivedCount(long reader);

    private static native void goAway(long reader, boolean reset);

    private static native void setNoReply(long reader, int code);

    private static native long acceptedCount(long reader);

    private static native long openCount(long reader);

    private static native String waitForCommandHex(long reader, int code, int timeoutMs);

    private static native void setReply(long reader, int code, int operationStatus, int commandStatus,
            String parameters);

    private static native void setReplyThenNotification(long reader, int code, int id, int notificationCode);

    private static native void setReplyThenFile(long reader, int code, int fileId, String payloadHex);

    private static native void answerLate(long reader, int code, int laterCode);

    private static native long acceptUploads(long reader);

    private static native String uploads(long desk);

    private static native void freeUploads(long desk);

    private long uploadDesk;

    /** "tcp://127.0.0.1:port". */
    String address() {
        return address(reader);
    }

    /** Sends a notification with one parameter (tag 0: none) to every connection. */
    void pushNotification(int id, int code, int tag, String valueHex) {
        pushNotification(reader, id, code, tag, valueHex);
    }

    /** The first command of the code received, as its inner parameters "82=3C A3=..."; null when none came. */
    String waitForCommand(int code) {
        return waitForCommand(reader, code, 5000);
    }

    void clearReceived() {
        clearReceived(reader);
    }

    /** Every message received since the last clearing, as hexadecimal text, one a line. */
    String received() {
        return received(reader);
    }

    /** The messages received since the start or the last clearReceived. */
    long receivedCount() {
        return receivedCount(reader);
    }

    /** Stops listening and ends every connection: by an orderly close, or by a reset. */
    void goAway(boolean reset) {
        goAway(reader, reset);
    }

    /** Commands of the code get no reply. */
    void setNoReply(int code) {
        setNoReply(reader, code);
    }

    /** The connections taken since the start. */
    long acceptedCount() {
        return acceptedCount(reader);
    }

    /** The connections still open. */
    long openCount() {
        return openCount(reader);
    }

    /** The whole first command of the code received, as hexadecimal text; null when none came. */
    String waitForCommandHex(int code) {
        return waitForCommandHex(reader, code, 5000);
    }

    /** The reply to commands of the code, with parameters written as waitForCommand writes them. */
    void setReply(int code, int operationStatus, int commandStatus, String parameters) {
        setReply(reader, code, operationStatus, commandStatus, parameters);
    }

    /** Success, followed by a notification without parameters. */
    void setReplyThenNotification(int code, int id, int notificationCode) {
        setReplyThenNotification(reader, code, id, notificationCode);
    }

    /** Success, followed by a file message of the code. */
    void setReplyThenFile(int code, int fileId, String payloadHex) {
        setReplyThenFile(reader, code, fileId, payloadHex);
    }

    /**
     * Commands of the code go unanswered until one of laterCode comes, which
     * gets the last one's reply instead of its own.
     */
    void answerLate(int code, int laterCode) {
        answerLate(reader, code, laterCode);
    }

    /** From now on the reader takes announced and signed uploads, every check passing. */
    void acceptUploads() {
        uploadDesk = acceptUploads(reader);
    }

    /** One line per upload taken: "id=.. name=.. content=.. token=.. fault=". */
    String uploads() {
        return uploads(uploadDesk);
    }

    @Override
    public void close() {
        stop(reader);
        freeUploads(uploadDesk);
    }
}
