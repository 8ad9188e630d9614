#pragma once
// Serial flow control of a unit that streams without acknowledgements: after each
// read the reader compares the receive-buffer fill of the last two reads and steps
// the unit's performance delay up while the backlog grows and back down towards
// the unit's own delay while it shrinks. Pure code.
//
//   g = fill - previous fill (0 when below -60000, a buffer that was started over)
//   q = g / (2 x LengthLastArray - 130)   (growth in trace packets; 0 before the
//                                          first load-data command)
//   1 <= q < 2:   +1, or +4 above 36000 bytes waiting; records the buffer end
//   q >= 2:       +4, or +20 above 36000 bytes waiting
//   -2 < q <= -1: -1 }  never below the unit's own delay, at most -127
//   q <= -2:      -4 }
//   otherwise:    back to the unit's own delay once the buffer is (almost) empty
// The delay never passes 255.

#include <cstdint>

struct TFlowControlInput {
  int32_t PreviousFill = 0;    // receive-buffer fill before the previous read
  int32_t Fill = 0;            // fill before this read
  uint8_t Delay = 0;           // MaxPerfomanceDelay
  uint8_t OwnDelay = 0;        // ConstMaxPerfomanceDelay
  uint8_t OverStep = 0;
  int32_t LengthLastArray = 0;
};

struct TFlowControlStep {
  bool Send = false;           // send bcpStepPerfomanceDelay with Step
  int8_t Step = 0;
  bool RecordBufferEnd = false;  // CurBufPos := the buffer end after this read
  uint8_t NewDelay = 0;        // MaxPerfomanceDelay afterwards: Delay + Step
};

TFlowControlStep FlowControlStep(const TFlowControlInput& in);
