#include "standin.h"

#include <chrono>
#include <utility>

namespace brannet_standin {

namespace {

// Handles lie above 32 bits, so that a caller that narrows one to an int
// holds a handle that is no longer open.
static_assert(sizeof(intptr_t) >= 8, "the stand-in is built for 64-bit callers only");
constexpr intptr_t kFirstHandle = (intptr_t{1} << 32) + 1;

std::string Quoted(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : "null";
}

}  // namespace

Standin& Standin::Instance() {
  static Standin* const instance = new Standin;
  return *instance;
}

void Standin::Log(const char* name, const std::vector<std::string>& arguments) {
  log_ += name;
  log_ += '(';
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) log_ += ", ";
    log_ += arguments[i];
  }
  log_ += ")\n";
}

Reader* Standin::ReaderOf(intptr_t handle) {
  const auto open = handles_.find(handle);
  return open == handles_.end() ? nullptr : &readers_[open->second.path];
}

std::shared_ptr<CallbackThread> Standin::CallbacksOf(intptr_t handle) {
  const auto open = handles_.find(handle);
  return open == handles_.end() ? nullptr : open->second.callbacks;
}

const char* Standin::GetDeviceList() {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("GetDeviceList", {});
  return deviceList_ ? deviceList_->c_str() : nullptr;
}

intptr_t Standin::OpenDevice(const char* path) {
  std::unique_lock<std::mutex> lock(mutex_);
  Log("OpenDeviceEx", {Quoted(path)});
  ++openHeld_;
  holdChanged_.notify_all();
  holdChanged_.wait(lock, [this] { return !holdOpen_; });
  --openHeld_;
  if (!path || readers_.count(path) == 0) return 0;
  const intptr_t handle = lastHandle_ == 0 ? kFirstHandle : lastHandle_ + 1;
  lastHandle_ = handle;
  handles_[handle] = {path, std::make_shared<CallbackThread>(handle)};
  return handle;
}

void Standin::CloseDevice(intptr_t handle) {
  std::shared_ptr<CallbackThread> callbacks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Log("CloseDeviceEx", {std::to_string(handle)});
    callbacks = CallbacksOf(handle);
    handles_.erase(handle);
  }
  // Outside the lock: a callback under way may still call in.
  if (callbacks) callbacks->Stop();
}

int Standin::IsDeviceConnected(intptr_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("IsDeviceConnectedEx", {std::to_string(handle)});
  const Reader* reader = ReaderOf(handle);
  return reader ? reader->connected : 0;
}

const char* Standin::SendCommand(intptr_t handle, const char* command) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SendCommandEx", {std::to_string(handle), Quoted(command)});
  const Reader* reader = ReaderOf(handle);
  if (!reader) return "";
  const auto reply = reader->replies.find(Text(command));
  if (reply == reader->replies.end()) return "";
  return reply->second ? reply->second->c_str() : nullptr;
}

int Standin::SendData(intptr_t handle, const char* data) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SendDataEx", {std::to_string(handle), Quoted(data)});
  const Reader* reader = ReaderOf(handle);
  return reader ? reader->sendResult : -1;
}

int Standin::GetResultCode(intptr_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("GetResultCodeEx", {std::to_string(handle)});
  const Reader* reader = ReaderOf(handle);
  return reader ? reader->resultCode : -1;
}

int Standin::GetProductId(intptr_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("GetProductIDEx", {std::to_string(handle)});
  const Reader* reader = ReaderOf(handle);
  return reader ? reader->productId : 0;
}

const char* Standin::GetCardDataStructure(intptr_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("GetCardDataStructureEx", {std::to_string(handle)});
  return "";
}

void Standin::ClearCardData(intptr_t handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("ClearCardDataEx", {std::to_string(handle)});
}

void Standin::RegisterConnectionState(intptr_t handle, BrannetConnectionStateCallback callback,
                                      void* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("OnDeviceConnectionStateChangedEx", {std::to_string(handle)});
  if (auto callbacks = CallbacksOf(handle)) callbacks->RegisterConnectionState(callback, context);
}

void Standin::RegisterDataReceived(intptr_t handle, BrannetTextCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("OnDataReceivedEx", {std::to_string(handle)});
  if (auto callbacks = CallbacksOf(handle)) callbacks->RegisterDataReceived(callback, context);
}

void Standin::RegisterDeviceResponse(intptr_t handle, BrannetTextCallback callback,
                                     void* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("OnDeviceResponseEx", {std::to_string(handle)});
  if (auto callbacks = CallbacksOf(handle)) callbacks->RegisterDeviceResponse(callback, context);
}

void Standin::RegisterNotification(intptr_t handle, BrannetNotificationCallback callback,
                                   void* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("OnNotificationDataEx", {std::to_string(handle)});
  if (auto callbacks = CallbacksOf(handle)) callbacks->RegisterNotification(callback, context);
}

void Standin::Reset() {
  std::map<intptr_t, OpenReader> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing.swap(handles_);
    holdOpen_ = false;
    holdChanged_.notify_all();
    deviceList_.reset();
    readers_.clear();
    log_.clear();
  }
  for (auto& open : closing) open.second.callbacks->Stop();
}

void Standin::SetDeviceList(const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  deviceList_ = text ? std::optional<std::string>(text) : std::nullopt;
}

void Standin::HoldOpen(bool hold) {
  std::lock_guard<std::mutex> lock(mutex_);
  holdOpen_ = hold;
  holdChanged_.notify_all();
}

bool Standin::WaitOpenHeld(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return holdChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this] { return holdOpen_ && openHeld_ > 0; });
}

intptr_t Standin::OpenHandle(const char* path) {
  std::lock_guard<std::mutex> lock(mutex_);
  intptr_t newest = 0;
  for (const auto& open : handles_) {
    if (open.second.path == Text(path)) newest = open.first;
  }
  return newest;
}

bool Standin::Fire(intptr_t handle, Cue cue) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto callbacks = CallbacksOf(handle);
  if (!callbacks) return false;
  callbacks->Post(std::move(cue));
  return true;
}

void Standin::WaitDelivered(intptr_t handle) {
  std::shared_ptr<CallbackThread> callbacks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callbacks = CallbacksOf(handle);
  }
  if (callbacks) callbacks->WaitDelivered();
}

std::string Standin::CallLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

void Standin::ClearCallLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
}

}  // namespace brannet_standin
