// The stand-in library that the binding loaded, driven through its control
// functions, and a subscriber that records events with their threads.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "brannet/standin_control.h"
#include "pelorixj/device/ievent_subscriber.h"
#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {

#define STANDIN_FUNCTION(name) decltype(&::name) name = Find<decltype(&::name)>(#name)

class StandinControl {
  // Reaches the module that the binding loaded: loading by file name again
  // gives the same one. First, as the functions below are looked up in it.
  DynamicLibrary module_ = [] {
    DynamicLibrary module;
    module.Load(kBrannetLibraryFile);
    return module;
  }();

 public:
  STANDIN_FUNCTION(BrannetStandin_Reset);
  STANDIN_FUNCTION(BrannetStandin_SetDeviceList);
  STANDIN_FUNCTION(BrannetStandin_AddDevice);
  STANDIN_FUNCTION(BrannetStandin_SetConnected);
  STANDIN_FUNCTION(BrannetStandin_SetProductId);
  STANDIN_FUNCTION(BrannetStandin_SetResultCode);
  STANDIN_FUNCTION(BrannetStandin_SetSendResult);
  STANDIN_FUNCTION(BrannetStandin_SetReply);
  STANDIN_FUNCTION(BrannetStandin_HoldOpen);
  STANDIN_FUNCTION(BrannetStandin_WaitOpenHeld);
  STANDIN_FUNCTION(BrannetStandin_OpenHandle);
  STANDIN_FUNCTION(BrannetStandin_FireConnectionState);
  STANDIN_FUNCTION(BrannetStandin_FireDataReceived);
  STANDIN_FUNCTION(BrannetStandin_FireDeviceResponse);
  STANDIN_FUNCTION(BrannetStandin_FireNotification);
  STANDIN_FUNCTION(BrannetStandin_WaitDelivered);
  STANDIN_FUNCTION(BrannetStandin_CallLog);
  STANDIN_FUNCTION(BrannetStandin_ClearCallLog);

  std::string CallLog() const {
    std::string log(BrannetStandin_CallLog(nullptr, 0) + 1, '\0');
    log.resize(BrannetStandin_CallLog(&log[0], log.size()));
    return log;
  }

  // The lines of the log that begin with the text.
  std::vector<std::string> Calls(const std::string& beginning) const {
    std::vector<std::string> calls;
    const std::string log = CallLog();
    for (size_t at = 0, end; at < log.size(); at = end + 1) {
      end = std::min(log.find('\n', at), log.size());
      if (log.compare(at, beginning.size(), beginning) == 0) calls.push_back(log.substr(at, end - at));
    }
    return calls;
  }

 private:
  template <class Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(module_.GetSymbol(name));
  }
};

#undef STANDIN_FUNCTION

using Event = std::pair<int, std::string>;

class EventRecorder : public IEventSubscriber {
 public:
  void OnEvent(int eventType, ByteDataRecord payload) override {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.emplace_back(eventType, payload.Text);
    threads_.push_back(std::this_thread::get_id());
  }

  std::vector<Event> Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }

  std::vector<std::thread::id> Threads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Event> events_;
  std::vector<std::thread::id> threads_;
};

}  // namespace pelorixj
