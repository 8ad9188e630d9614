// The mouse on a radargram chart of a real profile file, fed the toolkit's own
// input: the read-out, the hit rules, dragging a marker, placing markers with
// the tool bar or with Ctrl while recording, delete mode, the messages an open
// tool dialog hears, the hand tool and the wiggle trace.

#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/chart.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "radargram/marker_frames.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace view2d_mouse_test {

constexpr int kTraces = 200;
constexpr int kSamples = 64;

class View2DMouse : public ::testing::Test {
protected:
  void SetUp() override {
    env.shell.newCreate = false;
    TView2DForm* writer = env.Create(1);
    T2Dview& store = *writer->GetView2DByIndx(0);
    FillRawSums(store, kTraces, kSamples, [](int t, int j) {
      return static_cast<int32_t>(((int64_t{t} * kSamples + j) * 37) % 2001 - 1000);
    });
    const QString file = env.dir.path() + QStringLiteral("/mouse.dezo");
    ASSERT_TRUE(store.WriteToFile(file));
    writer->Free();
    w = env.Create(5);
    w->ReadFromFile(file);
    chart = w->GetChartByIndx(0);
    settings = w->GetView2DByIndx(0)->Settings();
  }
  void TearDown() override { w->Free(); }

  int Px(double trace) const { return chart->TopAxis()->CalcPosValue(trace); }
  int Py(int sample) const { return chart->LeftAxis()->CalcPosValue(static_cast<double>(settings->SampleToTime(sample))); }

  TRadargramEnv env;
  TView2DForm* w = nullptr;
  TChart* chart = nullptr;
  TSettingData* settings = nullptr;
};

void Move(TControl& c, int x, int y, bool left = false) { SendMouse(c, maMove, mbLeft, left, false, x, y); }
void Press(TControl& c, int x, int y, TMouseButton b = mbLeft, bool ctrl = false) {
  SendMouse(c, maPress, b, true, ctrl, x, y);
}
void Release(TControl& c, int x, int y, TMouseButton b = mbLeft) { SendMouse(c, maRelease, b, false, false, x, y); }
void Click(TControl& c, int x, int y, TMouseButton b = mbLeft, bool ctrl = false) {
  Press(c, x, y, b, ctrl);
  Release(c, x, y, b);
}
void UserClick(TControl& button) { Click(button, button.Width() / 2, button.Height() / 2); }

// A chain tool whose hidden window records what it hears.
class MouseTool : public IChainTool {
public:
  MouseTool() : handle(AllocateHWnd([this](TMessage& m) { heard.push_back(m); })) {}
  ~MouseTool() override { DeallocateHWnd(handle); }
  QString GetCaption() const override { return QStringLiteral("tool"); }
  void SetCaption(const QString&) override {}
  QString GetToolName() const override { return QStringLiteral("TOOL"); }
  bool GetExecuting() const override { return false; }
  void SetExecuting(bool) override {}
  int32_t GetCurrentNumberView() const override { return 0; }
  void SetCurrentNumberView(int32_t) override {}
  void execute(bool, int32_t) override {}
  bool HasSavedInput(int32_t) const override { return false; }
  HWND GetHandle() const override { return handle; }
  TBitmap* GetBmpIcon1() const override { return nullptr; }
  TBitmap* GetBmpIcon2() const override { return nullptr; }
  HWND handle;
  std::vector<TMessage> heard;
};

TEST_F(View2DMouse, ReadOutWithTwoDecimalsInsideAndBlanksOutside) {
  env.shell.readouts.clear();
  Move(*chart, Px(50), Py(10));
  ASSERT_FALSE(env.shell.readouts.empty());
  const auto& r = env.shell.readouts.back();
  const double time = chart->LeftAxis()->CalcPosPoint(Py(10));
  EXPECT_EQ(r[0], FloatToStrF(time, ffFixed, 5, 2));
  EXPECT_EQ(r[2], "50");
  const long double t0 = w->ZeroTimeOf(0, settings->GetNullShift());
  EXPECT_EQ(r[1], FloatToStrF(settings->GetSpeedLight() * (time - t0) / 2000.0L, ffFixed, 5, 2));
  // The profile's traces are placed by distance: the distance from the trace step.
  const double x = chart->TopAxis()->CalcPosPoint(Px(50));
  EXPECT_EQ(r[3], FloatToStrF(settings->GetMeasureStep() * x / (w->ProportionalCoefic * 1000.0L), ffFixed, 5, 2));
  Move(*chart, 2, 2);
  EXPECT_EQ(env.shell.readouts.back(), (std::array<QString, 4>{" ", " ", " ", " "}));
}

TEST_F(View2DMouse, AClickOnAnObjectMarkerSelectsItAndADragIsHeldAtTheTraceLimit) {
  TObjectMarkersData& marks = *settings->ObjectMarkersArray;
  marks.Add(0, clRed, QStringLiteral("M0"), 20, 100);
  w->PrepareObjectsTreeAll();
  // Four traces away is a hit, five is not.
  Click(*chart, Px(96), Py(20));
  EXPECT_EQ(w->MoveObj, tmNoObject);  // the mouse-up ends it
  TTreeNode* selected = w->GetObjectsTreeViewByIndx(0)->Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->Data(), marks.GetObjectMarker(0));
  w->GetObjectsTreeViewByIndx(0)->SetSelected(nullptr);
  Press(*chart, Px(105), Py(20));
  EXPECT_EQ(w->MoveObj, tmNoObject);
  Release(*chart, Px(105), Py(20));

  Press(*chart, Px(100), Py(20));
  EXPECT_EQ(w->MoveObj, tmObject);
  EXPECT_EQ(w->MoveIndxSelObj, 0);
  Move(*chart, Px(150), Py(30), true);
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumTrace(), 150);
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumSample(), 30);
  EXPECT_EQ(chart->Cursor(), 44);
  Move(*chart, Px(400), Py(30), true);
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumTrace(), kTraces - 1);
  Release(*chart, Px(400), Py(30));
  EXPECT_EQ(w->MoveIndxProfObj, -1);
  Move(*chart, Px(400), Py(30));
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumTrace(), kTraces - 1);
}

TEST_F(View2DMouse, CtrlClicksWhileRecordingAddMarkersAndPlainClicksDoNot) {
  env.shell.runButtonDown = true;
  Click(*chart, Px(30), Py(40), mbRight);
  Click(*chart, Px(30), Py(40), mbLeft);
  EXPECT_EQ(settings->SurfaceMarkersArray->Count(), 0);
  EXPECT_EQ(settings->ObjectMarkersArray->Count(), 0);
  Click(*chart, Px(30), Py(40), mbRight, true);
  Click(*chart, Px(60), Py(40), mbRight, true);
  ASSERT_EQ(settings->SurfaceMarkersArray->Count(), 2);
  EXPECT_EQ(settings->SurfaceMarkersArray->GetSurfaceMarker(0)->GetComment(), "S0");
  EXPECT_EQ(settings->SurfaceMarkersArray->GetSurfaceMarker(1)->GetComment(), "S1");
  EXPECT_EQ(settings->SurfaceMarkersArray->GetSurfaceMarker(1)->GetNumTrace(), 60);
  Click(*chart, Px(45), Py(40), mbLeft, true);
  ASSERT_EQ(settings->ObjectMarkersArray->Count(), 1);
  const TObjectMarker& m = *settings->ObjectMarkersArray->GetObjectMarker(0);
  EXPECT_EQ(m.GetComment(), "M0");
  EXPECT_EQ(m.GetNumTrace(), 45);
  EXPECT_EQ(m.GetNumSample(), settings->TimeToSample(chart->LeftAxis()->CalcPosPoint(Py(40))));
  EXPECT_EQ(m.GetColor(), settings->ObjectMarkersArray->GetDefaultColor());
  // The new marker is selected in its tree.
  const TTreeNode* node = w->GetObjectsTreeViewByIndx(0)->Selected();
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->Data(), &m);
}

TEST_F(View2DMouse, ToolButtonsAddInsideTheTracesAndDeleteModeRemoves) {
  UserClick(*w->AddsurfaceMarkerToolButton);
  Click(*chart, Px(kTraces + 40), Py(5));
  EXPECT_EQ(settings->SurfaceMarkersArray->Count(), 0);
  Click(*chart, Px(70), Py(5));
  ASSERT_EQ(settings->SurfaceMarkersArray->Count(), 1);
  UserClick(*w->AddObjectMarkerToolButton);
  Click(*chart, Px(120), Py(40));
  ASSERT_EQ(settings->ObjectMarkersArray->Count(), 1);
  EXPECT_EQ(settings->SurfaceMarkersArray->Count(), 1);
  UserClick(*w->DelMarkerToolButton);
  Move(*chart, Px(122), Py(40));
  EXPECT_EQ(chart->Cursor(), 115);
  Click(*chart, Px(122), Py(40));
  EXPECT_EQ(settings->ObjectMarkersArray->Count(), 0);
  Click(*chart, Px(71), Py(5));
  EXPECT_EQ(settings->SurfaceMarkersArray->Count(), 0);
  EXPECT_EQ(w->GetObjectsTreeViewByIndx(0)->Items()->Top(0)->Count(), 0);
}

TEST_F(View2DMouse, AnOpenToolDialogHearsTheChannelAndTheTraceOfClicksInsideTheTraces) {
  MouseTool tool;
  w->CurTool = &tool;
  w->VisibleToolWnd = true;
  Click(*chart, Px(kTraces + 20), Py(10));
  EXPECT_TRUE(tool.heard.empty());
  Click(*chart, Px(33), Py(10));
  ASSERT_EQ(tool.heard.size(), 1u);
  EXPECT_EQ(tool.heard[0].Msg, WM_TOOLTRACECHANGED);
  EXPECT_EQ(tool.heard[0].WParam, 33u);
  EXPECT_EQ(static_cast<int64_t>(tool.heard[0].LParam),
            std::llrint(chart->LeftAxis()->CalcPosPoint(Py(10)) * 1000.0));
  w->NumActiveView = 2;  // another channel is the active one
  Press(*chart, Px(34), Py(10));
  ASSERT_EQ(tool.heard.size(), 3u);
  EXPECT_EQ(tool.heard[1].Msg, WM_TOOLVIEWCHANGED);
  EXPECT_EQ(tool.heard[1].WParam, 0u);
  EXPECT_EQ(tool.heard[1].LParam, 2);
  EXPECT_EQ(tool.heard[2].Msg, WM_TOOLTRACECHANGED);
  Release(*chart, Px(34), Py(10));
  w->CurTool = nullptr;
  w->VisibleToolWnd = false;
}

TEST_F(View2DMouse, ATenPixelHandDragToTheRightMovesTheBarAThousandBack) {
  for (int i = 0; i < 12 && w->HorScrollBar->Max() < 3000; ++i) w->Zooming(true);
  ASSERT_TRUE(w->Panel4->Visible());
  ASSERT_GE(w->HorScrollBar->Max(), 3000);
  w->HorScrollBar->SetPosition(2500);
  UserClick(*w->HandSpeedButton);
  EXPECT_EQ(chart->Cursor(), 6);
  Press(*chart, 200, 200);
  EXPECT_EQ(chart->Cursor(), 7);
  Move(*chart, 210, 200, true);
  EXPECT_EQ(w->HorScrollBar->Position(), 1500);
  Move(*chart, 230, 200, true);
  EXPECT_EQ(w->HorScrollBar->Position(), 0);
  Release(*chart, 230, 200);
  EXPECT_FALSE(w->Dragging);
}

TEST_F(View2DMouse, TheWiggleOfAZeroTraceIsAStraightLineAtTheTrace) {
  T2Dview& store = *w->GetView2DByIndx(0);
  std::fill(store.dezoData.Data() + 40 * kSamples, store.dezoData.Data() + 41 * kSamples, 0);
  UserClick(*w->WiggleSpeedButton);
  ASSERT_TRUE(w->WiggleSpeedButton->Down());
  Move(*chart, Px(40.4), Py(10));
  Click(*chart, Px(40.4), Py(10));
  const TLineSeries& slice = *w->GetSliceSeriesByIndx(0);
  ASSERT_EQ(slice.Count(), kSamples);
  for (int e = 0; e < kSamples; ++e) EXPECT_DOUBLE_EQ(slice.XValue(e), w->PosXforWeegle) << e;
  EXPECT_NEAR(w->PosXforWeegle, 40.4, 1.0);
  EXPECT_EQ(slice.ValueColor(0), clRed);
  // Another trace swings at most 60 / coefficient traces from its position.
  for (int e = 0; e < kSamples; ++e) store.dezoData.Data()[80 * kSamples + e] = (e % 5 - 2) * 100;
  Move(*chart, Px(80), Py(10));
  Click(*chart, Px(80), Py(10));
  double swing = 0;
  for (int e = 0; e < slice.Count(); ++e) swing = std::max(swing, std::fabs(slice.XValue(e) - w->PosXforWeegle));
  EXPECT_NEAR(swing, 60.0 / static_cast<double>(w->ProportionalCoefic), 1e-9);
  // Up again: the curve goes.
  UserClick(*w->WiggleSpeedButton);
  EXPECT_EQ(slice.Count(), 0);
}

TEST_F(View2DMouse, AddPolylineClicksCreateAppendAndInsertNodes) {
  TPolyLineMarkersArray& lines = *settings->PolyLineMarkersArray;
  w->LeftPageControl->SetActivePage(w->MarkersTabSheet);
  UserClick(*w->AddPoliLineToolButton);
  ASSERT_EQ(w->TpCursorAction, 4);
  Click(*chart, Px(40), Py(20));
  ASSERT_EQ(lines.Count(), 1);
  TPolyLineMarkersData& line = *lines.GetPolyLineMarkersArray(0);
  EXPECT_EQ(line.GetComment(), "1");
  EXPECT_EQ(line.Count(), 1);
  auto* frame = w->ShownFrame<TPolyLineMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->SelectPolyLineMarkersData, &line);
  Click(*chart, Px(100), Py(20));
  ASSERT_EQ(line.Count(), 2);
  EXPECT_EQ(line.Nodes()[1].X, 100);
  // A click on the segment inserts a node between its ends.
  Click(*chart, Px(70), Py(20));
  ASSERT_EQ(line.Count(), 3);
  EXPECT_EQ(line.Nodes()[1].X, 70);
  EXPECT_EQ(line.Nodes()[2].X, 100);
  // A second polyline only starts once no polyline frame is shown.
  EXPECT_EQ(lines.Count(), 1);
  EXPECT_EQ(w->GetObjectsTreeViewByIndx(0)->Items()->Top(2)->Count(), 1);
}

TEST_F(View2DMouse, DeletingNodesAsksOnlyWhenAPolylineWouldKeepOneNode) {
  TDialogScript::Reset();
  TPolyLineMarkersArray& lines = *settings->PolyLineMarkersArray;
  TPolyLineMarkersData& line = *lines.AddPolyLine(clBlue, QStringLiteral("1"));
  line.AddMark(-1, 40, 20);
  line.AddMark(0, 80, 30);
  line.AddMark(1, 120, 20);
  w->PrepareObjectsTreeAll();
  UserClick(*w->DelMarkerToolButton);
  Click(*chart, Px(80), Py(30));
  EXPECT_EQ(line.Count(), 2);
  EXPECT_TRUE(TDialogScript::Shown().empty());
  TDialogScript::QueueAnswer(mrNo);
  Click(*chart, Px(120), Py(20));
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, "Delete PolyLine ?");
  EXPECT_EQ(line.Count(), 1);
  EXPECT_EQ(lines.Count(), 1);
  // A segment goes with its polyline after Yes.
  line.AddMark(0, 120, 20);
  TDialogScript::QueueAnswer(mrYes);
  Click(*chart, Px(80), Py(20));
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(w->GetObjectsTreeViewByIndx(0)->Items()->Top(2)->Count(), 0);
  TDialogScript::Reset();
}

TEST_F(View2DMouse, ASelectedPolylineMovesByItsSegmentAndItsShownNodeFollowsTheCursor) {
  TPolyLineMarkersData& line = *settings->PolyLineMarkersArray->AddPolyLine(clBlue, QStringLiteral("1"));
  line.AddMark(-1, 40, 20);
  line.AddMark(0, 120, 20);
  w->PrepareObjectsTreeAll();
  Move(*chart, Px(80), Py(20));
  Click(*chart, Px(80), Py(20));
  auto* frame = w->ShownFrame<TPolyLineMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(w->isSelectPoly);
  Move(*chart, Px(80), Py(20));
  Press(*chart, Px(80), Py(20));
  Move(*chart, Px(90), Py(22), true);
  Release(*chart, Px(90), Py(22));
  EXPECT_EQ(line.Nodes()[0], (TPoint{50, 22}));
  EXPECT_EQ(line.Nodes()[1], (TPoint{130, 22}));
  // A click on a node shows it; a drag with the button moves it.
  Move(*chart, Px(50), Py(22));
  Press(*chart, Px(50), Py(22));
  EXPECT_EQ(frame->SelectDownNode, 0);
  EXPECT_TRUE(frame->PositionGroup->Visible());
  Move(*chart, Px(60), Py(30), true);
  Release(*chart, Px(60), Py(30));
  EXPECT_EQ(line.Nodes()[0], (TPoint{60, 30}));
  EXPECT_EQ(line.Nodes()[1], (TPoint{130, 22}));
  EXPECT_EQ(frame->TraceNumberDigitEdit->ValueInt(), 60);
}

TEST_F(View2DMouse, TheColourPanelRecoloursTheMarkerAfterOk) {
  settings->ObjectMarkersArray->Add(0, clRed, QStringLiteral("M0"), 20, 100);
  w->PrepareObjectsTreeAll();
  Click(*chart, Px(100), Py(20));
  auto* frame = w->ShownFrame<TObjectMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  TDialogScript::QueueColor(std::nullopt);
  frame->ColorPanelClick();
  EXPECT_EQ(settings->ObjectMarkersArray->GetObjectMarker(0)->GetColor(), clRed);
  TDialogScript::QueueColor(clLime);
  frame->ColorPanelClick();
  EXPECT_EQ(settings->ObjectMarkersArray->GetObjectMarker(0)->GetColor(), clLime);
  EXPECT_EQ(frame->ColorPanel->Color(), clLime);
  TDialogScript::Reset();
}

TEST_F(View2DMouse, TopographicCorrectionStopsAddingObjectMarkers) {
  w->TopoCorrSpeedButton->SetEnabled(true);
  // A calibration the button accepts.
  settings->CalibrationQuality = 1;
  UserClick(*w->AddObjectMarkerToolButton);
  UserClick(*w->TopoCorrSpeedButton);
  ASSERT_TRUE(w->TopoCorrSpeedButton->Down());
  w->SetNoActiveAddMarkers();
  EXPECT_FALSE(w->AddObjectMarkerToolButton->Down());
  EXPECT_FALSE(w->AddObjectMarkerToolButton->Enabled());
  env.shell.runButtonDown = true;
  Click(*chart, Px(45), Py(40), mbLeft, true);
  EXPECT_EQ(settings->ObjectMarkersArray->Count(), 0);
}

TEST_F(View2DMouse, AnOpenedSingleChannelHasPlainTreeTitles) {
  TTreeView& tree = *w->GetObjectsTreeViewByIndx(0);
  ASSERT_EQ(tree.Items()->TopCount(), 3);
  EXPECT_EQ(tree.Items()->Top(0)->Text(), "Surface Markers");
  EXPECT_EQ(tree.Items()->Top(2)->Text(), "PolyLines");
}

}  // namespace view2d_mouse_test
