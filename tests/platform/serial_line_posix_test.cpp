#include "quorlan/platform/serial_line_posix.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace platform {
namespace {

termios Cooked() {
  termios options{};
  options.c_iflag = ICRNL | IXON | IXOFF | ISTRIP | INPCK;
  options.c_oflag = OPOST | ONLCR;
  options.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
  options.c_cflag = CS7 | PARENB | PARODD | CSTOPB;
  cfsetispeed(&options, B19200);
  cfsetospeed(&options, B19200);
  options.c_cc[VMIN] = 1;
  return options;
}

TEST(SerialLineOptions, MapEachSettingOntoTheLineFlags) {
  const struct {
    SerialLineSettings settings;
    speed_t speed;
    tcflag_t flags;  // character size, parity and stop bits
  } cases[] = {
      {{9600, 0, 8, 0}, B9600, CS8},
      {{115200, 1, 7, 0}, B115200, CS7 | PARENB | PARODD},
      {{57600, 2, 8, 2}, B57600, CS8 | PARENB | CSTOPB},
      {{1200, 3, 6, 0}, B1200, CS6 | PARENB | PARODD | CMSPAR},
      {{4000000, 4, 8, 0}, B4000000, CS8 | PARENB | CMSPAR},
      {{300, 0, 5, 1}, B300, CS5 | CSTOPB},
  };
  for (const auto& c : cases) {
    termios options = Cooked();
    ASSERT_TRUE(SetLineOptions(c.settings, &options)) << c.settings.baudRate;
    EXPECT_EQ(options.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.flags) << c.settings.baudRate;
    EXPECT_EQ(cfgetispeed(&options), c.speed);
    EXPECT_EQ(cfgetospeed(&options), c.speed);
  }
}

TEST(SerialLineOptions, RefuseSettingsNoLineCanHave) {
  const SerialLineSettings refused[] = {
      {12345, 0, 8, 0}, {0, 0, 8, 0},    {-9600, 0, 8, 0}, {9600, 5, 8, 0}, {9600, -1, 8, 0},
      {9600, 0, 9, 0},  {9600, 0, 4, 0}, {9600, 0, 8, 3},
      {9600, 0, 8, 1},  // one and a half stop bits go with 5-bit characters only,
      {9600, 0, 5, 2},  // and two stop bits never do
  };
  for (const SerialLineSettings& settings : refused) {
    termios options = Cooked();
    const termios before = options;
    EXPECT_FALSE(SetLineOptions(settings, &options))
        << settings.baudRate << " " << settings.parity << " " << settings.dataBits << " " << settings.stopBits;
    EXPECT_EQ(options.c_cflag, before.c_cflag);
    EXPECT_EQ(cfgetospeed(&options), B19200);
  }
}

TEST(SerialLineOptions, RawModeStopsAllProcessingButKeepsTheLine) {
  termios options = Cooked();
  MakeRawOptions(&options);
  EXPECT_EQ(options.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(options.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP | INPCK), 0u);
  EXPECT_EQ(options.c_oflag & OPOST, 0u);
  EXPECT_EQ(options.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), CS7 | PARENB | PARODD | CSTOPB);
  EXPECT_EQ(options.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
  EXPECT_EQ(cfgetospeed(&options), B19200);
  EXPECT_EQ(options.c_cc[VMIN], 0);
  EXPECT_EQ(options.c_cc[VTIME], 0);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
