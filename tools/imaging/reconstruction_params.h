#pragma once
// What the reconstruction tools (real view, grid view, time grid) share: the
// field block of their parameters and the body of their chain records.
//
// A record's body, after the frame head (tool_record.h): X/Y (extended),
// MinAmpSect (i32), SizeHyperbola (i32), DistanceRecept (extended), StepRecept
// (extended; only a tool with a spacing step, and not in the older record form),
// dH (i32). A damaged or short record leaves the fields it does not hold as they
// are.

#include <cstdint>

class T2Dview;
class TStream;
class TToolRecordFields;

struct TReconstructionFields {
  long double XYProportional = 0;
  long double DistanceRecept = 0;
  int32_t MinAmpSect = 0;
  int32_t SizeHyperbola = 0;
  int32_t dH = 0;
};

// A channel's creation values: `fields` set to `defaults` but for the spacing,
// which keeps its value; X/Y the trace step of a wheel-mode `view`.
void InitReconstructionFields(TReconstructionFields& fields, const TReconstructionFields& defaults,
                              const T2Dview* view);

// stepRecept: the tool's spacing step, nullptr for a tool without one.
void WriteReconstructionBody(TStream& str, const TReconstructionFields& fields, const long double* stepRecept);
void ReadReconstructionBody(TToolRecordFields& record, TReconstructionFields& fields, long double* stepRecept);
