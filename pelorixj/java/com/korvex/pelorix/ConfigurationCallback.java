package com.korvex.pelorix;

/**
 * Receives the progress and result of a configuration operation of
 * {@link WrapperIDeviceConfiguration} and computes MACs for it. Its methods
 * are called in order on the thread that made the call, before it returns.
 * An exception thrown by one of them does not stop the operation: the
 * operation's method throws the first one once the operation has ended.
 */
public interface ConfigurationCallback {
    /**
     * Reports the progress of the operation.
     *
     * @param value the progress value
     */
    void OnProgress(long value);

    /**
     * Reports the outcome of the operation.
     *
     * @param status 0 success, 1 file request accepted but no file within
     *     the wait, 2 failure
     * @param data the result data, never null
     */
    void OnResult(long status, byte[] data);

    /**
     * Computes a MAC over data for the operation.
     *
     * @param macType the MAC type, 0 to 255
     * @param data the data to authenticate
     * @param status one element, 0 on entry; its low 32 bits are handed
     *     back to the operation as the status
     * @return the MAC, or null for none
     */
    byte[] OnCalculateMAC(long macType, byte[] data, long[] status);
}
