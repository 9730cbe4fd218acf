#include "pseudo_terminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "eventually.h"

namespace quorlan {
namespace testing {
namespace {

struct KnownSpeed {
  int rate;
  speed_t speed;
};

constexpr KnownSpeed kSpeeds[] = {{1200, B1200},     {9600, B9600},     {19200, B19200},
                                  {38400, B38400},   {57600, B57600},   {115200, B115200},
                                  {230400, B230400}, {921600, B921600}};

}  // namespace

PseudoTerminal::PseudoTerminal() {
  controller_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  char name[128];
  if (ptsname_r(controller_, name, sizeof name) != 0) throw std::runtime_error("no pseudo-terminal name");
  devicePath_ = name;
}

PseudoTerminal::~PseudoTerminal() {
  if (controller_ >= 0) close(controller_);
}

void PseudoTerminal::Send(const std::vector<uint8_t>& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t result = write(controller_, bytes.data() + sent, bytes.size() - sent);
    if (result < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("pseudo-terminal write failed");
    }
    sent += static_cast<size_t>(result);
  }
}

std::vector<uint8_t> PseudoTerminal::Receive(size_t count) {
  std::vector<uint8_t> bytes;
  const auto deadline = std::chrono::steady_clock::now() + test_support::kRoomyWait;
  while (bytes.size() < count) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd watch{controller_, POLLIN, 0};
    if (poll(&watch, 1, static_cast<int>(left.count())) <= 0) continue;
    uint8_t buffer[4096];
    ssize_t result = read(controller_, buffer, std::min(sizeof buffer, count - bytes.size()));
    // The device side not being open reads as an error: wait for it.
    if (result <= 0) {
      usleep(1000);
      continue;
    }
    bytes.insert(bytes.end(), buffer, buffer + result);
  }
  return bytes;
}

// Mode calls on the controlling side act on the device side's settings.
LineState PseudoTerminal::DeviceLineState() {
  termios options{};
  if (tcgetattr(controller_, &options) != 0) throw std::runtime_error("tcgetattr failed");
  LineState state;
  for (const KnownSpeed& known : kSpeeds) {
    if (known.speed == cfgetospeed(&options)) state.baudRate = known.rate;
  }
  if (options.c_cflag & PARENB) {
    const bool odd = options.c_cflag & PARODD;
    state.parity = (options.c_cflag & CMSPAR) ? (odd ? 3 : 4) : (odd ? 1 : 2);
  }
  switch (options.c_cflag & CSIZE) {
    case CS5: state.dataBits = 5; break;
    case CS6: state.dataBits = 6; break;
    case CS7: state.dataBits = 7; break;
    default: state.dataBits = 8; break;
  }
  state.twoStopBits = options.c_cflag & CSTOPB;
  state.raw = !(options.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) &&
              !(options.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF)) &&
              !(options.c_oflag & OPOST);
  return state;
}

std::optional<bool> PseudoTerminal::DeviceIsExclusive() {
  // Only root opens an exclusive line all the same, which it takes to look.
  int device = open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (device < 0) return std::nullopt;
  int exclusive = 0;
  const bool asked = ioctl(device, TIOCGEXCL, &exclusive) == 0;
  close(device);
  if (!asked) return std::nullopt;
  return exclusive != 0;
}

void PseudoTerminal::SetCookedLine(int baudRate) {
  termios options{};
  if (tcgetattr(controller_, &options) != 0) throw std::runtime_error("tcgetattr failed");
  options.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  options.c_iflag |= ICRNL | IXON;
  options.c_oflag |= OPOST | ONLCR;
  options.c_cflag |= CSTOPB;
  for (const KnownSpeed& known : kSpeeds) {
    if (known.rate == baudRate) {
      cfsetispeed(&options, known.speed);
      cfsetospeed(&options, known.speed);
    }
  }
  if (tcsetattr(controller_, TCSANOW, &options) != 0) throw std::runtime_error("tcsetattr failed");
}

}  // namespace testing
}  // namespace quorlan
