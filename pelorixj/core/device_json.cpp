#include "pelorixj/core/device_json.h"

#include <cstdint>

#include <nlohmann/json.hpp>

#include "pelorixj/core/json_fields.h"

namespace pelorixj {
namespace {

using nlohmann::json;

int32_t Signed(uint32_t field) { return static_cast<int32_t>(field); }

}  // namespace

TransactionRequest TransactionRequestFromJson(const std::string& text) {
  const json request = ParseJsonRequest(text);
  TransactionRequest r;
  r.Timeout = ReadNumber8(request, "Timeout");
  r.PaymentMethods = ReadNumber32(request, "PaymentMethods");
  r.QuickChip = ReadBoolean(request, "QuickChip");
  r.EMVOnly = ReadBoolean(request, "EMVOnly");
  r.Amount = ReadString(request, "Amount");
  ReadOptional(r.CashBack, [&] { return ReadString(request, "CashBack"); });
  ReadOptional(r.OverrideFinalTransactionMessage, [&] { return ReadNumber8(request, "OverrideFinalTransactionMessage"); });
  ReadOptional(r.SuppressThankYouMessage, [&] { return ReadBoolean(request, "SuppressThankYouMessage"); });
  ReadOptional(r.PreventMSRSignatureForCardWithICC,
               [&] { return ReadBoolean(request, "PreventMSRSignatureForCardWithICC"); });
  ReadOptional(r.EMVResponseFormat, [&] { return ReadNumber8(request, "EMVResponseFormat"); });
  ReadOptional(r.TransactionType, [&] { return ReadNumber8(request, "TransactionType"); });
  ReadOptional(r.CurrencyCode, [&] { return ReadHex(request, "CurrencyCode"); });
  ReadOptional(r.CurrencyExponent, [&] { return ReadHex(request, "CurrencyExponent"); });
  ReadOptional(r.MerchantCategory, [&] { return ReadHex(request, "MerchantCategory"); });
  ReadOptional(r.MerchantCustomData, [&] { return ReadHex(request, "MerchantCustomData"); });
  ReadOptional(r.MerchantID, [&] { return ReadHex(request, "MerchantID"); });
  ReadOptional(r.TransactionCategory, [&] { return ReadHex(request, "TransactionCategory"); });
  ReadOptional(r.ManualEntryType, [&] { return ReadNumber8(request, "ManualEntryType"); });
  ReadOptional(r.ManualEntryFormat, [&] { return ReadNumber8(request, "ManualEntryFormat"); });
  ReadOptional(r.ManualEntrySound, [&] { return ReadNumber8(request, "ManualEntrySound"); });
  return r;
}

PinRequest PinRequestFromJson(const std::string& text) {
  const json request = ParseJsonRequest(text);
  PinRequest r;
  r.MaxLength = ReadNumber8(request, "MaxLength");
  r.MinLength = ReadNumber8(request, "MinLength");
  r.PINMode = ReadNumber8(request, "PINMode");
  r.Timeout = ReadNumber8(request, "Timeout");
  r.Tone = ReadNumber8(request, "Tone");
  r.Format = ReadNumber8(request, "Format");
  r.PAN = ReadHexText(request, "PAN");
  return r;
}

PanRequest PanRequestFromJson(const std::string& text) {
  const json request = ParseJsonRequest(text);
  PanRequest r;
  r.Timeout = ReadNumber8(request, "Timeout");
  r.PaymentMethods = ReadNumber32(request, "PaymentMethods");
  return r;
}

std::string ConnectionInfoJson(const ConnectionInfo& info) {
  return json{{"Address", info.Address},
              {"ConnectionType", Signed(info.ConnectionType)},
              {"DeviceType", Signed(info.DeviceType)}}
      .dump();
}

std::string DeviceInfoJson(const DeviceInfo& info) {
  return json{{"Model", info.Model}, {"Name", info.Name}, {"Serial", info.Serial}}.dump();
}

std::string DeviceCapabilitiesJson(const DeviceCapabilities& c) {
  return json{{"BatteryBackedClock", c.BatteryBackedClock},
              {"Display", c.Display},
              {"MSRPowerSaver", c.MSRPowerSaver},
              {"PINPad", c.PINPad},
              {"PaymentMethods", Signed(c.PaymentMethods)},
              {"SRED", c.SRED},
              {"Signature", c.Signature}}
      .dump();
}

}  // namespace pelorixj
