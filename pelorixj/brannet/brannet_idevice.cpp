#include "pelorixj/brannet/brannet_idevice.h"

#include <utility>

#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/reader_model_table.h"
#include "pelorixj/brannet/transaction_command.h"
#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {
namespace {

const char kSerialNumberCommand[] = "0003";
const char kCancelTransactionCommand[] = "4906000003040000";

// Notification codes 0x300 to 0x305 raise events 5 to 10.
constexpr uint32_t kFirstNotificationCode = 0x300;
constexpr uint32_t kNotificationCodeCount = 6;

// Null for product ids below 1 and those not in the table.
const ReaderModel* FindModel(int productId) {
  if (productId < 1) return nullptr;
  for (const ReaderModel& model : ReaderModelTable()) {
    if (model.productId == static_cast<uint32_t>(productId)) return &model;
  }
  return nullptr;
}

}  // namespace

BrannetIDevice::BrannetIDevice(uint32_t connectionType, std::string address)
    : control_(connectionType, std::move(address),
               BrannetHandlers{
                   [this](bool connected) { OnDeviceConnectionStateChanged(connected); },
                   [this](std::string text) { OnDataReceived(std::move(text)); },
                   [this](std::string text) { OnDeviceResponse(std::move(text)); },
                   [this](uint32_t code, std::string text) { OnNotificationData(code, std::move(text)); },
               }) {}

BrannetIDevice::~BrannetIDevice() {
  try {
    control_.Close();
  } catch (...) {
    // The library lacks CloseDeviceEx: nothing more can be done.
  }
  BrannetDeviceRegistry().EraseIfPointsTo(control_.GetConnectionInfo().Address, this);
}

bool BrannetIDevice::Close() { return control_.Close(); }

std::string BrannetIDevice::GetName() { return GetDeviceInfo().Name; }

ConnectionInfo BrannetIDevice::GetConnectionInfo() { return control_.GetConnectionInfo(); }

ConnectionState BrannetIDevice::GetConnectionState() {
  return control_.IsDeviceConnected() ? kStateConnected : kStateDisconnected;
}

std::optional<int> BrannetIDevice::ConnectedProductId() {
  if (!control_.IsDeviceConnected()) control_.Open();
  if (!control_.IsDeviceConnected()) return std::nullopt;
  return control_.GetProductId();
}

DeviceInfo BrannetIDevice::GetDeviceInfo() {
  const std::optional<int> productId = ConnectedProductId();
  if (!productId) return DeviceInfo{"Lumar Device", "Unknown", "Unknown"};
  DeviceInfo info;
  const std::string& address = control_.GetConnectionInfo().Address;
  info.Name = address.substr(address.rfind('/') + 1);
  if (const ReaderModel* model = FindModel(*productId)) info.Model = model->modelName;
  const DeviceResponse serial = control_.SendSync(ByteDataRecord(kSerialNumberCommand));
  if (serial.Status == 0) info.Serial = HexToText(serial.Data.Text);
  return info;
}

DeviceCapabilities BrannetIDevice::GetDeviceCapabilities() {
  const std::optional<int> productId = ConnectedProductId();
  if (!productId) return DeviceCapabilities{};
  if (const ReaderModel* model = FindModel(*productId)) return model->capabilities;
  // The reader is asked for its serial number even so.
  control_.SendSync(ByteDataRecord(kSerialNumberCommand));
  return DeviceCapabilities{};
}

bool BrannetIDevice::StartTransaction(const TransactionRequest& request) {
  try {
    const std::optional<std::string> command = TransactionCommand(request);
    if (!command) return false;
    return control_.SendSync(ByteDataRecord(*command)).Status == 0 && control_.GetResultCode() == 0;
  } catch (...) {
    return false;
  }
}

bool BrannetIDevice::CancelTransaction() {
  return control_.SendSync(ByteDataRecord(kCancelTransactionCommand)).Status == 0;
}

// Each handler raises its event last: the subscriber may release this device
// during the delivery.
void BrannetIDevice::OnDataReceived(std::string text) { RaiseEvent(kEventDeviceData, ByteDataRecord(std::move(text))); }

void BrannetIDevice::OnDeviceConnectionStateChanged(bool connected) {
  RaiseEvent(kEventConnectionStateChanged, ByteDataRecord(connected ? "04" : "01"));
}

void BrannetIDevice::OnDeviceResponse(std::string text) {
  RaiseEvent(kEventDeviceResponse, ByteDataRecord(std::move(text)));
}

void BrannetIDevice::OnNotificationData(uint32_t code, std::string text) {
  if (code < kFirstNotificationCode || code >= kFirstNotificationCode + kNotificationCodeCount) return;
  RaiseEvent(kEventTransaction + static_cast<int>(code - kFirstNotificationCode), ByteDataRecord(std::move(text)));
}

}  // namespace pelorixj
