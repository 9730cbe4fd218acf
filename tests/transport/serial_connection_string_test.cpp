#include "quorlan/transport/serial_connection_string.h"

#include <gtest/gtest.h>

#include <climits>

namespace quorlan {
namespace {

struct ParseCase {
  const char* text;
  int port;
  int baudRate;
  int parity;
  int dataBits;
  int stopBits;
};

TEST(SerialConnectionString, ReadsItemsAsTheReaderSettingsDescribe) {
  const ParseCase cases[] = {
      {"SERIAL://PORT=COM4,BAUDRATE=115200,PARITY=E,DATABITS=7,STOPBITS=2", 4, 115200, 2, 7, 2},
      {"serial://port=com4,baudrate=115200,parity=e,databits=7,stopbits=2", 4, 115200, 2, 7, 2},
      {"PORT=COM4,BAUDRATE=115200,PARITY=E,DATABITS=7,STOPBITS=2", 4, 115200, 2, 7, 2},
      {"Serial://Port = Com4 ,\tBaudRate=\t115200\t", 4, 115200, 0, 8, 0},
      {"", 0, 9600, 0, 8, 0},
      {"SERIAL://", 0, 9600, 0, 8, 0},
      {"PORT=COM3,PORT=COM5", 5, 9600, 0, 8, 0},
      // A value of blanks only is still a value: it names no port.
      {"PORT=COM3,PORT= ", 0, 9600, 0, 8, 0},
      {"PORT=4", 0, 9600, 0, 8, 0},
      {"PORT=COM", 0, 9600, 0, 8, 0},
      {"PORT=COM12B", 12, 9600, 0, 8, 0},
      {"PORT=COM99999999999999", INT_MAX, 9600, 0, 8, 0},
      {"BAUDRATE=fast", 0, 0, 0, 8, 0},
      {"BAUDRATE=-300", 0, -300, 0, 8, 0},
      {"DATABITS=5x", 0, 9600, 0, 5, 0},
      // Items without a key and a value, or with more than one "=", are skipped.
      {"PORT,PORT=,=COM2,PORT= ,PORT=COM4=COM5,BAUDRATE=4800", 0, 4800, 0, 8, 0},
      {"SPEED=19200,PORT=COM2", 2, 9600, 0, 8, 0},
      {"XSERIAL://PORT=COM1,DATABITS=6", 0, 9600, 0, 6, 0},
      {"PARITY=NONE", 0, 9600, 0, 8, 0},   {"PARITY=N", 0, 9600, 0, 8, 0},
      {"PARITY=ODD", 0, 9600, 1, 8, 0},    {"PARITY=o", 0, 9600, 1, 8, 0},
      {"PARITY=EVEN", 0, 9600, 2, 8, 0},   {"PARITY=mark", 0, 9600, 3, 8, 0},
      {"PARITY=M", 0, 9600, 3, 8, 0},      {"PARITY=Space", 0, 9600, 4, 8, 0},
      {"PARITY=S", 0, 9600, 4, 8, 0},      {"STOPBITS=1", 0, 9600, 0, 8, 0},
      {"STOPBITS=1.5", 0, 9600, 0, 8, 1},  {"STOPBITS=2", 0, 9600, 0, 8, 2},
  };
  for (const ParseCase& c : cases) {
    SerialConnectionSettings settings = ParseSerialConnectionString(c.text);
    EXPECT_EQ(settings.portNumber, c.port) << c.text;
    EXPECT_EQ(settings.line.baudRate, c.baudRate) << c.text;
    EXPECT_EQ(settings.line.parity, c.parity) << c.text;
    EXPECT_EQ(settings.line.dataBits, c.dataBits) << c.text;
    EXPECT_EQ(settings.line.stopBits, c.stopBits) << c.text;
  }
}

TEST(SerialConnectionString, RefusesParityAndStopBitsOutsideTheirLists) {
  for (const char* text : {"PARITY=X", "PARITY=EVENS", "PARITY=0", "STOPBITS=3", "STOPBITS=0",
                           "STOPBITS=1.0", "PORT=COM1,PARITY=N,STOPBITS=1,PARITY=Q", "PARITY= ",
                           "STOPBITS=\t"}) {
    EXPECT_THROW(ParseSerialConnectionString(text), InvalidConnectionString) << text;
  }
}

}  // namespace
}  // namespace quorlan
