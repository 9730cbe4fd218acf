/*
 * Runs a payment transaction on a reader through the flat C interface:
 * lists readers, opens one over TCP, starts a transaction, prints the
 * messages that arrive, reads the card data and closes.
 *
 *   transaction_demo tcp://127.0.0.1:8888
 */
#include <stdatomic.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "quorlan/qrx.h"

/* Set by the data callback when the reader reports the transaction finished. */
static atomic_int transactionDone = 0;

static void sleepMs(long ms) {
  struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&pause, NULL);
}

static void QRX_CALL onData(void* device, const char* hexMessage) {
  (void)device;
  if (QRX_IsNotification(hexMessage, 0, 0)) {
    unsigned code = QRX_GetNotificationCode(hexMessage);
    printf("  notification %04X, code %08X\n", QRX_GetNotificationId(hexMessage), code);
    /* Transaction state "completed" ends the demo's wait. */
    if (code == 0x10010300) transactionDone = 1;
  } else if (QRX_IsFile(hexMessage)) {
    printf("  file %08X\n", QRX_GetFileID(hexMessage));
  } else {
    printf("  response to %04X, status %04X\n", QRX_GetResponseCommandID(hexMessage), QRX_GetStatusCode(hexMessage));
  }
}

static void QRX_CALL onStatus(void* device, int status) {
  (void)device;
  printf("  device status %d\n", status);
}

int main(int argc, char** argv) {
  const char* address = argc > 1 ? argv[1] : "tcp://127.0.0.1:8888";
  /* Callbacks print from other threads: keep lines whole and in order. */
  setvbuf(stdout, NULL, _IOLBF, 0);
  printf("USB HID readers: %s\n", QRX_GetDeviceList(0));

  printf("Opening %s\n", address);
  intptr_t device = QRX_OpenDevice(4, address);
  if (device == -1) {
    fprintf(stderr, "could not open %s\n", address);
    return 1;
  }
  QRX_SetDeviceStatusChangeCallback(device, onStatus);
  QRX_SetDataArriveCallback(device, onData);

  printf("Starting a transaction of 12.50\n");
  int status = QRX_StartTransaction(device, 1250, 0x3C, 0x07, 0x02, NULL);
  printf("  start transaction: status %04X\n", status);
  for (int waited = 0; status == 0 && !transactionDone && waited < 5000; waited += 50) sleepMs(50);

  CardDataRecord card = {0};
  status = QRX_GetCardData(device, &card);
  printf("Card data: status %04X, header %02X %02X %02X\n", status, card.header[0], card.header[1], card.header[2]);
  for (int i = 0; i < 3; ++i) {
    if (card.value[i] != 0) printf("  entry %d: %08X %s\n", i + 1, card.value[i], card.text[i]);
  }

  printf("Closing\n");
  QRX_CloseDevice(device);
  sleepMs(100);
  return status == 0 ? 0 : 1;
}
