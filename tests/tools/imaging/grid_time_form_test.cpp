// The time-grid dialog offscreen with a fake window on a multi-offset channel
// holding the generator's hyperbola: its controls and ranges, the events that
// rebuild the antennas and apply, the Enter rule, a run filling the chart (grid
// image, log, direct wave, probe ellipse, travel curve), the overlays of the
// three modes and the envelope curves held against the computations (and as
// pixels), the ellipse check, the diagram and the trial hyperbola.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/memo.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/string_grid.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/grid_time_form.h"
#include "tools/imaging/grid_time_kernel.h"
#include "tools/imaging/grid_time_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace grid_time_form_test {

// 24 antennas of 100 samples over 40 ns at 100 mm/ns: 0.02 m of path per sample.
constexpr int64_t kTraces = 24;
constexpr int kSamples = 100;
constexpr int32_t kNullShift = 3;

using reconstruction_test_support::Pixels;

// A reflector at (0.6 m, 0.8 m) under antennas at 0.2 + 0.05 i: a ringing
// wavelet at each antenna's travel path, so that every trace has several picks.
std::vector<int32_t> Reflector() {
  std::vector<int32_t> v(static_cast<size_t>(kTraces * kSamples));
  for (int64_t i = 0; i < kTraces; ++i)
    for (int k = 0; k < kSamples; ++k) {
      const long double arrival = GetYPoint(0.6L, 0.8L, 0.2L + 0.05L * i) / 0.02L;
      const long double d = k - arrival;
      v[static_cast<size_t>(i * kSamples + k)] = static_cast<int32_t>(std::lround(20000 * std::exp(-d * d / 40) * std::cos(d)));
    }
  return v;
}

class GridTimeFormTest : public reconstruction_test_support::FormFixture<TGridTimeTool, TGridTimeForm, TGridTimeParam,
                                                                         kTraces, kSamples, kNullShift, 12> {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    input = Reflector();
    SetSamples(*view, input);
  }
  TGridTimeForm& Open() {
    TGridTimeForm& form = OpenForm({true, 2.0L, 120, 3, 0.2L, 0.05L});
    host.DrainMessages();
    return form;
  }
  // A run with Apply on, the grid one column per antenna and one row per sample.
  void Run(TGridTimeForm& form) {
    form.ExecCheckBox->SetChecked(true);
    form.ApplayBitBtn->Click();
    tool.iXStep = 0.05L;
    tool.iYStep = view->SampleToDepth(1) - view->SampleToDepth(0);
    tool.execute(false, 0);
  }
  TGridTimeAxis Axis() const { return tool.AxisOf(0); }
  static int Runs(FakeToolHost& h) {
    int n = 0;
    for (const TRecordedMessage& m : h.DrainMessages()) n += m.Msg == static_cast<UINT>(WM_TOOLSRUN);
    return n;
  }
  static void Pick(TComboBox& box, int index) {
    box.SetItemIndex(index);
    box.OnChange(&box);
  }
};

TEST_F(GridTimeFormTest, ControlsRangesEventsAndTheEnterRule) {
  auto* fresh = TComponent::Create<TGridTimeForm>(Application);
  EXPECT_EQ(fresh->Caption(), "Grid Time");
  EXPECT_EQ(fresh->FormStyle(), fsStayOnTop);
  reconstruction_test_support::ExpectEditRanges(
      {{fresh->XYProportionalDigitEdit, 0.1L, 100, 0.1L, 1, false},
       {fresh->dHDigitEdit, 1, 299, 1, 299, false},
       {fresh->DistanceReceptDigitEdit, -10, 10, 0.01L, 0, true},
       {fresh->StepReceptDigitEdit, -10, 10, 0.01L, 0.05L, true},
       {fresh->XstepDigitEdit, 0.001L, 100, 0.001L, 0.05L, false},
       {fresh->YStepDigitEdit, 0.001L, 10, 0.001L, 0.0075L, false},
       {fresh->XElipseDigitEdit, -10000, 10000, 0.05L, 0.9L, true},
       {fresh->YElipseDigitEdit, 0, 10000, 0.001L, 1.425L, false},
       {fresh->GridStepSectDigitEdit, 0.01L, 10, 0.01L, 0.01L, false},
       {fresh->VisibleSectDigitEdit, 0, 99, 1, 10, false},
       {fresh->MaxIterationDigitEdit, 0, 99, 1, 10, false},
       {fresh->AntenCountDigitEdit, 1, 1000, 1, 1, false}});
  EXPECT_EQ(fresh->PntComboBox->Items(), (QStringList{"No point", "Max point", "Sect point", "Test sect"}));
  EXPECT_TRUE(fresh->PositivCheckBox->Checked());
  EXPECT_EQ(fresh->PositivCheckBox->Text(), "Positiv Max");
  EXPECT_EQ(fresh->CreateArAntenBitBtn->Hint(), "Create Array Anten");
  EXPECT_EQ(fresh->SaveArAntenBitBtn->Hint(), "Save Array Anten");
  EXPECT_EQ(fresh->LoadArAntenBitBtn->Hint(), "Load Array Anten");
  EXPECT_EQ(fresh->SearchX_YBitBtn, nullptr) << "no scans";
  EXPECT_EQ(fresh->MinAmpDigitEdit, nullptr);
  EXPECT_FALSE(fresh->InfoMemo->Visible());
  EXPECT_FALSE(fresh->Chart1->Visible());
  EXPECT_FALSE(fresh->HyperbolaCheckButton->Visible());
  delete fresh;

  tool.MaxIteration = 7;
  tool.VisibleSect = 4;
  TGridTimeForm& form = OpenForm({true, 6.5L, 120, 3, 0.3L, 0.04L});
  // SetPropertyes: Apply off, the spacing 0.2, the depth step of channel 0.
  EXPECT_FALSE(form.ExecCheckBox->Checked());
  EXPECT_EQ(form.XYProportionalDigitEdit->ValueReal(), 6.5L);
  EXPECT_EQ(form.DistanceReceptDigitEdit->ValueReal(), 0.2L);
  EXPECT_EQ(form.StepReceptDigitEdit->ValueReal(), 0.04L);
  EXPECT_NEAR(static_cast<double>(form.YStepDigitEdit->ValueReal()),
              static_cast<double>(view->SampleToDepth(1) - view->SampleToDepth(0)), 1e-8);
  EXPECT_EQ(form.MaxIterationDigitEdit->ValueInt(), 7);
  EXPECT_EQ(form.VisibleSectDigitEdit->ValueInt(), 4);
  EXPECT_EQ(form.PntComboBox->ItemIndex(), 0);
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Title(), "Y,m");
  EXPECT_EQ(form.ChartMigration->TopAxis()->Title(), "X,m");
  EXPECT_EQ(form.ChartMigration->RightAxis()->Title(), "Time");
  EXPECT_EQ(Runs(host), 1) << "shown, the dialog applies once";
  // No antennas before the first run; the button builds one per trace.
  EXPECT_EQ(form.AntenStringGrid->RowCount(), 2) << "the title and one empty row";
  EXPECT_EQ(form.AntenStringGrid->Cells(0, 1), "");
  form.CreateArAntenBitBtn->Click();
  ASSERT_EQ(form.AntenStringGrid->RowCount(), kTraces + 1);
  EXPECT_EQ(form.AntenStringGrid->Cells(0, 0), "N");
  EXPECT_EQ(form.AntenStringGrid->Cells(1, 0), "dx");
  EXPECT_EQ(form.AntenStringGrid->Cells(2, 0), "dy");
  EXPECT_EQ(form.AntenStringGrid->ColWidths(0), 24);
  EXPECT_EQ(form.AntenStringGrid->Cells(0, 24), "23");
  EXPECT_EQ(form.AntenStringGrid->Cells(1, 3), "0.28");
  EXPECT_EQ(form.AntenStringGrid->Cells(2, 3), "0.00");
  EXPECT_EQ(form.AntenCountDigitEdit->ValueInt(), kTraces);

  // The spacing step rebuilds the antennas and applies.
  form.StepReceptDigitEdit->SetText("0.1");
  EXPECT_EQ(tool.StepRecept, 0.1L);
  EXPECT_EQ(tool.Param[0].StepRecept, 0.1L);
  EXPECT_EQ(form.AntenStringGrid->Cells(1, 4), "0.50");
  EXPECT_EQ(Runs(host), 1);
  // Store only: no rebuild, no run.
  form.AntenCountDigitEdit->SetText("5");
  form.XstepDigitEdit->SetText("0.02");
  form.GridStepSectDigitEdit->SetText("0.05");
  EXPECT_EQ(tool.AntenCount, 5);
  EXPECT_EQ(tool.iXStep, 0.02L);
  EXPECT_EQ(tool.GridStepSect, 0.05L);
  EXPECT_EQ(form.AntenStringGrid->RowCount(), kTraces + 1);
  EXPECT_EQ(Runs(host), 0);
  form.CreateArAntenBitBtn->Click();
  EXPECT_EQ(tool.AntenCount, kTraces) << "the button builds one antenna per trace";
  // "Positiv Max" and the visualisation store and apply.
  form.PositivCheckBox->SetChecked(false);
  EXPECT_FALSE(tool.PositivMax);
  Pick(*form.PntComboBox, 2);
  EXPECT_EQ(tool.PntVisual, gtSectPoint);
  EXPECT_EQ(Runs(host), 2);

  reconstruction_test_support::ExpectEnterRule(
      form,
      {form.XYProportionalDigitEdit, form.DistanceReceptDigitEdit, form.dHDigitEdit, form.StepReceptDigitEdit,
       form.XstepDigitEdit, form.YStepDigitEdit},
      form.GridStepSectDigitEdit);
}

TEST_F(GridTimeFormTest, ARunFillsTheChartWithTheGridTheDirectWaveAndTheProbe) {
  TGridTimeForm& form = Open();
  Run(form);
  EXPECT_EQ(Samples(*view), input) << "the channel is never changed";
  EXPECT_EQ(form.InfoMemo->Lines(), (QStringList{"Prepeare calculation", "X=24,Y=100", "End calculation"}));
  EXPECT_EQ(host.preparedBmps, std::vector<int>{0});
  ASSERT_TRUE(tool.BmpGrid);
  EXPECT_EQ(Pixels(*form.ChartMigration->BackImage()), Pixels(*tool.BmpGrid));
  EXPECT_TRUE(form.ChartMigration->BackImageInside());

  const TGridTimeAxis axis = Axis();
  const long double T0 = 2.0L / 1000 - 0.2L / 299;
  const long double aMin = -T0 * axis.SpeedLight / 2;
  EXPECT_NEAR(static_cast<double>(tool.AMin), static_cast<double>(aMin), 1e-15);
  TChart& chart = *form.ChartMigration;
  EXPECT_DOUBLE_EQ(chart.LeftAxis()->Minimum(), static_cast<double>(aMin));
  EXPECT_DOUBLE_EQ(chart.LeftAxis()->Maximum(), static_cast<double>(aMin + axis.SampleToPath(kSamples)));
  EXPECT_DOUBLE_EQ(chart.TopAxis()->Minimum(), 0.2);
  EXPECT_DOUBLE_EQ(chart.TopAxis()->Maximum(), static_cast<double>(24 * 0.05L + 0.2L));
  ASSERT_EQ(form.PositionSeries->Count(), 2);
  EXPECT_DOUBLE_EQ(form.PositionSeries->XValue(1), static_cast<double>(24 * 0.05L + 0.2L));

  // The direct wave: an antenna's emission-to-arrival time as a sample.
  ASSERT_EQ(form.HyperbolaSeries->Count(), kTraces);
  for (int i : {0, 11, 23}) {
    const long double dx = 0.2L + 0.05L * i;
    const long double tDirect = T0 + dx / 299;
    const int64_t k = static_cast<int64_t>(Round(tDirect * 1000 / (40.0L / kSamples)));
    EXPECT_DOUBLE_EQ(form.HyperbolaSeries->XValue(i), static_cast<double>(dx));
    EXPECT_NEAR(form.HyperbolaSeries->YValue(i), static_cast<double>(aMin + k * 0.02L), 1e-12) << i;
  }
  // The probe: its half ellipse, closed at (c + a, 0), its bubble.
  const long double h = aMin + 1.425L;
  const TEllipse e = PickEllipse(0.9L, h);
  const std::vector<TPoint2> half = EllipsePoints(e);
  ASSERT_EQ(form.SeriesNull->Count(), static_cast<int>(half.size()) + 2);
  for (size_t k : {size_t{0}, half.size() / 3, half.size() - 1}) {
    EXPECT_DOUBLE_EQ(form.SeriesNull->XValue(static_cast<int>(k)), static_cast<double>(half[k].x));
    EXPECT_DOUBLE_EQ(form.SeriesNull->YValue(static_cast<int>(k)), static_cast<double>(half[k].y));
  }
  EXPECT_DOUBLE_EQ(form.SeriesNull->XValue(static_cast<int>(half.size()) + 1), static_cast<double>(e.c + e.a));
  EXPECT_EQ(form.SeriesNull->YValue(static_cast<int>(half.size()) + 1), 0);
  ASSERT_EQ(form.PntSeries->Count(), 1);
  EXPECT_DOUBLE_EQ(form.PntSeries->YValue(0), static_cast<double>(h));
  EXPECT_DOUBLE_EQ(form.PntSeries->RadiusValue(0), 0.05);

  // The probe point's travel curve follows its edits.
  form.XElipseDigitEdit->SetText("0.5");
  ASSERT_EQ(form.SliceSeries->Count(), kTraces);
  EXPECT_DOUBLE_EQ(form.SliceSeries->YValue(7), static_cast<double>(GetYPoint(0.5L, 1.425L, 0.2L + 7 * 0.05L)));
  EXPECT_DOUBLE_EQ(form.PntSeries->XValue(0), 0.5);
}

TEST_F(GridTimeFormTest, OverlaysAreThePicksAndCountsOfTheRun) {
  TGridTimeForm& form = Open();
  Pick(*form.PntComboBox, gtMaxPoint);
  Run(form);
  ASSERT_EQ(tool.PntVisual, gtMaxPoint);
  const TGridTimeAxis axis = Axis();
  const double top = form.ChartMigration->LeftAxis()->Minimum();
  int picks = 0;
  for (const auto& list : tool.arMaxInTraces) picks += static_cast<int>(list.size());
  ASSERT_GT(picks, kTraces);
  ASSERT_EQ(form.MaxSeries->Count(), picks);
  EXPECT_FALSE(form.MaxSeries->MarksVisible());
  int n = 0;
  for (size_t i = 0; i < tool.arMaxInTraces.size(); ++i)
    for (const TMaxSample& p : tool.arMaxInTraces[i]) {
      EXPECT_DOUBLE_EQ(form.MaxSeries->XValue(n), static_cast<double>(0.2L + 0.05L * i));
      EXPECT_DOUBLE_EQ(form.MaxSeries->YValue(n), static_cast<double>(axis.SampleToPath(p.NumSampleMax)) + top);
      EXPECT_DOUBLE_EQ(form.MaxSeries->RadiusValue(n),
                       static_cast<double>(MaxPointRadius(p.AmplMax, tool.GlobalExtremeE)));
      EXPECT_EQ(form.MaxSeries->ValueColor(n), clRed);
      ++n;
    }

  // "Sect point": every cell above the threshold, counted over the chart's
  // ranges; none above the largest count.
  tool.PntVisual = gtSectPoint;
  tool.GridStepSect = 0.05L;
  tool.VisibleSect = 0;
  tool.execute(false, 0);
  int32_t maxCount = 0;
  const std::vector<TSectBubble> all =
      SectPoints(tool.arMaxInTraces, tool.arAnten, axis, form.ChartRange(), 0.05L, 0, maxCount);
  ASSERT_GT(maxCount, 2);
  ASSERT_EQ(form.MaxSeries->Count(), static_cast<int>(all.size()));
  EXPECT_TRUE(form.MaxSeries->MarksVisible());
  int biggest = 0;
  for (int k = 0; k < form.MaxSeries->Count(); ++k) {
    const TSectBubble& b = all[static_cast<size_t>(k)];
    EXPECT_DOUBLE_EQ(form.MaxSeries->XValue(k), static_cast<double>(b.ix * 0.05L));
    EXPECT_DOUBLE_EQ(form.MaxSeries->YValue(k), static_cast<double>(b.iy * 0.05L) + top);
    EXPECT_EQ(form.MaxSeries->Label(k), QString::number(b.count));
    EXPECT_EQ(static_cast<uint32_t>(form.MaxSeries->ValueColor(k)), SectColour(b.count, maxCount));
    if (b.count > all[static_cast<size_t>(biggest)].count) biggest = k;
  }
  // The biggest bubble as drawn: its colour around its centre.
  // The last bubble: nothing is drawn over its centre.
  const int lastBubble = form.MaxSeries->Count() - 1;
  const int cx = form.MaxSeries->CalcXPos(lastBubble), cy = form.MaxSeries->CalcYPos(lastBubble);
  const TColor colour = form.MaxSeries->ValueColor(lastBubble);
  int same = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) same += ShownColor(*form.ChartMigration, cx + dx, cy + dy) == colour;
  EXPECT_GE(same, 15);
  EXPECT_EQ(all[static_cast<size_t>(biggest)].count, maxCount);

  tool.VisibleSect = maxCount - 1;
  tool.execute(false, 0);
  ASSERT_GE(form.MaxSeries->Count(), 1);
  for (int k = 0; k < form.MaxSeries->Count(); ++k) EXPECT_EQ(form.MaxSeries->Label(k), QString::number(maxCount));
  tool.VisibleSect = maxCount;
  tool.execute(false, 0);
  EXPECT_EQ(form.MaxSeries->Count(), 0) << "no count above the threshold: no bubble";

  // "Test sect": the drawn pair's ellipses and bubbles; one antenna twice: nothing.
  tool.PntVisual = gtTestSect;
  uint32_t twice = 0, pair = 0;
  bool foundTwice = false, foundPair = false;
  for (uint32_t seed = 0; seed < 2000 && !(foundTwice && foundPair); ++seed) {
    const auto c = ChooseTestSect(tool.arMaxInTraces, seed);
    ASSERT_TRUE(c);
    if (c->a == c->b && !foundTwice) twice = seed, foundTwice = true;
    if (c->a != c->b && !foundPair) pair = seed, foundPair = true;
  }
  ASSERT_TRUE(foundTwice && foundPair);
  tool.TestSectSeed = pair;
  tool.execute(false, 0);
  const TTestSectChoice c = *ChooseTestSect(tool.arMaxInTraces, pair);
  const TTestSect s = *TestSect(tool.arMaxInTraces, tool.arAnten, axis, c);
  EXPECT_EQ(form.SeriesNull->Count(), static_cast<int>(EllipsePoints(s.first).size()));
  EXPECT_EQ(form.SliceSeries->Count(), static_cast<int>(EllipsePoints(s.second).size()));
  EXPECT_EQ(form.PntSeries->Count(), 0);
  ASSERT_EQ(form.MaxSeries->Count(), s.cross ? 3 : 2);
  const int last = form.MaxSeries->Count() - 1;
  EXPECT_EQ(form.MaxSeries->ValueColor(last - 1), clBlue);
  EXPECT_EQ(form.MaxSeries->ValueColor(last), clGreen);
  EXPECT_DOUBLE_EQ(form.MaxSeries->XValue(last), static_cast<double>(tool.arAnten[static_cast<size_t>(c.b)].dx));
  EXPECT_DOUBLE_EQ(form.MaxSeries->RadiusValue(last), 0.02);
  tool.TestSectSeed = twice;
  tool.execute(false, 0);
  EXPECT_EQ(form.MaxSeries->Count(), 0);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(GridTimeFormTest, EnvelopeCurvesAndTheEllipseCheck) {
  TGridTimeForm& form = Open();
  form.WiggleCheckBox->SetChecked(true);
  form.XElipseDigitEdit->SetText("0.45");
  form.MaxIterationDigitEdit->SetText("3");
  Run(form);
  ASSERT_TRUE(tool.ShowWiggle);
  ASSERT_EQ(tool.XElipse, 0.45L);
  std::vector<long double> out;
  std::vector<TMaxSample2> list;
  const int32_t passes = EnergyEnvelope(input.data() + 5 * kSamples, kSamples, 3, out, list);
  long double m = 1;
  for (int k = 0; k < kSamples; ++k) {
    const long double v = static_cast<long double>(input[static_cast<size_t>(5 * kSamples + k)]);
    m = std::max(m, v * v);
  }
  ASSERT_EQ(form.TestMaxSeries0->Count(), kSamples);
  ASSERT_EQ(form.TestMaxSeries1->Count(), kSamples);
  ASSERT_EQ(form.TestMaxSeriesVertAxis->Count(), 2);
  EXPECT_EQ(form.TestMaxSeriesVertAxis->Label(0), QString::number(passes));
  const double top = form.ChartMigration->LeftAxis()->Minimum();
  for (int k : {0, 40, 99}) {
    const long double v = static_cast<long double>(input[static_cast<size_t>(5 * kSamples + k)]);
    EXPECT_NEAR(form.TestMaxSeries0->XValue(k), static_cast<double>(tool.XElipse + 0.5L / m * v * v), 1e-12);
    EXPECT_NEAR(form.TestMaxSeries1->XValue(k), static_cast<double>(tool.XElipse + 0.5L / m * out[static_cast<size_t>(k)]),
                1e-12);
    EXPECT_DOUBLE_EQ(form.TestMaxSeries0->YValue(k), static_cast<double>(Axis().SampleToPath(k)) + top);
    EXPECT_EQ(form.TestMaxSeries1->ValueColor(k), clBlue);
  }

  // A probe above the emission has no extent (b = 0): neither drawn nor checked.
  tool.YElipse = 0;
  ASSERT_LT(tool.AMin, 0);
  form.SeriesNull->Clear();
  tool.PaintArNullRadar();
  EXPECT_EQ(form.SeriesNull->Count(), 0);
  EXPECT_TRUE(TDialogScript::Shown().empty());
  // Endless (a read value out of all range): neither drawn nor checked.
  tool.YElipse = std::numeric_limits<long double>::infinity();
  tool.PaintArNullRadar();
  EXPECT_EQ(form.SeriesNull->Count(), 0);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(GridTimeFormTest, DiagramOnDoubleClickAndTheTrialHyperbola) {
  TGridTimeForm& form = Open();
  form.OnDblClick(&form);
  ASSERT_EQ(form.Series1->Count(), 181);
  ASSERT_EQ(form.Series2->Count(), 181);
  for (int theta : {-90, -30, 0, 45}) {
    const size_t k = static_cast<size_t>(theta + 90);
    EXPECT_DOUBLE_EQ(form.Series1->YValue(static_cast<int>(k)), static_cast<double>(tool.Diagram.Weight(theta)));
    EXPECT_NEAR(form.Series2->XValue(static_cast<int>(k)),
                static_cast<double>(tool.Diagram.Weight(theta)) * std::sin(theta * M_PI / 180), 1e-12);
  }

  // A press on the chart, then a new spacing: the trial hyperbola from the
  // pressed point, the antennas rebuilt, Apply.
  form.PickPoint(12, 30);
  form.DistanceReceptDigitEdit->SetText("0.3");
  EXPECT_EQ(tool.DistanceRecept, 0.3L);
  const std::vector<TPoint2> expected =
      TrialHyperbola(12, 30, kNullShift, tool.XYProportional, view->MinNumTraces(), view->MaxNumTraces(), 0.3L,
                     view->SampleToDepth(1) - view->SampleToDepth(0));
  ASSERT_EQ(form.HyperbolaSeries->Count(), 201);
  for (int k : {0, 100, 200}) {
    EXPECT_DOUBLE_EQ(form.HyperbolaSeries->XValue(k), static_cast<double>(expected[static_cast<size_t>(k)].x));
    EXPECT_DOUBLE_EQ(form.HyperbolaSeries->YValue(k), static_cast<double>(expected[static_cast<size_t>(k)].y));
  }
  EXPECT_EQ(form.AntenStringGrid->Cells(1, 1), "0.30");
  EXPECT_EQ(Runs(host), 1);
  // A run replaces it by the direct wave.
  Run(form);
  EXPECT_EQ(form.HyperbolaSeries->Count(), kTraces);
}

}  // namespace grid_time_form_test
