#include "raster/filters.h"

#include "raster/bindings.h"
#include "raster/bitmap32.h"

#include <stdexcept>

TLogicOp* AndRow = nullptr;
TLogicOp* OrRow = nullptr;
TLogicOp* XorRow = nullptr;
TLogicOpEx* AndRowEx = nullptr;
TLogicOpEx* OrRowEx = nullptr;
TLogicOpEx* XorRowEx = nullptr;

void SetAlphaFromIntensity(TCustomBitmap32* Dst, TCustomBitmap32* Src) {
  if (Src == nullptr) throw std::runtime_error("The source is nil");
  if (Dst == nullptr) throw std::runtime_error("Destination is nil");
  Dst->SetSize(Src->Width(), Src->Height());
  const int64_t n = int64_t{Src->Width()} * Src->Height();
  const PColor32 s = Src->Bits();
  const PColor32 d = Dst->Bits();
  if (s != nullptr && d != nullptr)
    for (int64_t i = 0; i < n; ++i) {
      const TColor32 c = s[i];
      // Luma weights in 1/256: 61 red, 174 green, 21 blue (sum 256).
      const uint32_t a = (((c >> 16) & 0xFFu) * 61 + ((c >> 8) & 0xFFu) * 174 + (c & 0xFFu) * 21) >> 8;
      d[i] = (d[i] & 0x00FFFFFFu) | (a << 24);
    }
  Dst->Changed();
}

namespace raster_portable {

template <class Op>
void LogicRow(TColor32* X, TColor32 Mask, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) X[i] = Op{}(X[i], Mask);
}

template <class Op>
void LogicRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Op{}(Src[i], Mask);
}

struct AndOp { TColor32 operator()(TColor32 a, TColor32 b) const { return a & b; } };
struct OrOp { TColor32 operator()(TColor32 a, TColor32 b) const { return a | b; } };
struct XorOp { TColor32 operator()(TColor32 a, TColor32 b) const { return a ^ b; } };

}  // namespace raster_portable

void InitFilterBindings() {
  using namespace raster_portable;
  TFunctionRegistry* registry = CreateRegistry("Ras32_Filters bindings");
  registry->RegisterBinding(fidAndRow, &AndRow);
  registry->RegisterBinding(fidOrRow, &OrRow);
  registry->RegisterBinding(fidXorRow, &XorRow);
  registry->RegisterBinding(fidAndRowEx, &AndRowEx);
  registry->RegisterBinding(fidOrRowEx, &OrRowEx);
  registry->RegisterBinding(fidXorRowEx, &XorRowEx);
  registry->Add<TLogicOp>(fidAndRow, &LogicRow<AndOp>);
  registry->Add<TLogicOp>(fidOrRow, &LogicRow<OrOp>);
  registry->Add<TLogicOp>(fidXorRow, &LogicRow<XorOp>);
  registry->Add<TLogicOpEx>(fidAndRowEx, &LogicRowEx<AndOp>);
  registry->Add<TLogicOpEx>(fidOrRowEx, &LogicRowEx<OrOp>);
  registry->Add<TLogicOpEx>(fidXorRowEx, &LogicRowEx<XorOp>);
  registry->RebindAll();
}
