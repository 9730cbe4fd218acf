// The thread of one open handle that makes its callbacks, as the outside
// library does from threads of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "pelorixj/brannet/brannet_functions.h"

namespace brannet_standin {

struct Cue {
  enum class Kind { kConnectionState, kDataReceived, kDeviceResponse, kNotification };
  Kind kind = Kind::kConnectionState;
  int connected = 0;
  uint32_t code = 0;
  std::optional<std::string> text;
};

class CallbackThread {
 public:
  explicit CallbackThread(intptr_t handle);
  ~CallbackThread();
  CallbackThread(const CallbackThread&) = delete;
  CallbackThread& operator=(const CallbackThread&) = delete;

  void RegisterConnectionState(BrannetConnectionStateCallback callback, void* context);
  void RegisterDataReceived(BrannetTextCallback callback, void* context);
  void RegisterDeviceResponse(BrannetTextCallback callback, void* context);
  void RegisterNotification(BrannetNotificationCallback callback, void* context);

  void Post(Cue cue);
  void WaitDelivered();
  // Drops the cues not yet delivered and returns once the thread has ended.
  // Called from one of the thread's own callbacks it cannot wait: the thread
  // then ends as that callback returns.
  void Stop();

 private:
  struct Shared;
  static void Run(std::shared_ptr<Shared> shared);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace brannet_standin
