#include "raster/transforms.h"

#include "raster/bindings.h"
#include "raster/blend.h"
#include "raster/rasterizers.h"
#include "raster/resampler_transfer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>

TDeterminant32* Determinant32 = nullptr;
TDeterminant64* Determinant64 = nullptr;

namespace {

constexpr TFloatMatrix IdentityMatrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

TFixed SaturateFixed(int64_t v) {
  return static_cast<TFixed>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Integer pixel coordinates whose 16.16 form fits in a TFixed.
bool FitsFixed(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// FxRound without the 32-bit wrap of (A + $7FFF): a saturated INT32_MAX must
// round to 32768, not turn into -32768.
int32_t RoundFixed(TFixed a) { return static_cast<int32_t>((int64_t{a} + 0x7FFF) >> 16); }

// FxRound of v x 65536 without the 32-bit limit: floor(v + $7FFF / 65536),
// saturated to the integer range (NaN gives 0).
int32_t RoundAsFxRound(float v) {
  if (std::isnan(v)) return 0;
  const long double r = std::floor((static_cast<long double>(v) * 65536.0L + 0x7FFF) / 65536.0L);
  return static_cast<int32_t>(std::clamp<long double>(r, INT32_MIN, INT32_MAX));
}

// x' = x P[0][0] + y P[1][0] + P[2][0] and y' = x P[0][1] + y P[1][1] + P[2][1].
void MapFloat(const TFloatMatrix& P, float X, float Y, float& OutX, float& OutY) {
  const double x = X;
  const double y = Y;
  OutX = static_cast<float>(x * P[0][0] + y * P[1][0] + P[2][0]);
  OutY = static_cast<float>(x * P[0][1] + y * P[1][1] + P[2][1]);
}

// The same with FxMul terms. Each product is floored as FxMul does; the sum is
// taken in 64 bits, where a 32-bit sum would wrap to the far side of the plane.
int64_t FxMul64(TFixed a, TFixed b) { return (int64_t{a} * b) >> 16; }

void MapFixed(const TFixedMatrix& P, TFixed X, TFixed Y, TFixed& OutX, TFixed& OutY) {
  OutX = SaturateFixed(FxMul64(X, P[0][0]) + FxMul64(Y, P[1][0]) + P[2][0]);
  OutY = SaturateFixed(FxMul64(X, P[0][1]) + FxMul64(Y, P[1][1]) + P[2][1]);
}

TFixedMatrix ToFixedMatrix(const TFloatMatrix& M) {
  TFixedMatrix F{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) F[i][j] = Fixed(M[i][j]);
  return F;
}

}  // namespace

// ---- TTransformation -----------------------------------------------------------------

void TTransformation::SetSrcRect(const TFloatRect& Value) {
  FSrcRect = Value;
  Changed();
}

void TTransformation::Changed() {
  FTransformValid = false;
  TNotifiablePersistent::Changed();
}

TFloatRect TTransformation::GetTransformedBounds(const TFloatRect& ASrcRect) const { return ASrcRect; }

namespace {

// Prepares the mapping when a change made it stale, then maps P with the form
// for its coordinate type.
template <class TPointType, class TCoord>
TPointType PreparedMap(TTransformation& t, bool valid, const TPointType& P,
                       void (TTransformation::*form)(TCoord, TCoord, TCoord&, TCoord&)) {
  if (!valid) t.PrepareMapping();
  TPointType result;
  (t.*form)(P.X, P.Y, result.X, result.Y);
  return result;
}

}  // namespace

TPoint TTransformation::ReverseTransform(const TPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::ReverseTransformInt);
}

TFixedPoint TTransformation::ReverseTransform(const TFixedPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::ReverseTransformFixed);
}

TFloatPoint TTransformation::ReverseTransform(const TFloatPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::ReverseTransformFloat);
}

TPoint TTransformation::Transform(const TPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::TransformInt);
}

TFixedPoint TTransformation::Transform(const TFixedPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::TransformFixed);
}

TFloatPoint TTransformation::Transform(const TFloatPoint& P) {
  return PreparedMap(*this, FTransformValid, P, &TTransformation::TransformFloat);
}

namespace {

using TFixedMapping = void (TTransformation::*)(TFixed, TFixed, TFixed&, TFixed&);
using TFloatMapping = void (TTransformation::*)(float, float, float&, float&);

// Integer positions map through the 16.16 form while X shl 16 fits, and
// through the float form beyond that; both round as FxRound does.
void MapInt(TTransformation& t, TFixedMapping fixedForm, TFloatMapping floatForm, int32_t X, int32_t Y,
            int32_t& OutX, int32_t& OutY) {
  if (FitsFixed(int64_t{X} * 65536) && FitsFixed(int64_t{Y} * 65536)) {
    TFixed x = 0;
    TFixed y = 0;
    (t.*fixedForm)(Fixed(X), Fixed(Y), x, y);
    OutX = RoundFixed(x);
    OutY = RoundFixed(y);
  } else {
    float x = 0;
    float y = 0;
    (t.*floatForm)(static_cast<float>(X), static_cast<float>(Y), x, y);
    OutX = RoundAsFxRound(x);
    OutY = RoundAsFxRound(y);
  }
}

// 16.16 positions map through the float form.
void MapFixed(TTransformation& t, TFloatMapping floatForm, TFixed X, TFixed Y, TFixed& OutX, TFixed& OutY) {
  float x = 0;
  float y = 0;
  (t.*floatForm)(static_cast<float>(X / 65536.0), static_cast<float>(Y / 65536.0), x, y);
  OutX = Fixed(x);
  OutY = Fixed(y);
}

}  // namespace

void TTransformation::ReverseTransformInt(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY) {
  MapInt(*this, &TTransformation::ReverseTransformFixed, &TTransformation::ReverseTransformFloat, DstX, DstY, SrcX,
         SrcY);
}

void TTransformation::ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) {
  MapFixed(*this, &TTransformation::ReverseTransformFloat, DstX, DstY, SrcX, SrcY);
}

void TTransformation::ReverseTransformFloat(float, float, float&, float&) {
  throw ETransformNotImplemented(
      ("Reverse transformation is not implemented in " + ClassNameOf(*this) + ".").toStdString());
}

void TTransformation::TransformInt(int32_t SrcX, int32_t SrcY, int32_t& DstX, int32_t& DstY) {
  MapInt(*this, &TTransformation::TransformFixed, &TTransformation::TransformFloat, SrcX, SrcY, DstX, DstY);
}

void TTransformation::TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) {
  MapFixed(*this, &TTransformation::TransformFloat, SrcX, SrcY, DstX, DstY);
}

void TTransformation::TransformFloat(float, float, float&, float&) {
  throw ETransformNotImplemented(
      ("Forward transformation is not implemented in " + ClassNameOf(*this) + ".").toStdString());
}

// ---- TAffineTransformation -----------------------------------------------------------

TAffineTransformation::TAffineTransformation() { Clear(); }

void TAffineTransformation::Clear() {
  Matrix = IdentityMatrix;
  Changed();
}

void TAffineTransformation::Apply(const TFloatMatrix& Op) {
  // Row vectors: p' = p M, then p'' = p' Op, so the new matrix is M Op.
  TFloatMatrix result{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double sum = 0;
      for (int k = 0; k < 3; ++k) sum += double{Matrix[i][k]} * Op[k][j];
      result[i][j] = static_cast<float>(sum);
    }
  Matrix = result;
  Changed();
}

void TAffineTransformation::Translate(float Dx, float Dy) {
  TFloatMatrix op = IdentityMatrix;
  op[2][0] = Dx;
  op[2][1] = Dy;
  Apply(op);
}

void TAffineTransformation::Scale(float Sx, float Sy) {
  TFloatMatrix op = IdentityMatrix;
  op[0][0] = Sx;
  op[1][1] = Sy;
  Apply(op);
}

void TAffineTransformation::Scale(float Value) { Scale(Value, Value); }

void TAffineTransformation::Skew(float Fx, float Fy) {
  TFloatMatrix op = IdentityMatrix;
  op[1][0] = Fx;
  op[0][1] = Fy;
  Apply(op);
}

void TAffineTransformation::Rotate(float Alpha) {
  const long double a = static_cast<long double>(Alpha) * std::numbers::pi_v<long double> / 180.0L;
  const auto s = static_cast<float>(std::sin(a));
  const auto c = static_cast<float>(std::cos(a));
  TFloatMatrix op = IdentityMatrix;
  op[0][0] = c;
  op[1][0] = s;
  op[0][1] = -s;
  op[1][1] = c;
  Apply(op);
}

void TAffineTransformation::Rotate(float Cx, float Cy, float Alpha) {
  const bool aboutCentre = Cx != 0 || Cy != 0;
  if (aboutCentre) Translate(-Cx, -Cy);
  Rotate(Alpha);
  if (aboutCentre) Translate(Cx, Cy);
}

void TAffineTransformation::PrepareMapping() {
  const TFloatMatrix& m = Matrix;
  // Expansion along the first index, rounded to Single as the threshold expects.
  const auto d = static_cast<float>(double{m[0][0]} * (double{m[1][1]} * m[2][2] - double{m[2][1]} * m[1][2]) -
                                    double{m[0][1]} * (double{m[1][0]} * m[2][2] - double{m[2][0]} * m[1][2]) +
                                    double{m[0][2]} * (double{m[1][0]} * m[2][1] - double{m[2][0]} * m[1][1]));
  // A singular matrix (or one whose determinant is not a number) maps back as
  // the identity: the picture is drawn untransformed rather than not at all.
  // The limit is the decimal 0.00001, which the Single nearest to it (just
  // below) does not reach.
  if (!(std::fabs(d) >= 0.00001)) {
    FInverseMatrix = IdentityMatrix;
  } else {
    const double r = 1.0 / d;
    auto minor = [&m](int r0, int c0, int r1, int c1) {
      return double{m[r0][c0]} * m[r1][c1] - double{m[r0][c1]} * m[r1][c0];
    };
    // The adjugate: the transposed cofactors.
    const double adj[3][3] = {
        {minor(1, 1, 2, 2), -minor(0, 1, 2, 2), minor(0, 1, 1, 2)},
        {-minor(1, 0, 2, 2), minor(0, 0, 2, 2), -minor(0, 0, 1, 2)},
        {minor(1, 0, 2, 1), -minor(0, 0, 2, 1), minor(0, 0, 1, 1)},
    };
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) FInverseMatrix[i][j] = static_cast<float>(adj[i][j] * r);
  }
  FInverseFixedMatrix = ToFixedMatrix(FInverseMatrix);
  FFixedMatrix = ToFixedMatrix(Matrix);
  FTransformValid = true;
}

TFloatRect TAffineTransformation::GetTransformedBounds(const TFloatRect& ASrcRect) const {
  const TFloatPoint corners[4] = {{ASrcRect.Left, ASrcRect.Top},
                                  {ASrcRect.Right, ASrcRect.Top},
                                  {ASrcRect.Left, ASrcRect.Bottom},
                                  {ASrcRect.Right, ASrcRect.Bottom}};
  TFloatRect bounds;
  for (int i = 0; i < 4; ++i) {
    float x = 0;
    float y = 0;
    MapFloat(Matrix, corners[i].X, corners[i].Y, x, y);
    if (i == 0) {
      bounds = TFloatRect{x, y, x, y};
      continue;
    }
    bounds.Left = std::min(bounds.Left, x);
    bounds.Top = std::min(bounds.Top, y);
    bounds.Right = std::max(bounds.Right, x);
    bounds.Bottom = std::max(bounds.Bottom, y);
  }
  return bounds;
}

void TAffineTransformation::ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) {
  MapFixed(FInverseFixedMatrix, DstX, DstY, SrcX, SrcY);
}

void TAffineTransformation::ReverseTransformFloat(float DstX, float DstY, float& SrcX, float& SrcY) {
  MapFloat(FInverseMatrix, DstX, DstY, SrcX, SrcY);
}

void TAffineTransformation::TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) {
  MapFixed(FFixedMatrix, SrcX, SrcY, DstX, DstY);
}

void TAffineTransformation::TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY) {
  MapFloat(Matrix, SrcX, SrcY, DstX, DstY);
}

// ---- TNestedSampler ------------------------------------------------------------------

TCustomSampler& TNestedSampler::Nested() const {
  if (FSampler == nullptr) throw ENestedException("Nested sampler is nil");
  return *FSampler;
}

TColor32 TNestedSampler::GetSampleInt(int32_t X, int32_t Y) { return Nested().GetSampleInt(X, Y); }
TColor32 TNestedSampler::GetSampleFixed(TFixed X, TFixed Y) { return Nested().GetSampleFixed(X, Y); }
TColor32 TNestedSampler::GetSampleFloat(float X, float Y) { return Nested().GetSampleFloat(X, Y); }
void TNestedSampler::PrepareSampling() { Nested().PrepareSampling(); }
void TNestedSampler::FinalizeSampling() { Nested().FinalizeSampling(); }
bool TNestedSampler::HasBounds() const { return Nested().HasBounds(); }
TFloatRect TNestedSampler::GetSampleBounds() const { return Nested().GetSampleBounds(); }

void TNestedSampler::AssignTo(TNestedSampler& Dest) const {
  if (&Dest == this) return;
  Dest.SetSampler(FSampler);
}

// ---- TTransformer --------------------------------------------------------------------

TTransformation& TTransformer::Mapping() const {
  if (FTransformation == nullptr) throw ERasterError("Transformation is nil");
  return *FTransformation;
}

TColor32 TTransformer::GetSampleInt(int32_t X, int32_t Y) {
  const int64_t fx = int64_t{X} * 65536 + 0x7FFF;
  const int64_t fy = int64_t{Y} * 65536 + 0x7FFF;
  if (!FitsFixed(fx) || !FitsFixed(fy)) {
    // Beyond 32767 pixels the centre has no 16.16 form.
    float u = 0;
    float v = 0;
    Mapping().ReverseTransformFloat(static_cast<float>(X + 0.5), static_cast<float>(Y + 0.5), u, v);
    return Nested().GetSampleFloat(u - 0.5f, v - 0.5f);
  }
  TFixed u = 0;
  TFixed v = 0;
  Mapping().ReverseTransformFixed(static_cast<TFixed>(fx), static_cast<TFixed>(fy), u, v);
  return Nested().GetSampleFixed(SaturateFixed(int64_t{u} - 0x7FFF), SaturateFixed(int64_t{v} - 0x7FFF));
}

TColor32 TTransformer::GetSampleFixed(TFixed X, TFixed Y) {
  TFixed u = 0;
  TFixed v = 0;
  Mapping().ReverseTransformFixed(SaturateFixed(int64_t{X} + 0x7FFF), SaturateFixed(int64_t{Y} + 0x7FFF), u, v);
  return Nested().GetSampleFixed(SaturateFixed(int64_t{u} - 0x7FFF), SaturateFixed(int64_t{v} - 0x7FFF));
}

TColor32 TTransformer::GetSampleFloat(float X, float Y) {
  float u = 0;
  float v = 0;
  Mapping().ReverseTransformFloat(X + 0.5f, Y + 0.5f, u, v);
  return Nested().GetSampleFloat(u - 0.5f, v - 0.5f);
}

void TTransformer::PrepareSampling() {
  // Checked first, so a failure leaves the nested sampler unprepared.
  TTransformation& mapping = Mapping();
  TNestedSampler::PrepareSampling();
  if (!mapping.TransformValid()) mapping.PrepareMapping();
}

bool TTransformer::HasBounds() const { return Mapping().HasTransformedBounds() && Nested().HasBounds(); }

TFloatRect TTransformer::GetSampleBounds() const {
  TFloatRect covered;
  IntersectRect(covered, Nested().GetSampleBounds(), Mapping().SrcRect());
  return Mapping().GetTransformedBounds(covered);
}

void TTransformer::AssignTo(TNestedSampler& Dest) const {
  TNestedSampler::AssignTo(Dest);
  if (auto* transformer = dynamic_cast<TTransformer*>(&Dest)) transformer->SetTransformation(FTransformation);
}

// ---- TransformBitmap -----------------------------------------------------------------

void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation) {
  TransformBitmap(Dst, Src, Transformation, nullptr);
}

void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation,
                     TRasterizer* Rasterizer) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  TransformBitmap(Dst, Src, Transformation, Dst->BoundsRect(), Rasterizer);
}

void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation, TRect DstRect,
                     TRasterizer* Rasterizer) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  if (Src == nullptr) throw EBitmapException("Source bitmap is nil");
  if (Transformation == nullptr) throw ERasterError("Transformation is nil");

  // Only a rectangle that misses the clip returns here; one that merely touches
  // it (or was empty already) holds no pixel but is drawn and reported as usual.
  if (!IntersectRect(DstRect, DstRect, Dst->ClipRect())) return;

  if (!Dst->MeasuringMode()) {
    std::unique_ptr<TRasterizer> ownRasterizer;
    if (Rasterizer == nullptr) {
      ownRasterizer = DefaultRasterizerClass();
      Rasterizer = ownRasterizer.get();
    }
    TTransformer transformer(Src->Resampler(), Transformation);
    // The transformer lives only for this call: the caller's rasterizer must
    // not keep pointing at it.
    TCustomSampler* previous = Rasterizer->Sampler();
    Rasterizer->SetSampler(&transformer);
    try {
      Rasterizer->Rasterize(Dst, DstRect, *Src);
    } catch (...) {
      Rasterizer->SetSampler(previous);
      EndMmxState();
      throw;
    }
    Rasterizer->SetSampler(previous);
    EndMmxState();
  }
  Dst->Changed(DstRect, AreaKindRect);
}

// ---- Determinants --------------------------------------------------------------------

namespace raster_portable {

float Determinant32(float A1, float A2, float B1, float B2) {
  const float p = A1 * B2;
  const float q = A2 * B1;
  return p - q;
}

double Determinant64(double A1, double A2, double B1, double B2) {
  const double p = A1 * B2;
  const double q = A2 * B1;
  return p - q;
}

}  // namespace raster_portable

namespace raster_x87 {

static_assert(std::numeric_limits<long double>::digits >= 64, "the extended forms need a 64-bit mantissa");

float Determinant32(float A1, float A2, float B1, float B2) {
  return static_cast<float>(static_cast<long double>(A1) * B2 - static_cast<long double>(A2) * B1);
}

double Determinant64(double A1, double A2, double B1, double B2) {
  return static_cast<double>(static_cast<long double>(A1) * B2 - static_cast<long double>(A2) * B1);
}

}  // namespace raster_x87

void RegisterTransformRoutines() {
  TFunctionRegistry* registry = CreateRegistry("Ras32_Transforms bindings");
  registry->RegisterBinding(fidDeterminant32, &Determinant32);
  registry->RegisterBinding(fidDeterminant64, &Determinant64);
  registry->Add(fidDeterminant32, &raster_portable::Determinant32);
  registry->Add(fidDeterminant64, &raster_portable::Determinant64);
  // Needs no extension: the extended-precision unit is part of every x86.
  registry->Add(fidDeterminant32, &raster_x87::Determinant32);
  registry->Add(fidDeterminant64, &raster_x87::Determinant64);
  registry->RebindAll();
}
