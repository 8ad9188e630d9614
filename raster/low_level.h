#pragma once
// Row fills and copies, clamps, and the wrap routines that fold an out-of-range
// coordinate back into a bitmap. Stateless; only FillDwords is a routine variable,
// bound at library start-up to the best form for the processor.

#include "raster/color32.h"

#include <cstdint>

// How coordinates outside a bitmap are folded back (the bitmap's wrap mode).
enum TWrapMode : uint8_t { wmClamp, wmRepeat, wmMirror };

// Writes Value into Count consecutive 32-bit words starting at X (any alignment).
using TFillDwords = void(void* X, uint32_t Count, uint32_t Value);
extern TFillDwords* FillDwords;

// Copies Count words in ascending address order; nothing when Count <= 0 or the
// areas start at the same address. Overlap is allowed only with Dest below Source.
void MoveDwords(const void* Source, void* Dest, int32_t Count);

// Swaps Min and Max when Max < Min, then clamps Value into Min..Max.
int32_t Clamp(int32_t Value, int32_t Min, int32_t Max);

// Orders the span A..B, raises A to Start and lowers B to Stop - 1; true when the
// span still holds at least one position.
bool ClipSpan(int32_t& A, int32_t& B, int32_t Start, int32_t Stop);

// Wrap routines (TWrapProcEx). Min <= Max is the caller's limit; the period is
// Max - Min + 1. Intermediate values are computed in 64 bits, so no argument
// overflows.
int32_t ClampRange(int32_t Value, int32_t Min, int32_t Max);  // no swapping
// Value < Min: Max + (Value - Max) mod period; else Min + (Value - Min) mod
// period (mod truncating toward zero).
int32_t WrapRange(int32_t Value, int32_t Min, int32_t Max);
// Reflects at the edges: even periods run forward, odd ones backward.
int32_t MirrorRange(int32_t Value, int32_t Min, int32_t Max);
// For a period that is a power of two: Min + ((Value - Min) and (Max - Min)).
int32_t WrapRangePow2(int32_t Value, int32_t Min, int32_t Max);
// For a period that is a power of two: with D = (Value - Min) and (Max - Min),
// Max - D on odd periods, Min + D on even ones.
int32_t MirrorRangePow2(int32_t Value, int32_t Min, int32_t Max);

// wmRepeat: WrapRange, wmMirror: MirrorRange, anything else ClampRange.
TWrapProcEx SelectWrapRoutine(TWrapMode WrapMode);
// As SelectWrapRoutine, but the power-of-two forms when Min >= 0, Max >= Min and
// the period is a power of two.
TWrapProcEx SelectWrapRoutineEx(TWrapMode WrapMode, int32_t Min, int32_t Max);

// Library start-up: builds the registry "Ras32_LowLevel bindings" and binds
// FillDwords.
void InitLowLevelBindings();
