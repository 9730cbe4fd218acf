// reader_sim: a simulated reader on 127.0.0.1 for the demo and for trying
// the library by hand.
//
//   reader_sim [--port N] [--port-file PATH] [--scenario demo|plain|echo] [--once] [--quiet]
//
// --port 0 (the default) takes any free port. The first line printed is
// "reader_sim listening on 127.0.0.1:<port>"; --port-file also writes the
// port alone into a file. Ends on SIGINT or SIGTERM, or with --once when the
// first connection has closed.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "demo_scenario.h"
#include "simulated_reader.h"

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

struct Arguments {
  int port = 0;
  std::string portFile;
  std::string scenario = "demo";
  bool once = false;
  bool quiet = false;
};

bool Parse(int argc, char** argv, Arguments* arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    const bool hasValue = i + 1 < argc;
    if (name == "--port" && hasValue) {
      arguments->port = std::atoi(argv[++i]);
    } else if (name == "--port-file" && hasValue) {
      arguments->portFile = argv[++i];
    } else if (name == "--scenario" && hasValue) {
      arguments->scenario = argv[++i];
    } else if (name == "--once") {
      arguments->once = true;
    } else if (name == "--quiet") {
      arguments->quiet = true;
    } else {
      return false;
    }
  }
  return arguments->scenario == "demo" || arguments->scenario == "plain" || arguments->scenario == "echo";
}

void PrintReceived(const reader_sim::ReceivedMessage& message) {
  if (message.isFrame && message.kind == reader_sim::kCommand) {
    std::printf("reader_sim: command %04X (sequence %u): %s\n", message.commandCode, message.sequence,
                reader_sim::ToHex(message.raw).c_str());
  } else {
    std::printf("reader_sim: message of %zu bytes: %s\n", message.raw.size(),
                reader_sim::ToHex(message.raw).substr(0, 128).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (!Parse(argc, argv, &arguments)) {
    std::fprintf(stderr,
                 "usage: reader_sim [--port N] [--port-file PATH] [--scenario demo|plain|echo] [--once] [--quiet]\n");
    return 2;
  }
  reader_sim::SimulatedReader reader("127.0.0.1", arguments.port);
  if (arguments.scenario == "demo") reader_sim::InstallDemoScenario(reader);
  if (arguments.scenario == "echo") reader.EchoOtherMessages();
  if (!reader.Start()) {
    std::fprintf(stderr, "reader_sim: cannot listen on 127.0.0.1:%d\n", arguments.port);
    return 1;
  }
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  std::printf("reader_sim listening on 127.0.0.1:%d\n", reader.port());
  std::fflush(stdout);
  if (!arguments.portFile.empty()) {
    const std::string temporary = arguments.portFile + ".part";
    std::ofstream(temporary) << reader.port() << "\n";
    std::rename(temporary.c_str(), arguments.portFile.c_str());
  }
  size_t printed = 0;
  while (!stopRequested) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto received = reader.Received();
    for (; printed < received.size(); ++printed) {
      if (!arguments.quiet) PrintReceived(received[printed]);
    }
    std::fflush(stdout);
    if (arguments.once && reader.AcceptedCount() > 0 && reader.OpenCount() == 0) break;
  }
  reader.Stop();
  return 0;
}
