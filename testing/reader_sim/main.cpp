// reader_sim: a simulated reader on 127.0.0.1 for the demo and for trying
// the library by hand. `reader_sim --help` tells its options and scenarios.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "demo_configuration.h"
#include "demo_scenario.h"
#include "simulated_reader.h"

namespace {

const char kUsage[] =
    "usage: reader_sim [--port N] [--port-file PATH] [--scenario demo|plain|echo] [--once] [--quiet]\n";

void PrintHelp() {
  std::printf(
      "%s\n"
      "A simulated reader of the newer platform on 127.0.0.1. The first line printed is\n"
      "\"reader_sim listening on 127.0.0.1:<port>\", then one line per message received.\n"
      "It ends on SIGINT or SIGTERM.\n"
      "\n"
      "  --port N          listen on port N; 0, the default, takes any free port\n"
      "  --port-file PATH  also write the port alone into PATH once listening\n"
      "  --scenario NAME   what the reader plays, demo by default:\n"
      "      demo   a transaction's start is answered, then card inserted, a display\n"
      "             text, approval, completion and card removed follow as\n"
      "             notifications; command 1010 gives card, authorization or batch\n"
      "             data; device information reads give the model\n"
      "             \"%s\" and the serial number %s; file %08X\n"
      "             holds %zu bytes; other information and file reads are refused,\n"
      "             every other command succeeds\n"
      "      plain  every command succeeds without parameters and nothing else is\n"
      "             sent, so a file read gets no file\n"
      "      echo   as plain, and every message that is no command is sent back\n"
      "  --once            end when the first connection has closed\n"
      "  --quiet           do not print the messages received\n"
      "  --help            print this and end\n",
      kUsage, reader_sim::kDemoModel, reader_sim::kDemoSerial, static_cast<unsigned>(reader_sim::kDemoFileId),
      reader_sim::DemoFileContent().size());
}

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

struct Arguments {
  int port = 0;
  std::string portFile;
  std::string scenario = "demo";
  bool once = false;
  bool quiet = false;
  bool help = false;
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
    } else if (name == "--help") {
      arguments->help = true;
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
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (arguments.help) {
    PrintHelp();
    return 0;
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
