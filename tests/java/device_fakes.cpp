// Test-only JNI functions of com.korvex.pelorix.FakeDevice: devices that no
// family provides, which record every call with its arguments, answer with
// chosen values (or throw), and raise chosen events on native threads
// through the same subscriber guard as the families' devices. Built into a
// test build of Pelorixj, whose live-object table holds the fakes as it
// holds the families' devices.
#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "pelorixj/core/live_objects.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/ibase_device.h"
#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"
#include "throwing_parts.h"

namespace pelorixj {
namespace {

std::string Text(const std::vector<uint8_t>& utf8) { return std::string(utf8.begin(), utf8.end()); }

class FakeDevice : public IBaseDevice {
 public:
  // text names the device (any bytes); number fills its numeric fields.
  FakeDevice(std::string text, uint32_t number, bool answer, bool throwing)
      : text_(std::move(text)), number_(number), answer_(answer), throwing_(throwing) {}

  ~FakeDevice() override { StopRaising(); }

  bool Close() override { return Answer("Close"); }
  std::string GetName() override {
    Record("GetName");
    return text_;
  }
  ConnectionInfo GetConnectionInfo() override {
    Record("GetConnectionInfo");
    return {number_ + 1, number_, text_};
  }
  ConnectionState GetConnectionState() override {
    Record("GetConnectionState");
    return static_cast<ConnectionState>(number_);
  }
  DeviceInfo GetDeviceInfo() override {
    Record("GetDeviceInfo");
    return {text_, "M-" + text_, "S-" + text_};
  }
  DeviceCapabilities GetDeviceCapabilities() override {
    Record("GetDeviceCapabilities");
    return {number_, true, false, true, false, true, false};
  }
  IDeviceControl* GetDeviceControl() override {
    Record("GetDeviceControl");
    return &control_;
  }
  IDeviceConfiguration* GetDeviceConfiguration() override {
    Record("GetDeviceConfiguration");
    return answer_ ? &configuration_ : nullptr;
  }
  bool SubscribeAll(std::shared_ptr<IEventSubscriber> subscriber) override {
    Record("SubscribeAll");
    return IBaseDevice::SubscribeAll(std::move(subscriber)) && answer_;
  }
  bool UnsubscribeAll() override {
    Record("UnsubscribeAll");
    return IBaseDevice::UnsubscribeAll() && answer_;
  }
  bool StartTransaction(const TransactionRequest& r) override {
    std::ostringstream call;
    call << "StartTransaction Timeout=" << +r.Timeout << " PaymentMethods=" << r.PaymentMethods
         << " QuickChip=" << r.QuickChip << " EMVOnly=" << r.EMVOnly
         << " PreventMSRSignatureForCardWithICC=" << r.PreventMSRSignatureForCardWithICC
         << " SuppressThankYouMessage=" << r.SuppressThankYouMessage
         << " OverrideFinalTransactionMessage=" << +r.OverrideFinalTransactionMessage
         << " EMVResponseFormat=" << +r.EMVResponseFormat << " TransactionType=" << +r.TransactionType
         << " Amount=" << r.Amount << " CashBack=" << r.CashBack
         << " CurrencyCode=" << BytesToHexString(r.CurrencyCode)
         << " CurrencyExponent=" << BytesToHexString(r.CurrencyExponent)
         << " TransactionCategory=" << BytesToHexString(r.TransactionCategory)
         << " MerchantCategory=" << BytesToHexString(r.MerchantCategory)
         << " MerchantID=" << BytesToHexString(r.MerchantID)
         << " MerchantCustomData=" << BytesToHexString(r.MerchantCustomData)
         << " ManualEntryType=" << +r.ManualEntryType << " ManualEntryFormat=" << +r.ManualEntryFormat
         << " ManualEntrySound=" << +r.ManualEntrySound;
    return Answer(call.str());
  }
  bool CancelTransaction() override { return Answer("CancelTransaction"); }
  bool SendSelection(ByteDataRecord selection) override { return Answer("SendSelection " + Describe(selection)); }
  bool SendAuthorization(ByteDataRecord authorization) override {
    return Answer("SendAuthorization " + Describe(authorization));
  }
  bool RequestPIN(PinRequest request) override { return Answer("RequestPIN " + Describe(request)); }
  bool RequestPAN(PanRequest request, const PinRequest* pin) override {
    std::ostringstream call;
    call << "RequestPAN Timeout=" << +request.Timeout << " PaymentMethods=" << request.PaymentMethods << " PIN "
         << (pin ? Describe(*pin) : "none");
    return Answer(call.str());
  }
  bool RequestSignature() override { return Answer("RequestSignature"); }

  // The calls since the last time asked, one a line.
  std::string TakeCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string calls;
    calls.swap(calls_);
    return calls;
  }

  void Raise(int eventType, const std::string& payload) { RaiseEvent(eventType, ByteDataRecord(payload)); }

  // Raises "0", "1", ... on a native thread until StopRaising.
  void StartRaising(int eventType) {
    raising_ = true;
    raiser_ = std::thread([this, eventType] {
      for (int i = 0; raising_; ++i) {
        Raise(eventType, std::to_string(i));
        raised_ = i + 1;
      }
    });
  }

  // The number of events raised.
  int StopRaising() {
    raising_ = false;
    if (raiser_.joinable()) raiser_.join();
    return raised_;
  }

 private:
  static std::string Describe(const ByteDataRecord& record) {
    return "Text=" + record.Text + " Bytes=" + BytesToHexString(record.Bytes);
  }
  static std::string Describe(const PinRequest& r) {
    std::ostringstream text;
    text << "Timeout=" << +r.Timeout << " PINMode=" << +r.PINMode << " MinLength=" << +r.MinLength
         << " MaxLength=" << +r.MaxLength << " Tone=" << +r.Tone << " Format=" << +r.Format << " PAN=" << r.PAN;
    return text.str();
  }

  void Record(const std::string& call) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      calls_ += call + "\n";
    }
    if (throwing_) throw std::runtime_error("fake device fails");
  }

  bool Answer(const std::string& call) {
    Record(call);
    return answer_;
  }

  const std::string text_;
  const uint32_t number_;
  const bool answer_;
  const bool throwing_;
  std::mutex mutex_;
  std::string calls_;
  ThrowingControl control_;
  ThrowingConfiguration configuration_;
  std::atomic<bool> raising_{false};
  std::atomic<int> raised_{0};
  std::thread raiser_;
};

// Held by the caller while it uses the fake, as the wrappers hold devices.
std::shared_ptr<FakeDevice> Fake(jlong handle) {
  std::shared_ptr<FakeDevice> fake = std::static_pointer_cast<FakeDevice>(Live().Device(handle));
  if (!fake) throw std::invalid_argument("not a live fake");
  return fake;
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_FakeDevice_make(JNIEnv* env, jclass, jbyteArray text, jint number,
                                                                jboolean answer, jboolean throwing) {
  return GuardNativeCall(env, jlong{0}, [&] {
    auto device = std::make_unique<FakeDevice>(Text(FromJavaBytes(env, text)), static_cast<uint32_t>(number),
                                               answer, throwing);
    const Handle handle = Live().Adopt(device.get(), nullptr);
    device.release();
    return static_cast<jlong>(handle);
  });
}

// Destroyed once no call runs on it; a fake released through the core API
// is gone already.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_FakeDevice_free(JNIEnv* env, jclass, jlong device) {
  GuardNativeCall(env, [&] { Live().Remove(device); });
}

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_FakeDevice_takeCalls(JNIEnv* env, jclass, jlong device) {
  return GuardNativeCall(env, nullptr, [&] { return ToJavaString(env, Fake(device)->TakeCalls()); });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_FakeDevice_userData(JNIEnv* env, jclass, jlong device) {
  return GuardNativeCall(env, jlong{0}, [&] { return static_cast<jlong>(Fake(device)->GetUserData()); });
}

// Each list on a native thread of its own, all at once; returns when all are raised.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_FakeDevice_raise(JNIEnv* env, jclass, jlong device, jint eventType,
                                                                jobjectArray payloadsPerThread) {
  GuardNativeCall(env, [&] {
    std::vector<std::vector<std::string>> lists;
    for (jsize i = 0; i < env->GetArrayLength(payloadsPerThread); ++i) {
      const auto list = static_cast<jobjectArray>(env->GetObjectArrayElement(payloadsPerThread, i));
      lists.emplace_back();
      for (jsize j = 0; j < env->GetArrayLength(list); ++j) {
        const auto bytes = static_cast<jbyteArray>(env->GetObjectArrayElement(list, j));
        lists.back().push_back(Text(FromJavaBytes(env, bytes)));
        env->DeleteLocalRef(bytes);
      }
      env->DeleteLocalRef(list);
    }
    const std::shared_ptr<FakeDevice> held = Fake(device);
    FakeDevice& fake = *held;
    std::vector<std::thread> threads;
    for (const auto& list : lists) {
      threads.emplace_back([&fake, eventType, &list] {
        for (const std::string& payload : list) fake.Raise(eventType, payload);
      });
    }
    for (std::thread& thread : threads) thread.join();
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_FakeDevice_startRaising(JNIEnv* env, jclass, jlong device,
                                                                       jint eventType) {
  GuardNativeCall(env, [&] { Fake(device)->StartRaising(eventType); });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_FakeDevice_stopRaising(JNIEnv* env, jclass, jlong device) {
  return GuardNativeCall(env, jint{-1}, [&] { return static_cast<jint>(Fake(device)->StopRaising()); });
}

}  // extern "C"
