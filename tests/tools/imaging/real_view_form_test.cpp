// The real-view dialog offscreen with a fake window, on a channel holding a
// hyperbola of the test-signal generator: its controls and their ranges, the
// edits taken into the tool, Apply and Restore, the log of a live run and of a
// scan, the stops by the space key and the window's break flag, the Enter rule,
// and the hyperbola overlay and the arc preview, as values and as drawn pixels.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/memo.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/real_view_form.h"
#include "tools/imaging/real_view_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

namespace real_view_form_test {

constexpr int64_t kTraces = 60;
constexpr int kSamples = 40;
constexpr int32_t kNullShift = 3;

QStringList Lines(const TRealViewForm& form) { return form.InfoMemo->Lines(); }

// The generator's hyperbola has its apex at trace 30, sample 20.
class RealViewFormTest : public reconstruction_test_support::FormFixture<TRealViewTool, TRealViewForm, TRealViewParam,
                                                                         kTraces, kSamples, kNullShift, 30> {
protected:
  TRealViewForm& Open(const TRealViewParam& set = {true, 2, 90, 2, 0}) { return OpenForm(set); }
  // The model after `sweeps` serial sweeps of the engine on the input.
  std::vector<int32_t> Expected(int sweeps) {
    return reconstruction_test_support::ExpectedModel(input, kTraces, kSamples, tool.EngineParams(*view), sweeps);
  }
};

TEST_F(RealViewFormTest, TheControlsTheirRangesAndTheDefaultsBeforeShowing) {
  auto* fresh = TComponent::Create<TRealViewForm>(Application);
  EXPECT_EQ(fresh->ClientWidth(), 1146);
  EXPECT_EQ(fresh->ClientHeight(), 633);
  EXPECT_EQ(fresh->Caption(), "Migration");
  reconstruction_test_support::ExpectSharedControls(*fresh);
  EXPECT_EQ(fresh->ApplayBitBtn->Hint(), "Applay");
  EXPECT_EQ(fresh->ChartMigration->LeftAxis()->Title(), "#0 Time, ns");
  EXPECT_TRUE(fresh->ChartMigration->LeftAxis()->Inverted());
  EXPECT_EQ(fresh->ChartMigration->RightAxis()->Title(), "Depth, m");
  EXPECT_FALSE(fresh->CancelBitBtn->Enabled());
  delete fresh;
}

TEST_F(RealViewFormTest, ShownItTakesTheToolsValuesAndThePictureAndRunsNothing) {
  tool.dH = -3;
  tool.DecriseAmp = 0.4L;
  TRealViewForm& form = Open({true, 2.5L, 120, 4, -0.25L});
  EXPECT_EQ(form.Caption(), tool.GetCaption());
  EXPECT_EQ(form.XYProportionalDigitEdit->ValueReal(), 2.5L);
  EXPECT_EQ(form.MinAmpDigitEdit->ValueInt(), 120);
  EXPECT_EQ(form.LEngthHiperbolaDigitEdit->ValueInt(), 4);
  EXPECT_EQ(form.DistanceReceptDigitEdit->ValueReal(), -0.25L);
  EXPECT_EQ(form.dHDigitEdit->ValueInt(), -3);
  EXPECT_EQ(form.ZatuhanieDigitEdit->ValueInt(), 40);
  EXPECT_TRUE(form.ExecCheckBox->Checked());
  EXPECT_EQ(form.Left(), std::max(2, host.chartOrigin.X - form.Width()));
  EXPECT_EQ(form.Top(), host.chartOrigin.Y);
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Title(), "Simples");
  EXPECT_EQ(form.ChartMigration->LeftAxis()->Maximum(), kSamples);
  ASSERT_EQ(form.SeriesNull->Count(), 2);
  EXPECT_EQ(form.SeriesNull->YValue(1), kNullShift);
  for (const TRecordedMessage& m : host.DrainMessages()) EXPECT_NE(m.Msg, static_cast<UINT>(WM_TOOLSRUN));
  EXPECT_EQ(Samples(*view), input);
  form.CloseDialog();
}

TEST_F(RealViewFormTest, EditsGoToTheToolAtOnceAndToTheSetsOnlyWithApply) {
  TRealViewForm& form = Open();
  host.DrainMessages();
  form.XYProportionalDigitEdit->SetText("3.5");
  form.dHDigitEdit->SetText("-5");
  form.DistanceReceptDigitEdit->SetText("0.3");
  form.MinAmpDigitEdit->SetText("60");
  form.ZatuhanieDigitEdit->SetText("40");
  form.LEngthHiperbolaDigitEdit->SetText("5");
  EXPECT_EQ(tool.XYProportional, 3.5L);
  EXPECT_EQ(tool.dH, -5);
  EXPECT_EQ(tool.DistanceRecept, 0.3L);
  EXPECT_EQ(tool.MinAmpSect, 60);
  EXPECT_EQ(tool.DecriseAmp, 0.4L);
  EXPECT_EQ(tool.SizeHyperbola, 5);
  EXPECT_EQ(tool.Param[0].XYProportional, 2) << "nothing stored before Apply";
  EXPECT_TRUE(host.DrainMessages().empty()) << "nothing re-runs before Apply";

  form.ApplayBitBtn->Click();
  EXPECT_EQ(tool.Param[0].XYProportional, 3.5L);
  EXPECT_EQ(tool.Param[0].SizeHyperbola, 5);
  EXPECT_EQ(tool.Param[1].XYProportional, 10) << "editing: the dialog's channel only";
  EXPECT_EQ(host.DrainMessages(), (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 0, 0}}));
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");
  EXPECT_TRUE(form.CancelBitBtn->Enabled());

  form.CancelBitBtn->Click();
  EXPECT_EQ(tool.Param[0].XYProportional, 2);
  EXPECT_EQ(form.XYProportionalDigitEdit->ValueReal(), 2);
  EXPECT_EQ(tool.XYProportional, 2);
  form.CloseDialog();
}

TEST_F(RealViewFormTest, WhileAddingChangesGoToEverySetAndEveryChannelReRuns) {
  const TRealViewParam set{true, 2, 90, 2, 0};
  tool.SetParam(0, &set);
  tool.GetParam(0);
  ASSERT_EQ(tool.SetPropertyes(true), 1);
  auto& form = *dynamic_cast<TRealViewForm*>(tool.Form());
  Application->ProcessMessages();
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Cancel");
  for (const TRecordedMessage& m : host.DrainMessages())
    EXPECT_NE(m.Msg, static_cast<UINT>(WM_TOOLSRUN)) << "shown while adding: still no preview";

  form.XYProportionalDigitEdit->SetText("4");
  form.ExecCheckBox->SetChecked(false);
  for (const TRealViewParam& p : tool.Param) {
    EXPECT_EQ(p.XYProportional, 4);
    EXPECT_FALSE(p.Apply);
  }
  EXPECT_EQ(host.DrainMessages(), (std::vector<TRecordedMessage>{{WM_TOOLSRUN, ToolsRunAllChannels, 0}}))
      << "switched off: a run that shows the input everywhere";

  // A scan button stores the edits the same way before it scans.
  form.MinAmpDigitEdit->SetText("70");
  form.SearchdHBitBtn->Click();
  for (const TRealViewParam& p : tool.Param) EXPECT_EQ(p.MinAmpSect, 70);
  EXPECT_EQ(tool.TypePodbor, 1);
  form.CloseDialog();
}

TEST_F(RealViewFormTest, ALiveRunLogsIntoTheMemoAndShowsEachIteration) {
  TRealViewForm& form = Open();
  std::vector<QString> log;
  tool.OnLog = [&](const QString& line) { log.push_back(line); };
  form.InfoMemo->SetText("an earlier run");
  // The arc preview has shown every row when the first iteration starts.
  std::vector<std::pair<double, double>> shownArc;
  double shownX = 0, shownY = 0;
  host.onYield = [&](int) {
    if (!shownArc.empty()) return;
    for (int k = 0; k < form.HyperbolaSeries->Count(); ++k)
      shownArc.emplace_back(form.HyperbolaSeries->XValue(k), form.HyperbolaSeries->YValue(k));
    shownX = form.HyperbolaX;
    shownY = form.HyperbolaY;
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines[0], "Prepeare calculation");
  EXPECT_EQ(lines[1], QStringLiteral("X=%1,Y=%2").arg(kTraces).arg(kSamples));
  EXPECT_EQ(lines[2], "Begin calculation");
  EXPECT_TRUE(lines[3].startsWith("0 dA=") && lines[3].endsWith("%")) << lines[3].toStdString();
  EXPECT_TRUE(lines[4].startsWith("1 dA="));
  EXPECT_EQ(lines[5], "End calculation");
  EXPECT_EQ(QStringList(log.begin(), log.end()), lines) << "the tool's own log is the same";
  EXPECT_EQ(host.preparedBmps, (std::vector<int>{0, 0})) << "the window redraws after each iteration";
  EXPECT_EQ(Samples(*view), Expected(2));

  // The preview left the last row's arc about the middle trace; the picture of
  // the first iteration, "Hyperbola" unticked, cleared it.
  const TRealViewParams p = tool.EngineParams(*view);
  const TRealViewArc arc = BuildArc(p, RealViewSinA(45), kSamples - 1);
  ASSERT_GT(arc.dXArc, 0);
  ASSERT_EQ(shownArc.size(), static_cast<size_t>(2 * arc.dXArc + 1));
  const double centre = static_cast<double>(view->MinNumTraces() + view->MaxNumTraces()) / 2;
  for (int32_t i = -arc.dXArc; i <= arc.dXArc; ++i) {
    EXPECT_EQ(shownArc[static_cast<size_t>(i + arc.dXArc)].first, centre + i);
    EXPECT_EQ(shownArc[static_cast<size_t>(i + arc.dXArc)].second, static_cast<double>(arc.DepthAt(i)));
  }
  EXPECT_EQ(shownX, centre);
  EXPECT_EQ(shownY, kSamples - 1);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 0);

  // Closed, the dialog gets nothing; the tool's log goes on.
  form.CloseDialog();
  log.clear();
  host.preparedBmps.clear();
  tool.execute(false, 0);
  EXPECT_EQ(Lines(form), lines);
  EXPECT_TRUE(host.preparedBmps.empty());
  EXPECT_EQ(log.size(), 6u);
}

TEST_F(RealViewFormTest, TheSpaceKeyEndsTheRunAfterTheCurrentIteration) {
  TRealViewForm& form = Open({true, 2, 90, 4, 0});
  form.InfoMemo->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.InfoMemo->Focused(); }));
  host.onYield = [&](int) {
    if (tool.BreakExecute) return;
    // The key as the form previews it from the memo the run has focused.
    WORD key = VK_SPACE;
    form.OnKeyDown(form.InfoMemo, key, {});
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  EXPECT_TRUE(tool.BreakExecute);
  EXPECT_EQ(Samples(*view), Expected(1));
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 5);
  EXPECT_TRUE(lines[3].startsWith("0 dA="));
  EXPECT_EQ(lines[4], "End calculation");
  EXPECT_TRUE(tool.AExecuting);
  EXPECT_TRUE(form.Visible()) << "the space key is not OK";
  form.CloseDialog();
}

TEST_F(RealViewFormTest, TheWindowsBreakBeforeTheSecondIterationSwitchesApplyOff) {
  TRealViewForm& form = Open({true, 2, 90, 3, 0});
  host.DrainMessages();
  // Set once the second iteration's progress is shown.
  host.onYield = [&](int) {
    if (host.progress.size() == 2) host.br = true;
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  host.br = false;
  EXPECT_EQ(Samples(*view), Expected(1));
  EXPECT_TRUE(tool.Param[0].Apply) << "the sets keep Apply";
  EXPECT_EQ(Lines(form).size(), 5);
  for (const TRecordedMessage& m : host.DrainMessages())
    EXPECT_NE(m.Msg, static_cast<UINT>(WM_TOOLSRUN)) << "Apply off: no preview";
  form.CloseDialog();
}

TEST_F(RealViewFormTest, EnterIsOkOnlyOutsideFiveEdits) {
  TRealViewForm& form = Open();
  // The decrease's edit is not kept: OK.
  reconstruction_test_support::ExpectEnterRule(form,
                                               {form.XYProportionalDigitEdit, form.dHDigitEdit,
                                                form.DistanceReceptDigitEdit, form.MinAmpDigitEdit,
                                                form.LEngthHiperbolaDigitEdit},
                                               form.ZatuhanieDigitEdit);
}

TEST_F(RealViewFormTest, AScanButtonLogsEachCandidateAndTakesTheEditsBack) {
  TRealViewForm& form = Open({true, 3, 90, 1, 0});
  tool.execute(false, 0);
  host.preparedBmps.clear();
  form.SearchX_YBitBtn->Click();
  const QStringList lines = Lines(form);
  ASSERT_EQ(lines.size(), 18);
  EXPECT_EQ(lines[0], "Prepeare calculation");
  EXPECT_TRUE(lines[2].startsWith("XY=0.5 dA="));
  EXPECT_TRUE(lines[17].startsWith("XY=8.0 dA="));
  EXPECT_EQ(host.preparedBmps, std::vector<int>(16, 0)) << "channel 0 redrawn after each candidate";
  EXPECT_EQ(tool.TypePodbor, 0);
  EXPECT_EQ(tool.XYProportional, 3) << "the edit's value, not the last candidate";
  EXPECT_EQ(Samples(*view), input) << "the channel shows the tool's input";
  EXPECT_FALSE(tool.runing);

  // The angle button scans the angle.
  form.SearchBitBtn->Click();
  EXPECT_EQ(Lines(form).size(), 16);
  EXPECT_TRUE(Lines(form)[2].startsWith("A=40 dA="));
  EXPECT_EQ(tool.TypePodbor, 3);
  form.CloseDialog();
}

TEST_F(RealViewFormTest, AFailedScanReportsItsErrorAndTakesTheEditsBack) {
  TRealViewForm& form = Open({true, 0.1L, 90, 1, 0});
  tool.SetAllApply(false);
  tool.execute(false, 0);  // the saved input, passed through
  tool.SetAllApply(true);
  tool.GetParam(0);
  form.dHDigitEdit->SetText("1000");
  QString error;
  Application->OnException = [&](TObject*, std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      error = QString::fromUtf8(x.what());
    }
  };
  form.SearchdHBitBtn->Click();
  Application->OnException = nullptr;
  EXPECT_TRUE(error.startsWith("Hyperbola array limits ")) << error.toStdString();
  EXPECT_EQ(tool.dH, 1000) << "not the candidate 990";
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);
  form.CloseDialog();
}

// The hyperbola of an apex at sample y under trace x, for offsets -100 .. 100.
std::vector<std::pair<double, double>> Hyperbola(const T2Dview& view, long double xy, long double distance, double y,
                                                 double x) {
  const long double dz = view.SampleToDepth(1) - view.SampleToDepth(0);
  const long double h = y - kNullShift;
  const long double e = distance / dz / 2;
  const long double c = std::sqrt(h * h + e * e);
  std::vector<std::pair<double, double>> points;
  for (int i = -100; i <= 100; ++i)
    points.emplace_back(x + i, static_cast<double>(kNullShift + std::sqrt(c * c + (xy * i) * (xy * i)) - (c - h)));
  return points;
}

TEST_F(RealViewFormTest, TheHyperbolaOverlayFollowsTheBoxTheEditsAndAPressOnThePicture) {
  TRealViewForm& form = Open({true, 2, 90, 2, 0.2L});
  form.HyperbolaCheckButton->SetChecked(true);
  EXPECT_EQ(form.HyperbolaY, kSamples / 2.0);
  EXPECT_EQ(form.HyperbolaX, (view->MinNumTraces() + view->MaxNumTraces()) / 2.0);
  ASSERT_EQ(form.HyperbolaSeries->Count(), 201);

  // A press on the picture moves the apex there.
  TChart& chart = *form.ChartMigration;
  const int px = chart.TopAxis()->CalcPosValue(20);
  const int py = chart.LeftAxis()->CalcPosValue(12);
  SendMouse(chart, maPress, mbLeft, false, false, px, py);
  SendMouse(chart, maRelease, mbLeft, false, false, px, py);
  EXPECT_NEAR(form.HyperbolaX, 20, 0.5);
  EXPECT_NEAR(form.HyperbolaY, 12, 0.5);
  form.XYProportionalDigitEdit->SetText("1.5");
  const auto expected = Hyperbola(*view, 1.5L, 0.2L, form.HyperbolaY, form.HyperbolaX);
  ASSERT_EQ(form.HyperbolaSeries->Count(), 201);
  for (int k = 0; k < 201; ++k) {
    EXPECT_DOUBLE_EQ(form.HyperbolaSeries->XValue(k), expected[static_cast<size_t>(k)].first);
    EXPECT_NEAR(form.HyperbolaSeries->YValue(k), expected[static_cast<size_t>(k)].second, 1e-9);
  }

  // Drawn in red: the points inside the picture, off the time-zero line.
  TBitmap page;
  page.SetPixelFormat(pf32bit);
  page.SetSize(chart.ClientWidth(), chart.ClientHeight());
  chart.PaintTo(*page.Canvas(), Rect(0, 0, chart.ClientWidth(), chart.ClientHeight()));
  int checked = 0;
  for (int k = 0; k < 201; ++k) {
    const auto [x, y] = expected[static_cast<size_t>(k)];
    if (x < chart.TopAxis()->Minimum() + 1 || x > chart.TopAxis()->Maximum() - 1 || y > kSamples - 1 ||
        y < kNullShift + 2)
      continue;
    EXPECT_EQ(page.Canvas()->Pixels(form.HyperbolaSeries->CalcXPos(k), form.HyperbolaSeries->CalcYPos(k)), clRed)
        << k;
    ++checked;
  }
  EXPECT_GT(checked, 10);

  // Above time zero: nothing; unticked: nothing.
  form.PickPoint(30, kNullShift - 1);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 0);
  form.PickPoint(30, 20);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 201);
  form.HyperbolaCheckButton->SetChecked(false);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 0);
  form.PickPoint(30, 25);
  EXPECT_EQ(form.HyperbolaSeries->Count(), 0);
  form.CloseDialog();
}

}  // namespace real_view_form_test
