#include "quorlan/platform/serial_port.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "quorlan/platform/serial_line_posix.h"

namespace quorlan {
namespace platform {
namespace {

int Descriptor(intptr_t handle) { return static_cast<int>(handle); }

// The port is opened raw before anything else is set.
bool MakeRaw(int descriptor) {
  termios options{};
  if (tcgetattr(descriptor, &options) != 0) return false;
  MakeRawOptions(&options);
  return tcsetattr(descriptor, TCSANOW, &options) == 0;
}

}  // namespace

std::string SystemSerialPortPath(int portNumber) {
  if (portNumber < 1) return std::string();
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::unique_ptr<SerialPort> SerialPort::Open(const std::string& path) {
  if (path.empty()) return nullptr;
  // Non-blocking only while opening, so a line without carrier does not hold
  // up the open.
  int descriptor = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    close(descriptor);
    return nullptr;
  }
  std::unique_ptr<SerialPort> port(new SerialPort(descriptor));
  if (ioctl(descriptor, TIOCEXCL) != 0) return nullptr;
  if (!MakeRaw(descriptor)) return nullptr;
  int flags = fcntl(descriptor, F_GETFL);
  if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
  return port;
}

SerialPort::SerialPort(intptr_t handle) : handle_(handle) {}

SerialPort::~SerialPort() {
  // The exclusive mode outlives the descriptor while the line stays open
  // elsewhere (a pseudo-terminal's other end): without this the port would
  // refuse every later open but root's.
  ioctl(Descriptor(handle_), TIOCNXCL);
  close(Descriptor(handle_));
}

bool SerialPort::Configure(const SerialLineSettings& settings) {
  termios options{};
  if (tcgetattr(Descriptor(handle_), &options) != 0) return false;
  if (!SetLineOptions(settings, &options)) return false;
  return tcsetattr(Descriptor(handle_), TCSANOW, &options) == 0;
}

bool SerialPort::Write(const uint8_t* data, unsigned length) {
  unsigned written = 0;
  while (written < length) {
    ssize_t result = write(Descriptor(handle_), data + written, length - written);
    if (result < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<unsigned>(result);
  }
  while (tcdrain(Descriptor(handle_)) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

int SerialPort::Read(uint8_t* out, unsigned capacity, int waitMilliseconds) {
  if (capacity == 0) return 0;
  pollfd watch{Descriptor(handle_), POLLIN, 0};
  int ready;
  do {
    ready = poll(&watch, 1, waitMilliseconds);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return -1;
  if (ready == 0) return 0;
  ssize_t result = read(Descriptor(handle_), out, capacity);
  if (result > 0) return static_cast<int>(result);
  // A line that was hung up (a removed adapter, a closed pseudo-terminal)
  // reads as an endless end of file.
  const bool lineGone = (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  if (result == 0) return lineGone ? -1 : 0;
  return (errno == EINTR || errno == EAGAIN) && !lineGone ? 0 : -1;
}

}  // namespace platform
}  // namespace quorlan
