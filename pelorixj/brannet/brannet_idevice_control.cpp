#include "pelorixj/brannet/brannet_idevice_control.h"

#include <utility>

#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/platform/export_table.h"

namespace pelorixj {
namespace {

// The library is a C interface: nothing may unwind into it.
template <class Call>
void Guarded(Call call) {
  try {
    call();
  } catch (...) {
  }
}

}  // namespace

BrannetIDeviceControl::BrannetIDeviceControl(uint32_t connectionType, std::string address, BrannetHandlers handlers)
    : connectionInfo_{kOlderFamilyDevice, connectionType, std::move(address)},
      handlers_(std::move(handlers)),
      link_(LinkCalls(), nullptr) {}

LinkSequence::Calls BrannetIDeviceControl::LinkCalls() {
  LinkSequence::Calls calls;
  calls.open = [this] {
    return Brannet().openDevice(Brannet().BuildOpenPath(connectionInfo_.ConnectionType, connectionInfo_.Address));
  };
  calls.attach = [this](BrannetHandle handle) {
    Brannet().setOnDeviceConnectionStateChanged(handle, ConnectionStateChangedCallback, this);
    Brannet().setOnCardDataCallback(handle, DataReceivedCallback, this);
    Brannet().setOnDeviceResponse(handle, DeviceResponseCallback, this);
    Brannet().setOnNotificationData(handle, NotificationDataCallback, this);
  };
  calls.isOpen = [](BrannetHandle handle) { return handle != 0 && Brannet().isDeviceConnected(handle); };
  calls.canClose = [] { return Brannet().IsBound(BrannetEntry::CloseDeviceEx); };
  calls.close = [](BrannetHandle handle) { Brannet().closeDevice(handle); };
  return calls;
}

bool BrannetIDeviceControl::Open() { return link_.Open(); }

bool BrannetIDeviceControl::Close() {
  link_.Close();
  return true;
}

bool BrannetIDeviceControl::IsDeviceConnected() {
  const BrannetHandle handle = link_.Current();
  return handle != 0 && Brannet().isDeviceConnected(handle);
}

int BrannetIDeviceControl::GetProductId() {
  const BrannetHandle handle = link_.Current();
  return handle == 0 ? 0 : Brannet().getProductId(handle);
}

int BrannetIDeviceControl::GetResultCode() {
  const BrannetHandle handle = link_.Current();
  return handle == 0 ? -2 : Brannet().getResultCode(handle);
}

bool BrannetIDeviceControl::Send(ByteDataRecord command) {
  if (!IsDeviceConnected()) return false;
  return Brannet().sendData(link_.Current(), command.Text) == 0;
}

DeviceResponse BrannetIDeviceControl::SendSync(ByteDataRecord command) {
  DeviceResponse response;
  if (!IsDeviceConnected()) {
    response.Status = kResponseNotOpen;
    return response;
  }
  try {
    const Bytes reply = HexPairsToBytes(Brannet().sendCommand(link_.Current(), command.Text));
    if (GetResultCode() == 0) {
      response.Data = ByteDataRecord(BytesToHexString(reply));
    } else {
      response.Status = kResponseFailed;
    }
  } catch (...) {
    response.Status = kResponseFailed;
  }
  return response;
}

bool BrannetIDeviceControl::DeviceReset() {
  try {
    return IsDeviceConnected() && SendSync(ByteDataRecord("02")).Status == 0;
  } catch (...) {
    return false;
  }
}

const BrannetHandlers* BrannetIDeviceControl::HandlersOf(void* context) {
  const auto* control = static_cast<const BrannetIDeviceControl*>(context);
  return control != nullptr && control->handlers_.connectionStateChanged ? &control->handlers_ : nullptr;
}

void BrannetIDeviceControl::ConnectionStateChangedCallback(BrannetHandle, void* context, int connected) {
  const BrannetHandlers* handlers = HandlersOf(context);
  // The library's value is a one-byte boolean.
  if (handlers) Guarded([&] { handlers->connectionStateChanged(static_cast<uint8_t>(connected) != 0); });
}

// Card data registered with OnDataReceivedEx reaches the device-response
// handler, and the device's responses the data handler: the event numbers
// that applications see depend on this crossing.
void BrannetIDeviceControl::DataReceivedCallback(BrannetHandle, void* context, const char* text) {
  const BrannetHandlers* handlers = HandlersOf(context);
  if (handlers) Guarded([&] { handlers->deviceResponse(CopyText(text)); });
}

void BrannetIDeviceControl::DeviceResponseCallback(BrannetHandle, void* context, const char* text) {
  const BrannetHandlers* handlers = HandlersOf(context);
  if (handlers) Guarded([&] { handlers->dataReceived(CopyText(text)); });
}

void BrannetIDeviceControl::NotificationDataCallback(BrannetHandle, void* context, uint32_t code, const char* text) {
  const BrannetHandlers* handlers = HandlersOf(context);
  if (handlers) Guarded([&] { handlers->notificationData(code, CopyText(text)); });
}

}  // namespace pelorixj
