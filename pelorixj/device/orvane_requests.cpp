#include "pelorixj/device/orvane_idevice.h"

namespace pelorixj {

bool OrvaneIDevice::StartTransaction(const TransactionRequest&) { return false; }
bool OrvaneIDevice::CancelTransaction() { return false; }
bool OrvaneIDevice::SendSelection(ByteDataRecord) { return false; }
bool OrvaneIDevice::SendAuthorization(ByteDataRecord) { return false; }
bool OrvaneIDevice::RequestPIN(PinRequest) { return false; }
bool OrvaneIDevice::RequestPAN(PanRequest, const PinRequest*) { return false; }
bool OrvaneIDevice::RequestSignature() { return false; }

}  // namespace pelorixj
