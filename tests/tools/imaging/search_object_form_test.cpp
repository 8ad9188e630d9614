// The object search dialog offscreen with a fake window, on channels filled by
// the test-signal generator: the hyperbola and amplitude overlays and their
// verdict, a click above time zero, the chain overlay with its diagnostics, the
// redraw-only run of the matrix, and the overlay routines themselves.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/list_box.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/search_object_form.h"
#include "tools/imaging/search_object_overlays.h"
#include "tools/imaging/search_object_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace search_object_form_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// 160 traces x 200 samples, time zero at sample 10, X/Y 0.5 at speed 100.
TWheelChannel Geometry() {
  TWheelChannel c;
  c.traces = 160;
  c.longTrace = 200;
  c.nullShift = 10;
  c.speed = 100;
  c.spanWidth = 200;
  c.overStep = 5;
  c.wheelStep = 25;
  return c;
}

std::vector<int32_t> Checkerboard() {
  std::vector<int32_t> v(160 * 200);
  for (size_t i = 0; i < v.size(); ++i) v[i] = (i % 200 + i / 200) % 2 ? 1 : -1;
  return v;
}

class SearchObjectFormTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TSearchObjectTool tool;
  std::unique_ptr<T2Dview> view = MakeWheelChannel(Geometry(), Checkerboard());

  void SetUp() override {
    tool.SetView_(0, view.get());
    host.views.push_back(view.get());
  }
  TSearchObjectForm& Open() {
    TSearchObjectParam set{true, view->GetProportionalCoefic(), 25, 40, 0};
    tool.SetParam(0, &set);
    tool.GetParam(0);
    EXPECT_EQ(tool.SetPropertyes(false), 1);
    auto* form = dynamic_cast<TSearchObjectForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  void TearDown() override { Application->ProcessMessages(); }
};

TEST_F(SearchObjectFormTest, TheChartShowsTheChannelAndAClickAboveTimeZeroDrawsNothing) {
  TSearchObjectForm& form = Open();
  EXPECT_EQ(form.ClientWidth(), 1146);
  EXPECT_EQ(form.ClientHeight(), 590);
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Maximum(), 200);
  ASSERT_EQ(form.SeriesNull->Count(), 2);
  EXPECT_EQ(form.SeriesNull->YValue(0), 10);
  EXPECT_EQ(form.cmMaxAmp->Items().size(), 9);

  form.HyperbolaCheckButton->SetChecked(true);
  form.AmpHyperbolaCheckBox->SetChecked(true);
  form.InspectPoint(80, 5);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 0);
  EXPECT_EQ(form.AmpHyperbolaSeries->Count(), 0);

  form.InspectPoint(80, 80);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 101);
  EXPECT_EQ(form.AmpHyperbolaSeries->Count(), 101);
  // Redrawing the hyperbola clears the amplitude overlay.
  form.PaintHyperbola(90, 70);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 101);
  EXPECT_EQ(form.AmpHyperbolaSeries->Count(), 0);
  // Unticking "AmpHyperbola" removes its overlay whatever "Hyperbola" shows.
  form.PaintAmpHyperbola(90, 70);
  form.AmpHyperbolaCheckBox->SetChecked(false);
  EXPECT_EQ(form.AmpHyperbolaSeries->Count(), 0);
  form.CloseDialog();
}

TEST_F(SearchObjectFormTest, TheVerdictCountsTheNonzeroValuesOfTheProfile) {
  // A constant channel: every offset's mean of thirds is nonzero, until whole
  // traces are zeroed.
  std::vector<int32_t> data(160 * 200, 30);
  SetSamples(*view, data);
  TSearchObjectForm& form = Open();
  tool.SizeHyperbola = 3;
  tool.CountPointAtCurve = 5;
  form.AmpHyperbolaCheckBox->SetChecked(true);
  std::fill(data.begin() + 83 * 200, data.begin() + 84 * 200, 0);
  SetSamples(*view, data);
  form.PaintAmpHyperbola(60, 80);
  QStringList lines = form.AmpListBox->Items();
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], "X=80  Y=60");
  EXPECT_EQ(lines[1], "Znak > 0 = +");
  EXPECT_EQ(lines[2], "Detect Up Dugi") << "6 nonzero values";
  EXPECT_EQ(lines[3], "-3      30");
  std::fill(data.begin() + 77 * 200, data.begin() + 78 * 200, 0);
  SetSamples(*view, data);
  form.PaintAmpHyperbola(60, 80);
  lines = form.AmpListBox->Items();
  EXPECT_EQ(lines[2], "no Detect") << "5 nonzero values";
  EXPECT_EQ(lines.size(), 3 + 7);
  form.CloseDialog();
}

TEST_F(SearchObjectFormTest, TheChainOverlayAndItsDiagnostics) {
  TGenTestTool gen;
  gen.DistanceRecept = 0;
  gen.SizeParabol2 = 0;
  gen.SetView_(0, view.get());
  const TGenTestParam set{true, 100, 0, 80, 80, 0, 0, 1000, 0, 0, 0};
  gen.SetParam(0, &set);
  gen.execute(false, 0);
  TSearchObjectForm& form = Open();
  // Before any run there are no marks: no chain.
  form.InspectPoint(80, 80);
  EXPECT_EQ(form.SelectPolyLineSeries->Count(), 0);

  tool.typeMaxAmp = emCurrentTrace;
  tool.execute(false, 0);
  form.InspectPoint(80.2, 79.6);
  EXPECT_GT(form.SelectPolyLineSeries->Count(), 90);
  const QStringList lines = form.AmpListBox->Items();
  ASSERT_GT(lines.size(), 10);
  EXPECT_EQ(lines[0], "X,Y=80,80");
  EXPECT_TRUE(lines.contains("Detekted"));
  EXPECT_EQ(lines[5], "UpHiperbola = 80,80");
  EXPECT_TRUE(lines[6].startsWith("dMax = "));
  EXPECT_EQ(lines[7], "MaxAmpDugi = 1000 > " + QString::number(tool.MiddleAmp));
  EXPECT_TRUE(lines[8].startsWith("Disperesia = "));
  EXPECT_EQ(lines[10], "count L C R =34,33,34") << "thirds of 101 points, the centre 2 x 16 + 1";
  EXPECT_EQ(lines[11], "% BigAmp > UpAmp =0");
  EXPECT_TRUE(lines.contains("500 80,80,  1000"));

  // Unticked, the chain is cleared and not drawn again.
  form.cbPolyLine->SetChecked(false);
  form.PaintSelectPolyLiny(80, 80);
  EXPECT_EQ(form.SelectPolyLineSeries->Count(), 0);
  form.CloseDialog();
}

TEST_F(SearchObjectFormTest, ShowWaveRedrawsOnlyTheMatrixWhenMatrixIsSet) {
  TSearchObjectForm& form = Open();
  host.messages.clear();
  form.ShowWaveDigitEdit->SetValueInt(150);
  form.ShowWaveDigitEdit->OnChangeFinish(form.ShowWaveDigitEdit);
  EXPECT_EQ(tool.ShowWave, 150);
  EXPECT_TRUE(host.messages.empty()) << "without Matrix nothing runs";
  form.MatrixCh->SetChecked(true);
  EXPECT_TRUE(tool.Matrix);
  host.messages.clear();
  form.ShowWaveDigitEdit->SetValueInt(141);
  form.ShowWaveDigitEdit->OnChangeFinish(form.ShowWaveDigitEdit);
  Application->ProcessMessages();
  EXPECT_FALSE(host.messages.empty()) << "the chain re-runs";
  EXPECT_FALSE(tool.isOnlyPaintWave) << "cleared on the way out";
  form.CloseDialog();
}

TEST_F(SearchObjectFormTest, EnterIsOkOnlyOutsideTheNumericEdits) {
  TSearchObjectForm& form = Open();
  for (TDigitEdit* edit : {form.XYProportionalDigitEdit, form.ShowWaveDigitEdit, form.MaxSumNormAmpDigitEdit}) {
    edit->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit->Focused(); }));
    WORD key = VK_RETURN;
    form.FormKeyDown(&form, key, {});
    EXPECT_TRUE(form.Visible());
  }
  form.cmMaxAmp->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.cmMaxAmp->Focused(); }));
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible()) << "elsewhere Enter is OK";
}

TEST(SearchObjectOverlays, TheHyperbolaThroughAPoint) {
  TOverlayGeometry g{10, 0.05L, 0.2L, 2.0L, 4};
  const TOverlayPoints points = HyperbolaOverlay(g, 50, 30);
  ASSERT_EQ(points.size(), 9u);
  // r = sqrt(40^2 + (0.2 / 0.05 / 2)^2) = sqrt(1604), delta = r - 40.
  const double r = std::sqrt(1604.0);
  EXPECT_DOUBLE_EQ(points[4].first, 30);
  EXPECT_NEAR(points[4].second, 50, 1e-9);
  EXPECT_DOUBLE_EQ(points[8].first, 34);
  EXPECT_NEAR(points[8].second, 10 + std::sqrt(1604.0 + 64) - (r - 40), 1e-9);
  g.XYProportional = 0;
  EXPECT_TRUE(HyperbolaOverlay(g, 50, 30).empty());
  g.XYProportional = 2;
  EXPECT_TRUE(HyperbolaOverlay(g, 9, 30).empty()) << "above time zero";
  g.DepthStep = 0;
  EXPECT_TRUE(HyperbolaOverlay(g, 50, 30).empty()) << "no depth step";
}

}  // namespace search_object_form_test
