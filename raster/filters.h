#pragma once
// Intensity to alpha, and the row logic operations (and, or, exclusive or of
// every pixel with a mask), bound through the registry "Ras32_Filters bindings".

#include "raster/color32.h"

#include <cstdint>

class TCustomBitmap32;

// Dst takes Src's size; Dst's alpha at every pixel index i becomes
// (R x 61 + G x 174 + B x 21) shr 8 of Src's pixel i, Dst's colours stay. Dst
// may be Src. std::runtime_error "The source is nil" / "Destination is nil".
void SetAlphaFromIntensity(TCustomBitmap32* Dst, TCustomBitmap32* Src);

// X[i] := X[i] op Mask for Count pixels.
using TLogicOp = void(TColor32* X, TColor32 Mask, int32_t Count);
// Dst[i] := Src[i] op Mask for Count pixels.
using TLogicOpEx = void(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);

extern TLogicOp* AndRow;
extern TLogicOp* OrRow;
extern TLogicOp* XorRow;
extern TLogicOpEx* AndRowEx;
extern TLogicOpEx* OrRowEx;
extern TLogicOpEx* XorRowEx;

enum TFilterFunctionID : int { fidAndRow, fidOrRow, fidXorRow, fidAndRowEx, fidOrRowEx, fidXorRowEx };

// Library start-up: creates the registry and binds the six routines.
void InitFilterBindings();
