#pragma once
// What the program must decode from a trace the simulator sent, worked out from the
// protocol's sample layouts (never from the decoder under test).

#include "radar/trace_layouts.h"
#include "tests/support/radarsim/sim_frames.h"

#include <gtest/gtest.h>

#include <vector>

// The samples LastArray must start with.
//   0x66, firmware <= 16: the S 24-bit values as sent, then one more sample whose
//     bytes lie past the packet's parameters (stored as 0).
//   0x66, firmware >= 17: the S 16-bit values x 4, except the last, which repeats
//     the one before it (it is read two bytes early).
//   0xDA (firmware >= 17): the S 16-bit values x 4.
inline std::vector<int32_t> ExpectedSamples(const radarsim::TTraceSpec& spec) {
  const bool wide = radarsim::WideSamples(spec.Format, spec.Firmware);
  std::vector<int32_t> out;
  for (int k = 0; k < spec.Samples; ++k) {
    const int32_t v = radarsim::SampleValue(spec.Index, k, wide);
    out.push_back(wide ? v : v * 4);
  }
  if (wide) {
    out.push_back(0);
  } else if (spec.Format == radarsim::tfReadydata2 && out.size() >= 2) {
    out.back() = out[out.size() - 2];
  }
  return out;
}

inline void ExpectTraceSamples(const TLastArray& stored, const radarsim::TTraceSpec& spec) {
  const std::vector<int32_t> expected = ExpectedSamples(spec);
  ASSERT_LE(expected.size(), stored.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(stored[k], expected[k]) << "trace " << spec.Index << ", sample " << k;
  }
}
