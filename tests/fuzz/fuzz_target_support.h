#pragma once
// The end of a libFuzzer run when a harness body reports a broken guarantee.

#include <cstdio>
#include <cstdlib>
#include <string>

// libFuzzer keeps an input that ends the process as a crash.
inline int AbortWhenBroken(const std::string& broken) {
  if (!broken.empty()) {
    std::fprintf(stderr, "guarantee broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
