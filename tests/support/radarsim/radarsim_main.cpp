// radarsim: a simulated radar unit for trying the program by hand.
//   radarsim pty|tcp [--firmware N] [--samples N] [--interval MS] [--format 66|da]
//                    [--mode 0|1|2] [--channel N] [--count N] [--serial N] [--type N]
//                    [--device N] [--limit N] [--report]
// (--mode: single, master or slave of a set; --channel and --count: its place in
// the set and the set's size; --serial: its serial number; --type: antenna unit;
// --device: device-box type; --limit: traces per start, 0 without a limit;
// --report: a line on standard output when a client connects ("connected"),
// when streaming starts ("streaming") and stops ("stopped N" with the traces
// sent so far).)
// Prints the slave device path (pty) or "127.0.0.1 PORT" (tcp) and runs until its
// standard input closes.

#include "tests/support/radarsim/sim_links.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

namespace {

// Reports what the unit does, as --report describes, until stop is set.
void Report(radarsim::TRadarSimEngine& engine, const std::function<int()>& connections, const std::atomic<bool>& stop) {
  int connected = 0;
  bool streaming = false;
  while (!stop) {
    const int now = connections();
    for (; connected < now; ++connected) std::printf("connected\n");
    const bool on = engine.Streaming();
    if (on != streaming) {
      if (on) std::printf("streaming\n");
      else std::printf("stopped %u\n", engine.TracesSent());
      streaming = on;
    }
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace radarsim;
  if (argc < 2 || (std::strcmp(argv[1], "pty") != 0 && std::strcmp(argv[1], "tcp") != 0)) {
    std::fprintf(stderr,
                 "usage: radarsim pty|tcp [--firmware N] [--samples N] [--interval MS] [--format 66|da]\n"
                 "                        [--mode 0|1|2] [--channel N] [--count N] [--serial N] [--type N]\n"
                 "                        [--device N] [--limit N] [--report]\n");
    return 2;
  }
  TSimConfig config;
  bool report = false;
  for (int i = 2; i < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--report") {
      report = true;
      --i;
      continue;
    }
    if (i + 1 >= argc) break;
    const std::string value = argv[i + 1];
    if (option == "--firmware") config.Firmware = static_cast<uint16_t>(std::atoi(value.c_str()));
    else if (option == "--samples") config.SamplesPerTrace = std::atoi(value.c_str());
    else if (option == "--interval") config.TraceIntervalMs = std::atoi(value.c_str());
    else if (option == "--format") config.Format = value == "da" ? tfReadydata3 : tfReadydata2;
    else if (option == "--mode") config.MasterSlaveMode = static_cast<uint8_t>(std::atoi(value.c_str()));
    else if (option == "--channel") config.Channel = static_cast<uint8_t>(std::atoi(value.c_str()));
    else if (option == "--count") config.RadarCount = static_cast<uint8_t>(std::atoi(value.c_str()));
    else if (option == "--serial") config.SerialNumber = static_cast<uint16_t>(std::atoi(value.c_str()));
    else if (option == "--type") config.RadarType = static_cast<uint8_t>(std::atoi(value.c_str()));
    else if (option == "--device") config.DeviceType = static_cast<uint8_t>(std::atoi(value.c_str()));
    else if (option == "--limit") config.TraceLimit = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  std::string line;
  if (std::strcmp(argv[1], "pty") == 0) {
    TPtyRadarSim sim(config);
    if (!sim.Ok()) return 1;
    std::printf("%s\n", sim.SlavePath().c_str());
    std::fflush(stdout);
    std::atomic<bool> stop{false};
    std::thread reporter;
    if (report) reporter = std::thread(Report, std::ref(sim.Engine()), [] { return 1; }, std::cref(stop));
    while (std::getline(std::cin, line)) {}
    stop = true;
    if (reporter.joinable()) reporter.join();
  } else {
    TTcpRadarSim sim(config);
    if (!sim.Ok()) return 1;
    std::printf("127.0.0.1 %u\n", sim.Port());
    std::fflush(stdout);
    std::atomic<bool> stop{false};
    std::thread reporter;
    if (report) reporter = std::thread(Report, std::ref(sim.Engine()), [&sim] { return sim.Connections(); }, std::cref(stop));
    while (std::getline(std::cin, line)) {}
    stop = true;
    if (reporter.joinable()) reporter.join();
  }
  return 0;
}
