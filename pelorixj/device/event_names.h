// The texts that events carry: card, transaction, user, reset and
// connection-state names.
#pragma once

#include <cstdint>
#include <string>

namespace pelorixj {

struct EventNameTable {
  std::string cardSwiped{"card_swiped"};
  std::string cardInserted{"card_inserted"};
  std::string cardRemoved{"card_removed"};
  std::string cardDetected{"card_detected"};
  std::string cardCollision{"card_collision"};
  std::string timedOut{"timed_out"};
  std::string hostCancelled{"host_cancelled"};
  std::string transactionCancelled{"transaction_cancelled"};
  std::string transactionInProgress{"transaction_in_progress"};
  std::string transactionError{"transaction_error"};
  std::string transactionApproved{"transaction_approved"};
  std::string transactionDeclined{"transaction_declined"};
  std::string transactionCompleted{"transaction_completed"};
  std::string transactionFailed{"transaction_failed"};
  std::string transactionNotAccepted{"transaction_not_accepted"};
  std::string signatureCaptureRequested{"signature_capture_requested"};
  std::string technicalFallback{"technical_fallback"};
  std::string quickChipDeferred{"quick_chip_deferred"};
  std::string dataEntered{"data_entered"};
  std::string tryAnotherInterface{"try_another_interface"};
  std::string contactlessCardPresented{"contactless_card_presented"};
  std::string contactlessCardRemoved{"contactless_card_removed"};
  std::string cardSeated{"card_seated"};
  std::string cardUnseated{"card_unseated"};
  // The user event's own constant; the same text as cardSwiped.
  std::string userCardSwiped{"card_swiped"};
  std::string touchPresented{"touch_presented"};
  std::string touchRemoved{"touch_removed"};
  std::string deviceResetOccurred{"device_reset_occurred"};
  std::string deviceResetWillOccur{"device_reset_will_occur"};
  std::string disconnected{"disconnected"};
  std::string connecting{"connecting"};
  std::string error{"error"};
  std::string connected{"connected"};
  std::string disconnecting{"disconnecting"};
};

// Built on first use and never destroyed: device threads may still raise
// events while the library is being unloaded.
const EventNameTable& EventNames();

// The text of a ConnectionState; the empty text for values without a name.
const std::string& ConnectionStateText(uint32_t state);

}  // namespace pelorixj
