/* Builds reader commands through the flat C interface and prints their bytes. */
#include <stdio.h>

#include "quorlan/qrx.h"

int main(void) {
  intptr_t command = QRX_CreateCommand(0x1010);
  if (command == 0) {
    fprintf(stderr, "could not create a command\n");
    return 1;
  }
  QRX_SetCommandParameter(command, 0x81, "01");
  printf("command 1010 with 81=01:   %s\n", QRX_GetCommandBytesInHex(command));
  printf("the same, serialized again: %s\n", QRX_GetCommandBytesInHex(command));
  QRX_DeleteCommand(command);

  const char* texts[] = {"1008", "1001,82=01,81=000100", "1001, 82=", "1001,,82=01", "ZZ"};
  for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
    const char* bytes = QRX_GetFormattedCommandBytesInHex(texts[i]);
    printf("formatted \"%s\": %s\n", texts[i], bytes[0] ? bytes : "(refused)");
  }
  return 0;
}
