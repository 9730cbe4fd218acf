// Firmware update: the image goes out with its SHA-256 digest, the reader
// reports it good, the installation is commanded, and the reader reports it
// done.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "pelorixj/device/configuration_support.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/one_shot.h"
#include "pelorixj/device/orvane_device_configuration.h"
#include "pelorixj/device/progress_adapters.h"
#include "pelorixj/device/qrx_command.h"
#include "pelorixj/platform/digest.h"

namespace pelorixj {
namespace {

constexpr uint16_t kFirmwareData = 0xD801;
constexpr uint16_t kFirmwareInstall = 0xD901;
constexpr uint16_t kFirmwareFailed = 0x0906;
constexpr uint16_t kFirmwareStage = 0x0905;
constexpr uint32_t kImageVerified = 0x08010903;
constexpr uint32_t kImageInstalled = 0x08010A03;

// Shared with the watcher, which Quorlan's worker may still run after the
// update has ended.
struct FirmwareResults {
  OneShot<bool> verified;
  OneShot<bool> installed;

  // Each result on its own: one that is set already stays as it is, so a
  // failure at any stage ends the wait in progress at once.
  void Fail() {
    verified.Set(false);
    installed.Set(false);
  }
};

void Watch(FirmwareResults& results, const std::string& message) {
  try {
    const QrxLibrary& qrx = Qrx();
    if (!qrx.isNotification(message, 0, 0)) return;
    if (qrx.getNotificationId(message) == kFirmwareFailed) {
      results.Fail();
    } else if (qrx.isNotification(message, kImageVerified, kFirmwareStage)) {
      results.verified.Set(true);
    } else if (qrx.isNotification(message, kImageInstalled, kFirmwareStage)) {
      results.installed.Set(true);
    }
  } catch (...) {
    // A message the binding cannot read is one the update does not wait for.
  }
}

void Progress(IConfigurationCallback* callback, int percent) {
  if (callback != nullptr) callback->OnProgress(percent);
}

void Require(bool condition, const char* reason) {
  if (!condition) throw std::runtime_error(reason);
}

}  // namespace

int OrvaneDeviceConfiguration::UpdateFirmware(uint16_t firmwareType, Bytes image, IConfigurationCallback* callback) {
  using std::chrono::milliseconds;
  const ResponseWaits& waits = control_->Waits();
  int result = kConfigurationFailed;
  std::optional<ScopedWatcher> watcher;
  try {
    auto results = std::make_shared<FirmwareResults>();
    watcher.emplace(*control_, MessageWatcher{[results](const std::string& message) { Watch(*results, message); },
                                              [results] { results->Fail(); }, true});
    Progress(callback, 1);
    const std::string digest = BytesToHexString(ComputeDigest(image, "SHA256"));
    Progress(callback, 10);
    std::string reply;
    {
      QrxCommand data(kFirmwareData);
      data.Set(0x81, "03").Set(0x85, Hex4(firmwareType)).Set(0x86, digest).Set(0x87, BytesToHexString(image));
      FirmwareProgressAdapter progress(callback);
      reply = control_->SendCommandWithProgress(data.handle(), std::ref(progress), waits.firmwareMs);
    }
    Require(Qrx().getStatusCode(reply) == 0, "failed : sending firmware data.");
    Require(results->verified.WaitFor(milliseconds(waits.firmwareMs)).value_or(false),
            "failed : verifying firmware data.");
    const std::string install = CommandBytesInHex(
        kFirmwareInstall, {{0x81, "03"}, {0x82, "00"}, {0x85, Hex4(firmwareType)}, {0x86, digest}});
    Progress(callback, 66);
    reply = control_->SendSyncWithTimeout(install, waits.replyMs);
    Progress(callback, 68);
    Require(Qrx().getStatusCode(reply) == 0, "failed : update firmware command.");
    Require(results->installed.WaitFor(milliseconds(waits.installationMs)).value_or(false), "failed : update firmware.");
    Progress(callback, 99);
    Progress(callback, 100);
    result = kConfigurationSuccess;
  } catch (...) {
    result = kConfigurationFailed;
  }
  ReportResult(callback, result);
  return result;
}

}  // namespace pelorixj
