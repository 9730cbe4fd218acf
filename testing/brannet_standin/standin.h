// The stand-in library's one state: the device list, the readers by open
// path, the open handles with their callback threads, and the call log.
// Both the library's functions and the control functions act on it.
#pragma once

#include <cstddef>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "callback_thread.h"

namespace brannet_standin {

struct Reader {
  int connected = 1;
  int productId = 0;
  int resultCode = 0;
  int sendResult = 0;
  std::map<std::string, std::optional<std::string>> replies;
};

class Standin {
 public:
  // Lives until the process ends: a handle left open keeps its thread.
  static Standin& Instance();

  // The library's functions; each one is logged.
  const char* GetDeviceList();
  intptr_t OpenDevice(const char* path);
  void CloseDevice(intptr_t handle);
  int IsDeviceConnected(intptr_t handle);
  const char* SendCommand(intptr_t handle, const char* command);
  int SendData(intptr_t handle, const char* data);
  int GetResultCode(intptr_t handle);
  int GetProductId(intptr_t handle);
  const char* GetCardDataStructure(intptr_t handle);
  void ClearCardData(intptr_t handle);
  void RegisterConnectionState(intptr_t handle, BrannetConnectionStateCallback callback,
                               void* context);
  void RegisterDataReceived(intptr_t handle, BrannetTextCallback callback, void* context);
  void RegisterDeviceResponse(intptr_t handle, BrannetTextCallback callback, void* context);
  void RegisterNotification(intptr_t handle, BrannetNotificationCallback callback, void* context);

  // Control of the tests.
  void Reset();
  void SetDeviceList(const char* text);
  // Runs change on the reader at path, made first when there is none.
  template <typename Change>
  void ChangeReader(const char* path, Change change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change(readers_[Text(path)]);
  }
  void HoldOpen(bool hold);
  bool WaitOpenHeld(int timeoutMs);
  intptr_t OpenHandle(const char* path);
  bool Fire(intptr_t handle, Cue cue);
  void WaitDelivered(intptr_t handle);
  std::string CallLog();
  void ClearCallLog();

 private:
  struct OpenReader {
    std::string path;
    std::shared_ptr<CallbackThread> callbacks;
  };

  Standin() = default;
  static std::string Text(const char* text) { return text ? text : ""; }
  void Log(const char* name, const std::vector<std::string>& arguments);
  // The reader behind an open handle; null when the handle is not open.
  Reader* ReaderOf(intptr_t handle);
  std::shared_ptr<CallbackThread> CallbacksOf(intptr_t handle);

  std::mutex mutex_;
  // Opens wait while held; openHeld_ counts those waiting.
  std::condition_variable holdChanged_;
  bool holdOpen_ = false;
  int openHeld_ = 0;
  std::optional<std::string> deviceList_;
  std::map<std::string, Reader> readers_;
  std::map<intptr_t, OpenReader> handles_;
  intptr_t lastHandle_ = 0;
  std::string log_;
};

}  // namespace brannet_standin
