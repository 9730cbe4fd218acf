#include "quorlan/device/operation_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "eventually.h"

namespace quorlan {
namespace {

using namespace std::chrono_literals;
using test_support::Eventually;
using test_support::kRoomyWait;

struct Device {};
using Queue = OperationQueue<Device*>;

// A number per thread, never given twice as thread ids may be.
int ThreadSerial() {
  static std::atomic<int> next{0};
  thread_local const int serial = ++next;
  return serial;
}

// Collects deliveries and notices two callbacks running at once.
struct Deliveries {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::vector<uint8_t>> messages;
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
  std::vector<int> threads;

  Queue::Callback Callback(std::chrono::microseconds work = 0us) {
    return [this, work](Device*, std::vector<uint8_t> message) {
      if (active.fetch_add(1) != 0) overlapped = true;
      if (work.count() > 0) std::this_thread::sleep_for(work);
      active.fetch_sub(1);
      std::lock_guard<std::mutex> lock(mutex);
      messages.push_back(std::move(message));
      threads.push_back(ThreadSerial());
      arrived.notify_all();
    };
  }

  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    return arrived.wait_for(lock, kRoomyWait, [&] { return messages.size() >= count; });
  }
};

TEST(OperationQueue, DeliversInArrivalOrderNeverConcurrently) {
  Deliveries deliveries;
  Device device;
  Queue queue;
  for (uint8_t i = 0; i < 3; ++i) queue.Enqueue(deliveries.Callback(2ms), &device, {i});
  ASSERT_TRUE(deliveries.WaitFor(3));
  EXPECT_EQ(deliveries.messages, (std::vector<std::vector<uint8_t>>{{0}, {1}, {2}}));
  EXPECT_FALSE(deliveries.overlapped);
  EXPECT_NE(deliveries.threads[0], ThreadSerial());
}

// Producer and index in front, in messages of sizes around the one from
// which payloads travel whole rather than copied.
std::vector<uint8_t> Numbered(int producer, int index) {
  const size_t sizes[] = {3, 64, 4096, 4097, 70000};
  std::vector<uint8_t> message(sizes[index % 5], static_cast<uint8_t>(index * 7 + producer));
  message[0] = static_cast<uint8_t>(producer);
  message[1] = static_cast<uint8_t>(index >> 8);
  message[2] = static_cast<uint8_t>(index);
  return message;
}

// Many producers at once, some while the worker is busy and some while it is
// finding the queue empty: every message arrives once and whole, each
// producer's in order.
TEST(OperationQueue, ConcurrentEnqueuesLoseNothingAndKeepEachProducersOrder) {
  constexpr int kProducers = 8;
  constexpr int kMessages = 1200;
  Deliveries deliveries;
  Device device;
  Queue queue;
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < kMessages; ++i) {
        queue.Enqueue(deliveries.Callback(), &device, Numbered(p, i));
        if (i % 97 == 0) std::this_thread::sleep_for(100us);
      }
    });
  }
  for (auto& producer : producers) producer.join();
  ASSERT_TRUE(deliveries.WaitFor(kProducers * kMessages));
  std::lock_guard<std::mutex> lock(deliveries.mutex);
  ASSERT_EQ(deliveries.messages.size(), size_t{kProducers * kMessages});
  std::map<int, int> next;
  for (const auto& message : deliveries.messages) {
    const int producer = message[0];
    const int index = message[1] << 8 | message[2];
    ASSERT_EQ(index, next[producer]) << "producer " << producer;
    ASSERT_EQ(message, Numbered(producer, index));
    next[producer] = index + 1;
  }
  EXPECT_FALSE(deliveries.overlapped);
}

TEST(OperationQueue, EnqueueDoesNotWaitForASlowCallback) {
  Device device;
  Queue queue;
  std::mutex gate;
  std::unique_lock<std::mutex> held(gate);
  std::atomic<int> delivered{0};
  auto blocked = [&](Device*, std::vector<uint8_t>) {
    std::lock_guard<std::mutex> wait(gate);
    ++delivered;
  };
  const auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) queue.Enqueue(blocked, &device, {});
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  held.unlock();
  EXPECT_TRUE(Eventually([&] { return delivered >= 100; }));
  EXPECT_EQ(delivered, 100);
}

TEST(OperationQueue, MessageKeepsTheCallbackSetWhenItArrived) {
  Deliveries first;
  Deliveries second;
  Device device;
  Queue queue;
  Queue::Callback current = first.Callback(5ms);
  queue.Enqueue(current, &device, {1});
  current = second.Callback();
  queue.Enqueue(current, &device, {2});
  ASSERT_TRUE(second.WaitFor(1));
  ASSERT_TRUE(first.WaitFor(1));
  EXPECT_EQ(first.messages, (std::vector<std::vector<uint8_t>>{{1}}));
  EXPECT_EQ(second.messages, (std::vector<std::vector<uint8_t>>{{2}}));
}

TEST(OperationQueue, FailingCallbacksDoNotStopLaterMessages) {
  Deliveries deliveries;
  Device device;
  Queue queue;
  queue.Enqueue([](Device*, std::vector<uint8_t>) { throw std::runtime_error("callback failed"); }, &device, {1});
  queue.Enqueue(Queue::Callback(), &device, {2});
  queue.Enqueue(deliveries.Callback(), &device, {3});
  ASSERT_TRUE(deliveries.WaitFor(1));
  EXPECT_EQ(deliveries.messages, (std::vector<std::vector<uint8_t>>{{3}}));
}

// Set on a worker thread by its first callback; counts the worker's end.
struct WorkerWatch {
  static std::atomic<int> ended;
  bool watching = false;
  ~WorkerWatch() {
    if (watching) ++ended;
  }
};
std::atomic<int> WorkerWatch::ended{0};
thread_local WorkerWatch workerWatch;

TEST(OperationQueue, MessagesAFewMillisecondsApartShareOneWorker) {
  Deliveries deliveries;
  Device device;
  Queue queue;
  for (uint8_t i = 0; i < 20; ++i) {
    queue.Enqueue(deliveries.Callback(), &device, {i});
    ASSERT_TRUE(deliveries.WaitFor(i + 1u));
    std::this_thread::sleep_for(3ms);
  }
  std::lock_guard<std::mutex> lock(deliveries.mutex);
  for (const auto& thread : deliveries.threads) EXPECT_EQ(thread, deliveries.threads[0]);
}

// The worker ends once its linger passes without a message; a later message
// starts another one.
TEST(OperationQueue, WorkerEndsAfterItsLingerAndALaterMessageStartsAnother) {
  Deliveries deliveries;
  Device device;
  Queue queue(20ms);
  const int endedBefore = WorkerWatch::ended;
  auto watched = [&](Device* target, std::vector<uint8_t> message) {
    workerWatch.watching = true;
    deliveries.Callback()(target, std::move(message));
  };
  queue.Enqueue(watched, &device, {1});
  ASSERT_TRUE(deliveries.WaitFor(1));
  EXPECT_TRUE(Eventually([&] { return WorkerWatch::ended != endedBefore; }));
  EXPECT_EQ(WorkerWatch::ended, endedBefore + 1);
  queue.Enqueue(watched, &device, {2});
  ASSERT_TRUE(deliveries.WaitFor(2));
  EXPECT_EQ(deliveries.messages, (std::vector<std::vector<uint8_t>>{{1}, {2}}));
}

// Messages that come just as a worker ends its linger start the next one.
TEST(OperationQueue, DeliversEverythingWhileWorkersEndAndStart) {
  Deliveries deliveries;
  Device device;
  Queue queue(1ms);
  for (uint8_t i = 0; i < 100; ++i) {
    queue.Enqueue(deliveries.Callback(), &device, {i});
    std::this_thread::sleep_for(std::chrono::microseconds(500 * (i % 4)));
  }
  ASSERT_TRUE(deliveries.WaitFor(100));
  for (uint8_t i = 0; i < 100; ++i) EXPECT_EQ(deliveries.messages[i], std::vector<uint8_t>{i});
  EXPECT_FALSE(deliveries.overlapped);
}

TEST(OperationQueue, DestructionEndsALingeringWorkerAtOnce) {
  Deliveries deliveries;
  Device device;
  auto queue = std::make_unique<Queue>(std::chrono::seconds(30));
  queue->Enqueue(deliveries.Callback(), &device, {1});
  ASSERT_TRUE(deliveries.WaitFor(1));
  const auto started = std::chrono::steady_clock::now();
  queue.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST(OperationQueue, DestructionDropsQueuedMessagesAndWaitsForTheRunningOne) {
  std::atomic<int> delivered{0};
  std::atomic<bool> running{false};
  Device device;
  {
    Queue queue;
    auto slow = [&](Device*, std::vector<uint8_t>) {
      running = true;
      std::this_thread::sleep_for(100ms);
      ++delivered;
    };
    for (int i = 0; i < 10; ++i) queue.Enqueue(slow, &device, {});
    ASSERT_TRUE(Eventually([&] { return running.load(); }));
  }
  EXPECT_EQ(delivered, 1);
}

TEST(OperationQueue, MayBeDestroyedFromItsOwnCallback) {
  Device device;
  auto queue = std::make_unique<Queue>();
  std::mutex mutex;
  std::condition_variable done;
  bool destroyed = false;
  queue->Enqueue(
      [&](Device*, std::vector<uint8_t>) {
        queue.reset();
        std::lock_guard<std::mutex> lock(mutex);
        destroyed = true;
        done.notify_all();
      },
      &device, {});
  std::unique_lock<std::mutex> lock(mutex);
  EXPECT_TRUE(done.wait_for(lock, kRoomyWait, [&] { return destroyed; }));
}

}  // namespace
}  // namespace quorlan
