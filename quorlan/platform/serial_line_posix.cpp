#include "quorlan/platform/serial_line_posix.h"

namespace quorlan {
namespace platform {
namespace {

struct BaudRate {
  int rate;
  speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(int rate, speed_t* speed) {
  for (const BaudRate& known : kBaudRates) {
    if (known.rate == rate) {
      *speed = known.speed;
      return true;
    }
  }
  return false;
}

bool CharacterSizeOf(int dataBits, tcflag_t* size) {
  switch (dataBits) {
    case 5: *size = CS5; return true;
    case 6: *size = CS6; return true;
    case 7: *size = CS7; return true;
    case 8: *size = CS8; return true;
    default: return false;
  }
}

bool ParityFlagsOf(int parity, tcflag_t* flags) {
  switch (parity) {
    case 0: *flags = 0; return true;
    case 1: *flags = PARENB | PARODD; return true;
    case 2: *flags = PARENB; return true;
    case 3: *flags = PARENB | PARODD | CMSPAR; return true;
    case 4: *flags = PARENB | CMSPAR; return true;
    default: return false;
  }
}

// A UART sends one and a half stop bits for CSTOPB with 5-bit characters and
// two otherwise, so each choice is valid with only some character sizes.
bool StopFlagsOf(int stopBits, int dataBits, tcflag_t* flags) {
  switch (stopBits) {
    case 0: *flags = 0; return true;
    case 1: *flags = CSTOPB; return dataBits == 5;
    case 2: *flags = CSTOPB; return dataBits != 5;
    default: return false;
  }
}

constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

}  // namespace

bool SetLineOptions(const SerialLineSettings& settings, termios* options) {
  speed_t speed;
  tcflag_t size, parity, stop;
  if (!SpeedOf(settings.baudRate, &speed) || !CharacterSizeOf(settings.dataBits, &size) ||
      !ParityFlagsOf(settings.parity, &parity) ||
      !StopFlagsOf(settings.stopBits, settings.dataBits, &stop)) {
    return false;
  }
  termios changed = *options;
  changed.c_cflag = (changed.c_cflag & ~kLineFlags) | size | parity | stop;
  if (cfsetispeed(&changed, speed) != 0 || cfsetospeed(&changed, speed) != 0) return false;
  *options = changed;
  return true;
}

void MakeRawOptions(termios* options) {
  const tcflag_t line = options->c_cflag & kLineFlags;
  cfmakeraw(options);
  options->c_cflag = (options->c_cflag & ~kLineFlags) | line | CLOCAL | CREAD;
  options->c_iflag &= ~(IXOFF | IXANY | INPCK);
  options->c_cc[VMIN] = 0;
  options->c_cc[VTIME] = 0;
}

}  // namespace platform
}  // namespace quorlan
