#pragma once
// Helpers of the tests that run a radar against the simulator over a real link.

#include "radar/packet_codes.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"
#include "tests/support/radarsim/sim_links.h"

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>

// Generous: a loaded machine (or a sanitizer build) is slow, and no test times anything.
inline constexpr std::chrono::milliseconds kLinkBound{20000};

// Sends the commands one after the other from the user-interface thread, each after
// the reply to the one before, and waits for the reply to the last. False when it
// did not come within the bound.
inline bool RunCommands(TRadar& radar, std::initializer_list<uint8_t> codes) {
  for (uint8_t code : codes) radar.SendCommand(code, 0, nullptr);
  return ProcessMessagesUntil([&] { return radar.TimerId == 0; }, kLinkBound);
}

inline bool StartRadar(TRadar& radar, TRunMode mode = rmStep) {
  radar.SendCommand(bcpLoadData, 0, nullptr);
  radar.SendCommand(bcpLoad_Steck_Curve, 0, nullptr);
  const uint8_t runMode = mode;
  radar.SendCommand(bcpStart, 1, &runMode);
  return ProcessMessagesUntil([&] { return radar.TimerId == 0; }, kLinkBound);
}

// The traces the window stored are exactly the simulator's traces `indices`, in order.
inline void ExpectStoredTraces(const std::vector<TFakeRecordingWindow::TCall>& calls,
                               const radarsim::TRadarSimEngine& sim, const std::vector<uint32_t>& indices) {
  ASSERT_EQ(calls.size(), indices.size());
  for (size_t k = 0; k < calls.size(); ++k) ExpectTraceSamples(calls[k].Samples, sim.TraceSpecOf(indices[k]));
}

inline std::vector<uint32_t> IndexRange(uint32_t first, uint32_t last) {
  std::vector<uint32_t> out;
  for (uint32_t i = first; i <= last; ++i) out.push_back(i);
  return out;
}
