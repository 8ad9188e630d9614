#pragma once
// TPalMaker: the colour palette of a radargram and the small control in which
// the user edits it.
//
// A palette is a list of control points, each a position on a 0..256 scale with
// a colour; the red, green and blue components are interpolated between the
// points (pal_maker_tables.h) into the 256 entries of an 8-bit logical palette.
// The control draws a colour strip with tick marks and one marker per point
// below it. The user drags inner markers, adds a point by double-clicking beside
// the markers, recolours a point by double-clicking its marker and deletes the
// selected inner point with the Delete key.
//
// Geometry (client coordinates, W = client width, H = client height):
// Scale = (W - 12) / 256 pixels per palette unit; position p is drawn at
// x = round(p * Scale) + 6; the strip covers x 6..W-7, y 5..19; markers hang
// below it with their tip at y = Y (20).
//
// Every edit by the user posts WM_PALCHANGED to the control's own window; its
// handler fires OnChange, so the notification comes later from the message loop,
// once per posted message. Loading a palette fires nothing.
//
// Threads: user-interface thread only. The channel tables are shared by every
// palette control; each redraw fills and reads them in one call.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/custom_control.h"
#include "profiledata/palette_stream.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

constexpr UINT WM_PALCHANGED = WM_USER + 450;

// The class lives in a namespace of its own: the raster library has a tap
// record of the same name, and two classes of one name in one program break
// each other's inline members at link time.
namespace pal_maker_points {
class TPointRec : public TObject {
public:
  int32_t X = 0;
  // The top of the point's marker in the control.
  int32_t Y = 20;
  // May name a system colour.
  TColor cl = 0;
  bool Selected = false;

  // The bytes of cl with a system colour resolved to RGB.
  uint8_t RColor() const { return GetRByte(); }
  uint8_t GColor() const { return GetGByte(); }
  uint8_t BColor() const { return GetBByte(); }
  uint8_t GetRByte() const;
  uint8_t GetGByte() const;
  uint8_t GetBByte() const;
};
}  // namespace pal_maker_points
using pal_maker_points::TPointRec;

class TPalMaker : public TCustomControl {
public:
  // Tab stop, visible, button-face colour; the palette entries start as the grey
  // ramp and the points as the default palette.
  explicit TPalMaker(TComponent* AOwner);
  ~TPalMaker() override;

  // The palette stream. Loading replaces the points only when the stream holds
  // two or more; it redraws when the control has a parent and fires no change.
  // A stream with a count beyond what it holds (or than a palette may have)
  // raises EReadError and leaves the palette and the stream as they were.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);
  // A palette file holds one palette stream. The stream layer's errors
  // (EFCreateError, EFOpenError, EReadError) reach the caller.
  void WriteToFile(const QString& FileName) const;
  void ReadFromFile(const QString& FileName);

  // A new palette made from Pal; the caller owns it.
  HPALETTE GetPal() const;
  // Gives an 8-bit picture this palette; its pixel indices stay as they were.
  void SetPal(TBitmap* tmpBmp) const;
  // The 256 x 1 strip picture, pixel i = index i (owned by the control).
  TBitmap* GetBmp() const { return bmp.get(); }
  TMaxLogPalette* GetLogPal() const { return Pal.get(); }

  // Removes point i (ignored when i is not a point), sorts, redraws, notifies.
  void DelPoint(int i);
  // Appends a point with Y = 20 (no sort, no redraw); false, and nothing added,
  // when the palette already holds MaxPalettePoints points.
  bool AddPoint(int32_t X, TColor cl);
  // By X ascending; points at one position keep their order.
  void SortPoints();
  // The entries of Pal: the grey ramp, or the channel tables.
  void MakeLogPal(bool grey);
  void DrawPalette();
  // Sets OverNum to the last point whose marker is under (x, y), else -1, and
  // the cursor to the hand over a marker.
  void FindPointAt(int x, int y);
  void DoChange();
  void WMPalChanged(TMessage& Message);

  int PointCount() const { return static_cast<int>(ArrayOfPoints.size()); }
  TPointRec* Points(int i) const { return ArrayOfPoints.at(static_cast<size_t>(i)).get(); }
  // The points as the palette stream holds them.
  std::vector<TPalettePoint> PalettePoints() const;

  void DblClick() override;
  void Click() override {}

  TNotifyEvent OnChange;
  // OnPaint (inherited) fires at the end of every redraw.

  // Index of the point grabbed by the mouse, -1 when none.
  int Moved = -1;
  std::unique_ptr<TMaxLogPalette> Pal;
  std::unique_ptr<TBitmap> bmp;
  int BmpSize = 256;
  std::array<uint8_t, 256> buf{};
  std::vector<std::unique_ptr<TPointRec>> ArrayOfPoints;
  // Pixels per palette unit, recomputed at each redraw.
  double Scale = 0;
  // Mouse x minus the grabbed marker's centre at the press.
  int mX = 0;
  int mY = 0;
  // Index of the point under the mouse, -1 when none.
  int OverNum = -1;

protected:
  void Paint() override;
  void DoEnter() override;
  void DoExit() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool KeyDown(WORD& key, TShiftState shift) override;

private:
  void PostPalChanged();
  void WriteStripPixels();
  void DrawMarker(const TPointRec& point);
  // x = round(X * Scale) + 6.
  int PixelOf(int32_t X) const;
};
