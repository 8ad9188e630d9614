#include "raster/low_level.h"

#include "raster/bindings.h"
#include "raster/low_level_forms.h"

#include <cstring>
#include <utility>

TFillDwords* FillDwords = nullptr;

namespace raster_portable {

void FillDwords(void* X, uint32_t Count, uint32_t Value) {
  auto* bytes = static_cast<unsigned char*>(X);
  for (uint32_t i = Count; i > 0; --i) std::memcpy(bytes + size_t{i - 1} * 4, &Value, 4);
}

}  // namespace raster_portable

void MoveDwords(const void* Source, void* Dest, int32_t Count) {
  if (Count <= 0 || Source == Dest) return;
  // memmove gives the ascending copy's result for every overlap that copy allows.
  std::memmove(Dest, Source, size_t(Count) * 4);
}

int32_t Clamp(int32_t Value, int32_t Min, int32_t Max) {
  if (Max < Min) std::swap(Min, Max);
  if (Value < Min) return Min;
  if (Value > Max) return Max;
  return Value;
}

bool ClipSpan(int32_t& A, int32_t& B, int32_t Start, int32_t Stop) {
  if (B < A) std::swap(A, B);
  if (A < Start) A = Start;
  if (B >= Stop) B = static_cast<int32_t>(static_cast<uint32_t>(Stop) - 1u);
  return B >= A;
}

int32_t ClampRange(int32_t Value, int32_t Min, int32_t Max) {
  if (Value > Max) return Max;
  if (Value < Min) return Min;
  return Value;
}

int32_t WrapRange(int32_t Value, int32_t Min, int32_t Max) {
  const int64_t period = int64_t{Max} - Min + 1;
  if (Value < Min) return static_cast<int32_t>(Max + (int64_t{Value} - Max) % period);
  return static_cast<int32_t>(Min + (int64_t{Value} - Min) % period);
}

int32_t MirrorRange(int32_t Value, int32_t Min, int32_t Max) {
  const int64_t period = int64_t{Max} - Min + 1;
  const int64_t base = Value < Min ? Max : Min;
  const int64_t q = (int64_t{Value} - base) / period;
  const int64_t r = (int64_t{Value} - base) % period + base;
  // Even periods run forward, odd ones are reflected.
  return static_cast<int32_t>((q & 1) == 0 ? r : int64_t{Min} + Max - r);
}

int32_t WrapRangePow2(int32_t Value, int32_t Min, int32_t Max) {
  const uint32_t mask = static_cast<uint32_t>(Max) - static_cast<uint32_t>(Min);
  return static_cast<int32_t>(static_cast<uint32_t>(Min) +
                              ((static_cast<uint32_t>(Value) - static_cast<uint32_t>(Min)) & mask));
}

int32_t MirrorRangePow2(int32_t Value, int32_t Min, int32_t Max) {
  const uint32_t offset = static_cast<uint32_t>(Value) - static_cast<uint32_t>(Min);
  const uint32_t mask = static_cast<uint32_t>(Max) - static_cast<uint32_t>(Min);
  const uint32_t d = offset & mask;
  if ((offset & (mask + 1u)) != 0) return static_cast<int32_t>(static_cast<uint32_t>(Max) - d);
  return static_cast<int32_t>(static_cast<uint32_t>(Min) + d);
}

TWrapProcEx SelectWrapRoutine(TWrapMode WrapMode) {
  switch (WrapMode) {
    case wmRepeat: return WrapRange;
    case wmMirror: return MirrorRange;
    default: return ClampRange;
  }
}

TWrapProcEx SelectWrapRoutineEx(TWrapMode WrapMode, int32_t Min, int32_t Max) {
  const uint32_t span = static_cast<uint32_t>(Max) - static_cast<uint32_t>(Min);
  const bool pow2 = Min >= 0 && Max >= Min && ((span + 1u) & span) == 0;
  if (pow2 && WrapMode == wmRepeat) return WrapRangePow2;
  if (pow2 && WrapMode == wmMirror) return MirrorRangePow2;
  return SelectWrapRoutine(WrapMode);
}

namespace {
enum : int { fidFillDwords = 0 };
}

void InitLowLevelBindings() {
  TFunctionRegistry* registry = CreateRegistry("Ras32_LowLevel bindings");
  registry->RegisterBinding(fidFillDwords, &FillDwords);
  registry->Add(fidFillDwords, &raster_portable::FillDwords);
#if RASTER_SSE2_FORMS
  registry->Add(fidFillDwords, &raster_sse2::FillDwords, {ciSSE2});
#endif
  registry->RebindAll();
}
