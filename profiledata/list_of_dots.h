#pragma once
// TListOfDots: the control points of a time-varying gain curve and the two per-row
// tables made from them, the curve's x and the gain factor.
//
// The curve lives in a box of Width x Height pixels: rows run down the trace (row
// 0 at the top), columns are gain, the box's centre column is gain 1 and every 10
// pixels to the right double it: gain(x) = 2^((x - Width / 2) / 10). Point
// coordinates are relative to the box (X 0 .. Width, Y 0 .. Height) and the points
// are kept sorted by Y after every change (equal rows in any order).
//
// The curve is a piecewise cubic Bezier through every point (GetList gives its
// control polygon); PrepaerValues flattens it and steps along it, so that each row
// from the first point's down to the row above the last point's gets the x where
// the curve enters that row. Rows the curve never reached keep what they had (0 in
// a new list, for the gain as well). Users call PrepaerValues after every change
// of the points or the box.
//
// Limits: at most 34 points, at most 10000 rows; a flattened curve of more than
// 5000 points (or one running millions of pixels outside the box) leaves the
// tables as they were. Points beyond the limits are not added; rows outside the
// tables read as unreached.
//
// User-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/control_types.h"
#include "platform/ui/graphics.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;

class TListOfDots : public TObject {
public:
  static constexpr int MaxDots = 34;
  static constexpr int MaxRows = 10000;
  static constexpr int MaxFlatPoints = 5000;

  // No points, an empty box, a curve picture with a silver brush and a black pen.
  TListOfDots();
  ~TListOfDots() override;
  TListOfDots(const TListOfDots&) = delete;
  TListOfDots& operator=(const TListOfDots&) = delete;

  // ---- Points -------------------------------------------------------------------------
  int GetCount() const { return static_cast<int>(List.size()); }
  // Point i; the first point for i >= Count, (0, 0) for i < 0 or an empty list.
  TPoint GetVal(int i) const;
  // For i < Count replaces point i. Otherwise, unless a point already has p's row,
  // appends (0, 0) points until there are i, then p. Then sorts by Y. Nothing for
  // i < 0 or when the list would exceed MaxDots.
  void SetVal(int i, TPoint p);
  void SetPoint(int i, int x, int y) { SetVal(i, TPoint{x, y}); }
  // Removes point i (nothing outside the list).
  void Del(int i);
  // Removes every point.
  void Clear() { List.clear(); }

  // ---- Box ----------------------------------------------------------------------------------
  const TRect& field() const { return FField; }
  int Getwidth() const { return FField.Right - FField.Left; }
  int GetHeight() const { return FField.Bottom - FField.Top; }
  int GetLeft() const { return FField.Left; }
  int GetTop() const { return FField.Top; }
  // Right := Left + w (negative is 0); the picture takes the width.
  void SetWidth(int w);
  // Bottom := Top + h (kept to 0 .. MaxRows); the picture takes the height; the
  // points are fitted to it (Resize).
  void SetHeight(int h);
  // Move the box, keeping its size.
  void SetLeft(int l);
  void SetTop(int t);

  // ---- Editing -------------------------------------------------------------------------------
  // Keeps the first and the last point and makes them the flat curve of gain 1:
  // (round(Width / 2), 0) and (round(Width / 2), Height); a single point gets the
  // second appended. Nothing for an empty list.
  void Reset();
  // Reset, then the source's box (Top, Left, Width, Height, so that the height
  // rescales the points left) and every source point through SetVal.
  void Assign(const TListOfDots& source);
  // Scales every Y by Height / (last point's Y) (1 when either is 0), rounded; the
  // last point lands exactly on Height.
  void Resize();
  // The simple-mode slope: every X grows by round(Y x SimpleMultVal / Height);
  // then PrepaerValues.
  void AddSimpleMultVal(long double SimpleMultVal);
  // An automatic curve compensating the decay of an amplitude profile (LineLength
  // values, one per sample) below its maximum; see list_of_dots_gain.cpp.
  void GenBaseDots(const double* line, int LineLength);

  // ---- Curve and tables ------------------------------------------------------------------
  // The Bezier control polygon: 3 x Count - 2 vertices (none below 2 points).
  std::vector<TPoint> GetList() const;
  // Recomputes the row tables from the points (at least 2).
  void PrepaerValues();
  // One visited point of the curve: x clamped to 0 .. Width - 1 becomes row y's
  // x and its gain 2^((x - Width / 2) / 10). Rows outside the tables are ignored.
  void DDAProc(int x, int y);
  // Row y's x and gain; 0 for rows outside the tables.
  int32_t val(int row) const;
  long double Rval(int row) const;

  // The curve picture (owned by the list): the box in the brush colour, a white
  // centre line, the curve in the pen colour, point n as a yellow 8 x 8 square
  // and every other point as a 6 x 6 circle (n = -1: no point marked).
  TBitmap* GetImg(int n);

private:
  void Sort();
  // Whether some point lies on row y.
  bool RowTaken(int y) const;

  std::vector<TPoint> List;
  TRect FField;
  std::unique_ptr<TBitmap> bmp;
  std::vector<int32_t> FVal;
  std::vector<long double> FRval;
};

// A plain list of points, read as (0, 0) past its end.
class TDotArray : public TObject {
public:
  int GetCount() const { return static_cast<int>(FItems.size()); }
  // Item i; (0, 0) for i outside the list.
  TPoint GetVal(int i) const;
  // Replaces item i, or appends (0, 0) items until there are i, then p. Nothing
  // for i < 0 or i >= MaxItems.
  void SetVal(int i, TPoint p);
  static constexpr int MaxItems = 1 << 20;

private:
  std::vector<TPoint> FItems;
};
