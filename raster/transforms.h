#pragma once
// Transformations map destination coordinates to source coordinates (and back)
// so a bitmap can be drawn rotated, scaled, sheared or moved. Drawing runs
// backwards: for every destination pixel the rasterizer asks a TTransformer,
// which maps the pixel centre into the source and asks the source's resampler.
//
//   TTransformation        SrcRect, change tracking, integer/fixed/float forms
//   TAffineTransformation  a 3 x 3 matrix and its inverse
//   TNestedSampler         a sampler that hands its work to another one
//   TTransformer           a nested sampler that maps positions first
//   TransformBitmap        Src drawn into Dst through a transformation
//
// Matrices are indexed M[i][j]: i picks the input term (x, y, 1), j the output
// coordinate, so x' = M[0][0] x + M[1][0] y + M[2][0] and
// y' = M[0][1] x + M[1][1] y + M[2][1]. The y axis points down.
//
// Threads: a transformation and its samplers are used on one thread at a time.
// Ownership: a nested sampler owns neither its sampler nor its transformation.

#include "raster/bitmap32.h"
#include "raster/coordinate_helpers.h"
#include "raster/persistent.h"
#include "raster/samplers.h"

#include <cstdint>

class TRasterizer;

struct TFixedPoint {
  TFixed X = 0;
  TFixed Y = 0;
  bool operator==(const TFixedPoint&) const = default;
};

// A transformation class without the float forms was asked to map.
class ETransformNotImplemented : public ERasterError {
public:
  using ERasterError::ERasterError;
};

// A nested sampler was used without a sampler to pass the work to.
class ENestedException : public ERasterError {
public:
  using ERasterError::ERasterError;
};

class TTransformation : public TNotifiablePersistent {
public:
  // The part of the source the transformation covers; all zero at first, and a
  // transformer with bounds then draws nothing. The setter calls Changed.
  const TFloatRect& SrcRect() const { return FSrcRect; }
  void SetSrcRect(const TFloatRect& Value);
  // False after every change, true after PrepareMapping.
  bool TransformValid() const { return FTransformValid; }

  // TransformValid := false, then OnChange.
  void Changed() override;
  // Builds what the mapping forms read (the affine inverse and fixed matrices).
  virtual void PrepareMapping() {}

  virtual bool HasTransformedBounds() const { return true; }
  // The bounding box of ASrcRect mapped forward (unchanged here).
  virtual TFloatRect GetTransformedBounds(const TFloatRect& ASrcRect) const;
  TFloatRect GetTransformedBounds() const { return GetTransformedBounds(FSrcRect); }

  // Prepare when TransformValid is false, then map.
  TPoint ReverseTransform(const TPoint& P);
  TFixedPoint ReverseTransform(const TFixedPoint& P);
  TFloatPoint ReverseTransform(const TFloatPoint& P);
  TPoint Transform(const TPoint& P);
  TFixedPoint Transform(const TFixedPoint& P);
  TFloatPoint Transform(const TFloatPoint& P);

  // The mapping forms; they assume PrepareMapping has run. The integer forms go
  // through the fixed ones (X shl 16, results by FxRound), or through the float
  // ones where X shl 16 would not fit; the fixed forms go through the float
  // ones (results saturate at the ends of the 16.16 range). The float forms
  // raise ETransformNotImplemented here.
  virtual void ReverseTransformInt(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY);
  virtual void ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY);
  virtual void ReverseTransformFloat(float DstX, float DstY, float& SrcX, float& SrcY);
  virtual void TransformInt(int32_t SrcX, int32_t SrcY, int32_t& DstX, int32_t& DstY);
  virtual void TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY);
  virtual void TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY);

protected:
  TFloatRect FSrcRect;
  bool FTransformValid = false;
};

class TAffineTransformation : public TTransformation {
public:
  // The identity.
  TAffineTransformation();

  // Matrix := identity; Changed.
  void Clear();
  // Each operation is applied after the ones already in Matrix, then Changed.
  void Translate(float Dx, float Dy);
  void Scale(float Sx, float Sy);
  void Scale(float Value);
  // x' = x + Fx y, y' = Fy x + y.
  void Skew(float Fx, float Fy);
  // Alpha in degrees: x' = x cos a + y sin a, y' = -x sin a + y cos a, which
  // turns counter-clockwise on screen.
  void Rotate(float Alpha);
  // About (Cx, Cy).
  void Rotate(float Cx, float Cy, float Alpha);

  // The inverse (the identity when |determinant| < 0.00001, or when the
  // determinant is not a number) and both matrices in 16.16, rounded and
  // saturated; then TransformValid.
  void PrepareMapping() override;
  // The box of the four mapped corners; needs no PrepareMapping.
  TFloatRect GetTransformedBounds(const TFloatRect& ASrcRect) const override;
  using TTransformation::GetTransformedBounds;

  // The fixed forms sum the FxMul terms in 64 bits and saturate to 16.16.
  void ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) override;
  void ReverseTransformFloat(float DstX, float DstY, float& SrcX, float& SrcY) override;
  void TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) override;
  void TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY) override;

  // Write it directly and call Changed afterwards, or the old mapping stays.
  TFloatMatrix Matrix{};

  const TFloatMatrix& InverseMatrix() const { return FInverseMatrix; }
  const TFixedMatrix& FixedMatrix() const { return FFixedMatrix; }
  const TFixedMatrix& InverseFixedMatrix() const { return FInverseFixedMatrix; }

private:
  // Matrix := the operation applied after Matrix; Changed.
  void Apply(const TFloatMatrix& Op);

  TFloatMatrix FInverseMatrix{};
  TFixedMatrix FFixedMatrix{};
  TFixedMatrix FInverseFixedMatrix{};
};

// Passes its work on to Sampler. Without one, PrepareSampling,
// FinalizeSampling, HasBounds, GetSampleBounds and the sample forms raise
// ENestedException "Nested sampler is nil".
class TNestedSampler : public TCustomSampler {
public:
  explicit TNestedSampler(TCustomSampler* ASampler = nullptr) : FSampler(ASampler) {}

  TCustomSampler* Sampler() const { return FSampler; }
  void SetSampler(TCustomSampler* Value) { FSampler = Value; }

  TColor32 GetSampleInt(int32_t X, int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  void FinalizeSampling() override;
  bool HasBounds() const override;
  TFloatRect GetSampleBounds() const override;

  // Copies the published settings (Sampler; subclasses add theirs) into Dest.
  virtual void AssignTo(TNestedSampler& Dest) const;

protected:
  TCustomSampler& Nested() const;

  TCustomSampler* FSampler = nullptr;
};

// Maps pixel centres back into the source: a destination pixel (X, Y) samples
// the source at the reverse image of (X + 0.5, Y + 0.5), moved back by half a
// pixel, so a nearest resampler takes the source pixel containing that point.
// The fixed forms use $7FFF for the half pixel.
class TTransformer : public TNestedSampler {
public:
  explicit TTransformer(TCustomSampler* ASampler = nullptr, TTransformation* ATransformation = nullptr)
      : TNestedSampler(ASampler), FTransformation(ATransformation) {}

  TTransformation* Transformation() const { return FTransformation; }
  void SetTransformation(TTransformation* Value) { FTransformation = Value; }

  // Destination columns or rows beyond the 16.16 range go through the float forms.
  TColor32 GetSampleInt(int32_t X, int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  // The nested sampler's, then PrepareMapping when the mapping is not valid.
  // ERasterError "Transformation is nil" without a transformation.
  void PrepareSampling() override;
  // Both the transformation and the nested sampler have bounds.
  bool HasBounds() const override;
  // The nested sampler's bounds cut to SrcRect, mapped forward.
  TFloatRect GetSampleBounds() const override;

  void AssignTo(TNestedSampler& Dest) const override;

private:
  TTransformation& Mapping() const;

  TTransformation* FTransformation = nullptr;
};

// Src drawn into Dst through Transformation: every pixel of DstRect (cut to
// Dst's ClipRect) takes a sample of Src's resampler, put in by Src's draw mode,
// master alpha, combine mode, callback and outer colour. Nothing at all when
// DstRect misses ClipRect; otherwise Dst.Changed(DstRect cut to ClipRect) -
// also in measuring mode, where nothing is drawn, and also when the cut
// rectangle has no width or height (it touches the clip). The forms without a
// rectangle use Dst's BoundsRect; without a rasterizer (or with nullptr) a
// DefaultRasterizerClass one is made for the call. A given rasterizer gets its
// previous sampler back afterwards.
// EBitmapException "Destination bitmap is nil" / "Source bitmap is nil" and
// ERasterError "Transformation is nil" for missing arguments.
void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation);
void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation,
                     TRasterizer* Rasterizer);
void TransformBitmap(TCustomBitmap32* Dst, TCustomBitmap32* Src, TTransformation* Transformation, TRect DstRect,
                     TRasterizer* Rasterizer);

// ---- 2 x 2 determinants ("Ras32_Transforms bindings") --------------------------------

// A1 x B2 - A2 x B1.
using TDeterminant32 = float(float A1, float A2, float B1, float B2);
using TDeterminant64 = double(double A1, double A2, double B1, double B2);
extern TDeterminant32* Determinant32;
extern TDeterminant64* Determinant64;

enum TTransformFunctionId : int { fidDeterminant32, fidDeterminant64 };

namespace raster_portable {
// Every product and the difference rounded to the argument type.
float Determinant32(float A1, float A2, float B1, float B2);
double Determinant64(double A1, double A2, double B1, double B2);
}  // namespace raster_portable

namespace raster_x87 {
// Computed in extended precision, rounded once to the result type.
float Determinant32(float A1, float A2, float B1, float B2);
double Determinant64(double A1, double A2, double B1, double B2);
}  // namespace raster_x87

// Library start-up: builds the registry (the portable forms first, the
// extended-precision forms after them, so those win where they exist) and
// binds both variables.
void RegisterTransformRoutines();
