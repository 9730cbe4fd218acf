#include "callback_thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace brannet_standin {

namespace {

template <typename Callback>
struct Registration {
  Callback callback = nullptr;
  void* context = nullptr;
};

struct Registrations {
  Registration<BrannetConnectionStateCallback> connectionState;
  Registration<BrannetTextCallback> dataReceived;
  Registration<BrannetTextCallback> deviceResponse;
  Registration<BrannetNotificationCallback> notification;
};

void Deliver(intptr_t handle, const Registrations& to, const Cue& cue) {
  const char* text = cue.text ? cue.text->c_str() : nullptr;
  switch (cue.kind) {
    case Cue::Kind::kConnectionState:
      if (to.connectionState.callback) {
        to.connectionState.callback(handle, to.connectionState.context, cue.connected);
      }
      break;
    case Cue::Kind::kDataReceived:
      if (to.dataReceived.callback) to.dataReceived.callback(handle, to.dataReceived.context, text);
      break;
    case Cue::Kind::kDeviceResponse:
      if (to.deviceResponse.callback) {
        to.deviceResponse.callback(handle, to.deviceResponse.context, text);
      }
      break;
    case Cue::Kind::kNotification:
      if (to.notification.callback) {
        to.notification.callback(handle, to.notification.context, cue.code, text);
      }
      break;
  }
}

}  // namespace

// Owned jointly by the CallbackThread and its running thread, so that a
// thread left to end by itself never outlives what it reads.
struct CallbackThread::Shared {
  explicit Shared(intptr_t h) : handle(h) {}

  const intptr_t handle;
  std::mutex mutex;
  std::condition_variable changed;
  Registrations registrations;
  std::deque<Cue> cues;
  bool delivering = false;
  bool stopping = false;
};

CallbackThread::CallbackThread(intptr_t handle)
    : shared_(std::make_shared<Shared>(handle)), thread_(Run, shared_) {}

CallbackThread::~CallbackThread() { Stop(); }

void CallbackThread::RegisterConnectionState(BrannetConnectionStateCallback callback,
                                             void* context) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->registrations.connectionState = {callback, context};
}

void CallbackThread::RegisterDataReceived(BrannetTextCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->registrations.dataReceived = {callback, context};
}

void CallbackThread::RegisterDeviceResponse(BrannetTextCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->registrations.deviceResponse = {callback, context};
}

void CallbackThread::RegisterNotification(BrannetNotificationCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->registrations.notification = {callback, context};
}

void CallbackThread::Post(Cue cue) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  if (shared_->stopping) return;
  shared_->cues.push_back(std::move(cue));
  shared_->changed.notify_all();
}

void CallbackThread::WaitDelivered() {
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->changed.wait(lock, [this] {
    return shared_->stopping || (shared_->cues.empty() && !shared_->delivering);
  });
}

void CallbackThread::Stop() {
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->stopping = true;
    shared_->cues.clear();
    shared_->changed.notify_all();
  }
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

void CallbackThread::Run(std::shared_ptr<Shared> shared) {
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock, [&] { return shared->stopping || !shared->cues.empty(); });
    if (shared->stopping) return;
    const Cue cue = std::move(shared->cues.front());
    shared->cues.pop_front();
    const Registrations registrations = shared->registrations;
    shared->delivering = true;
    lock.unlock();
    Deliver(shared->handle, registrations, cue);
    lock.lock();
    shared->delivering = false;
    shared->changed.notify_all();
  }
}

}  // namespace brannet_standin
