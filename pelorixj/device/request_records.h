// Records that callers hand to devices, with their defaults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

struct TransactionRequest {
  uint8_t Timeout = 60;
  uint32_t PaymentMethods = 0;
  bool QuickChip = false;
  bool EMVOnly = false;
  bool PreventMSRSignatureForCardWithICC = false;
  bool SuppressThankYouMessage = false;
  uint8_t OverrideFinalTransactionMessage = 0;
  uint8_t EMVResponseFormat = 0;
  uint8_t TransactionType = 0;
  std::string Amount = "0";    // decimal text
  std::string CashBack = "0";  // decimal text
  std::vector<uint8_t> CurrencyCode;
  std::vector<uint8_t> CurrencyExponent;
  std::vector<uint8_t> TransactionCategory;
  std::vector<uint8_t> MerchantCategory;
  std::vector<uint8_t> MerchantID;
  std::vector<uint8_t> MerchantCustomData;
  uint8_t ManualEntryType = 0;
  uint8_t ManualEntryFormat = 0;
  uint8_t ManualEntrySound = 0;
};

struct PinRequest {
  uint8_t Timeout = 60;
  uint8_t PINMode = 0;
  uint8_t MinLength = 4;
  uint8_t MaxLength = 12;
  uint8_t Tone = 1;
  uint8_t Format = 1;
  std::string PAN;
};

struct PanRequest {
  uint8_t Timeout = 0;
  uint32_t PaymentMethods = 1;
};

struct ImageObject {
  uint32_t Type = 0;
  std::vector<uint8_t> Data;
  std::vector<uint8_t> BackgroundColor;
};

struct BarCodeRequest {
  uint32_t Type = 0;
  uint32_t Format = 0;
  std::vector<uint8_t> Data;
  std::vector<uint8_t> BlockColor;
  std::vector<uint8_t> BackgroundColor;
  uint8_t ErrorCorrection = 0;
  uint8_t MaskPattern = 0;
  uint8_t MinVersion = 0;
  uint8_t MaxVersion = 0;
};

}  // namespace pelorixj
