#pragma once
// The one toolkit session and application object of the benchmark program,
// made on first use (offscreen) and kept until the program ends. Every
// benchmark that needs windows takes it from here: a process holds one.

#include "platform/ui/application.h"

#include <cstdlib>
#include <memory>

inline void BenchToolkit() {
  struct TSession {
    int argc = 1;
    char arg0[8] = "bench";
    char* argv[2] = {arg0, nullptr};
    std::unique_ptr<TToolkitSession> toolkit;
    TSession() {
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
      toolkit = std::make_unique<TToolkitSession>(argc, argv);
      new TApplication();
    }
  };
  static TSession session;
}
