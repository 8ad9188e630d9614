#pragma once
// Putting one colour onto another: blend (the source over the destination by the
// source's alpha), merge (two translucent colours composited into a translucent
// result) and combine (a weighted mix with an explicit weight), each as a value
// form (Px), an in-place form (PxInto) and a row form (Row), blend and merge also
// with a master alpha (Ex); beside them per-channel colour operations.
//
// All are routine variables bound at library start-up (RasterLibraryStartup) by
// the registry "Ras32_Blend bindings"; call them only after start-up. They are
// pure functions of their arguments and read-only tables, safe on any thread.
//
// Arguments: F source colour, B destination colour, M master alpha 0..255,
// W weight 0..255 of the first colour (larger M and W count as 255), Count pixels
// in a row. Source and destination rows are the same row or do not overlap.
//
// The weighted step with weight V, on each channel alpha included:
//   c' = ((f - b) x V + 256 x b + 128) shr 8  =  (f x V + b x (256 - V) + 128) shr 8
// The bound forms (on x86-64) compute:
//   BlendPx        the step with V = Fa, no shortcut (Fa = 255 may differ from F by one)
//   BlendPxInto    Fa = 0 keeps B, Fa = 255 stores F, else the step with V = Fa
//   BlendRow       BlendPxInto per pixel
//   BlendPxEx      V = ((M + 1) x Fa) shr 8; V = 0 keeps B, else the step
//   BlendPxIntoEx  the same in place
//   BlendRowEx     V = ((Fa + 1) x M) shr 8 per pixel; V = 0 keeps the pixel
//   CombinePx      the step of X over Y with V = W
//   CombinePxInto  W = 0 keeps Y, W = 255 stores X, else the step
//   CombineRow     W = 0 does nothing, W = 255 copies the row, else the step
//   MergePx        the table form (see raster/blend_forms.h), everywhere
// Callers that may have run an MMX form call EndMmxState before floating-point work.

#include "raster/color32.h"

#include <cstdint>

using TEndMmxState = void();
using TBlendReg = TColor32(TColor32 F, TColor32 B);
using TBlendMem = void(TColor32 F, TColor32& B);
using TBlendLine = void(const TColor32* Src, TColor32* Dst, int32_t Count);
using TBlendRegEx = TColor32(TColor32 F, TColor32 B, uint32_t M);
using TBlendMemEx = void(TColor32 F, TColor32& B, uint32_t M);
using TBlendLineEx = void(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
using TCombineReg = TColor32(TColor32 X, TColor32 Y, uint32_t W);
using TCombineMem = void(TColor32 X, TColor32& Y, uint32_t W);
using TCombineLine = void(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t W);
using TScaleReg = TColor32(TColor32 C, uint32_t W);
using TLightenReg = TColor32(TColor32 C, int32_t Amount);

// Function identifiers in "Ras32_Blend bindings".
enum TBlendFunctionId : int {
  fidEndMmxState, fidMergePx, fidMergePxInto, fidMergeRow, fidMergePxEx, fidMergePxIntoEx,
  fidMergeRowEx, fidCombinePx, fidCombinePxInto, fidCombineRow, fidBlendPx, fidBlendPxInto,
  fidBlendRow, fidBlendPxEx, fidBlendPxIntoEx, fidBlendRowEx, fidPxMax, fidPxMin, fidPxAverage,
  fidPxAdd, fidPxSub, fidPxDiv, fidPxModulate, fidPxDifference, fidPxExclusion, fidPxScale,
  fidPxLighten, BlendFunctionCount
};

extern TEndMmxState* EndMmxState;
extern TBlendReg* MergePx;
extern TBlendMem* MergePxInto;
extern TBlendLine* MergeRow;
extern TBlendRegEx* MergePxEx;   // F's alpha becomes MulTable[M, Fa], then MergePx
extern TBlendMemEx* MergePxIntoEx;
extern TBlendLineEx* MergeRowEx;
extern TCombineReg* CombinePx;
extern TCombineMem* CombinePxInto;
extern TCombineLine* CombineRow;
extern TBlendReg* BlendPx;
extern TBlendMem* BlendPxInto;
extern TBlendLine* BlendRow;
extern TBlendRegEx* BlendPxEx;
extern TBlendMemEx* BlendPxIntoEx;
extern TBlendLineEx* BlendRowEx;

// Per channel, all four channels unless noted.
extern TBlendReg* PxMax;         // max(c1, c2)
extern TBlendReg* PxMin;         // min(c1, c2)
extern TBlendReg* PxAverage;     // (c1 + c2) shr 1
extern TBlendReg* PxAdd;         // min(c1 + c2, 255)
extern TBlendReg* PxSub;         // max(c1 - c2, 0)
extern TBlendReg* PxDiv;         // 255 when c1 = 0, else min(c2 x 256 div c1, 255)
extern TBlendReg* PxModulate;    // (c1 x c2) shr 8
extern TBlendReg* PxDifference;  // abs(c1 - c2)
extern TBlendReg* PxExclusion;   // c1 + c2 - ((c1 x c2) shr 7)
extern TScaleReg* PxScale;       // (c x W) shr 8
extern TLightenReg* PxLighten;   // red, green, blue shifted by Amount (-255..255) and clamped

// How a drawing puts its pixels onto the destination.
enum TCombineMode : uint8_t { cmBlend, cmMerge };

// The routine variables by combine mode. Read the variable through the table at
// the time of the call, so a later rebinding takes effect.
extern TBlendMem** const BlendPxIntoTbl[2];     // BlendPxInto, MergePxInto
extern TBlendMemEx** const BlendPxIntoExTbl[2]; // BlendPxIntoEx, MergePxIntoEx
extern TBlendLine** const BlendRowTbl[2];       // BlendRow, MergeRow
extern TBlendLineEx** const BlendRowExTbl[2];   // BlendRowEx, MergeRowEx

// MulTable[A][B] = A x B / 255 rounded.
extern uint8_t MulTable[256][256];
// QuotTable[A][B] = 0 when A = 0, else 255 x B / A rounded half to even, kept
// modulo 256 (only B <= A is read).
extern uint8_t QuotTable[256][256];
// AlphaRamp[W] holds W in eight 16-bit lanes; 16-byte aligned. Entry 128 is the
// rounding term. Built when the processor has MMX or SSE2.
alignas(16) extern uint16_t AlphaRamp[256][8];
extern bool AlphaRampBuilt;
// The processor has MMX (read by the bitmap to decide on EndMmxState).
extern bool MmxActive;

// Library start-up: builds the registry "Ras32_Blend bindings", binds every
// variable, then builds the tables.
void InitBlendBindings();
