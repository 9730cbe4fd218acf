#include "pelorixj/device/orvane_device_control.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <utility>

#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/device_handle_map.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/qrx_command.h"
#include "quorlan/message/hex_text.h"

namespace pelorixj {
namespace {

// Complete command envelopes with the fixed sequence byte 02.
const char kDeviceResetCommand[] = "AA00810401021F0184021F01";
const char kDisplayMessageCommand[] = "AA00810401021803840818038101";  // + 81 value, "8201", 82 value
const char kShowImageCommand[] = "AA00810401021821840518218101";      // + 81 value

// The string "Path" of a JSON object, or else the whole text.
std::string AddressOf(const std::string& text) {
  std::string address;
  try {
    const auto entry = nlohmann::json::parse(text);
    for (const auto& member : entry.items()) {
      if (member.key() == "Path") address = member.value().get<std::string>();
    }
  } catch (...) {
    return text;
  }
  return address.empty() ? text : address;
}

// The reply as upper-case hexadecimal; "timeout" when there is none.
std::string ReplyOrThrow(const std::string& reply) {
  const Bytes bytes = HexPairsToBytes(reply);
  if (bytes.empty()) throw std::runtime_error("timeout");
  return BytesToHexString(bytes);
}

}  // namespace

OrvaneIDeviceControl::OrvaneIDeviceControl(uint32_t connectionType, std::string text)
    : connectionInfo_{kNewerPlatformDevice, connectionType, AddressOf(text)},
      link_(LinkCalls(), [this](uint32_t state) { handlers_.DeliverStatus(state == kStateConnected); }) {}

OrvaneIDeviceControl::~OrvaneIDeviceControl() {
  handlers_.NotifyClosed();
  OrvaneDeviceHandles().Forget(this);
}

LinkSequence::Calls OrvaneIDeviceControl::LinkCalls() {
  LinkSequence::Calls calls;
  calls.open = [this] {
    const QrxHandle handle = Qrx().openDevice(connectionInfo_.ConnectionType, connectionInfo_.Address);
    return handle == kFailedDeviceHandle ? 0 : handle;
  };
  calls.attach = [this](QrxHandle handle) {
    // Registered before the callbacks are set, so that their first call finds it.
    OrvaneDeviceHandles().Register(handle, this);
    const QrxLibrary& qrx = Qrx();
    qrx.attachObjectToDevice(handle, reinterpret_cast<intptr_t>(this));
    qrx.setDataArriveCallback(handle, DataArriveThunk);
    qrx.setDeviceStatusChangeCallback(handle, StatusChangeThunk);
  };
  calls.isOpen = [](QrxHandle handle) { return Qrx().isDeviceOpened(handle); };
  // Quorlan reports a lost link only to the callback set by then.
  calls.lostUnheard = [](QrxHandle handle) { return !Qrx().isDeviceOpened(handle); };
  calls.canClose = [] { return Qrx().IsBound(QrxEntry::CloseDevice); };
  calls.taken = [this](QrxHandle handle) {
    // Before the close, whose status report and late messages must find
    // nothing: the close is reported by the sequence instead.
    OrvaneDeviceHandles().Unregister(handle);
    handlers_.NotifyClosed();
  };
  calls.close = [](QrxHandle handle) { Qrx().closeDevice(handle); };
  return calls;
}

bool OrvaneIDeviceControl::Open() { return link_.Open(); }

bool OrvaneIDeviceControl::Close() {
  link_.Close();
  return true;
}

bool OrvaneIDeviceControl::IsOpened() const { return link_.Current() != 0; }

QrxHandle OrvaneIDeviceControl::OpenHandle() const {
  const QrxHandle handle = link_.Current();
  if (handle == 0) throw std::runtime_error("Device is not opened.");
  return handle;
}

bool OrvaneIDeviceControl::OpenIfClosed() {
  if (!IsOpened()) Open();
  return IsOpened();
}

bool OrvaneIDeviceControl::Send(ByteDataRecord command) {
  const QrxHandle handle = link_.Current();
  if (handle == 0) return false;
  return Qrx().sendMessage(handle, command.Text) == 0;
}

DeviceResponse OrvaneIDeviceControl::SendSync(ByteDataRecord command) {
  DeviceResponse response;
  const QrxHandle handle = link_.Current();
  if (handle == 0) {
    response.Status = kResponseNotOpen;
    return response;
  }
  // Quorlan refuses it at once, which would read as no reply.
  if (quorlan::DecodedHexSize(command.Text.size()) > QRX_MAX_MESSAGE_LENGTH) {
    response.Status = kResponseFailed;
    return response;
  }
  try {
    const Bytes reply = HexPairsToBytes(Qrx().sendAndReceiveMessage(handle, command.Text, waits_.replyMs));
    if (reply.empty()) {
      response.Status = kResponseNoReply;
    } else {
      response.Data = ByteDataRecord(BytesToHexString(reply));
    }
  } catch (...) {
    response.Status = kResponseFailed;
  }
  return response;
}

std::string OrvaneIDeviceControl::SendSyncWithTimeout(const std::string& hexCommand, int32_t timeoutMs) {
  const QrxHandle handle = OpenHandle();
  return ReplyOrThrow(Qrx().sendAndReceiveMessage(handle, hexCommand, timeoutMs));
}

std::string OrvaneIDeviceControl::SendCommandWithProgress(QrxHandle command, ProgressFunction progress,
                                                          int32_t timeoutMs) {
  const QrxHandle handle = OpenHandle();
  return ReplyOrThrow(Qrx().sendCommandWithProgress(handle, command, std::move(progress), timeoutMs));
}

std::string OrvaneIDeviceControl::SendCommandStringWithProgress(const std::string& hexCommand,
                                                                ProgressFunction progress, int32_t timeoutMs) {
  const QrxHandle handle = OpenHandle();
  return ReplyOrThrow(Qrx().sendCommandWithProgress(handle, hexCommand, std::move(progress), timeoutMs));
}

void OrvaneIDeviceControl::SendFormattedCommand(std::string formattedCommand) {
  const QrxHandle handle = link_.Current();
  if (handle == 0) return;
  Qrx().sendMessage(handle, Qrx().getFormattedCommandBytesInHex(formattedCommand));
}

bool OrvaneIDeviceControl::SendExtendedCommand(ByteDataRecord) { return false; }
bool OrvaneIDeviceControl::EndSession() { return false; }
bool OrvaneIDeviceControl::SetDateTime(ByteDataRecord) { return false; }
bool OrvaneIDeviceControl::PlaySound(ByteDataRecord) { return false; }
bool OrvaneIDeviceControl::GetInput(ByteDataRecord) { return false; }
bool OrvaneIDeviceControl::SetLatch(bool) { return false; }

bool OrvaneIDeviceControl::SendFixed(const std::string& hexCommand) {
  return Qrx().getStatusCode(SendSyncWithTimeout(hexCommand, waits_.replyMs)) == 0;
}

bool OrvaneIDeviceControl::DeviceReset() {
  if (!OpenIfClosed()) return false;
  return SendFixed(kDeviceResetCommand);
}

bool OrvaneIDeviceControl::DisplayMessage(uint8_t messageId, uint8_t timeout) {
  try {
    return SendFixed(kDisplayMessageCommand + HexByte(timeout) + "8201" + HexByte(messageId));
  } catch (...) {
    return false;
  }
}

bool OrvaneIDeviceControl::ShowImage(uint8_t imageId) {
  try {
    return SendFixed(kShowImageCommand + HexByte(imageId));
  } catch (...) {
    return false;
  }
}

uint32_t OrvaneIDeviceControl::CommandStatusOfBuilt(QrxHandle command) {
  return Qrx().getCommandStatus(SendCommandWithProgress(command, [](double) {}, waits_.replyMs));
}

bool OrvaneIDeviceControl::ShowImageObject(ImageObject image, uint8_t option) {
  if (image.Type != 0) return false;
  QrxCommand command(0x1823);
  try {
    command.Set(0x81, HexByte(option))
        .Set(0x82, BytesToHexString(image.BackgroundColor))
        .Set(0x83, "00")
        .Set(0x84, "00")
        .Set(0x85, BytesToHexString(image.Data));
    return CommandStatusOfBuilt(command.handle()) == 0;
  } catch (...) {
    return false;
  }
}

bool OrvaneIDeviceControl::ShowBarCode(BarCodeRequest request, uint8_t option, const std::string* text) {
  QrxCommand command(0x1822);
  try {
    command.Set(0x81, HexByte(option))
        .Set(0x82, BytesToHexString(request.Data))
        .Set(0x83, HexByte(request.ErrorCorrection))
        .Set(0x84, HexByte(request.MaskPattern))
        .Set(0x85, HexByte(request.MinVersion))
        .Set(0x86, HexByte(request.MaxVersion));
    if (!request.BackgroundColor.empty()) command.Set(0x87, BytesToHexString(request.BackgroundColor));
    if (!request.BlockColor.empty()) command.Set(0x88, BytesToHexString(request.BlockColor));
    if (text != nullptr) command.Set(0x89, TextToHex(*text));
    return CommandStatusOfBuilt(command.handle()) == 0;
  } catch (...) {
    return false;
  }
}

void QRX_CALL OrvaneIDeviceControl::DataArriveThunk(void* device, const char* hexMessage) {
  try {
    if (hexMessage == nullptr) return;
    const std::string message(hexMessage);
    OrvaneDeviceHandles().With(reinterpret_cast<QrxHandle>(device),
                               [&](OrvaneIDeviceControl* control) { control->handlers_.DeliverData(message); });
  } catch (...) {
    // Quorlan is a C interface: nothing may unwind into it.
  }
}

void QRX_CALL OrvaneIDeviceControl::StatusChangeThunk(void* device, int) {
  try {
    const auto handle = reinterpret_cast<QrxHandle>(device);
    OrvaneDeviceHandles().With(handle, [&](OrvaneIDeviceControl* control) { control->link_.CloseIfOpen(handle); });
  } catch (...) {
    // Quorlan is a C interface: nothing may unwind into it.
  }
}

}  // namespace pelorixj
