#pragma once
// The one toolkit session and application object of the benchmark program,
// made on first use (offscreen). Every benchmark that needs windows takes it
// from here: a process holds one. Neither is ever freed: the benchmarks'
// windows live in static fixtures, and taking the session down under them at
// exit would crash the program.

#include "platform/ui/application.h"

#include <cstdlib>

inline void BenchToolkit() {
  struct TSession {
    int argc = 1;
    char arg0[8] = "bench";
    char* argv[2] = {arg0, nullptr};
    TSession() {
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
      new TToolkitSession(argc, argv);
      new TApplication();
    }
  };
  static TSession* session = new TSession();
  (void)session;
}
