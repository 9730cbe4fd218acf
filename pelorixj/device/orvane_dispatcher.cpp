// How a newer-platform device turns what its reader sends into events:
// notifications by their id and code, file messages, and responses.
// Every handler returns at once when an event reports that the subscriber
// released the device during it.
#include "pelorixj/device/orvane_idevice.h"

#include <iterator>

#include "pelorixj/device/event_names.h"
#include "pelorixj/device/frame_hex.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/tlv_hex.h"

namespace pelorixj {
namespace {

// Notification ids.
constexpr uint32_t kCardId = 0x0101;
constexpr uint32_t kTransactionId = 0x0105;
constexpr uint32_t kSystemId = 0x1001;
constexpr uint32_t kDisplayId = 0x1803;
constexpr uint32_t kFileAnnouncementId = 0x1805;
constexpr uint32_t kFileAnnouncementCode = 0x01010101;

// Acknowledgements of ARQC and batch data requests, complete command frames.
const char kArqcAcknowledgement[] = "AAFF81040101101084051010810102";
const char kBatchAcknowledgement[] = "AAFF81040101101084051010810103";

// The file whose text event 11 carries.
const char kTextFileId[] = "01000000";
constexpr uint8_t kFileMessageHeader = 0x84;

using EventText = const std::string EventNameTable::*;

struct CodeEvent {
  uint32_t code;
  int eventType;
  EventText text;
};

const CodeEvent kCardEvents[] = {
    {0x10010200, kEventTransaction, &EventNameTable::cardInserted},
    {0x10010300, kEventTransaction, &EventNameTable::cardRemoved},
    {0x08010100, kEventTransaction, &EventNameTable::cardSwiped},
    {0x10010400, kEventTransaction, &EventNameTable::cardDetected},
    {0x20010400, kEventTransaction, &EventNameTable::cardDetected},
    {0x20010500, kEventTransaction, &EventNameTable::cardCollision},
};

const CodeEvent kSystemEvents[] = {
    {0x00000000, kEventDeviceReset, &EventNameTable::deviceResetOccurred},
    {0x00010000, kEventDeviceReset, &EventNameTable::deviceResetWillOccur},
    {0x01000000, kEventUser, &EventNameTable::contactlessCardPresented},
    {0x01010000, kEventUser, &EventNameTable::contactlessCardRemoved},
    {0x01020000, kEventUser, &EventNameTable::cardSeated},
    {0x01030000, kEventUser, &EventNameTable::cardUnseated},
    {0x01040000, kEventUser, &EventNameTable::userCardSwiped},
    {0x01050000, kEventUser, &EventNameTable::touchPresented},
    {0x01060000, kEventUser, &EventNameTable::touchRemoved},
};

// Card notifications that carry data, by the low 24 bits of their code;
// the top byte names the interface (0x08, 0x10 or 0x20).
constexpr uint32_t kArqcData = 0x080202;
constexpr uint32_t kBatchData = 0x080302;
constexpr uint32_t kArqcRequest = 0x080201;
constexpr uint32_t kBatchRequest = 0x080301;

bool IsCardDataCode(uint32_t code, uint32_t kind) {
  const uint32_t interface = code >> 24;
  return (code & 0x00FFFFFF) == kind && (interface == 0x08 || interface == 0x10 || interface == 0x20);
}

const CodeEvent* Find(const CodeEvent* begin, const CodeEvent* end, uint32_t code) {
  for (const CodeEvent* row = begin; row != end; ++row) {
    if (row->code == code) return row;
  }
  return nullptr;
}

// The outcome named by bits 8 to 15 of a transaction code whose bits 16 to
// 23 are 2; null for outcomes without an event.
EventText TransactionOutcome(uint32_t code) {
  switch (code & 0xFF00) {
    case 0x0100: return &EventNameTable::tryAnotherInterface;
    case 0x0200:
    case 0x0600: return &EventNameTable::transactionApproved;
    case 0x0300: return &EventNameTable::transactionDeclined;
    case 0x0400:
    case 0x0800: return &EventNameTable::transactionFailed;
    case 0x0500:
    case 0x0900: return &EventNameTable::transactionNotAccepted;
    case 0x0700: return &EventNameTable::quickChipDeferred;
    case 0x0A00: return &EventNameTable::transactionCancelled;
    default: return nullptr;
  }
}

const char* OperationName(uint32_t status) {
  switch (status) {
    case 1: return "operation_started";
    case 2: return "operation_warning";
    case 3: return "operation_failed";
    case 4: return "operation_done";
    default: return "";
  }
}

struct OperationReport {
  uint32_t status;  // 0: none
  const char* label;
};

// The operation reports of a response, by bits 24 to 31 of its status code.
struct SelectorReports {
  uint32_t selector;
  OperationReport reports[2];
};

const SelectorReports kSelectorReports[] = {
    {0x00, {{4, "Operation Done"}, {}}},
    {0x01, {{1, "Operation Started"}, {}}},
    {0x40, {{2, "Operation Warning"}, {4, "Operation Done"}}},
    {0x41, {{1, "Operation Started"}, {2, "Operation Warning"}}},
    {0x80, {{3, "Operation Failed"}, {}}},
    {0x81, {{1, "Operation Running"}, {3, "Operation Failed"}}},
};

}  // namespace

void OrvaneIDevice::OnDataArrive(std::string message) {
  const QrxLibrary& qrx = Qrx();
  if (qrx.isNotification(message, 0, 0)) {
    OnNotification(message);
  } else if (qrx.isFile(message)) {
    OnFileMessage(message);
  } else {
    OnResponse(message);
  }
}

void OrvaneIDevice::OnNotification(const std::string& message) {
  if (!RaiseEvent(kEventDeviceNotification, ByteDataRecord(message))) return;
  const QrxLibrary& qrx = Qrx();
  const uint32_t code = qrx.getNotificationCode(message);
  const uint32_t id = qrx.getNotificationId(message);
  const EventNameTable& names = EventNames();
  switch (id) {
    case kCardId:
      if (const CodeEvent* row = Find(std::begin(kCardEvents), std::end(kCardEvents), code)) {
        RaiseEvent(row->eventType, ByteDataRecord(names.*row->text));
      } else if (IsCardDataCode(code, kArqcData)) {
        RaiseEvent(kEventArqcData, ByteDataRecord(qrx.getNotificationParameter(message, "84")));
      } else if (IsCardDataCode(code, kBatchData)) {
        OnBatchData(qrx.getNotificationParameter(message, "84"));
      } else if (IsCardDataCode(code, kArqcRequest)) {
        control_.Send(ByteDataRecord(kArqcAcknowledgement));
      } else if (IsCardDataCode(code, kBatchRequest)) {
        control_.Send(ByteDataRecord(kBatchAcknowledgement));
      }
      return;
    case kDisplayId:
      OnDisplayNotification(code, message);
      return;
    case kFileAnnouncementId:
      if (code == kFileAnnouncementCode) followUps_.Request();
      return;
    case kSystemId:
      if (const CodeEvent* row = Find(std::begin(kSystemEvents), std::end(kSystemEvents), code)) {
        RaiseEvent(row->eventType, ByteDataRecord(names.*row->text));
      }
      return;
    case kTransactionId:
      OnTransactionNotification(code);
      return;
    default:
      return;
  }
}

void OrvaneIDevice::OnBatchData(const std::string& batch) {
  if (!RaiseEvent(kEventBatchData, ByteDataRecord(batch))) return;
  // The batch's first two bytes precede its TLV items.
  if (batch.size() <= 4) return;
  const std::string extracted = quorlan::FindTlvValue(ParseBerTlvFlatHex(batch.substr(4)), "DFDF3E");
  if (!extracted.empty()) RaiseEvent(kEventExtractedData, ByteDataRecord(extracted));
}

void OrvaneIDevice::OnDisplayNotification(uint32_t code, const std::string& message) {
  switch (code) {
    case 0x02010000:
      RaiseEvent(kEventDisplayNotification, ByteDataRecord(""));
      return;
    case 0x02010100:
    case 0x02010200:
      RaiseEvent(kEventDisplayNotification, ByteDataRecord(HexToText(Qrx().getNotificationParameter(message, "83"))));
      return;
    case 0x02020000:
      RaiseEvent(kEventDisplayNotificationRaw, ByteDataRecord(message));
      return;
    default:
      return;
  }
}

void OrvaneIDevice::OnTransactionNotification(uint32_t code) {
  const EventNameTable& names = EventNames();
  const uint32_t stage = code & 0x00FF0000;
  EventText text = nullptr;
  if (code == 0x10020002 || code == 0x10020F02) {
    text = &EventNameTable::technicalFallback;
  } else if (code == 0x07040000) {
    text = &EventNameTable::dataEntered;
  } else if (code == 0x07030500) {
    text = &EventNameTable::transactionCancelled;
  } else if ((code & 0xFFFF00FF) == 0x10020003) {
    RaiseEvent(kEventTransaction, ByteDataRecord("msr_fallback"));
    return;
  } else if (stage == 0x00010000) {
    text = &EventNameTable::timedOut;
  } else if (stage == 0x00030000) {
    text = &EventNameTable::transactionError;
  } else if (stage == 0x00020000 || stage == 0x00040000) {
    text = stage == 0x00020000 ? TransactionOutcome(code) : &EventNameTable::transactionCompleted;
    if (text != nullptr && !RaiseEvent(kEventTransaction, ByteDataRecord(names.*text))) return;
    if ((code & 0xFF) == 0x01) RaiseEvent(kEventTransaction, ByteDataRecord(names.signatureCaptureRequested));
    return;
  }
  if (text != nullptr) RaiseEvent(kEventTransaction, ByteDataRecord(names.*text));
}

void OrvaneIDevice::OnFileMessage(const std::string& message) {
  if (!RaiseEvent(kEventFileMessage, ByteDataRecord(message))) return;
  const quorlan::Bytes header = ParseHex(message).GetParameter(1);
  const Bytes textFile = HexPairsToBytes(kTextFileId);
  if (!HeaderNamesFile(header, textFile) || header[0] != kFileMessageHeader) return;
  const std::string payload = Qrx().getFilePayload(message);
  // The payload's first eight bytes precede its TLV items.
  if (payload.size() <= 16) return;
  const std::string wrapped = quorlan::FindTlvValue(ParseBerTlvTopLevelHex(payload.substr(16)), "CE");
  if (wrapped.empty()) return;
  const Bytes text = HexPairsToBytes(quorlan::FindTlvValue(ParseBerTlvTopLevelHex(wrapped), "82"));
  // The text's characters take every second byte.
  Bytes characters;
  for (size_t i = 1; i < text.size(); i += 2) characters.push_back(text[i]);
  RaiseEvent(kEventExtractedData, ByteDataRecord(BytesToHexString(characters)));
}

void OrvaneIDevice::OnResponse(const std::string& message) {
  try {
    const QrxLibrary& qrx = Qrx();
    const uint32_t status = qrx.getStatusCode(message);
    const std::string commandId = Hex8(qrx.getResponseCommandID(message));
    const std::string statusCode = Hex8(status);
    for (const SelectorReports& row : kSelectorReports) {
      if (row.selector != status >> 24) continue;
      for (const OperationReport& report : row.reports) {
        if (report.status == 0) continue;
        if (!ReportOperationStatus(report.status, commandId, report.label, statusCode)) return;
      }
    }
    RaiseEvent(kEventDeviceData, ByteDataRecord(message));
  } catch (...) {
    // A response that cannot be read, or a subscriber's failure, ends its handling.
  }
}

bool OrvaneIDevice::ReportOperationStatus(uint32_t status, const std::string& commandId, const std::string& label,
                                          const std::string& statusCode) {
  return RaiseEvent(kEventOperationStatus,
                    ByteDataRecord(std::string(OperationName(status)) + "," + commandId + "," + label + "," +
                                   statusCode));
}

}  // namespace pelorixj
