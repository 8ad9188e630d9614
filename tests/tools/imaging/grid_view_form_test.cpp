// The grid-view dialog offscreen with a fake window, on a channel holding a
// hyperbola of the test-signal generator: its controls and ranges, the edits
// taken into the tool, the Enter rule, a live run's log with the grid image after
// each iteration and the arc preview of grid column 10, the arrival plot as
// values and drawn pixels, the space key, and a scan taking the grid from the
// edits.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/memo.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/grid_view_form.h"
#include "tools/imaging/grid_view_kernel.h"
#include "tools/imaging/grid_view_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace grid_view_form_test {

// 40 ns over 40 samples at 100 mm/ns: 0.05 m per sample.
constexpr int64_t kTraces = 40;
constexpr int kSamples = 40;
constexpr int32_t kNullShift = 3;

QStringList Lines(const TGridViewForm& form) { return form.InfoMemo->Lines(); }

using reconstruction_test_support::Pixels;

// The generator's hyperbola has its apex at trace 20, sample 20.
class GridViewFormTest : public reconstruction_test_support::FormFixture<TGridViewTool, TGridViewForm, TGridViewParam,
                                                                         kTraces, kSamples, kNullShift, 20> {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    // A grid of 20 columns (every other trace) and 40 rows (every sample).
    tool.iXStep = 0.1L;
    tool.iYStep = 0.05L;
  }
  TGridViewForm& Open(const TGridViewParam& set = {true, 2, 90, 2, 0.2L, 0.05L}) { return OpenForm(set); }
  TGridViewArcs Arcs() const { return reconstruction_test_support::GridArcs(tool, *view, kTraces, kSamples); }
  // The grid image after `sweeps` serial sweeps of the engine on the input.
  std::vector<uint8_t> Expected(int sweeps) {
    return reconstruction_test_support::ExpectedGridImage(tool, *view, input, kTraces, kSamples, sweeps);
  }
};

TEST_F(GridViewFormTest, ControlsRangesShownValuesEditsAndTheEnterRule) {
  auto* fresh = TComponent::Create<TGridViewForm>(Application);
  EXPECT_EQ(fresh->Caption(), "Grid View");
  reconstruction_test_support::ExpectSharedControls(*fresh);
  reconstruction_test_support::ExpectEditRanges(
      {{fresh->StepReceptDigitEdit, -10, 10, 0.01L, 0, true},
       {fresh->XstepDigitEdit, 0.001L, 100, 0.001L, 1, false},
       {fresh->YStepDigitEdit, 0.001L, 10, 0.001L, 1, false},
       {fresh->KontrastDigitEdit, 0.5L, 10, 0.1L, 1, false}});
  delete fresh;

  tool.dH = 2;
  tool.DecriseAmp = 0.9L;
  tool.Kontrast = 2.5L;
  TGridViewForm& form = Open({true, 6.6L, 120, 3, 0.3L, 0.04L});
  EXPECT_EQ(form.Caption(), tool.GetCaption());
  EXPECT_EQ(form.XYProportionalDigitEdit->ValueReal(), 6.6L);
  EXPECT_EQ(form.MinAmpDigitEdit->ValueInt(), 120);
  EXPECT_EQ(form.DistanceReceptDigitEdit->ValueReal(), 0.3L);
  EXPECT_EQ(form.StepReceptDigitEdit->ValueReal(), 0.04L);
  EXPECT_EQ(form.XstepDigitEdit->ValueReal(), 0.1L);
  EXPECT_EQ(form.YStepDigitEdit->ValueReal(), 0.05L);
  EXPECT_EQ(form.KontrastDigitEdit->ValueReal(), 2.5L);
  EXPECT_EQ(form.ZatuhanieDigitEdit->ValueInt(), 90);
  EXPECT_EQ(form.dHDigitEdit->ValueInt(), 2);
  // The picture is the tool's: the window's display settings are not asked for.
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Title(), "Y discret interpolation");
  EXPECT_EQ(form.ChartMigration->TopAxis()->Title(), "X discret interpolation");
  EXPECT_EQ(form.ChartMigration->RightAxis()->Title(), "Time");
  EXPECT_EQ(form.ChartMigration->RightAxis()->Maximum(), 40.0);
  ASSERT_EQ(form.SeriesNull->Count(), 2);
  EXPECT_EQ(form.SeriesNull->YValue(0), kNullShift);
  for (const TRecordedMessage& m : host.DrainMessages()) EXPECT_NE(m.Msg, static_cast<UINT>(WM_TOOLSRUN));
  EXPECT_EQ(Samples(*view), input);

  // The four edits of the grid go to the tool at once; nothing is stored or re-run.
  form.StepReceptDigitEdit->SetText("-0.07");
  form.XstepDigitEdit->SetText("0.25");
  form.YStepDigitEdit->SetText("0.125");
  form.KontrastDigitEdit->SetText("3");
  EXPECT_EQ(tool.StepRecept, -0.07L);
  EXPECT_EQ(tool.iXStep, 0.25L);
  EXPECT_EQ(tool.iYStep, 0.125L);
  EXPECT_EQ(tool.Kontrast, 3);
  EXPECT_EQ(tool.Param[0].StepRecept, 0.04L);
  EXPECT_TRUE(host.DrainMessages().empty());
  form.ApplayBitBtn->Click();
  EXPECT_EQ(tool.Param[0].StepRecept, -0.07L) << "Apply stores the step in the set";

  // The overlay steps over the channel's traces in 200 equal steps.
  form.HyperbolaCheckButton->SetChecked(true);
  form.PickPoint(20, 20);
  ASSERT_EQ(form.HyperbolaSeries->Count(), 201);
  const double step = static_cast<double>(view->MaxNumTraces() - view->MinNumTraces()) / 200;
  ASSERT_GT(step, 0);
  const double h = 20 - kNullShift, e = 0.3 / 0.05 / 2, c = std::sqrt(h * h + e * e);
  for (int k : {0, 37, 100, 163, 200}) {
    const double i = k - 100;
    EXPECT_NEAR(form.HyperbolaSeries->XValue(k), 20 + i * step, 1e-12) << k;
    EXPECT_NEAR(form.HyperbolaSeries->YValue(k), kNullShift + std::sqrt(c * c + (6.6 * i * step) * (6.6 * i * step)) - (c - h),
                1e-9)
        << k;
  }
  form.HyperbolaCheckButton->SetChecked(false);

  // Enter finishes the entry in eight edits; in the decrease and the contrast it is OK.
  reconstruction_test_support::ExpectEnterRule(
      form,
      {form.XYProportionalDigitEdit, form.dHDigitEdit, form.DistanceReceptDigitEdit, form.MinAmpDigitEdit,
       form.LEngthHiperbolaDigitEdit, form.StepReceptDigitEdit, form.XstepDigitEdit, form.YStepDigitEdit},
      form.KontrastDigitEdit);
}

TEST_F(GridViewFormTest, ALiveRunLogsShowsTheGridAfterEachIterationAndPreviewsColumnTen) {
  TGridViewForm& form = Open();
  std::vector<QString> log;
  tool.OnLog = [&](const QString& line) { log.push_back(line); };
  form.InfoMemo->SetText("an earlier run");
  std::vector<std::pair<double, double>> shownArc;
  double shownY = -1;
  std::vector<std::vector<uint8_t>> shownImages;
  host.onYield = [&](int) {
    if (shownY < 0) {
      // The preview is done when the first iteration starts.
      for (int k = 0; k < form.HyperbolaSeries->Count(); ++k)
        shownArc.emplace_back(form.HyperbolaSeries->XValue(k), form.HyperbolaSeries->YValue(k));
      shownY = form.HyperbolaY;
    }
    if (host.preparedBmps.size() > shownImages.size()) shownImages.push_back(Pixels(*form.ChartMigration->BackImage()));
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines[0], "Prepeare calculation");
  EXPECT_EQ(lines[1], "X=20,Y=40");
  EXPECT_EQ(lines[2], "Begin calculation");
  EXPECT_TRUE(lines[3].startsWith("0 dA=") && lines[3].endsWith("%")) << lines[3].toStdString();
  EXPECT_TRUE(lines[4].startsWith("1 dA="));
  EXPECT_EQ(lines[5], "End calculation");
  EXPECT_EQ(QStringList(log.begin(), log.end()), lines);
  EXPECT_EQ(Samples(*view), input) << "the channel's data pass through";

  // The picture showed the grid of the first iteration, and shows the second's.
  EXPECT_EQ(host.preparedBmps, (std::vector<int>{0, 0}));
  ASSERT_EQ(shownImages.size(), 1u);
  EXPECT_EQ(shownImages[0], Expected(1));
  TBitmap& back = *form.ChartMigration->BackImage();
  EXPECT_EQ(back.Width(), 20);
  EXPECT_EQ(back.Height(), 40);
  EXPECT_EQ(Pixels(back), Expected(2));
  EXPECT_NE(Expected(2), std::vector<uint8_t>(20 * 40, 128));
  EXPECT_EQ(form.ChartMigration->TopAxis()->Maximum(), 20);
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Maximum(), 40);

  // The last arc of the preview: grid cell (10, 39), about the middle trace.
  TArcRows arc;
  Arcs().Arc(10, kSamples - 1, arc);
  ASSERT_GT(arc.E, 0);
  ASSERT_EQ(shownArc.size(), static_cast<size_t>(2 * arc.E + 1));
  const double centre = static_cast<double>(view->MinNumTraces() + view->MaxNumTraces()) / 2;
  for (int32_t i = -arc.E; i <= arc.E; ++i) {
    EXPECT_EQ(shownArc[static_cast<size_t>(i + arc.E)].first, centre + i);
    EXPECT_EQ(shownArc[static_cast<size_t>(i + arc.E)].second, arc.Row[static_cast<size_t>(i + arc.E)]);
  }
  EXPECT_EQ(shownY, kSamples - 1);

  // Closed, the dialog gets nothing; the tool's log goes on.
  form.CloseDialog();
  log.clear();
  host.preparedBmps.clear();
  tool.execute(false, 0);
  EXPECT_EQ(Lines(form), lines);
  EXPECT_TRUE(host.preparedBmps.empty());
  EXPECT_EQ(log.size(), 6u);
}

TEST_F(GridViewFormTest, TheArrivalPlotIsDrawnOnThePicture) {
  // Four grid columns: no column 10 to preview. A first run with one iteration
  // lays the picture's top axis over them; a run without iterations then leaves
  // the plot as drawn.
  tool.iXStep = 0.5L;
  TGridViewForm& form = Open({true, 6.6L, 90, 1, 0.2L, 0.05L});
  tool.execute(false, 0);
  EXPECT_EQ(form.ChartMigration->TopAxis()->Maximum(), 4);
  const TGridViewParam still{true, 6.6L, 90, 0, 0.2L, 0.05L};
  tool.SetParam(0, &still);
  tool.execute(false, 0);
  ASSERT_EQ(tool.ArrivalPlot.size(), static_cast<size_t>(kTraces));
  ASSERT_EQ(form.HyperbolaSeries->Count(), static_cast<int>(kTraces));
  for (int k = 0; k < form.HyperbolaSeries->Count(); ++k) {
    EXPECT_EQ(form.HyperbolaSeries->XValue(k), tool.ArrivalPlot[static_cast<size_t>(k)].x);
    EXPECT_EQ(form.HyperbolaSeries->YValue(k), tool.ArrivalPlot[static_cast<size_t>(k)].y);
  }
  // Drawn with X/Y 2 whatever the set's: a = 2 / 1000 - 0.2 / 180, at 100 mm/ns
  // over 40 ns.
  const double a = 2.0 / 1000 - 0.2 / 180;
  EXPECT_NEAR(form.ChartMigration->LeftAxis()->Minimum(), -a * 50, 1e-12);
  EXPECT_NEAR(form.ChartMigration->LeftAxis()->Maximum(), -a * 50 + 2, 1e-12);
  EXPECT_NEAR(form.HyperbolaSeries->XValue(0), 0.2, 1e-12);
  EXPECT_NEAR(form.HyperbolaSeries->XValue(39), 0.2 + 39 * 0.05, 1e-12);
  ASSERT_EQ(form.PositionSeries->Count(), 2);
  EXPECT_NEAR(form.PositionSeries->XValue(1), 0.2 + 40 * 0.05, 1e-12);
  EXPECT_EQ(tool.XYProportional, 6.6L) << "the set's X/Y stays";

  TChart& chart = *form.ChartMigration;
  TBitmap page;
  page.SetPixelFormat(pf32bit);
  page.SetSize(chart.ClientWidth(), chart.ClientHeight());
  chart.PaintTo(*page.Canvas(), Rect(0, 0, chart.ClientWidth(), chart.ClientHeight()));
  for (int k = 0; k < form.HyperbolaSeries->Count(); k += 5)
    EXPECT_EQ(page.Canvas()->Pixels(form.HyperbolaSeries->CalcXPos(k), form.HyperbolaSeries->CalcYPos(k)), clRed)
        << k;
  form.CloseDialog();
}

TEST_F(GridViewFormTest, TheSpaceKeyEndsTheRunAfterTheCurrentIteration) {
  TGridViewForm& form = Open({true, 2, 90, 4, 0.2L, 0.05L});
  form.InfoMemo->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.InfoMemo->Focused(); }));
  host.onYield = [&](int) {
    if (tool.BreakExecute) return;
    WORD key = VK_SPACE;
    form.OnKeyDown(form.InfoMemo, key, {});
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  EXPECT_TRUE(tool.BreakExecute);
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 5);
  EXPECT_TRUE(lines[3].startsWith("0 dA="));
  EXPECT_EQ(lines[4], "End calculation");
  EXPECT_EQ(Pixels(*form.ChartMigration->BackImage()), Expected(1));
  EXPECT_TRUE(form.Visible()) << "the space key is not OK";
  form.CloseDialog();
}

TEST_F(GridViewFormTest, TheDecreaseScanTakesTheGridFromTheEditsAndShowsEachCandidate) {
  TGridViewForm& form = Open({true, 2, 90, 1, 0.2L, 0.05L});
  tool.execute(false, 0);
  host.preparedBmps.clear();
  // Typed into the tool and back by hand: the scan takes the steps from the edits.
  form.XstepDigitEdit->SetText("0.2");
  form.StepReceptDigitEdit->SetText("0.1");
  form.ZatuhanieDigitEdit->SetText("30");
  tool.iXStep = 0.05L;
  tool.StepRecept = 0.05L;
  form.SearchDecriseBitBtn->Click();
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 10);
  EXPECT_EQ(lines[0], "Prepeare calculation");
  EXPECT_EQ(lines[1], "X=20,Y=40") << "40 traces x 0.1 m in 0.2 m columns";
  for (int k = 0; k < 8; ++k)
    EXPECT_TRUE(lines[2 + k].startsWith(QStringLiteral("decA=%1% dA=").arg(60 + 5 * k))) << lines[2 + k].toStdString();
  EXPECT_EQ(host.preparedBmps, std::vector<int>(8, 0)) << "channel 0 and the grid redrawn after each candidate";
  EXPECT_EQ(form.ChartMigration->BackImage()->Width(), 20);
  EXPECT_EQ(tool.TypePodbor, 4);
  EXPECT_EQ(tool.DecriseAmp, 0.3L) << "the edit's value, not the last candidate";
  EXPECT_EQ(tool.StepRecept, 0.1L);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);
  form.CloseDialog();
}

}  // namespace grid_view_form_test
