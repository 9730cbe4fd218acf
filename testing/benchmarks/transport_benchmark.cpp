// What a caller pays through the QRX_ exports of libQuorlan.so, each beside a
// baseline measured in the same run: sending and sending-and-waiting with
// 1 MB (a plain client that table-decodes the hex text, cuts the packets and
// writes them), the message accessors on 1 and 3 MB (a table decode of the
// text), the round trip of a small command (a raw loopback socket), the rate
// of notification delivery (the raw stream), the threads that deliver
// messages 2 ms apart, and the library's threads and wake-ups while idle.
// Every peer is the same canned loopback peer. Prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "canned_peer.h"
#include "plain_client.h"
#include "quorlan/qrx.h"

namespace {

using namespace bench;
using namespace std::chrono_literals;

constexpr size_t kMegabyte = 1 << 20;
constexpr uint16_t kCommandCode = 0x1008;
constexpr int kWaitMs = 5000;
constexpr int kNotificationCount = 100000;
constexpr int kSpacedCount = 200;

// ---- Deliveries to the data callback ---------------------------------------

struct Deliveries {
  std::mutex mutex;
  std::condition_variable reached;
  std::atomic<int> count{0};
  std::atomic<int> target{0};
  std::atomic<bool> inOrder{true};
  const std::vector<std::string>* expected = nullptr;
  // Each thread counts once per generation.
  std::atomic<int> generation{0};
  std::atomic<int> threads{0};

  void Reset(int wanted, const std::vector<std::string>* texts) {
    count = 0;
    target = wanted;
    inOrder = true;
    expected = texts;
    ++generation;
    threads = 0;
  }

  bool Wait(std::chrono::seconds timeout = 30s) {
    std::unique_lock<std::mutex> lock(mutex);
    return reached.wait_for(lock, timeout, [&] { return count.load() >= target.load(); });
  }
};

Deliveries deliveries;

void QRX_CALL OnData(void*, const char* hex) {
  thread_local int seenGeneration = 0;
  if (seenGeneration != deliveries.generation) {
    seenGeneration = deliveries.generation;
    ++deliveries.threads;
  }
  const int index = deliveries.count.load();
  if (deliveries.expected != nullptr &&
      (index >= static_cast<int>(deliveries.expected->size()) || (*deliveries.expected)[index] != hex)) {
    deliveries.inOrder = false;
  }
  if (deliveries.count.fetch_add(1) + 1 == deliveries.target) {
    std::lock_guard<std::mutex> lock(deliveries.mutex);
    deliveries.reached.notify_all();
  }
}

intptr_t OpenDevice(const CannedPeer& peer, benchmark::State& state) {
  const intptr_t device = QRX_OpenDevice(4, peer.Address().c_str());
  if (device == -1) state.SkipWithError("cannot open the device");
  return device;
}

Bytes PacketsOf(const Bytes& message) { return CutPackets(message); }
Bytes PaddedPacketsOf(const Bytes& message) { return CutPackets(message, true); }

// ---- Sending 1 MB ------------------------------------------------------------

const Bytes& LargeCommand() {
  static const Bytes message = CommandMessage(kCommandCode, Payload(kMegabyte));
  return message;
}

const std::string& LargeCommandHex() {
  static const std::string hex = TableEncode(LargeCommand());
  return hex;
}

std::vector<Bytes> ResponseReply() { return {PaddedPacketsOf(ResponseMessage(kCommandCode, {}))}; }

void BM_PlainSendAndWait1MB(benchmark::State& state) {
  CannedPeer peer(PacketsOf(LargeCommand()).size(), ResponseReply());
  PlainClient client(peer.port());
  for (auto _ : state) {
    if (!client.Exchange(LargeCommandHex(), 64)) return state.SkipWithError("exchange failed");
  }
}

void BM_ExportSendAndWait1MB(benchmark::State& state) {
  CannedPeer peer(PacketsOf(LargeCommand()).size(), ResponseReply());
  const intptr_t device = OpenDevice(peer, state);
  for (auto _ : state) {
    if (*QRX_SendAndReceiveMessage(device, LargeCommandHex().c_str(), kWaitMs) == '\0') {
      state.SkipWithError("no response");
      break;
    }
  }
  QRX_CloseDevice(device);
}

void BM_PlainSend1MB(benchmark::State& state) {
  CannedPeer peer(PacketsOf(LargeCommand()).size(), {});
  PlainClient client(peer.port());
  for (auto _ : state) {
    if (!client.Exchange(LargeCommandHex(), 0)) return state.SkipWithError("send failed");
  }
}

void BM_ExportSend1MB(benchmark::State& state) {
  CannedPeer peer(PacketsOf(LargeCommand()).size(), {});
  const intptr_t device = OpenDevice(peer, state);
  for (auto _ : state) {
    if (QRX_SendMessage(device, LargeCommandHex().c_str()) != 0) {
      state.SkipWithError("send failed");
      break;
    }
  }
  QRX_CloseDevice(device);
}

// ---- Accessors ---------------------------------------------------------------

struct AccessorTexts {
  std::string payload;
  std::string file;
  std::string response;
  std::string notification;
};

const AccessorTexts& TextsOf(int megabytes) {
  static std::map<int, AccessorTexts> texts;
  auto& entry = texts[megabytes];
  if (entry.file.empty()) {
    const Bytes payload = Payload(static_cast<size_t>(megabytes) * kMegabyte);
    entry.payload = TableEncode(payload);
    entry.file = TableEncode(FileMessage(0x01000000, 0xD812, payload));
    entry.response = TableEncode(ResponseMessage(kCommandCode, payload));
    entry.notification = TableEncode(NotificationMessage(0x0101, 7, payload));
  }
  return entry;
}

template <class Accessor>
void MeasureAccessor(benchmark::State& state, Accessor accessor) {
  const AccessorTexts& texts = TextsOf(static_cast<int>(state.range(0)));
  if (!accessor(texts)) return state.SkipWithError("wrong result");
  for (auto _ : state) benchmark::DoNotOptimize(accessor(texts));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.payload.size() / 2));
}

void BM_TableDecode(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) {
    const Bytes bytes = TableDecode(texts.file.data(), texts.file.size());
    benchmark::DoNotOptimize(bytes.data());
    return !bytes.empty();
  });
}

void BM_IsFile(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) { return QRX_IsFile(texts.file.c_str()) == 1; });
}

void BM_GetFilePayload(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) {
    return std::strlen(QRX_GetFilePayload(texts.file.c_str())) == texts.payload.size();
  });
}

void BM_GetResponseParameter(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) {
    return std::strlen(QRX_GetResponseParameter(texts.response.c_str(), "84")) == texts.payload.size();
  });
}

void BM_GetNotificationParameter(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) {
    return std::strlen(QRX_GetNotificationParameter(texts.notification.c_str(), "84")) == texts.payload.size();
  });
}

void BM_GetFileMessage(benchmark::State& state) {
  MeasureAccessor(state, [](const AccessorTexts& texts) {
    return std::strlen(QRX_GetFileMessage(0x01000000, texts.payload.c_str(), 0xD812)) == texts.file.size();
  });
}

void BM_CommandSetAndGet(benchmark::State& state) {
  const intptr_t command = QRX_CreateCommand(kCommandCode);
  MeasureAccessor(state, [command](const AccessorTexts& texts) {
    QRX_SetCommandParameter(command, 0x84, texts.payload.c_str());
    return std::strlen(QRX_GetCommandBytesInHex(command)) > texts.payload.size();
  });
  QRX_DeleteCommand(command);
}

// ---- Round trip of a small command -------------------------------------------

const Bytes& SmallCommand() {
  static const Bytes message = CommandMessage(kCommandCode, {0x01});
  return message;
}

void BM_RawRoundTrip(benchmark::State& state) {
  const Bytes request = PacketsOf(SmallCommand());
  CannedPeer peer(request.size(), ResponseReply());
  const auto socket = quorlan::platform::ConnectTcp("127.0.0.1", peer.port());
  quorlan::platform::SocketWaiter waiter;
  Bytes reply(64);
  for (auto _ : state) {
    if (!SendAll(socket, request.data(), request.size()) || !ReceiveExactly(waiter, socket, reply.data(), 64)) {
      state.SkipWithError("raw exchange failed");
      break;
    }
  }
  quorlan::platform::CloseSocket(socket);
}

void ExportRoundTrip(benchmark::State& state, bool withCallback) {
  CannedPeer peer(PacketsOf(SmallCommand()).size(), ResponseReply());
  const intptr_t device = OpenDevice(peer, state);
  deliveries.Reset(0, nullptr);
  if (withCallback) QRX_SetDataArriveCallback(device, OnData);
  const std::string hex = TableEncode(SmallCommand());
  for (auto _ : state) {
    if (*QRX_SendAndReceiveMessage(device, hex.c_str(), kWaitMs) == '\0') {
      state.SkipWithError("no response");
      break;
    }
  }
  QRX_CloseDevice(device);
}

void BM_ExportRoundTrip(benchmark::State& state) { ExportRoundTrip(state, false); }
void BM_ExportRoundTripWithCallback(benchmark::State& state) { ExportRoundTrip(state, true); }

// ---- Notification delivery -----------------------------------------------------

struct NotificationStream {
  Bytes packets;
  std::vector<std::string> texts;
};

const NotificationStream& Notifications(int count) {
  static std::map<int, NotificationStream> streams;
  NotificationStream& stream = streams[count];
  if (stream.texts.empty()) {
    for (int i = 0; i < count; ++i) {
      const Bytes message = NotificationMessage(0x0101, static_cast<uint32_t>(i), {});
      const Bytes packet = PaddedPacketsOf(message);
      stream.packets.insert(stream.packets.end(), packet.begin(), packet.end());
      stream.texts.push_back(TableEncode(message));
    }
  }
  return stream;
}

// One chunk: the whole stream in as few writes as the socket allows.
std::vector<Bytes> Split(const NotificationStream& stream, bool apart) {
  if (!apart) return {stream.packets};
  std::vector<Bytes> chunks;
  for (size_t at = 0; at < stream.packets.size(); at += 64) {
    chunks.emplace_back(stream.packets.begin() + at, stream.packets.begin() + at + 64);
  }
  return chunks;
}

void BM_RawNotificationStream(benchmark::State& state) {
  const NotificationStream& stream = Notifications(kNotificationCount);
  const Bytes trigger = PacketsOf(SmallCommand());
  CannedPeer peer(trigger.size(), Split(stream, false));
  const auto socket = quorlan::platform::ConnectTcp("127.0.0.1", peer.port());
  quorlan::platform::SocketWaiter waiter;
  Bytes received(stream.packets.size());
  for (auto _ : state) {
    if (!SendAll(socket, trigger.data(), trigger.size()) ||
        !ReceiveExactly(waiter, socket, received.data(), received.size())) {
      state.SkipWithError("raw stream failed");
      break;
    }
  }
  quorlan::platform::CloseSocket(socket);
  state.SetItemsProcessed(state.iterations() * kNotificationCount);
}

// Delivers `count` notifications per iteration, 2 ms apart when `apart`;
// counts the threads that ran the callback.
void DeliverNotifications(benchmark::State& state, int count, bool apart) {
  const NotificationStream& stream = Notifications(count);
  CannedPeer peer(PacketsOf(SmallCommand()).size(), Split(stream, apart), apart ? 2ms : 0ms);
  const intptr_t device = OpenDevice(peer, state);
  QRX_SetDataArriveCallback(device, OnData);
  const std::string trigger = TableEncode(SmallCommand());
  int mostThreads = 0;
  bool inOrder = true;
  for (auto _ : state) {
    deliveries.Reset(count, &stream.texts);
    QRX_SendMessage(device, trigger.c_str());
    if (!deliveries.Wait()) {
      state.SkipWithError("notifications missing");
      break;
    }
    inOrder = inOrder && deliveries.inOrder;
    mostThreads = std::max(mostThreads, deliveries.threads.load());
  }
  QRX_CloseDevice(device);
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["threads"] = mostThreads;
  state.counters["in_order"] = inOrder ? 1 : 0;
}

void BM_ExportNotifications(benchmark::State& state) { DeliverNotifications(state, kNotificationCount, false); }
void BM_ExportNotificationsApart(benchmark::State& state) { DeliverNotifications(state, kSpacedCount, true); }

BENCHMARK(BM_PlainSendAndWait1MB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSendAndWait1MB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSend1MB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSend1MB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableDecode)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsFile)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFilePayload)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetResponseParameter)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetNotificationParameter)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFileMessage)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandSetAndGet)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportRoundTripWithCallback)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawNotificationStream)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportNotifications)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportNotificationsApart)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- Idle ----------------------------------------------------------------------

struct ThreadActivity {
  int threads = 0;
  long long switches = 0;
};

long long ContextSwitches(const std::filesystem::path& task) {
  std::ifstream status(task / "status");
  long long total = 0;
  std::string line;
  while (std::getline(status, line)) {
    if (line.find("ctxt_switches:") != std::string::npos) total += std::stoll(line.substr(line.find(':') + 1));
  }
  return total;
}

// The process's threads but the calling one, and their context switches.
ThreadActivity OtherThreads(const std::string& self) {
  ThreadActivity activity;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    if (task.path().filename() == self) continue;
    ++activity.threads;
    activity.switches += ContextSwitches(task.path());
  }
  return activity;
}

// A device that has delivered a message and then sits idle: its threads
// after the delivery worker's linger, and their wake-ups over two seconds.
void ReportIdle() {
  CannedPeer peer(PacketsOf(SmallCommand()).size(), {PaddedPacketsOf(NotificationMessage(0x0101, 0, {}))});
  const intptr_t device = QRX_OpenDevice(4, peer.Address().c_str());
  if (device == -1) return;
  const std::string self = std::filesystem::read_symlink("/proc/thread-self").filename().string();
  const int before = OtherThreads(self).threads;
  QRX_SetDataArriveCallback(device, OnData);
  deliveries.Reset(1, nullptr);
  QRX_SendMessage(device, TableEncode(SmallCommand()).c_str());
  deliveries.Wait();
  const int delivering = OtherThreads(self).threads;
  std::this_thread::sleep_for(3s);
  const ThreadActivity start = OtherThreads(self);
  std::this_thread::sleep_for(2s);
  const ThreadActivity end = OtherThreads(self);
  std::printf(
      "idle: other threads %d open, %d while delivering, %d after 3 s idle; their wake-ups in the next 2 s: %lld "
      "(goal 0)\n",
      before, delivering, end.threads, end.switches - start.switches);
  QRX_CloseDevice(device);
}

// ---- Report ---------------------------------------------------------------------

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      seconds[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      for (const auto& [counter, value] : run.counters) counters[name + ":" + counter] = value;
    }
  }
  std::map<std::string, double> seconds;
  std::map<std::string, double> counters;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& s = reporter.seconds;
  std::string summary;
  auto ratio = [&](const char* label, const std::string& measured, const std::string& base, const char* goal) {
    if (!s.count(measured) || !s.count(base)) return;
    const double r = s[measured] / s[base];
    std::printf("%-44s %10.3f ms vs %10.3f ms  ratio %5.2f  %s\n", label, s[measured] * 1e3, s[base] * 1e3, r, goal);
    char item[96];
    std::snprintf(item, sizeof item, " %s=%.2f", measured.c_str(), r);
    summary += item;
  };
  std::printf("\n");
  ratio("send-and-wait 1 MB / plain client", "BM_ExportSendAndWait1MB", "BM_PlainSendAndWait1MB", "(goal 1.5)");
  ratio("send 1 MB / plain client", "BM_ExportSend1MB", "BM_PlainSend1MB", "");
  for (const char* size : {"1", "3"}) {
    for (const char* accessor : {"BM_IsFile", "BM_GetFilePayload", "BM_GetResponseParameter",
                                 "BM_GetNotificationParameter", "BM_GetFileMessage", "BM_CommandSetAndGet"}) {
      const std::string label = std::string(accessor + 3) + " " + size + " MB / table decode";
      ratio(label.c_str(), std::string(accessor) + "/" + size, std::string("BM_TableDecode/") + size,
            std::string(size) == "3" ? "(goal 3)" : "");
    }
  }
  ratio("round trip / raw socket", "BM_ExportRoundTrip", "BM_RawRoundTrip", "");
  ratio("round trip with data callback / raw socket", "BM_ExportRoundTripWithCallback", "BM_RawRoundTrip",
        "(goal 1.5)");
  ratio("100000 notifications / raw stream", "BM_ExportNotifications", "BM_RawNotificationStream", "");
  if (s.count("BM_ExportNotifications")) {
    const double rate = kNotificationCount / s["BM_ExportNotifications"];
    std::printf("notifications: %.2f million/s, in order: %s (goal 1 million/s, in order)\n", rate / 1e6,
                reporter.counters["BM_ExportNotifications:in_order"] == 1 ? "yes" : "NO");
    char item[64];
    std::snprintf(item, sizeof item, " notifications_per_s=%.0f", rate);
    summary += item;
  }
  if (reporter.counters.count("BM_ExportNotificationsApart:threads")) {
    const int threads = static_cast<int>(reporter.counters["BM_ExportNotificationsApart:threads"]);
    std::printf("%d messages 2 ms apart delivered on %d threads (goal 2 or fewer)\n", kSpacedCount, threads);
    summary += " threads_2ms_apart=" + std::to_string(threads);
  }
  ReportIdle();
  std::printf("SUMMARY%s\n", summary.c_str());
  benchmark::Shutdown();
  return 0;
}
