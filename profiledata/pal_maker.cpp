#include "profiledata/pal_maker.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/keys.h"
#include "profiledata/pal_maker_tables.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kMarkerTop = 20;
// A point far outside 0..256 (a damaged or foreign palette stream) has its marker
// far outside any control; its centre is held within this many pixels of the
// origin so that the outline's arithmetic stays inside the integer range.
constexpr int kFarMarkerPixel = 1 << 24;
constexpr TColor kTickColor = 0x999999;

// Filled by every redraw and read back by the same redraw, so one set serves
// every palette control.
TPaletteTables& ChannelTables() {
  static TPaletteTables tables;
  return tables;
}

}  // namespace

// ---- TPointRec ------------------------------------------------------------------

uint8_t TPointRec::GetRByte() const { return GetRValue(ColorToRGB(cl)); }
uint8_t TPointRec::GetGByte() const { return GetGValue(ColorToRGB(cl)); }
uint8_t TPointRec::GetBByte() const { return GetBValue(ColorToRGB(cl)); }

// ---- TPalMaker --------------------------------------------------------------------

TPalMaker::TPalMaker(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetVisible(true);
  SetColor(clBtnFace);
  Pal = std::make_unique<TMaxLogPalette>();
  Pal->palVersion = 0x300;
  Pal->palNumEntries = 256;
  MakeLogPal(true);
  bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf8bit);
  bmp->SetSize(256, 1);
  BmpSize = bmp->Width() * bmp->Height();
  for (int i = 0; i < 256; ++i) buf[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  bmp->SetPalette(GetPal());
  WriteStripPixels();
  AddPoint(0, clBlack);
  AddPoint(256, clWhite);
  Moved = -1;
  SetMessageHandler(WM_PALCHANGED, [this](TMessage& message) { WMPalChanged(message); });
}

TPalMaker::~TPalMaker() { Destroying(); }

std::vector<TPalettePoint> TPalMaker::PalettePoints() const {
  std::vector<TPalettePoint> points;
  points.reserve(ArrayOfPoints.size());
  for (const auto& p : ArrayOfPoints) points.push_back(TPalettePoint{p->X, p->cl});
  return points;
}

void TPalMaker::SaveToStream(TStream& stream) const { WritePaletteStream(stream, PalettePoints()); }

void TPalMaker::LoadFromStream(TStream& stream) {
  if (std::optional<std::vector<TPalettePoint>> points = ReadPaletteStream(stream)) {
    ArrayOfPoints.clear();
    for (const TPalettePoint& p : *points) AddPoint(p.X, p.cl);
  }
  if (Parent()) DrawPalette();
}

void TPalMaker::WriteToFile(const QString& FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}

void TPalMaker::ReadFromFile(const QString& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(file);
  Repaint();
}

HPALETTE TPalMaker::GetPal() const { return CreatePalette(*Pal); }

void TPalMaker::SetPal(TBitmap* tmpBmp) const {
  if (!tmpBmp) return;
  tmpBmp->SetPixelFormat(pf8bit);
  const int width = tmpBmp->Width();
  const int height = tmpBmp->Height();
  std::vector<uint8_t> indices(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    std::memcpy(indices.data() + static_cast<size_t>(y) * static_cast<size_t>(width), tmpBmp->ScanLine(y),
                static_cast<size_t>(width));
  tmpBmp->SetPalette(GetPal());
  for (int y = 0; y < height; ++y)
    std::memcpy(tmpBmp->ScanLine(y), indices.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                static_cast<size_t>(width));
}

void TPalMaker::DelPoint(int i) {
  if (i < 0 || i >= PointCount()) return;
  ArrayOfPoints.erase(ArrayOfPoints.begin() + i);
  SortPoints();
  DrawPalette();
  PostPalChanged();
}

bool TPalMaker::AddPoint(int32_t X, TColor cl) {
  if (PointCount() >= MaxPalettePoints) return false;
  auto point = std::make_unique<TPointRec>();
  point->X = X;
  point->Y = kMarkerTop;
  point->cl = cl;
  ArrayOfPoints.push_back(std::move(point));
  return true;
}

void TPalMaker::SortPoints() {
  // Stable, as an exchange sort that swaps only a strictly smaller later point.
  std::stable_sort(ArrayOfPoints.begin(), ArrayOfPoints.end(),
                   [](const std::unique_ptr<TPointRec>& a, const std::unique_ptr<TPointRec>& b) { return a->X < b->X; });
}

void TPalMaker::MakeLogPal(bool grey) {
  const TPaletteTables& tables = ChannelTables();
  for (size_t i = 0; i < 256; ++i) {
    TPaletteEntry& e = Pal->palPalEntry[i];
    if (grey) {
      e.peRed = e.peGreen = e.peBlue = static_cast<uint8_t>(i);
    } else {
      e.peRed = tables.Red[i];
      e.peGreen = tables.Green[i];
      e.peBlue = tables.Blue[i];
    }
    e.peFlags = PC_RESERVED;
  }
}

void TPalMaker::WriteStripPixels() { std::memcpy(bmp->ScanLine(0), buf.data(), buf.size()); }

int TPalMaker::PixelOf(int32_t X) const { return SaturateToInt32(Round(X * static_cast<long double>(Scale)) + 6); }

void TPalMaker::DrawMarker(const TPointRec& point) {
  TCanvas* canvas = Canvas();
  const int a = std::clamp(PixelOf(point.X), -kFarMarkerPixel, kFarMarkerPixel);
  const int b = point.Y;
  const std::vector<TPoint> outline{{a, b}, {a - 5, b + 5}, {a - 5, b + 16}, {a + 5, b + 16}, {a + 5, b + 5}};
  if (point.Selected) {
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->Pen()->SetColor(clWindowFrame);
    canvas->Polygon(outline);
  } else {
    // Light on the top and left, shadow and frame on the right and bottom.
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->Polygon(outline);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(Rect(a - 4, b + 6, a + 4, b + 15));
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(a + 4, b + 6);
    canvas->LineTo(a + 4, b + 16);
    canvas->MoveTo(a - 4, b + 15);
    canvas->LineTo(a + 5, b + 15);
    canvas->Pen()->SetColor(clWindowFrame);
    canvas->MoveTo(a + 1, b + 1);
    canvas->LineTo(a + 5, b + 5);
    canvas->LineTo(a + 5, b + 16);
    canvas->LineTo(a - 6, b + 16);
  }
  canvas->Brush()->SetColor(point.cl);
  canvas->FillRect(Rect(a - 3, b + 7, a + 3, b + 14));
}

void TPalMaker::DrawPalette() {
  const int w = ClientWidth();
  const int h = ClientHeight();
  Scale = (w - 12) / 256.0;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  if (Parent()) canvas->Brush()->SetColor(Parent()->Color());
  canvas->FillRect(Rect(1, kMarkerTop, w - 2, h - 2));

  canvas->Pen()->SetColor(kTickColor);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  for (const int x : {6, PixelOf(128), PixelOf(255)}) {
    canvas->MoveTo(x, 1);
    canvas->LineTo(x, 5);
  }

  std::vector<TPalettePoint> rgbPoints;
  rgbPoints.reserve(ArrayOfPoints.size());
  for (const auto& p : ArrayOfPoints) {
    DrawMarker(*p);
    rgbPoints.push_back(TPalettePoint{p->X, ColorToRGB(p->cl)});
  }

  // With more points than a polyline holds the tables keep what they had.
  RasterisePaletteTables(rgbPoints, ChannelTables());
  MakeLogPal(false);
  bmp->SetPalette(GetPal());
  WriteStripPixels();
  canvas->StretchDraw(Bounds(6, 5, w - 12, 15), *bmp);
  std::memcpy(buf.data(), bmp->ScanLine(0), buf.size());
  if (OnPaint) OnPaint(this);
}

void TPalMaker::FindPointAt(int x, int y) {
  OverNum = -1;
  for (int i = 0; i < PointCount(); ++i) {
    const TPointRec& p = *ArrayOfPoints[static_cast<size_t>(i)];
    const int64_t dx = Round(p.X * static_cast<long double>(Scale) + 6 - x);
    const int64_t dy = int64_t{p.Y} - y + 5;
    if (std::llabs(dx) < 6 && std::llabs(dy) < 9) OverNum = i;
  }
  SetCursor(OverNum >= 0 ? crHandPoint : crDefault);
}

void TPalMaker::DoChange() {
  if (OnChange) OnChange(this);
}

void TPalMaker::WMPalChanged(TMessage& Message) {
  DefaultHandler(Message);
  DoChange();
}

void TPalMaker::PostPalChanged() { PostMessage(Handle(), WM_PALCHANGED, 0, 0); }

void TPalMaker::Paint() {
  DrawPalette();
  if (Focused()) Canvas()->DrawFocusRect(Rect(0, 0, ClientWidth(), ClientHeight()));
}

void TPalMaker::DoEnter() {
  TCustomControl::DoEnter();
  Repaint();
}

void TPalMaker::DoExit() {
  TCustomControl::DoExit();
  Repaint();
}

void TPalMaker::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (CanFocus()) SetFocus();
  if (shift.Contains(ssDouble)) return;
  if (Cursor() != crHandPoint || OverNum < 0 || OverNum >= PointCount()) return;
  for (const auto& p : ArrayOfPoints) p->Selected = false;
  TPointRec& grabbed = *ArrayOfPoints[static_cast<size_t>(OverNum)];
  grabbed.Selected = true;
  const int previous = Moved;
  Moved = OverNum;
  mX = SaturateToInt32(int64_t{x} - PixelOf(grabbed.X));
  mY = y;
  if (Moved != previous) DrawPalette();
}

void TPalMaker::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  FindPointAt(x, y);
  // Only inner points move; the ends keep their positions.
  if (Moved <= 0 || Moved >= PointCount() - 1 || Scale <= 0) return;
  const int64_t cp = PixelOf(ArrayOfPoints[static_cast<size_t>(Moved - 1)]->X);
  const int64_t cn = PixelOf(ArrayOfPoints[static_cast<size_t>(Moved + 1)]->X);
  // The grabbed marker stays more than 6 pixels from both neighbours, so the
  // points keep their order.
  if (!(cp + mX + 6 < x && x < cn + mX - 6)) return;
  ArrayOfPoints[static_cast<size_t>(Moved)]->X = SaturateToInt32(Round((int64_t{x} - 6 - mX) / static_cast<long double>(Scale)));
  DrawPalette();
  PostPalChanged();
}

void TPalMaker::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  Moved = -1;
}

void TPalMaker::DblClick() {
  TCustomControl::DblClick();
  if (Cursor() == crHandPoint) {
    for (const auto& p : ArrayOfPoints) {
      if (!p->Selected) continue;
      TColor color = p->cl;
      if (ChooseColor(color)) p->cl = color;
    }
    DrawPalette();
    Moved = -1;
  } else {
    // A point goes only where the strip has a colour to give it: not in the
    // margins, not past what a palette may hold.
    if (Scale <= 0 || PointCount() >= MaxPalettePoints) return;
    const int64_t p = Round((MouseClientPos().X - 6) / static_cast<long double>(Scale));
    if (p < 0 || p > 256) return;
    // Position 256 is the right end of the strip, whose last pixel is 255.
    const TColor color = bmp->Canvas()->Pixels(static_cast<int>(std::min<int64_t>(p, 255)), 0);
    AddPoint(static_cast<int32_t>(p), color);
    SortPoints();
    DrawPalette();
  }
  PostPalChanged();
}

bool TPalMaker::KeyDown(WORD& key, TShiftState shift) {
  if (!TCustomControl::KeyDown(key, shift)) return false;
  if (key == VK_DELETE && PointCount() >= 3) {
    for (int i = 1; i <= PointCount() - 2; ++i) {
      if (ArrayOfPoints[static_cast<size_t>(i)]->Selected) {
        DelPoint(i);
        Moved = -1;
        break;
      }
    }
  }
  return key != 0;
}
