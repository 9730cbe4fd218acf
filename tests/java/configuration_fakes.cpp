// Test-only JNI function of com.korvex.pelorix.ThrowingConfiguration: a
// configuration object whose every operation reports progress 1 to its
// callback, then throws.
#include <jni.h>

#include <stdexcept>
#include <string>

#include "pelorixj/device/idevice_configuration.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

class ThrowingConfiguration final : public IDeviceConfiguration {
 public:
  std::string GetDeviceInfo(int) override { throw std::runtime_error("GetDeviceInfo"); }
  Bytes GetConfigInfo(uint8_t, Bytes) override { throw std::runtime_error("GetConfigInfo"); }
  Bytes GetKeyInfo(uint8_t, Bytes) override { throw std::runtime_error("GetKeyInfo"); }
  Bytes GetChallengeToken(Bytes) override { throw std::runtime_error("GetChallengeToken"); }
  int SetConfigInfo(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int UpdateKeyInfo(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int UpdateFirmware(uint16_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int GetFile(Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendFile(Bytes, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendSecureFile(Bytes, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendImage(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SetDisplayImage(uint8_t) override { throw std::runtime_error("SetDisplayImage"); }

 private:
  static int Fail(IConfigurationCallback* callback) {
    callback->OnProgress(1);
    throw std::runtime_error("operation failed");
  }
};

}  // namespace
}  // namespace pelorixj

extern "C" JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_ThrowingConfiguration_handle(JNIEnv*, jclass) {
  static pelorixj::ThrowingConfiguration configuration;
  return pelorixj::ToHandle<pelorixj::IDeviceConfiguration>(&configuration);
}
