// File read, image upload into a slot, and the image the reader shows.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "pelorixj/device/configuration_support.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/frame_hex.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/one_shot.h"
#include "pelorixj/device/orvane_device_configuration.h"
#include "pelorixj/device/qrx_command.h"

namespace pelorixj {
namespace {

constexpr uint16_t kReadFile = 0xD821;
constexpr size_t kFileIdBytes = 4;
constexpr int kBadArgument = 3;
const char kDisplayImagePath[] = "E2.E3.E1.E1.C1";

// Slot 0 has no file.
const char* const kImageFileIds[] = {"", "02000000", "02000001", "02000002", "02000003"};
constexpr uint8_t kImageSlots = 4;

// Takes the payload of the first file message of the file asked for. A
// read that overlaps another (the device's own, a caller's) thus gets its
// own file.
void Watch(OneShot<std::string>& file, const IDeviceConfiguration::Bytes& fileId, const std::string& message) {
  try {
    if (Qrx().isFile(message) && HeaderNamesFile(ParseHex(message).GetParameter(1), fileId)) {
      file.Set(Qrx().getFilePayload(message));
    }
  } catch (...) {
    // A message the binding cannot read is not the file.
  }
}

}  // namespace

int OrvaneDeviceConfiguration::GetFile(Bytes fileId, IConfigurationCallback* callback) {
  return GetFile(std::move(fileId), callback, StopSignal::Never());
}

int OrvaneDeviceConfiguration::GetFile(Bytes fileId, IConfigurationCallback* callback, const StopSignal& stop) {
  if (fileId.size() != kFileIdBytes) return kBadArgument;
  try {
    const std::string request = CommandBytesInHex(kReadFile, {{0x81, BytesToHexString(fileId)}, {0x87, "01"}});
    auto file = std::make_shared<OneShot<std::string>>();
    // In place before the request: the reader may send the file before its reply.
    const ScopedWatcher watcher(*control_,
                                MessageWatcher{[file, fileId](const std::string& message) { Watch(*file, fileId, message); },
                                               [file] { file->Cancel(); }, false});
    const std::string reply = Exchange(request);
    if (Qrx().getStatusCode(reply) != 0) return kConfigurationFailed;
    stop.WaitFor(std::chrono::milliseconds(control_->Waits().fileMs), [&file] { return file->Done(); });
    const std::optional<std::string> payload = file->WaitFor(std::chrono::milliseconds(0));
    if (!payload) {
      ReportResult(callback, kConfigurationNoFile);
      return kConfigurationFailed;
    }
    ReportResult(callback, kConfigurationSuccess, HexPairsToBytes(*payload));
    return kConfigurationSuccess;
  } catch (...) {
    return kConfigurationFailed;
  }
}

int OrvaneDeviceConfiguration::SendImage(uint8_t imageSlot, Bytes data, IConfigurationCallback* callback) {
  if (static_cast<uint8_t>(imageSlot - 1) >= kImageSlots) return kBadArgument;
  return SendFile(HexPairsToBytes(kImageFileIds[imageSlot]), std::move(data), callback);
}

int OrvaneDeviceConfiguration::SetDisplayImage(uint8_t imageId) { return WriteByTlvPath(kDisplayImagePath, {imageId}); }

}  // namespace pelorixj
