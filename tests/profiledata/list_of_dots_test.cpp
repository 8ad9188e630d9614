// The gain-curve points: editing the list, fitting it to the box, the control
// polygon, the per-row tables, the automatic curve and the picture.

#include "platform/ui/bitmap.h"
#include "profiledata/list_of_dots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<TPoint> Points(const TListOfDots& dots) {
  std::vector<TPoint> points;
  for (int i = 0; i < dots.GetCount(); ++i) points.push_back(dots.GetVal(i));
  return points;
}

// A list in a box of width x height at (0, 0) holding the points in order.
void Make(TListOfDots& dots, int width, int height, const std::vector<TPoint>& points) {
  dots.SetWidth(width);
  dots.SetHeight(height);
  dots.Clear();
  for (size_t i = 0; i < points.size(); ++i) dots.SetVal(static_cast<int>(i), points[i]);
}

TEST(ListOfDots, SetValReplacesOrAppendsAndSortsByRow) {
  struct TCase {
    const char* name;
    int index;
    TPoint p;
    std::vector<TPoint> expected;
  };
  const std::vector<TPoint> start = {{140, 0}, {140, 450}};
  const TCase cases[] = {
      {"replace, then re-sort", 1, {5, -3}, {{5, -3}, {140, 0}}},
      {"append at the end", 2, {7, 100}, {{140, 0}, {7, 100}, {140, 450}}},
      {"index past the end fills with (0, 0)", 5, {7, 100}, {{140, 0}, {0, 0}, {0, 0}, {0, 0}, {7, 100}, {140, 450}}},
      {"a row already taken adds nothing", 5, {7, 450}, start},
      {"negative index", -1, {7, 100}, start},
      {"beyond the point limit", TListOfDots::MaxDots, {7, 100}, start},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListOfDots dots;
    Make(dots, 280, 450, start);
    dots.SetVal(c.index, c.p);
    EXPECT_EQ(Points(dots), c.expected);
  }

  TListOfDots dots;
  Make(dots, 280, 450, {{1, 10}, {2, 20}, {3, 30}});
  EXPECT_EQ(dots.GetVal(7), (TPoint{1, 10})) << "past the end reads the first point";
  EXPECT_EQ(dots.GetVal(-1), (TPoint{0, 0}));
  dots.Del(1);
  dots.Del(9);
  EXPECT_EQ(Points(dots), (std::vector<TPoint>{{1, 10}, {3, 30}}));
}

TEST(ListOfDots, ResetMakesTheFlatCurveFromTheEnds) {
  struct TCase {
    const char* name;
    int width;
    std::vector<TPoint> points;
    std::vector<TPoint> expected;
  };
  const TCase cases[] = {
      {"empty list stays empty", 280, {}, {}},
      {"one point gets a second", 280, {{30, 77}}, {{140, 0}, {140, 300}}},
      {"inner points go", 280, {{1, 0}, {2, 50}, {3, 90}, {4, 300}}, {{140, 0}, {140, 300}}},
      {"odd width rounds half to even (140.5)", 281, {{1, 0}, {2, 300}}, {{140, 0}, {140, 300}}},
      {"odd width rounds half to even (141.5)", 283, {{1, 0}, {2, 300}}, {{142, 0}, {142, 300}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListOfDots dots;
    Make(dots, c.width, 300, c.points);
    dots.Reset();
    EXPECT_EQ(Points(dots), c.expected);
  }
}

TEST(ListOfDots, HeightChangesRescaleThePoints) {
  struct TCase {
    const char* name;
    int from, to;
    std::vector<TPoint> points, expected;
  };
  const TCase cases[] = {
      {"450 to 900 doubles", 450, 900, {{140, 0}, {150, 225}, {160, 450}}, {{140, 0}, {150, 450}, {160, 900}}},
      {"scaled by the last point's row", 450, 900, {{100, 0}, {110, 100}, {120, 300}}, {{100, 0}, {110, 300}, {120, 900}}},
      {"shrinking", 900, 300, {{1, 0}, {2, 450}, {3, 900}}, {{1, 0}, {2, 150}, {3, 300}}},
      {"a single point on row 0 goes to the bottom", 100, 200, {{1, 0}}, {{1, 200}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TListOfDots dots;
    Make(dots, 280, c.from, c.points);
    dots.SetHeight(c.to);
    EXPECT_EQ(Points(dots), c.expected);
    EXPECT_EQ(dots.GetHeight(), c.to);
  }
  TListOfDots dots;
  Make(dots, 280, 100, {{1, 0}, {2, 100}});
  dots.SetHeight(50000);
  EXPECT_EQ(dots.GetHeight(), TListOfDots::MaxRows);
}

TEST(ListOfDots, BoxMovesKeepItsSize) {
  TListOfDots dots;
  dots.SetWidth(280);
  dots.SetHeight(450);
  dots.SetLeft(10);
  dots.SetTop(20);
  EXPECT_EQ(dots.field(), (TRect{10, 20, 290, 470}));
  dots.SetWidth(-5);
  EXPECT_EQ(dots.Getwidth(), 0);
}

TEST(ListOfDots, ControlPolygonThroughEveryPoint) {
  TListOfDots dots;
  Make(dots, 280, 200, {{140, 0}, {200, 100}, {150, 200}});
  // Inner handles on the neighbours' chord, slope (150 - 140) / 200 = 0.05 per row,
  // at rows 75 and 125; the last handle (162.5, 175) rounds half to even.
  EXPECT_EQ(dots.GetList(), (std::vector<TPoint>{
                                {140, 0}, {155, 25}, {199, 75}, {200, 100}, {201, 125}, {162, 175}, {150, 200}}));

  // Appending refuses a taken row; replacing puts three points on one row.
  Make(dots, 280, 200, {{10, 40}, {20, 41}, {30, 42}});
  dots.SetVal(1, TPoint{20, 40});
  dots.SetVal(2, TPoint{30, 40});
  const std::vector<TPoint> flat = dots.GetList();
  ASSERT_EQ(flat.size(), 7u);
  EXPECT_EQ(flat[2], (TPoint{20, 40})) << "neighbours on one row: handles straight above and below";
  EXPECT_EQ(flat[4], (TPoint{20, 40}));

  Make(dots, 280, 200, {{10, 40}});
  EXPECT_TRUE(dots.GetList().empty());
}

TEST(ListOfDots, GainTablesFollowTheCurve) {
  TListOfDots dots;
  Make(dots, 280, 100, {{140, 0}, {140, 100}});
  dots.PrepaerValues();
  for (int row = 0; row < 100; ++row) {
    ASSERT_EQ(dots.val(row), 140) << row;
    ASSERT_EQ(dots.Rval(row), 1.0L) << row;
  }
  EXPECT_EQ(dots.Rval(100), 0) << "the last point's row is not written";

  TListOfDots slope;
  Make(slope, 280, 100, {{140, 0}, {150, 100}});
  slope.PrepaerValues();
  EXPECT_EQ(slope.Rval(0), 1.0L);
  EXPECT_NEAR(static_cast<double>(slope.Rval(50)), std::sqrt(2.0), 0.05);
  EXPECT_GT(slope.Rval(99), 1.85L);
  EXPECT_LE(slope.Rval(99), 2.0L);
  for (int row = 1; row < 100; ++row) ASSERT_GE(slope.val(row), slope.val(row - 1)) << row;
  // Each row holds the gain of its own x.
  for (int row = 0; row < 100; ++row)
    ASSERT_EQ(slope.Rval(row), std::exp2((slope.val(row) - 140.0L) / 10)) << row;

  TListOfDots edge;
  Make(edge, 280, 100, {{140, 0}, {400, 100}});
  edge.PrepaerValues();
  EXPECT_EQ(edge.val(99), 279) << "beyond the box's right edge";
  EXPECT_EQ(edge.Rval(99), std::exp2(13.9L));

  // A point far outside the box (a damaged settings file) gives no curve and
  // leaves the tables as they were, instead of stepping across billions of columns.
  for (const std::vector<TPoint>& points : {std::vector<TPoint>{{140, 0}, {2000000000, 100}},
                                            std::vector<TPoint>{{140, 0}, {2000000000, 50}, {140, 100}}}) {
    TListOfDots wild;
    Make(wild, 280, 100, points);
    wild.PrepaerValues();
    EXPECT_EQ(wild.val(10), 0);
    EXPECT_EQ(wild.Rval(10), 0);
  }

  TListOfDots deep;
  Make(deep, 280, 10000, {{140, 0}, {140, 30000}});
  deep.PrepaerValues();  // rows beyond the tables are dropped, not written
  EXPECT_EQ(deep.val(9999), 140);
  EXPECT_EQ(deep.val(10000), 0);
  EXPECT_EQ(deep.Rval(-1), 0);
}

TEST(ListOfDots, SimpleModeSlopeAddsGainDownTheTrace) {
  TListOfDots dots;
  Make(dots, 280, 100, {{140, 0}, {140, 50}, {140, 100}});
  dots.AddSimpleMultVal(20);  // X += round(Y x 20 / 100)
  EXPECT_EQ(Points(dots), (std::vector<TPoint>{{140, 0}, {150, 50}, {160, 100}}));
  EXPECT_EQ(dots.val(50), 150) << "the tables follow";
}

TEST(ListOfDots, AssignCopiesBoxAndPoints) {
  TListOfDots source;
  source.SetLeft(5);
  source.SetTop(6);
  Make(source, 100, 200, {{50, 0}, {60, 100}, {70, 200}});
  TListOfDots copy;
  Make(copy, 280, 450, {{140, 0}, {207, 450}});
  copy.Assign(source);
  EXPECT_EQ(copy.field(), source.field());
  EXPECT_EQ(Points(copy), Points(source));
}

TEST(ListOfDots, AutomaticCurveCompensatesTheDecayBelowTheMaximum) {
  // Maximum 1024 at sample 1, halving every sample below; 13 samples in 13 rows.
  std::vector<double> line(13);
  line[0] = 1;
  for (int k = 1; k < 13; ++k) line[static_cast<size_t>(k)] = 1024.0 / std::exp2(k - 1);
  TListOfDots dots;
  dots.SetWidth(280);
  dots.SetHeight(13);
  dots.GenBaseDots(line.data(), 13);
  // Sampled rows 3, 5, .., 11 and the last sample 12: 10 px per halving less the
  // allowance round(20 x (row - 1) / (1 - 13)).
  EXPECT_EQ(Points(dots), (std::vector<TPoint>{
                              {140, 0}, {140, 1}, {157, 3}, {173, 5}, {190, 7}, {207, 9}, {223, 11}, {232, 12}}));

  line[5] = 0;  // no logarithm: no point, and no filler point in its place
  dots.GenBaseDots(line.data(), 13);
  EXPECT_EQ(Points(dots), (std::vector<TPoint>{{140, 0}, {140, 1}, {157, 3}, {190, 7}, {207, 9}, {223, 11}, {232, 12}}));

  // The maximum at the end: every sampled index clamps to the maximum's row.
  std::vector<double> rising(100);
  for (int k = 0; k < 100; ++k) rising[static_cast<size_t>(k)] = k + 1;
  TListOfDots late;
  late.SetWidth(280);
  late.SetHeight(450);
  late.GenBaseDots(rising.data(), 100);
  EXPECT_EQ(Points(late), (std::vector<TPoint>{{140, 0}, {140, 446}}));  // round(99 x 4.5) half to even
}

TEST(ListOfDots, PictureShowsCentreLineCurveAndPoints) {
  TListOfDots dots;
  Make(dots, 40, 30, {{20, 0}, {34, 30}});
  dots.PrepaerValues();
  TBitmap* picture = dots.GetImg(1);
  ASSERT_EQ(picture->Width(), 40);
  ASSERT_EQ(picture->Height(), 30);
  TCanvas& c = *picture->Canvas();
  EXPECT_EQ(c.Pixels(1, 15), 0xC0C0C0) << "background";
  EXPECT_EQ(c.Pixels(20, 15), clWhite) << "centre line";
  EXPECT_EQ(c.Pixels(dots.val(12), 12), clBlack) << "curve";
  EXPECT_EQ(c.Pixels(34, 27), 0x00FFFF) << "the marked point's square";
  EXPECT_EQ(c.Pixels(20, 0), 0xC0C0C0) << "an unmarked point: a circle filled with the brush";
  EXPECT_EQ(c.Pixels(17, 0), clBlack) << "its outline";

  picture = dots.GetImg(-1);
  EXPECT_NE(picture->Canvas()->Pixels(34, 27), 0x00FFFF);

  TListOfDots empty;
  EXPECT_TRUE(empty.GetImg(-1)->Empty()) << "a new list has an empty box";
}

TEST(DotArray, ReadsZeroPastItsEndAndFillsGaps) {
  TDotArray dots;
  EXPECT_EQ(dots.GetVal(0), (TPoint{0, 0}));
  dots.SetVal(2, TPoint{5, 6});
  EXPECT_EQ(dots.GetCount(), 3);
  EXPECT_EQ(dots.GetVal(0), (TPoint{0, 0}));
  EXPECT_EQ(dots.GetVal(2), (TPoint{5, 6}));
  dots.SetVal(0, TPoint{1, 1});
  EXPECT_EQ(dots.GetVal(0), (TPoint{1, 1}));
  dots.SetVal(-1, TPoint{9, 9});
  EXPECT_EQ(dots.GetCount(), 3);
}

}  // namespace
