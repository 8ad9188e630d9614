// TListOfDots: the points, the box, editing and the curve picture. The control
// polygon, the row tables and the automatic curve are in list_of_dots_gain.cpp.

#include "profiledata/list_of_dots.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"

#include <algorithm>
#include <limits>

namespace {

int Saturate32(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kYellow = 0x00FFFF;

}  // namespace

TListOfDots::TListOfDots()
    : bmp(std::make_unique<TBitmap>()), FVal(MaxRows, 0), FRval(MaxRows, 0.0L) {
  bmp->Canvas()->Brush()->SetColor(kSilver);
  bmp->Canvas()->Pen()->SetColor(clBlack);
  bmp->Canvas()->Pen()->SetWidth(1);
}

TListOfDots::~TListOfDots() = default;

// ---- Points ---------------------------------------------------------------------------------

void TListOfDots::Sort() {
  std::stable_sort(List.begin(), List.end(), [](const TPoint& a, const TPoint& b) { return a.Y < b.Y; });
}

bool TListOfDots::RowTaken(int y) const {
  return std::any_of(List.begin(), List.end(), [y](const TPoint& p) { return p.Y == y; });
}

TPoint TListOfDots::GetVal(int i) const {
  if (i < 0 || List.empty()) return TPoint{};
  return i < GetCount() ? List[static_cast<size_t>(i)] : List.front();
}

void TListOfDots::SetVal(int i, TPoint p) {
  if (i < 0) return;
  if (i < GetCount()) {
    List[static_cast<size_t>(i)] = p;
  } else {
    if (RowTaken(p.Y) || i >= MaxDots) return;
    List.resize(static_cast<size_t>(i), TPoint{});
    List.push_back(p);
  }
  Sort();
}

void TListOfDots::Del(int i) {
  if (i < 0 || i >= GetCount()) return;
  List.erase(List.begin() + i);
  Sort();
}

// ---- Box -------------------------------------------------------------------------------------

void TListOfDots::SetWidth(int w) {
  w = std::max(w, 0);
  FField.Right = Saturate32(int64_t{FField.Left} + w);
  bmp->SetWidth(Getwidth());
}

void TListOfDots::SetHeight(int h) {
  h = std::clamp(h, 0, MaxRows);
  FField.Bottom = Saturate32(int64_t{FField.Top} + h);
  bmp->SetHeight(GetHeight());
  Resize();
}

void TListOfDots::SetLeft(int l) {
  const int w = Getwidth();
  FField.Left = l;
  FField.Right = Saturate32(int64_t{l} + w);
}

void TListOfDots::SetTop(int t) {
  const int h = GetHeight();
  FField.Top = t;
  FField.Bottom = Saturate32(int64_t{t} + h);
}

// ---- Editing --------------------------------------------------------------------------------

void TListOfDots::Reset() {
  if (List.empty()) return;
  // Point 1 goes until two remain: the first and the last stay.
  while (GetCount() > 2) List.erase(List.begin() + 1);
  const int centre = Saturate32(Round(Getwidth() / 2.0L));
  List.resize(2);
  List[0] = TPoint{centre, 0};
  List[1] = TPoint{centre, GetHeight()};
  Sort();
}

void TListOfDots::Assign(const TListOfDots& source) {
  Reset();
  SetTop(source.GetTop());
  SetLeft(source.GetLeft());
  SetWidth(source.Getwidth());
  SetHeight(source.GetHeight());
  for (int i = 0; i < source.GetCount(); ++i) SetVal(i, source.GetVal(i));
}

void TListOfDots::Resize() {
  if (List.empty()) return;
  const int height = GetHeight();
  const int lastY = List.back().Y;
  const long double k = (lastY == 0 || height == 0) ? 1.0L : static_cast<long double>(height) / lastY;
  const int n = GetCount();
  // Updating from the end when stretching and from the start when shrinking keeps
  // the points in row order at every step.
  for (int step = 0; step < n; ++step) {
    const int i = k > 1 ? n - 1 - step : step;
    TPoint& p = List[static_cast<size_t>(i)];
    p.Y = i == n - 1 ? height : Saturate32(Round(k * p.Y));
    Sort();
  }
}

void TListOfDots::AddSimpleMultVal(long double SimpleMultVal) {
  const int height = GetHeight();
  if (height != 0) {
    for (TPoint& p : List) p.X = Saturate32(int64_t{p.X} + Round(p.Y * SimpleMultVal / height));
  }
  PrepaerValues();
}

// ---- Tables and picture -----------------------------------------------------------------

int32_t TListOfDots::val(int row) const { return row >= 0 && row < MaxRows ? FVal[static_cast<size_t>(row)] : 0; }

long double TListOfDots::Rval(int row) const {
  return row >= 0 && row < MaxRows ? FRval[static_cast<size_t>(row)] : 0.0L;
}

TBitmap* TListOfDots::GetImg(int n) {
  const int width = Getwidth();
  const int height = GetHeight();
  TCanvas& c = *bmp->Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.FillRect(Rect(0, 0, width, height));

  const TColor pen = c.Pen()->Color();
  const int centre = Saturate32(Round(width / 2.0L));
  c.Pen()->SetColor(clWhite);
  c.MoveTo(centre, 0);
  c.LineTo(centre, height);
  c.Pen()->SetColor(pen);

  if (height > 0) {
    std::vector<TPoint> curve(static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) curve[static_cast<size_t>(row)] = TPoint{val(row), row};
    c.Polyline(curve);
  }

  const TColor brush = c.Brush()->Color();
  for (int i = 0; i < GetCount(); ++i) {
    const TPoint p = List[static_cast<size_t>(i)];
    if (i == n) {
      c.Brush()->SetColor(kYellow);
      c.Rectangle(p.X - 4, p.Y - 4, p.X + 4, p.Y + 4);
      c.Brush()->SetColor(brush);
    } else {
      c.Ellipse(p.X - 3, p.Y - 3, p.X + 3, p.Y + 3);
    }
  }
  return bmp.get();
}

// ---- TDotArray ----------------------------------------------------------------------------

TPoint TDotArray::GetVal(int i) const { return i >= 0 && i < GetCount() ? FItems[static_cast<size_t>(i)] : TPoint{}; }

void TDotArray::SetVal(int i, TPoint p) {
  if (i < 0 || i >= MaxItems) return;
  if (i < GetCount()) {
    FItems[static_cast<size_t>(i)] = p;
    return;
  }
  FItems.resize(static_cast<size_t>(i), TPoint{});
  FItems.push_back(p);
}
