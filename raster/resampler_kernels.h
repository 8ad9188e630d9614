#pragma once
// Resampling kernels (filter function + width), the tap tables that turn a
// kernel into integer weights, and the separable two-pass kernel resampler.
//
// A kernel is a (Filter, width, RangeCheck) triple; every kernel goes through
// the same tap-table builder and the same resampling loop.

#include "raster/samplers.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class TCustomKernel {
public:
  virtual ~TCustomKernel() = default;
  virtual QString ClassName() const = 0;
  // The filter value at x (in source pixels from the centre), as a Single.
  virtual float Filter(float Value) = 0;
  // The radius outside which Filter is 0.
  virtual float GetWidth() = 0;
  // True when weighted sums may leave 0..255 (negative lobes) and must be limited.
  virtual bool RangeCheck() const { return false; }
  virtual std::unique_ptr<TCustomKernel> Clone() const = 0;
};

// sin(pi x) / (pi x) with pi x rounded to Single; 1 at 0.
float SinC(float Value);

class TBoxKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TBoxKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 1; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TBoxKernel>(*this); }
};

class TLinearKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TLinearKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 1; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TLinearKernel>(*this); }
};

class TCosineKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TCosineKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 1; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TCosineKernel>(*this); }
};

class TSplineKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TSplineKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 2; }
  bool RangeCheck() const override { return true; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TSplineKernel>(*this); }
};

class TMitchellKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TMitchellKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 2; }
  bool RangeCheck() const override { return true; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TMitchellKernel>(*this); }
};

class TCubicKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TCubicKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 2; }
  bool RangeCheck() const override { return true; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TCubicKernel>(*this); }
  float Coeff() const { return FCoeff; }
  void SetCoeff(float Value) { FCoeff = Value; }

private:
  float FCoeff = -0.5f;
};

class THermiteKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("THermiteKernel"); }
  float Filter(float Value) override;
  float GetWidth() override { return 2; }
  bool RangeCheck() const override { return true; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<THermiteKernel>(*this); }
  float Bias() const { return FBias; }
  void SetBias(float Value) { FBias = Value; }
  float Tension() const { return FTension; }
  void SetTension(float Value) { FTension = Value; }

private:
  float FBias = 0;
  float FTension = 0;
};

class TSinshKernel : public TCustomKernel {
public:
  QString ClassName() const override { return QStringLiteral("TSinshKernel"); }
  // 1 at 0, else sin(pi x) Coeff / sinh(pi Coeff x); not cut at the width.
  float Filter(float Value) override;
  float GetWidth() override { return FWidth; }
  bool RangeCheck() const override { return true; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TSinshKernel>(*this); }
  float Width() const { return FWidth; }
  void SetWidth(float Value) { FWidth = Value; }
  float Coeff() const { return FCoeff; }
  // A current Coeff of 0 keeps it (the filter would divide by zero); a new 0 is refused.
  void SetCoeff(float Value);

private:
  float FWidth = 3.0f;
  float FCoeff = 0.5f;
};

// SinC(|x|) x Window(|x|) inside the width, 0 outside.
class TWindowedSincKernel : public TCustomKernel {
public:
  float Filter(float Value) override;
  float GetWidth() override { return FWidth; }
  bool RangeCheck() const override { return true; }
  float Width() const { return FWidth; }
  float WidthReciprocal() const { return FWidthReciprocal; }
  // Limited to at most 16.
  void SetWidth(float Value);
  virtual float Window(float Value) = 0;

protected:
  float FWidth = 3;
  float FWidthReciprocal = 1.0f / 3;
};

class TLanczosKernel : public TWindowedSincKernel {
public:
  QString ClassName() const override { return QStringLiteral("TLanczosKernel"); }
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TLanczosKernel>(*this); }
};
class THannKernel : public TWindowedSincKernel {
public:
  QString ClassName() const override { return QStringLiteral("THannKernel"); }
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<THannKernel>(*this); }
};
class THammingKernel : public TWindowedSincKernel {
public:
  QString ClassName() const override { return QStringLiteral("THammingKernel"); }
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<THammingKernel>(*this); }
};
class TBlackmanKernel : public TWindowedSincKernel {
public:
  QString ClassName() const override { return QStringLiteral("TBlackmanKernel"); }
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TBlackmanKernel>(*this); }
};
class TGaussianKernel : public TWindowedSincKernel {
public:
  QString ClassName() const override { return QStringLiteral("TGaussianKernel"); }
  // 2 to the power (-x^2 / Sigma).
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TGaussianKernel>(*this); }
  float Sigma() const { return FSigma; }
  // Ignored while the current Sigma is 0; a new 0 is refused (division by zero).
  void SetSigma(float Value);

private:
  float FSigma = 1.33f;
  float FSigmaReciprocalLn2 = -0.693147180559945f / 1.33f;
};
class TAlbrechtKernel : public TWindowedSincKernel {
public:
  TAlbrechtKernel() { SetTerms(7); }
  QString ClassName() const override { return QStringLiteral("TAlbrechtKernel"); }
  // Sum k[i] c^i, c = cos(pi x / Width), by Horner's rule in Single.
  float Window(float Value) override;
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TAlbrechtKernel>(*this); }
  int Terms() const { return FTerms; }
  // Limited to 2..11; copies that row of coefficients.
  void SetTerms(int Value);

private:
  int FTerms = 7;
  std::array<double, 11> FCoefPointer{};
};

struct TKernelClass {
  QString ClassName;
  std::unique_ptr<TCustomKernel> (*Create)() = nullptr;
};
// Box, Linear, Cosine, Spline, Cubic, Mitchell, Albrecht, Lanczos, Gaussian,
// Blackman, Hann, Hamming, Sinsh, Hermite.
const std::vector<TKernelClass>& KernelClasses();
const TKernelClass* FindKernelClass(const QString& ClassName);

// ---- Tap tables ---------------------------------------------------------------

struct TPointRec {
  int32_t Pos = 0;     // source index
  int32_t Weight = 0;  // 256 = the whole pixel
  friend bool operator==(const TPointRec&, const TPointRec&) = default;
};
using TCluster = std::vector<TPointRec>;
using TMappingTable = std::vector<TCluster>;

// One cluster per destination position ClipLo .. ClipHi - 1 of the span
// DstLo..DstHi drawn from SrcLo..SrcHi; every cluster's weights add up to 256.
TMappingTable MakeTapTable(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi, TCustomKernel& Kernel);

// Separable two-pass resampling of SrcRect of Src into DstRect of Dst, written
// inside DstClip (cut to Dst and DstRect).
void KernelResample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                    const TRect& SrcRect, TCustomKernel& Kernel, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack);

// ---- Kernel resampler ---------------------------------------------------------

enum TKernelMode : uint8_t { kmDynamic, kmTableNearest, kmTableLinear };

class TKernelResampler : public TCustomResampler {
public:
  explicit TKernelResampler(TCustomBitmap32* ABitmap = nullptr);
  QString ClassName() const override { return QStringLiteral("TKernelResampler"); }

  TCustomKernel* Kernel() const { return FKernel.get(); }
  // nil is ignored; the resampler owns the new kernel.
  void SetKernel(std::unique_ptr<TCustomKernel> Value);
  QString KernelClassName() const { return FKernel->ClassName(); }
  // Empty, current or unknown names are ignored.
  void SetKernelClassName(const QString& Value);
  TKernelMode KernelMode() const { return FKernelMode; }
  void SetKernelMode(TKernelMode Value);
  int TableSize() const { return FTableSize; }
  // At least 2.
  void SetTableSize(int Value);

  float GetWidth() override { return FKernel->GetWidth(); }
  // Point sampling: the kernel's weights (dynamic or from the weight table)
  // around (ceil X, ceil Y) over premultiplied pixels; see the source for the
  // window of each PixelAccessMode.
  TColor32 GetSampleFloat(float X, float Y) override;
  // Keeps OuterColor; in the table modes builds TableSize + 1 rows of 2W + 1
  // weights, row r at offsets k + r / (TableSize - 1), each summing to 256.
  void PrepareSampling() override;
  void FinalizeSampling() override;
  // The weight table between PrepareSampling and FinalizeSampling (empty otherwise).
  const std::vector<std::vector<int32_t>>& WeightTable() const { return FWeightTable; }
  void Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) override;

private:
  std::unique_ptr<TCustomKernel> FKernel;
  TKernelMode FKernelMode = kmDynamic;
  int FTableSize = 32;
  std::vector<std::vector<int32_t>> FWeightTable;
  TColor32 FOuterColor = 0;

  // Weights for offsets -W..W at fraction d = ceil(p) - p.
  void Weights(float d, int w, int32_t* out);
};
