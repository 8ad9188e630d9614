// radarsim: a simulated radar unit for trying the program by hand.
//   radarsim pty|tcp [--firmware N] [--samples N] [--interval MS] [--format 66|da]
//                    [--mode 0|1|2] [--channel N] [--count N] [--serial N] [--type N]
// (--mode: single, master or slave of a set; --channel and --count: its place in
// the set and the set's size; --serial: its serial number; --type: antenna unit.)
// Prints the slave device path (pty) or "127.0.0.1 PORT" (tcp) and runs until its
// standard input closes.

#include "tests/support/radarsim/sim_links.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  using namespace radarsim;
  if (argc < 2 || (std::strcmp(argv[1], "pty") != 0 && std::strcmp(argv[1], "tcp") != 0)) {
    std::fprintf(stderr,
                 "usage: radarsim pty|tcp [--firmware N] [--samples N] [--interval MS] [--format 66|da]\n"
                 "                        [--mode 0|1|2] [--channel N] [--count N] [--serial N] [--type N]\n");
    return 2;
  }
  TSimConfig config;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
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
    while (std::getline(std::cin, line)) {}
  } else {
    TTcpRadarSim sim(config);
    if (!sim.Ok()) return 1;
    std::printf("127.0.0.1 %u\n", sim.Port());
    std::fflush(stdout);
    while (std::getline(std::cin, line)) {}
  }
  return 0;
}
