// The gain tool's dialog offscreen with a fake window: its layout beside the
// channel's rows, mouse editing of the curve (synthesised events) with the
// shared refusals, the cursors, "Null" while adding and "Auto".

#include "platform/ui/buttons.h"
#include "platform/ui/custom_control.h"
#include "profiledata/gain_curve_editing.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/tvgc_form.h"
#include "tools/tvgc_tool.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace tvgc_form_test {

void Mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, modifiers);
  QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Mouse(widget, QEvent::MouseButtonPress, pos, button, button, modifiers);
  Mouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, modifiers);
}

std::vector<TPoint> Points(const TListOfDots& dots) {
  std::vector<TPoint> p;
  for (int i = 0; i < dots.GetCount(); ++i) p.push_back(dots.GetVal(i));
  return p;
}

class TVGCFormTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::vector<std::unique_ptr<T2Dview>> views;
  TTVGC tool;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(3, 200));
      SetSamples(*views.back(), TestTraces(3, 200));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void TearDown() override {
    if (tool.Form()) tool.Form()->CloseDialog();
    Application->ProcessMessages();
  }
  TTVGCForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    auto* form = dynamic_cast<TTVGCForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  QWidget* Surface() { return dynamic_cast<TTVGCForm&>(*tool.Form()).GainSurface->Widget(); }
  // Curve-box coordinates to the surface's.
  static QPoint At(int x, int y) { return QPoint(TTVGC::BoxLeft + x, TTVGC::BoxTop - TTVGCForm::SurfaceTop + y); }
  const TListOfDots& Dots() const { return tool.ListofBaseDots; }
};

TEST_F(TVGCFormTest, LayoutLinesTheBoxUpWithTheRows) {
  TTVGCForm& form = Open(false);
  EXPECT_EQ(form.Caption(), "Gain");
  EXPECT_EQ(Dots().field(), (TRect{8, 65, 288, 265}));
  EXPECT_EQ(form.OKBitBtn->Top(), 65 + 200 + 5);
  EXPECT_EQ(form.AutoBitBtn->Top(), form.OKBitBtn->Top());
  EXPECT_EQ(form.ClientHeight(), form.OKBitBtn->Top() + form.OKBitBtn->Height() + 5);
  EXPECT_EQ(form.Top(), host.panelOrigin.Y + host.plotArea.Top + form.ClientHeight() - 65 - form.Height() + 8);
  EXPECT_EQ(form.AutoBitBtn->Caption(), "Auto");
  EXPECT_EQ(form.BitBtn1->Caption(), "Null");

  // A panel lower than the dialog: the window is asked to zoom to its height.
  host.messages.clear();
  host.panelHeight = 100;
  form.SetHeightWin();
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back().Msg, WM_ZOOMTOHEIGHT);
}

TEST_F(TVGCFormTest, MouseEditingKeepsTheCurvesRules) {
  TTVGCForm& form = Open(false, 1);
  QWidget* s = Surface();
  Click(s, At(50, 0), Qt::RightButton);  // row 0 is taken
  EXPECT_EQ(Dots().GetCount(), 2);
  Click(s, At(100, 80), Qt::RightButton);
  EXPECT_EQ(Points(Dots()), (std::vector<TPoint>{{140, 0}, {100, 80}, {140, 200}}));
  EXPECT_EQ(Points(*tool.Param[1].Curve), Points(Dots())) << "stored as the dialog's channel's set";
  EXPECT_FALSE(tool.Param[0].Curve) << "other channels untouched while editing";
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");
  EXPECT_TRUE(form.CancelBitBtn->Enabled());

  // The first and the last point: only their column.
  for (const auto& [from, to, expected] :
       {std::tuple{QPoint(140, 0), QPoint(160, 40), TPoint{160, 0}}, std::tuple{QPoint(140, 200), QPoint(120, 150), TPoint{120, 200}}}) {
    Mouse(s, QEvent::MouseButtonPress, At(from.x(), from.y()), Qt::LeftButton, Qt::LeftButton);
    Mouse(s, QEvent::MouseMove, At(to.x(), to.y()), Qt::NoButton, Qt::LeftButton);
    Mouse(s, QEvent::MouseButtonRelease, At(to.x(), to.y()), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(std::find(Points(Dots()).begin(), Points(Dots()).end(), expected) != Points(Dots()).end());
  }
  EXPECT_EQ(Dots().GetCount(), 3);
  // An inner point never reaches a neighbour's row.
  Mouse(s, QEvent::MouseButtonPress, At(100, 80), Qt::LeftButton, Qt::LeftButton);
  Mouse(s, QEvent::MouseMove, At(110, 0), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Dots().GetVal(1), (TPoint{110, 80}));
  Mouse(s, QEvent::MouseMove, At(115, 200), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Dots().GetVal(1), (TPoint{115, 80}));
  Mouse(s, QEvent::MouseMove, At(118, 199), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(Dots().GetVal(1), (TPoint{118, 199}));
  Mouse(s, QEvent::MouseMove, At(118, 150), Qt::NoButton, Qt::LeftButton);
  Mouse(s, QEvent::MouseButtonRelease, At(118, 150), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(form.xPos, -1);

  // Ctrl+click: the first and the last point stay, an inner one goes.
  Click(s, At(160, 0), Qt::LeftButton, Qt::ControlModifier);
  Click(s, At(120, 200), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(Dots().GetCount(), 3);
  Click(s, At(118, 150), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(Points(Dots()), (std::vector<TPoint>{{160, 0}, {120, 200}}));
  EXPECT_EQ(Points(*tool.Param[1].Curve), Points(Dots()));
}

TEST_F(TVGCFormTest, CursorShowsMoveOverAPointAndDeleteWithCtrl) {
  TTVGCForm& form = Open(false);
  QWidget* s = Surface();
  Mouse(s, QEvent::MouseMove, At(143, 5), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form.NumOverPoint, 0);
  EXPECT_EQ(form.GainSurface->Cursor(), crGainMove);
  Mouse(s, QEvent::MouseMove, At(143, 6), Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
  EXPECT_EQ(form.GainSurface->Cursor(), crGainMoveDel);
  Mouse(s, QEvent::MouseMove, At(147, 6), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form.NumOverPoint, -1) << "seven pixels away";
  EXPECT_EQ(form.GainSurface->Cursor(), crDefault);
  EXPECT_EQ(Screen->Cursors(crGainMove), LoadCursor("MOVE"));
  EXPECT_EQ(Screen->Cursors(crGainMoveDel), LoadCursor("MOVE_DEL"));
}

TEST_F(TVGCFormTest, NullWhileAddingGivesEveryChannelTheZeroLine) {
  Open(true);
  QWidget* s = Surface();
  Click(s, At(200, 100), Qt::RightButton);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(Points(*tool.Param[c].Curve).size(), 3u) << "the release copies to all";
  host.messages.clear();
  dynamic_cast<TTVGCForm&>(*tool.Form()).BitBtn1->Click();
  for (int c = 0; c < 5; ++c)
    EXPECT_EQ(Points(*tool.Param[c].Curve), (std::vector<TPoint>{{140, 0}, {140, 200}})) << c;
  Application->ProcessMessages();
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back(), (TRecordedMessage{WM_TOOLSRUN, ToolsRunAllChannels, 0}));
}

TEST_F(TVGCFormTest, AutoSkipsShortChannelsAndNeedsTracesOnChannelZero) {
  auto two = MakeChannel(2, 200);
  SetSamples(*two, std::vector<int32_t>(400, 50));
  tool.SetView_(3, two.get());
  TTVGCForm& form = Open(false);
  form.AutoBitBtn->Click();
  EXPECT_TRUE(tool.isAutoCreateGain);
  EXPECT_FALSE(tool.Param[3].Curve) << "two traces: the set stays";
  EXPECT_TRUE(tool.Param[4].Curve);
  EXPECT_TRUE(form.CancelBitBtn->Enabled());
}

}  // namespace tvgc_form_test
