import com.korvex.pelorix.ConfigurationCallback;
import com.korvex.pelorix.CoreAPI;
import com.korvex.pelorix.DeviceEventListener;
import com.korvex.pelorix.WrapperIDevice;
import com.korvex.pelorix.WrapperIDeviceConfiguration;
import com.korvex.pelorix.WrapperIDeviceControl;
import java.util.Arrays;
import java.util.HexFormat;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * Runs a payment transaction on a reader of the newer platform through
 * pelorix.jar: lists readers, opens one over TCP, prints its events as they
 * arrive, shows a message, reads what the device says of itself and its
 * model and serial number, reads a file and closes.
 *
 * <pre>
 *   java -Djava.library.path=build/lib -cp build/lib/pelorix.jar:build/bin/transaction-demo.jar \
 *       TransactionDemo tcp://127.0.0.1:8888
 * </pre>
 */
public final class TransactionDemo {
    private static final int NEWER_PLATFORM = 3;
    private static final int TCP = 4;
    private static final long TRANSACTION_EVENT = 5;
    // Selectors of WrapperIDeviceConfiguration.GetDeviceInfo.
    private static final int MODEL = 1;
    private static final int SERIAL_NUMBER = 0;
    private static final byte[] FILE_ID = {1, 0, 0, 0};
    private static final int SHOWN_BYTES = 32;

    /** Keeps the content of a file read. */
    private static final class FileContent implements ConfigurationCallback {
        private byte[] content = new byte[0];

        @Override
        public void OnProgress(long value) {
        }

        @Override
        public void OnResult(long status, byte[] data) {
            content = data;
        }

        @Override
        public byte[] OnCalculateMAC(long macType, byte[] data, long[] status) {
            return null;
        }

        @Override
        public String toString() {
            String shown = HexFormat.of().withUpperCase()
                    .formatHex(Arrays.copyOf(content, Math.min(content.length, SHOWN_BYTES)));
            return content.length + " bytes, " + shown + (content.length > SHOWN_BYTES ? "..." : "");
        }
    }

    private TransactionDemo() {
    }

    /**
     * Runs the demo.
     *
     * @param args the reader's address, "tcp://127.0.0.1:8888" when none is given
     * @throws InterruptedException when interrupted while waiting for the transaction
     */
    public static void main(String[] args) throws InterruptedException {
        String address = args.length > 0 ? args[0] : "tcp://127.0.0.1:8888";
        System.out.println("Pelorix interface version " + CoreAPI.GetAPIVersion());
        long[] usbReaders = CoreAPI.GetDeviceList(NEWER_PLATFORM);
        System.out.println("USB readers of the newer platform: " + usbReaders.length);
        CoreAPI.ReleaseDeviceList(usbReaders);

        long device = CoreAPI.GetDevice(NEWER_PLATFORM, TCP, address);
        if (device == 0) {
            System.err.println("no device for " + address);
            System.exit(1);
        }
        CountDownLatch cardRemoved = new CountDownLatch(1);
        DeviceEventListener listener = (eventType, payload) -> {
            System.out.println("  event " + eventType + ": " + payload);
            if (eventType == TRANSACTION_EVENT && payload.equals("card_removed")) {
                cardRemoved.countDown();
            }
        };
        WrapperIDevice.SubscribeAll(device, listener);

        long control = WrapperIDevice.GetDeviceControl(device);
        System.out.println("Opening " + address);
        boolean ok = WrapperIDeviceControl.Open(control);

        System.out.println("Starting a transaction of 12.50");
        ok &= WrapperIDevice.StartTransaction(device, "{\"Amount\":\"12.50\",\"CurrencyCode\":\"0840\","
                + "\"PaymentMethods\":7,\"Timeout\":30,\"EMVOnly\":true,\"QuickChip\":false}");
        ok &= cardRemoved.await(10, TimeUnit.SECONDS);

        System.out.println("Showing a message: " + WrapperIDeviceControl.DisplayMessage(control, (byte) 1, (byte) 5));
        System.out.println("Device information: " + WrapperIDevice.GetDeviceInfo(device));
        // Over TCP the device is known by its address alone: the reader itself tells its model and serial number.
        long configuration = WrapperIDevice.GetDeviceConfiguration(device);
        String model = WrapperIDeviceConfiguration.GetDeviceInfo(configuration, MODEL);
        String serialNumber = WrapperIDeviceConfiguration.GetDeviceInfo(configuration, SERIAL_NUMBER);
        System.out.println("Model: " + model + ", serial number: " + serialNumber);
        ok &= !model.isEmpty() && !serialNumber.isEmpty();
        System.out.println("Capabilities: " + WrapperIDevice.GetDeviceCapabilities(device));

        FileContent file = new FileContent();
        int fileStatus = WrapperIDeviceConfiguration.GetFile(configuration, FILE_ID, file);
        System.out.println("File " + HexFormat.of().formatHex(FILE_ID) + " (status " + fileStatus + "): " + file);
        ok &= fileStatus == 0;

        System.out.println("Closing");
        WrapperIDeviceControl.Close(control);
        WrapperIDevice.UnsubscribeAll(device);
        CoreAPI.ReleaseDevice(device);
        if (!ok) {
            System.exit(1);
        }
    }
}
