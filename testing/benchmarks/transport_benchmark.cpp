// Measures the TCP path of the library against the simulated reader on
// loopback, each next to a raw loopback socket doing the same exchange:
// the round trip of a small command and its response, and sending 1 MB.
// Prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "listening_socket.h"
#include "quorlan/message/command_envelope.h"
#include "quorlan/platform/socket.h"
#include "simulated_reader.h"
#include "quorlan/transport/korvex_communication_package.h"
#include "quorlan/transport/socket_connection.h"

namespace {

namespace platform = quorlan::platform;
using Bytes = std::vector<uint8_t>;

constexpr size_t kLargeMessage = 1 << 20;

bool SendAll(platform::SocketHandle socket, const uint8_t* data, size_t length) {
  size_t sent = 0;
  while (sent < length) {
    const auto result = platform::SendSome(socket, data + sent, length - sent);
    if (result.status == platform::IoStatus::kDone) {
      sent += result.count;
    } else if (result.status != platform::IoStatus::kWouldBlock ||
               platform::WaitWritable(socket, 5000) != platform::WaitResult::kReady) {
      return false;
    }
  }
  return true;
}

// Reads until `wanted` bytes have arrived; false when the stream ends first.
bool ReceiveExactly(platform::SocketWaiter& waiter, platform::SocketHandle socket, uint8_t* out, size_t wanted) {
  size_t received = 0;
  while (received < wanted) {
    const auto result = platform::ReceiveSome(socket, out + received, wanted - received);
    if (result.status == platform::IoStatus::kDone && result.count > 0) {
      received += result.count;
    } else if (result.status != platform::IoStatus::kWouldBlock ||
               waiter.WaitReadable(socket, 5000) != platform::WaitResult::kReady) {
      return false;
    }
  }
  return true;
}

// The baseline peer: reads a request of a fixed size and answers with a
// reply of a fixed size, on a thread of its own, like the simulated reader.
class RawPeer {
 public:
  RawPeer(size_t requestSize, size_t replySize) : requestSize_(requestSize), reply_(replySize, 0x5A) {
    listener_ = platform::ListenTcp("127.0.0.1", 0, &port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawPeer() {
    stop_.Wake();
    thread_.join();
    platform::CloseSocket(listener_);
  }
  int port() const { return port_; }

 private:
  void Serve() {
    if (stop_.WaitReadable(listener_, -1) != platform::WaitResult::kReady) return;
    const auto socket = platform::AcceptTcp(listener_);
    Bytes request(requestSize_);
    while (ReceiveExactly(stop_, socket, request.data(), request.size()) &&
           SendAll(socket, reply_.data(), reply_.size())) {
    }
    platform::CloseSocket(socket);
  }

  size_t requestSize_;
  Bytes reply_;
  int port_ = 0;
  platform::SocketHandle listener_;
  platform::SocketWaiter stop_;
  std::thread thread_;
};

void RawExchange(benchmark::State& state, const Bytes& request, size_t replySize) {
  RawPeer peer(request.size(), replySize);
  const auto socket = platform::ConnectTcp("127.0.0.1", peer.port());
  platform::SocketWaiter waiter;
  Bytes reply(replySize);
  for (auto _ : state) {
    if (!SendAll(socket, request.data(), request.size()) ||
        !ReceiveExactly(waiter, socket, reply.data(), reply.size())) {
      state.SkipWithError("raw exchange failed");
      break;
    }
  }
  platform::CloseSocket(socket);
}

// The library's side: connection and package wired as the device object
// wires them, with the caller waiting for the delivered message.
class LibraryHost {
 public:
  explicit LibraryHost(int port) : connection_("127.0.0.1", port) {
    connection_.SetDataCallback([this](uint8_t* data, unsigned length) {
      package_.OnReceived(Bytes(data, data + length));
    });
    package_.SetReceiveCallback([this](Bytes) {
      std::lock_guard<std::mutex> lock(mutex_);
      ++delivered_;
      arrived_.notify_one();
    });
  }
  bool Open() { return connection_.Open() == quorlan::kConnectionOk; }
  void Send(const Bytes& message) {
    package_.Send(message, [this](uint8_t* data, unsigned length) { return connection_.Write(data, length); },
                  nullptr);
  }
  bool WaitForDelivery(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(5), [&] { return delivered_ >= count; });
  }

 private:
  quorlan::KorvexCommunicationPackage package_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  size_t delivered_ = 0;
  quorlan::SocketConnection connection_;
};

Bytes CommandBytes() { return quorlan::OrvaneCommand(0x1008).Serialize(); }

Bytes PacketStreamOf(const Bytes& message) {
  const auto packets = quorlan::BuildPackets(message.data(), message.size());
  return packets.bytes;
}

void BM_RawRoundTrip(benchmark::State& state) {
  RawExchange(state, PacketStreamOf(CommandBytes()), 64);
}

void BM_LibraryRoundTrip(benchmark::State& state) {
  reader_sim::SimulatedReader reader;
  reader.Start();
  LibraryHost host(reader.port());
  if (!host.Open()) return state.SkipWithError("cannot connect");
  const Bytes command = CommandBytes();
  size_t exchanged = 0;
  for (auto _ : state) {
    host.Send(command);
    if (!host.WaitForDelivery(++exchanged)) {
      state.SkipWithError("no response");
      break;
    }
  }
}

void BM_RawSend1MB(benchmark::State& state) {
  Bytes message(kLargeMessage, 0x33);
  RawExchange(state, PacketStreamOf(message), 1);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeMessage));
}

void BM_LibrarySend1MB(benchmark::State& state) {
  reader_sim::SimulatedReader reader;
  reader.Start();
  LibraryHost host(reader.port());
  if (!host.Open()) return state.SkipWithError("cannot connect");
  Bytes message(kLargeMessage, 0x33);
  for (auto _ : state) {
    host.Send(message);
    if (!reader.WaitForMessageCount(1, std::chrono::seconds(5))) {
      state.SkipWithError("message not received");
      break;
    }
    reader.ClearReceived();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeMessage));
}

BENCHMARK(BM_RawRoundTrip)->UseRealTime();
BENCHMARK(BM_LibraryRoundTrip)->UseRealTime();
BENCHMARK(BM_RawSend1MB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibrarySend1MB)->UseRealTime()->Unit(benchmark::kMillisecond);

// Console output as usual, keeping the mean real time of each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& s = reporter.seconds;
  if (s.count("BM_RawRoundTrip") && s.count("BM_LibraryRoundTrip")) {
    std::printf("round trip: library %.1f us, raw socket %.1f us, ratio %.2f (target 3 or less)\n",
                s["BM_LibraryRoundTrip"] * 1e6, s["BM_RawRoundTrip"] * 1e6,
                s["BM_LibraryRoundTrip"] / s["BM_RawRoundTrip"]);
  }
  if (s.count("BM_RawSend1MB") && s.count("BM_LibrarySend1MB")) {
    std::printf("1 MB message: library %.2f ms (%.0f MB/s), raw socket %.2f ms (%.0f MB/s), ratio %.2f (target 50 MB/s or more)\n",
                s["BM_LibrarySend1MB"] * 1e3, 1.0 / s["BM_LibrarySend1MB"], s["BM_RawSend1MB"] * 1e3,
                1.0 / s["BM_RawSend1MB"], s["BM_LibrarySend1MB"] / s["BM_RawSend1MB"]);
  }
  benchmark::Shutdown();
  return 0;
}
