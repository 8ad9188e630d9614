#pragma once
// The 32-bit bitmap of the raster library.
//
// TCustomBitmap32 is a pixel map with a clip rectangle, draw and combine modes,
// a master alpha and change notification. Its pixels belong to a backend
// (raster/backends.h): Bits points at Width x Height TColor32 values, row after
// row, top row first, without gaps, so pixel (X, Y) is element X + Y x Width.
// The memory moves whenever the size or the backend changes: re-read Bits and
// ScanLine after SetSize. A bitmap is empty when Width or Height is 0 or its
// backend holds no surface; an empty bitmap has no pixels.
//
// TBitmap32 keeps its pixels in a device backend (raster/device_backend.h) and
// adds a canvas, a font and text output through it.
//
// Notification: Changed reports the changed area to OnAreaChanged and then
// fires OnChange. Between BeginUpdate and EndUpdate neither fires, except that
// in measuring mode the area still goes to the measuring callback; OnChange
// never fires while measuring. EndUpdate does not call Changed itself.
//
// Threads: a bitmap is used on one thread at a time (drawing happens on the
// user-interface thread); Lock/Unlock are for callers that share it, and the
// destructor clears the bitmap under the lock. The library must be started
// (RasterLibraryStartup) before the first bitmap is created.

#include "raster/bitmap32_types.h"
#include "raster/blend.h"
#include "raster/geometry.h"
#include "raster/low_level.h"
#include "raster/persistent.h"
#include "raster/samplers.h"

#include <QString>

#include <initializer_list>
#include <memory>
#include <vector>

class QImage;
class QPaintDevice;
class TBitmap;
class TCanvas;
class TFont;
class TStream;
class TCustomBackend;

class TCustomBitmap32 : public TCustomMap {
public:
  // A memory backend (every pixel $FF000000 once sized), OuterColor 0,
  // MasterAlpha 255, PenColor $FFFFFFFF, StippleStep 1, cmBlend, wmClamp and a
  // TNearestResampler.
  TCustomBitmap32();
  ~TCustomBitmap32() override;

  // Asks the backend first, then the bitmap itself.
  bool QueryInterface(const TGUID& IID, void*& Obj) override;

  // ---- Size, pixels, backend ------------------------------------------------
  bool Empty() const override;
  PColor32 Bits() const { return FBits; }
  // Neither checks its arguments.
  PColor32 ScanLine(int Y) const { return FBits + ptrdiff_t{Y} * FWidth; }
  PColor32 PixelPtr(int X, int Y) const { return FBits + (ptrdiff_t{Y} * FWidth + X); }
  TColor32 Pixel(int X, int Y) const { return *PixelPtr(X, Y); }
  void SetPixel(int X, int Y, TColor32 Value) { *PixelPtr(X, Y) = Value; }
  // OuterColor outside ClipRect; writes only inside it.
  TColor32 PixelS(int X, int Y) const;
  void SetPixelS(int X, int Y, TColor32 Value);
  // Coordinates folded into ClipRect by the wrap routines of WrapMode.
  TColor32 PixelW(int X, int Y) const;
  void SetPixelW(int X, int Y, TColor32 Value);

  TCustomBackend* Backend() const { return FBackend; }
  // Installs Value (which takes over the pixels) and releases the old backend;
  // nothing for nullptr or the current backend. The bitmap takes over the
  // caller's reference to Value.
  virtual void SetBackend(TCustomBackend* Value);
  // Adds a reference to the current backend and returns it (for RevertBackend).
  TCustomBackend* ReleaseBackend();

  // ---- Clearing and alpha -----------------------------------------------------
  // Clear($FF000000).
  void Clear();
  // Nothing (not even Changed) for an empty bitmap; unless measuring fills
  // ClipRect when Clipping, else every pixel; then Changed.
  void Clear(TColor32 FillColor);
  // Rows Y1..Y2-1 from X1 get X2 - X1 copies of Value, unclipped; reports the
  // rectangle.
  void FillRect(int X1, int Y1, int X2, int Y2, TColor32 Value);

  // ---- Fills, frames, whole-picture operations (bitmap32_drawing.cpp) --------
  // Rectangles: X1 <= x < X2, Y1 <= y < Y2. S forms draw only inside ClipRect
  // and do nothing for an empty rectangle or one that misses ClipRect.
  void FillRectS(int X1, int Y1, int X2, int Y2, TColor32 Value);
  // Alpha 255: FillRect; alpha 0: nothing, nothing reported; else every pixel
  // gets CombinePxInto(Value, pixel, alpha) (cmBlend) or MergePxInto (cmMerge).
  void FillRectT(int X1, int Y1, int X2, int Y2, TColor32 Value);
  void FillRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value);
  // Measuring: only ARect is reported.
  void FillRectS(const TRect& ARect, TColor32 Value);
  void FillRectTS(const TRect& ARect, TColor32 Value);
  // One-pixel frames; every border pixel is drawn once.
  void FrameRectS(int X1, int Y1, int X2, int Y2, TColor32 Value);
  void FrameRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value);
  // Stippled frame drawn clockwise so that the pattern runs on around corners.
  void FrameRectTSP(int X1, int Y1, int X2, int Y2);
  void FrameRectS(const TRect& ARect, TColor32 Value) { FrameRectS(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, Value); }
  void FrameRectTS(const TRect& ARect, TColor32 Value) { FrameRectTS(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, Value); }
  // Contrast > 0: white edges (alpha Contrast x 512 div 100) top/left, black
  // (alpha Contrast x 255 div 100) bottom/right; < 0 the other way round.
  void RaiseRectTS(int X1, int Y1, int X2, int Y2, int Contrast);
  void RaiseRectTS(const TRect& ARect, int Contrast) { RaiseRectTS(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, Contrast); }

  // Shifts the whole pixel block by Dx + Dy x Width positions (pixels leaving
  // one row enter the next); FillBack fills the uncovered rows and columns.
  void Roll(int Dx, int Dy, bool FillBack, TColor32 FillColor);
  // Dst nullptr or this: in place.
  void FlipHorz(TCustomBitmap32* Dst = nullptr);
  void FlipVert(TCustomBitmap32* Dst = nullptr);
  // Clockwise: (x, y) -> (Height - 1 - y, x). Counter-clockwise: (y, Width - 1 - x).
  void Rotate90(TCustomBitmap32* Dst = nullptr);
  void Rotate180(TCustomBitmap32* Dst = nullptr);
  void Rotate270(TCustomBitmap32* Dst = nullptr);

  // Drawing onto another bitmap with this bitmap's DrawMode, MasterAlpha,
  // CombineMode, OuterColor and OnPixelCombine. Unscaled forms: CopyBlock into
  // Dst's ClipRect; DstRect forms: ResampleTransfer with Resampler.
  void DrawTo(TCustomBitmap32* Dst);
  void DrawTo(TCustomBitmap32* Dst, int DstX, int DstY);
  void DrawTo(TCustomBitmap32* Dst, int DstX, int DstY, const TRect& SrcRect);
  void DrawTo(TCustomBitmap32* Dst, const TRect& DstRect);
  void DrawTo(TCustomBitmap32* Dst, const TRect& DstRect, const TRect& SrcRect);
  // Src drawn onto this bitmap; nothing for nullptr.
  void Draw(int DstX, int DstY, TCustomBitmap32* Src);
  void Draw(int DstX, int DstY, const TRect& SrcRect, TCustomBitmap32* Src);
  void Draw(const TRect& DstRect, const TRect& SrcRect, TCustomBitmap32* Src);
  void ResetAlpha() { ResetAlpha(255); }
  // Unless measuring sets every alpha byte and keeps the colour bytes; Changed.
  void ResetAlpha(uint8_t AlphaValue);

  // ---- Clipping ---------------------------------------------------------------
  TRect BoundsRect() const { return TRect{0, 0, FWidth, FHeight}; }
  const TRect& ClipRect() const { return FClipRect; }
  // Value cut to BoundsRect ((0, 0, 0, 0) when they do not meet); re-chooses the
  // wrap routines. No notification.
  void SetClipRect(const TRect& Value);
  void ResetClipRect() { SetClipRect(BoundsRect()); }
  // ClipRect differs from BoundsRect.
  bool Clipping() const { return FClipping; }
  // ClipRect x 65536 and x 256.
  const TFixedRect& FixedClipRect() const { return FFixedClipRect; }
  const TRect& ClipRect256() const { return F256ClipRect; }

  // ---- Settings (each setter stores a different value and calls Changed) ----
  TDrawMode DrawMode() const { return FDrawMode; }
  void SetDrawMode(TDrawMode Value);
  TCombineMode CombineMode() const { return FCombineMode; }
  // Also re-reads BlendProc for the new mode.
  void SetCombineMode(TCombineMode Value);
  TWrapMode WrapMode() const { return FWrapMode; }
  // Also re-chooses the wrap routines for ClipRect.
  void SetWrapMode(TWrapMode Value);
  uint32_t MasterAlpha() const { return FMasterAlpha; }
  void SetMasterAlpha(uint32_t Value);
  TColor32 OuterColor() const { return FOuterColor; }
  void SetOuterColor(TColor32 Value) { FOuterColor = Value; }
  TColor32 PenColor() const { return FPenColor; }
  void SetPenColor(TColor32 Value) { FPenColor = Value; }
  float StippleCounter() const { return FStippleCounter; }
  void SetStippleCounter(float Value) { FStippleCounter = Value; }
  float StippleStep() const { return FStippleStep; }
  void SetStippleStep(float Value) { FStippleStep = Value; }

  // The blend-into-memory routine of CombineMode, cached.
  TBlendMem* BlendProc() const { return FBlendProc; }
  TWrapProcEx WrapProcHorz() const { return FWrapProcHorz; }
  TWrapProcEx WrapProcVert() const { return FWrapProcVert; }

  TCustomResampler* Resampler() const { return FResampler.get(); }
  // nullptr or the current resampler is ignored; otherwise the old one is freed,
  // the bitmap owns the new one and Changed follows.
  void SetResampler(std::unique_ptr<TCustomResampler> Value);
  QString ResamplerClassName() const;
  // An empty name, the current class's name or an unknown name does nothing;
  // otherwise a resampler of that class (raster/resamplers.h) replaces the old.
  void SetResamplerClassName(const QString& Value);

  // ---- Notification -------------------------------------------------------------
  bool MeasuringMode() const { return FMeasuringMode; }
  // Measuring on: drawing writes no pixel and only reports areas to Callback.
  void BeginMeasuring(const TAreaChangedEvent& Callback);
  void EndMeasuring();

  // OnAreaChanged(this, BoundsRect, AreaKindRect) when not updating or when
  // measuring; then, unless measuring, OnChange when not updating.
  void Changed() override;
  void Changed(const TRect& Area, uint32_t Info = AreaKindRect);
  // Only OnChange (when not updating), without an area.
  void PropertyChanged();

  TPixelCombineEvent OnPixelCombine;
  TAreaChangedEvent OnAreaChanged;

  // ---- Assignment ---------------------------------------------------------------
  // Between BeginUpdate and EndUpdate + Changed (also when an exception passes):
  //   nullptr          SetSize(0, 0);
  //   TCustomBitmap32  its pixels and settings;
  //   TBitmap          imported (alpha 255 unless it is pf32bit, whose fourth
  //                    bytes become the alpha; when it is Transparent, the
  //                    pixels of its TransparentColor get alpha 0);
  //   anything else    EConvertError.
  void Assign(TObject* Source);
  // A picture (any image the toolkit decodes) drawn over white, alpha 255.
  void Assign(const QImage& Picture);
  // A TBitmap becomes pf32bit with these pixels, alpha in the fourth byte;
  // anything else: EConvertError.
  void AssignTo(TObject* Dest);
  // The picture becomes an ARGB32 image of these pixels.
  void AssignTo(QImage& Picture);

  // ---- Streams and files --------------------------------------------------------
  // A 54-byte header ("BM", 32 bits per pixel, uncompressed) and B, G, R, A per
  // pixel. SaveTopDown false writes the height negative and the rows top row
  // first; true writes it positive and the rows last row first.
  void SaveToStream(TStream& Stream, bool SaveTopDown = false);
  // A 32-bit uncompressed BMP is read at its pixel offset; anything else is read
  // as a toolkit TBitmap (EInvalidGraphic when it is no image it knows) and
  // assigned. Pixels the stream cannot hold throw EReadError. The bitmap is
  // unchanged on a failure.
  void LoadFromStream(TStream& Stream);
  void SaveToFile(const QString& FileName, bool SaveTopDown = false);
  // A BMP through LoadFromStream, any other picture format through the toolkit.
  void LoadFromFile(const QString& FileName);

  // ---- Sub-pixel and blended pixel access (pixel_access.cpp) ------------------
  // Suffixes: S clipped against ClipRect, T blended with BlendProc (CombineMode),
  // W coordinates folded into ClipRect by the wrap routines, X 16.16
  // coordinates, F float coordinates, R read through the Resampler. Fixed and
  // float writes are anti-aliased (they blend). No accessor calls Changed.
  //
  // 16.16 to 24.8: (v + 127) shr 8 - a logical shift in PixelX, whose
  // coordinates must not be negative, an arithmetic one in PixelXS and the
  // PixelXW write. Floats: round(v x 256) (halves to even).
  TColor32 PixelX(TFixed X, TFixed Y) const;
  void SetPixelX(TFixed X, TFixed Y, TColor32 Value);
  TColor32 PixelXS(TFixed X, TFixed Y) const;
  void SetPixelXS(TFixed X, TFixed Y, TColor32 Value);
  // Bilinear mix of the four wrapped neighbours of (X shr 16, Y shr 16),
  // weighted by bits 8..15 of X and Y; OuterColor for an empty ClipRect.
  TColor32 PixelXW(TFixed X, TFixed Y) const;
  // SetPixelT256 at the 24.8 position wrapped into Left..Right - 128 and
  // Top..Bottom - 128 of the 24.8 clip rectangle. Nothing for an empty ClipRect;
  // a neighbour that would fall outside the bitmap is left out.
  void SetPixelXW(TFixed X, TFixed Y, TColor32 Value);
  TColor32 PixelF(float X, float Y) const;
  void SetPixelF(float X, float Y, TColor32 Value);
  TColor32 PixelFS(float X, float Y) const;
  void SetPixelFS(float X, float Y, TColor32 Value);
  // PixelXW at (Fixed(X), Fixed(Y)).
  TColor32 PixelFW(float X, float Y) const;
  void SetPixelFW(float X, float Y, TColor32 Value);
  // Resampler.GetSampleFloat / GetSampleFixed, prepared and finalized around
  // the read unless the resampler is already in a sampling run.
  TColor32 PixelFR(float X, float Y) const;
  TColor32 PixelXR(TFixed X, TFixed Y) const;

  // BlendProc(Value, pixel); unclipped.
  void SetPixelT(int X, int Y, TColor32 Value);
  // Blends into *Ptr and advances Ptr by one pixel.
  void SetPixelT(PColor32& Ptr, TColor32 Value);
  // SetPixelT inside ClipRect only.
  void SetPixelTS(int X, int Y, TColor32 Value);

  // 24.8 coordinates. Spreads C over the pixel (X, Y) div 256, its right
  // neighbour and the two below them, weighted by GammaTable of the fractions
  // (left GammaTable[fx xor 255], right GammaTable[fx], likewise top and
  // bottom). cmBlend: CombinePxInto(C, P, Ca x wx x wy shr 16); cmMerge:
  // CombinePxInto(MergePx(C, P), P, wx x wy shr 8). Order: top-left, top-right,
  // bottom-right, bottom-left. No bounds check: X, Y >= 0 and the four pixels
  // inside the bitmap.
  void SetPixelT256(int32_t X, int32_t Y, TColor32 C);
  // Nothing outside [Left - 256, Right) x [Top - 256, Bottom) of the 24.8 clip
  // rectangle; of the four pixels only those inside ClipRect are written.
  // Positions are floored (X = 256 x px + fx also for negative X).
  void SetPixelTS256(int32_t X, int32_t Y, TColor32 C);
  // SampleBilinear of the four pixels at (X, Y) div 256 with the weights
  // GammaTable[fx xor 255] (left) and GammaTable[fy xor 255] (top). No check.
  TColor32 GetPixelT256(int32_t X, int32_t Y) const;
  // With r = ClipRect.Right - 1, b = ClipRect.Bottom - 1: OuterColor left of or
  // above the 24.8 clip rectangle; GetPixelT256 when X < 256 r and Y < 256 b;
  // pixel (r, Y div 256) at X = 256 r, Y <= 256 b; pixel (X div 256, b) at
  // Y = 256 b, X <= 256 r; OuterColor otherwise.
  TColor32 GetPixelTS256(int32_t X, int32_t Y) const;

  // ---- Stipple (line_spans.cpp) -----------------------------------------------
  // The pattern becomes a copy of the colours; StippleCounter 0.
  void SetStipple(const TArrayOfColor32& NewStipple);
  void SetStipple(std::initializer_list<TColor32> NewStipple);
  const TArrayOfColor32& StipplePattern() const { return FStipplePattern; }
  // Nothing for an empty pattern; with L entries and d = LengthPixels x
  // StippleStep <> 0: counter := counter + d - L x floor((counter + d) / L).
  void AdvanceStippleCounter(float LengthPixels);
  // $FF000000 for an empty pattern. Otherwise, with the counter brought into
  // [0, L), i = round(counter - 0.5) and w = round((counter - i) x 255): entry
  // i when w = 0, else CombinePx(entry i, entry (i + 1) mod L, 255 - w); the
  // counter then grows by StippleStep.
  TColor32 GetStippleColor();

  // ---- Spans (line_spans.cpp; X2 and Y2 inclusive) ------------------------------
  // Unclipped spans: store (HorzLine, VertLine) or blend (T); nothing when the
  // second end lies before the first. No notification.
  void HorzLine(int X1, int Y, int X2, TColor32 Value);
  void HorzLineT(int X1, int Y, int X2, TColor32 Value);
  void VertLine(int X, int Y1, int Y2, TColor32 Value);
  void VertLineT(int X, int Y1, int Y2, TColor32 Value);
  // Clipped spans: ends sorted and cut to ClipRect; report the cut rectangle
  // (X1, Y, X2, Y + 1) resp. (X, Y1, X + 1, Y2). Measuring: only the uncut one.
  void HorzLineS(int X1, int Y, int X2, TColor32 Value);
  void HorzLineTS(int X1, int Y, int X2, TColor32 Value);
  void VertLineS(int X, int Y1, int Y2, TColor32 Value);
  void VertLineTS(int X, int Y1, int Y2, TColor32 Value);
  // Stippled, clipped, blended; the counter advances over the clipped-away
  // parts as if they had been drawn, so the phase does not depend on ClipRect.
  void HorzLineTSP(int X1, int Y, int X2);
  void VertLineTSP(int X, int Y1, int Y2);
  // Anti-aliased spans between 16.16 ends on a 16.16 row (column): coverage
  // weights through GammaTable, Value's alpha and CombineMode ignored.
  // Unclipped; report RectFromFloat(FixedRect(X1, Y, X2, Y + 1)) as a line.
  void HorzLineX(TFixed X1, TFixed Y, TFixed X2, TColor32 Value);
  void VertLineX(TFixed X, TFixed Y1, TFixed Y2, TColor32 Value);
  // Clipped: HorzLineX of the span clamped to the fixed clip rectangle when it
  // is longer than a pixel and its row lies inside, else the clipped line form;
  // the uncut area is reported.
  void HorzLineXS(TFixed X1, TFixed Y, TFixed X2, TColor32 Value);
  void VertLineXS(TFixed X, TFixed Y1, TFixed Y2, TColor32 Value);

  // ---- Lines (lines_int.cpp, lines_aa.cpp, lines_fixed.cpp) ---------------------
  // L: whether the end point itself is drawn. Lines report their end points
  // with AreaKindLine + 2 (LineXSP: + 4), also in measuring mode, where nothing
  // is drawn.
  //
  // Integer Bresenham lines: with major/minor deltas and h = major div 2, pixel
  // k (0 <= k < major) is k steps along the major axis and
  // (h + k x minor) div major steps along the minor one (a diagonal counts as
  // y-major). The S forms draw exactly the pixels of that set that lie inside
  // ClipRect; nothing is reported when none does.
  void Line(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  void LineT(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  void LineS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  void LineTS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  // Anti-aliased integer lines: pixel pairs across the minor axis weighted by
  // GammaTable of a 16-bit accumulator. LineAS draws the LineA pixels inside
  // ClipRect (with L taken as true when the end point lies outside).
  void LineA(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  void LineAS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L = false);
  void MoveTo(int X, int Y);
  void LineToS(int X, int Y);
  void LineToTS(int X, int Y);
  void LineToAS(int X, int Y);

  // Anti-aliased 16.16 and float lines (F converts with Fixed). LineX and LineXP
  // need non-negative coordinates and the line inside the bitmap; the S forms
  // clip; the P forms take every point's colour from GetStippleColor.
  void LineX(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L = false);
  void LineF(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L = false);
  void LineXS(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L = false);
  void LineFS(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L = false);
  void LineXP(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L = false);
  void LineFP(float X1, float Y1, float X2, float Y2, bool L = false);
  void LineXSP(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L = false);
  void LineFSP(float X1, float Y1, float X2, float Y2, bool L = false);
  void MoveToX(TFixed X, TFixed Y);
  void MoveToF(float X, float Y);
  void LineToXS(TFixed X, TFixed Y);
  void LineToFS(float X, float Y);
  void LineToXSP(TFixed X, TFixed Y);
  void LineToFSP(float X, float Y);

  TPoint RasterPos() const { return TPoint{RasterX, RasterY}; }
  TFixed RasterXFixed() const { return RasterXF; }
  TFixed RasterYFixed() const { return RasterYF; }

  // The binary "Data" property: Width (int32), Height (int32), then the pixels
  // in memory order. ReadData leaves the bitmap unchanged when the data are
  // bad (EReadError) and calls Changed in every case.
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);
  // Whether "Data" is written: without an ancestor when the bitmap is not empty;
  // with one when it is not a TCustomBitmap32 or its content differs.
  bool DataPropertyStored(const TObject* Ancestor) const;
  // Both empty, or the same class with the same size and pixels.
  bool SameContentAs(const TCustomBitmap32* B) const;

protected:
  struct TNoBackend {};
  // Everything except the backend, which the derived constructor makes.
  explicit TCustomBitmap32(TNoBackend);

  void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) override;
  // The backend's OnChange: takes the new Bits and resets ClipRect.
  virtual void BackendSwitched(TObject* Sender);
  // The backend's OnChanging, before the surface goes.
  virtual void BackendSwitching(TObject* Sender);
  // Dst takes the size and the pixels.
  virtual void CopyPixelsInto(TCustomBitmap32* Dst) const;
  // DrawMode, CombineMode, WrapMode, MasterAlpha, OuterColor and the resampler.
  virtual void CopyPropertiesInto(TCustomBitmap32* Dst) const;
  virtual void MakeDefaultBackend();
  // Unhooks the backend and releases the bitmap's reference.
  virtual void DropBackend();
  // The destructor's work; runs once, from the most derived destructor first.
  void Destroying();

  TCustomBackend* FBackend = nullptr;
  PColor32 FBits = nullptr;
  TRect FClipRect;
  TFixedRect FFixedClipRect;
  TRect F256ClipRect;
  bool FClipping = false;
  TDrawMode FDrawMode = dmOpaque;
  TCombineMode FCombineMode = cmBlend;
  TWrapMode FWrapMode = wmClamp;
  uint32_t FMasterAlpha = 255;
  TColor32 FOuterColor = 0;
  TColor32 FPenColor = 0xFFFFFFFFu;
  float FStippleCounter = 0;
  TArrayOfColor32 FStipplePattern;
  float FStippleStep = 1.0f;
  TAreaChangedEvent FOldOnAreaChanged;
  bool FMeasuringMode = false;
  std::unique_ptr<TCustomResampler> FResampler;
  TWrapProcEx FWrapProcHorz = nullptr;
  TWrapProcEx FWrapProcVert = nullptr;
  TBlendMem* FBlendProc = nullptr;
  // The pen position of MoveTo/LineTo.
  int32_t RasterX = 0;
  int32_t RasterY = 0;
  TFixed RasterXF = 0;
  TFixed RasterYF = 0;

private:
  void Initialize();
  void ChooseWrapProcs();
  void ImportBitmap(TBitmap& Graphic);
  void ExportBitmap(TBitmap& Graphic);
  void ImportPicture(const QImage& Picture);
  void LoadPictureFromStream(TStream& Stream);
  void SetPixelsFromBuffer(int Width, int Height, const std::vector<TColor32>& Pixels, bool BottomUp);

  bool FDestroyed = false;
};

// Text-format flags of Textout(DstRect, Flags, Text).
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
inline constexpr uint32_t DT_VCENTER = 0x0004;
inline constexpr uint32_t DT_BOTTOM = 0x0008;
inline constexpr uint32_t DT_WORDBREAK = 0x0010;
inline constexpr uint32_t DT_SINGLELINE = 0x0020;
inline constexpr uint32_t DT_NOCLIP = 0x0100;
inline constexpr uint32_t DT_CALCRECT = 0x0400;

class TBitmap32 : public TCustomBitmap32 {
public:
  // As TCustomBitmap32 with a device backend: a new surface reads 0
  // (transparent black).
  TBitmap32();
  ~TBitmap32() override;

  // The backend's canvas, created on first use and deleted before every resize
  // or backend switch (the next call makes a new one). EIntfCastError when the
  // backend has no canvas; DeleteCanvas checks first.
  TCanvas* Canvas();
  bool CanvasAllocated();
  void DeleteCanvas();
  // The font of text output; EIntfCastError without font support.
  TFont* Font();
  void SetFont(const TFont& Value);
  void UpdateFont();
  // The paint device of the pixels; EIntfCastError without a device context.
  QImage* Handle();

  // Text in Font; the reported areas are given in raster/device_backend.h.
  void Textout(int X, int Y, const QString& Text);
  void Textout(int X, int Y, const TRect& ClipRect, const QString& Text);
  void Textout(const TRect& DstRect, uint32_t Flags, const QString& Text);
  TSize TextExtent(const QString& Text);
  int TextWidth(const QString& Text) { return TextExtent(Text).cx; }
  int TextHeight(const QString& Text) { return TextExtent(Text).cy; }
  // Wide-string twins (QString is already UTF-16).
  void TextoutW(int X, int Y, const QString& Text) { Textout(X, Y, Text); }
  void TextoutW(int X, int Y, const TRect& ClipRect, const QString& Text) { Textout(X, Y, ClipRect, Text); }
  void TextoutW(const TRect& DstRect, uint32_t Flags, const QString& Text) { Textout(DstRect, Flags, Text); }
  TSize TextExtentW(const QString& Text) { return TextExtent(Text); }
  int TextWidthW(const QString& Text) { return TextExtent(Text).cx; }
  int TextHeightW(const QString& Text) { return TextExtent(Text).cy; }

  // Anti-aliased text (bitmap32_text.cpp). AALevel (clamped to -1..4): 1..4
  // render white text 2^AALevel times larger and average each block's blue
  // bytes into alpha; -1 and 0 render at size (anti-aliased by the toolkit
  // for -1) and take the blue byte as alpha. The result, in Color's RGB, is
  // blended at (X, Y) with MasterAlpha = Color shr 24.
  void RenderText(int X, int Y, const QString& Text, int AALevel, TColor32 Color);
  void RenderTextW(int X, int Y, const QString& Text, int AALevel, TColor32 Color);

  // Device drawing (the paint device of a canvas or image); alpha ignored.
  // Nothing for an empty bitmap.
  void DrawTo(QPaintDevice* hDst, int DstX, int DstY);
  void DrawTo(QPaintDevice* hDst, const TRect& DstRect, const TRect& SrcRect);
  // SrcRect of hSrc stretched into DstRect of this bitmap; reports DstRect.
  void Draw(const TRect& DstRect, const TRect& SrcRect, const QImage& hSrc);
  // SrcRect scaled into DstRect through tiles of at most 1024 x 1024
  // destination pixels, each resampled into a temporary bitmap and copied 1:1.
  void TileTo(QPaintDevice* hDst, const TRect& DstRect, const TRect& SrcRect);
  // The same onto a toolkit canvas: the pixels go through an opaque 24-bit
  // picture, so the canvas copies them and ignores their alpha as a device does.
  void DrawTo(TCanvas* hDst, int DstX, int DstY);
  void DrawTo(TCanvas* hDst, const TRect& DstRect, const TRect& SrcRect);
  void TileTo(TCanvas* hDst, const TRect& DstRect, const TRect& SrcRect);
  using TCustomBitmap32::Draw;
  using TCustomBitmap32::DrawTo;

  // Before installing Value hooks its font and canvas changes (a canvas change
  // calls Changed).
  void SetBackend(TCustomBackend* Value) override;

  TNotifyEvent OnHandleChanged;

protected:
  void DropBackend() override;
  void BackendSwitching(TObject* Sender) override;
  void BackendSwitched(TObject* Sender) override;
  void CopyPropertiesInto(TCustomBitmap32* Dst) const override;
  void MakeDefaultBackend() override;
  // OnHandleChanged(this).
  virtual void HandleChanged();

private:
  void FontChanged(TObject* Sender);
  void CanvasChanged(TObject* Sender);
};
