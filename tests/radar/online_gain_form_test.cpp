// The online gain dialog: adding, deleting and dragging curve points with their
// refusals, "Null", the Apply box, the cursors over points, the place beside the
// amplitude chart, and its layout.

#include "radar/online_gain_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/custom_control.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/std_controls.h"
#include "tests/radar/online_dialog_test_support.h"

#include <gtest/gtest.h>

#include <QCursor>

namespace {

class GainForm : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TOnlineTVGCForm>(nullptr);
    // As the settings window fills it: the stage's curve (box left 10, width 280,
    // points (140, 0) and (207, 450)).
    Dots().Assign(host.stages->TVGC.ListofBaseDots);
    form->FParametrsGain.pApplay = false;
  }
  void TearDown() override { form->Free(); }

  TListOfDots& Dots() { return form->FParametrsGain.pListOfBaseDots; }
  std::vector<TPoint> Points() {
    std::vector<TPoint> points;
    for (int i = 0; i < Dots().GetCount(); ++i) points.push_back(Dots().GetVal(i));
    return points;
  }
  QWidget* Surface() { return form->GainSurface->Widget(); }
  // Curve-box coordinates to the form's.
  static QPoint At(int x, int y) { return QPoint(10 + x, TOnlineTVGCForm::CurveTop + y); }

  void ShowAndWork(const std::function<void()>& work) { ::ShowAndWork(form, form->OKBitBtn, work); }

  TFakeDialogHost host;  // plotting height 300
  TOnlineTVGCForm* form = nullptr;
};

TEST_F(GainForm, OpeningFitsTheCurveToTheChartAndHandsItToTheStage) {
  ShowAndWork([&] {
    EXPECT_EQ(form->Caption(), "Gain");
    EXPECT_EQ(Dots().GetTop(), 60);
    EXPECT_EQ(Dots().GetHeight(), 300);
    EXPECT_EQ(Points(), (std::vector<TPoint>{{140, 0}, {207, 300}}));
  });
  // The height is sent also while the dialog fills itself: the stage's rows follow
  // the chart's plotting height.
  ASSERT_FALSE(host.applied.empty());
  EXPECT_EQ(host.applied.front().stage, "TVGC");
  EXPECT_EQ(host.stages->TVGC.ListofBaseDots.GetHeight(), 300);
}

TEST_F(GainForm, RightClickAddsOnlyNewRowsInsideTheBox) {
  ShowAndWork([&] {
    ClickAt(Surface(), At(50, 0), Qt::RightButton);  // row 0 has a point
    EXPECT_EQ(Dots().GetCount(), 2);
    ClickAt(Surface(), At(50, 320), Qt::RightButton);  // below the box
    ClickAt(Surface(), At(-5, 100), Qt::RightButton);  // left of the box
    ClickAt(Surface(), At(300, 100), Qt::RightButton);  // right of the box
    EXPECT_EQ(Dots().GetCount(), 2);
    ClickAt(Surface(), At(50, 100), Qt::RightButton);
    EXPECT_EQ(Points(), (std::vector<TPoint>{{140, 0}, {50, 100}, {207, 300}}));
    EXPECT_EQ(form->CancelBitBtn->Caption(), "Restore");
    EXPECT_TRUE(form->CancelBitBtn->Enabled());
    EXPECT_FALSE(form->CancelBitBtn->Visible());
    // The release applied the curve.
    EXPECT_EQ(host.stages->TVGC.ListofBaseDots.GetCount(), 3);

    // The list holds at most as many points as the curve can take.
    for (int row = 10; row < 300; row += 8) ClickAt(Surface(), At(20 + row % 200, row), Qt::RightButton);
    EXPECT_EQ(Dots().GetCount(), TListOfDots::MaxDots);
  });
}

TEST_F(GainForm, CtrlClickDeletesOnlyInnerPoints) {
  ShowAndWork([&] {
    ClickAt(Surface(), At(50, 100), Qt::RightButton);
    ASSERT_EQ(Dots().GetCount(), 3);
    ClickAt(Surface(), At(141, 2), Qt::LeftButton, Qt::ControlModifier);    // first
    ClickAt(Surface(), At(205, 298), Qt::LeftButton, Qt::ControlModifier);  // last
    EXPECT_EQ(Dots().GetCount(), 3);
    ClickAt(Surface(), At(53, 96), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Points(), (std::vector<TPoint>{{140, 0}, {207, 300}}));
    EXPECT_EQ(host.stages->TVGC.ListofBaseDots.GetCount(), 2);
  });
}

TEST_F(GainForm, DraggingKeepsRowsBetweenNeighboursAndXInsideTheBox) {
  ShowAndWork([&] {
    ClickAt(Surface(), At(100, 150), Qt::RightButton);
    SendMouse(Surface(), QEvent::MouseButtonPress, At(100, 150), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(form->NumDragPoint, 1);
    // Above the upper neighbour's row: only x moves.
    SendMouse(Surface(), QEvent::MouseMove, At(120, -5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Dots().GetVal(1), (TPoint{120, 150}));
    // On the lower neighbour's row: refused as well.
    SendMouse(Surface(), QEvent::MouseMove, At(125, 300), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Dots().GetVal(1), (TPoint{125, 150}));
    // Beyond the box's width: x stays, the row is taken.
    SendMouse(Surface(), QEvent::MouseMove, At(400, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Dots().GetVal(1), (TPoint{125, 200}));
    SendMouse(Surface(), QEvent::MouseMove, At(130, 210), Qt::NoButton, Qt::LeftButton);
    SendMouse(Surface(), QEvent::MouseButtonRelease, At(130, 210), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Points(), (std::vector<TPoint>{{140, 0}, {130, 210}, {207, 300}}));
    EXPECT_EQ(form->xPos, -1);
    EXPECT_EQ(host.applied.back().dots, Points());
    EXPECT_EQ(host.stages->TVGC.ListofBaseDots.GetVal(1), (TPoint{130, 210}));

    // The first point keeps its row too.
    SendMouse(Surface(), QEvent::MouseButtonPress, At(140, 0), Qt::LeftButton, Qt::LeftButton);
    SendMouse(Surface(), QEvent::MouseMove, At(160, 40), Qt::NoButton, Qt::LeftButton);
    SendMouse(Surface(), QEvent::MouseButtonRelease, At(160, 40), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Dots().GetVal(0), (TPoint{160, 0}));
    // A move without the button moves nothing.
    SendMouse(Surface(), QEvent::MouseMove, At(100, 0), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Dots().GetVal(0), (TPoint{160, 0}));
  });
}

TEST_F(GainForm, NullGivesAFlatCurveAndAppliesIt) {
  ShowAndWork([&] {
    ClickAt(Surface(), At(60, 120), Qt::RightButton);
    host.applied.clear();
    ClickControl(form->BitBtn1);
    EXPECT_EQ(Points(), (std::vector<TPoint>{{140, 0}, {140, 300}}));
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied.back().dots, Points());
    const TListOfDots& stageCurve = host.stages->TVGC.ListofBaseDots;
    for (int row = 0; row < 300; ++row) ASSERT_EQ(stageCurve.Rval(row), 1.0L) << "row " << row;
  });
}

TEST_F(GainForm, ApplyBoxReachesTheStageAndTheCheckList) {
  ShowAndWork([&] {
    ClickControl(form->ExecCheckBox);
    EXPECT_TRUE(host.stages->TVGC.Applay);
    EXPECT_TRUE(host.checked[OnlinePluginGainItem]);
  });
}

TEST_F(GainForm, CursorShowsMoveOverAPointAndDeleteWithCtrl) {
  ShowAndWork([&] {
    SendMouse(Surface(), QEvent::MouseMove, At(141, 3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->GainSurface->Cursor(), crGainMove);
    EXPECT_EQ(form->NumOverPoint, 0);
    SendMouse(Surface(), QEvent::MouseMove, At(141, 4), Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
    EXPECT_EQ(form->GainSurface->Cursor(), crGainMoveDel);
    SendMouse(Surface(), QEvent::MouseMove, At(141, 40), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->GainSurface->Cursor(), crDefault);
    EXPECT_EQ(form->NumOverPoint, -1);
  });
  // The slots hold the program's own pictures, the same the gain tool's dialog shows.
  ASSERT_NE(LoadCursor("MOVE"), nullptr);
  EXPECT_EQ(Screen->Cursors(crGainMove), LoadCursor("MOVE"));
  EXPECT_EQ(Screen->Cursors(crGainMoveAdd), LoadCursor("MOVE_ADD"));
  EXPECT_EQ(Screen->Cursors(crGainMoveDel), LoadCursor("MOVE_DEL"));
  EXPECT_NE(LoadCursor("MOVE_ADD"), LoadCursor("MOVE_DEL"));
}

// A point is taken up to six pixels away in x and in y, not seven.
TEST_F(GainForm, PointIsTakenWithinSixPixels) {
  struct Case {
    int dx, dy;
    int over;  // NumOverPoint for the first point at (140, 0)
  };
  const Case cases[] = {
      {0, 0, 0}, {6, 6, 0}, {-6, -6, 0}, {6, -6, 0}, {7, 0, -1}, {-7, 0, -1}, {0, 7, -1}, {0, -7, -1}, {6, 7, -1},
  };
  ShowAndWork([&] {
    for (const Case& c : cases) {
      SendMouse(Surface(), QEvent::MouseMove, At(140 + c.dx, c.dy), Qt::NoButton, Qt::NoButton);
      EXPECT_EQ(form->NumOverPoint, c.over) << c.dx << "," << c.dy;
      EXPECT_EQ(form->GainSurface->Cursor(), c.over >= 0 ? crGainMove : crDefault) << c.dx << "," << c.dy;
    }
  });
}

// Ctrl pressed over a point shows the delete cursor; any key release shows the
// move cursor over a point and the default one elsewhere.
TEST_F(GainForm, KeysSwitchTheCursorOverAPoint) {
  struct Case {
    QPoint hover;
    int key;
    TCursor afterPress;
    TCursor afterRelease;
  };
  const Case cases[] = {
      {At(141, 3), Qt::Key_Control, crGainMoveDel, crGainMove},
      {At(141, 40), Qt::Key_Control, crDefault, crDefault},
      {At(141, 3), Qt::Key_A, crGainMove, crGainMove},
  };
  ShowAndWork([&] {
    QWidget* focused = form->ExecCheckBox->Widget();
    for (const Case& c : cases) {
      SendMouse(Surface(), QEvent::MouseMove, c.hover, Qt::NoButton, Qt::NoButton);
      const Qt::KeyboardModifiers held = c.key == Qt::Key_Control ? Qt::ControlModifier : Qt::NoModifier;
      QKeyEvent press(QEvent::KeyPress, c.key, held);
      QApplication::sendEvent(focused, &press);
      EXPECT_EQ(form->GainSurface->Cursor(), c.afterPress) << c.key;
      // A release of a key pressed elsewhere counts as well.
      form->GainSurface->SetCursor(crGainMoveDel);
      QKeyEvent release(QEvent::KeyRelease, c.key, Qt::NoModifier);
      QApplication::sendEvent(focused, &release);
      EXPECT_EQ(form->GainSurface->Cursor(), c.afterRelease) << c.key;
    }
  });
}

// Enter (either key) ends the modal run itself (the script would otherwise end
// it with no result); other keys do not. Escape: below.
TEST_F(GainForm, EnterClosesTheDialog) {
  struct Case {
    int key;
    TModalResult result;
  };
  const Case cases[] = {
      {Qt::Key_Return, mrCancel}, {Qt::Key_Enter, mrCancel}, {Qt::Key_A, mrNone},
  };
  for (const Case& c : cases) {
    TModalResult during = mrNone;
    TDialogScript::QueueModal([&](TForm&) {
      SendKey(form->ExecCheckBox->Widget(), c.key);
      during = form->ModalResult();
    });
    form->ShowModal();
    EXPECT_EQ(during, c.result) << c.key;
    EXPECT_FALSE(form->Visible());
  }
}

TEST_F(GainForm, EscapeClosesTheDialog) {
  TModalResult during = mrNone;
  TDialogScript::QueueModal([&](TForm&) {
    SendKey(form->ExecCheckBox->Widget(), Qt::Key_Escape);
    during = form->ModalResult();
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(during, mrCancel);
  EXPECT_FALSE(form->Visible());
}

// Where the dialog goes for a chart client origin: left of the chart, its scale
// 50 pixels above the chart's top, never at an edge of 1 or less.
TEST_F(GainForm, PlacementBesideTheChart) {
  struct Case {
    TPoint origin;
    int left;  // -1: origin.X - width
    int top;
  };
  const Case cases[] = {
      {{700, 200}, -1, 150},
      {{700, 53}, -1, 3},
      {{700, 52}, -1, 2},
      {{700, 51}, -1, 2},
      {{700, -40}, -1, 2},
      {{10, 300}, 2, 250},
  };
  for (const Case& c : cases) {
    host.origin = c.origin;
    form->PlaceAtChart();
    const int left = c.left >= 0 ? c.left : c.origin.X - form->Width();
    EXPECT_EQ(form->Left(), left) << c.origin.X << "," << c.origin.Y;
    EXPECT_EQ(form->Top(), c.top) << c.origin.X << "," << c.origin.Y;
    EXPECT_EQ(form->Height(), host.chartHeight + 84);
  }
  // Width exactly one pixel to spare: the left edge would be 1.
  host.origin = TPoint{form->Width() + 1, 200};
  form->PlaceAtChart();
  EXPECT_EQ(form->Left(), 2);
}

TEST_F(GainForm, LayoutFollowsTheChart) {
  host.plotHeight = 250;
  host.chartHeight = 290;
  ShowAndWork([&] {
    EXPECT_EQ(form->ClientWidth(), 307);
    EXPECT_EQ(form->Label1->Left(), 127);
    EXPECT_EQ(form->Label1->Top(), 8);
    EXPECT_EQ(form->Label1->Caption(), "Gain, dB");
    EXPECT_EQ(form->ExecCheckBox->Left(), 10);
    EXPECT_EQ(form->ExecCheckBox->Top(), 6);
    const int buttonsTop = 60 + 250 + 5;
    EXPECT_EQ(form->OKBitBtn->Top(), buttonsTop);
    EXPECT_EQ(form->BitBtn1->Top(), buttonsTop);
    EXPECT_EQ(form->CancelBitBtn->Top(), buttonsTop);
    EXPECT_EQ(form->BitBtn1->Caption(), "Null");
    EXPECT_EQ(form->Height(), 290 + 84);
    EXPECT_GE(form->ClientHeight(), buttonsTop + form->OKBitBtn->Height());

    const QImage shot = SaveScreenshot(form, QStringLiteral("dlg_gain_form"));
    ASSERT_FALSE(shot.isNull());
    // The scale line at y 59 from x 9 to 288, the curve box in silver from y 60.
    EXPECT_EQ(QColor(shot.pixel(100, 59)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(288, 59)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(20, 100)), QColor(192, 192, 192));
    EXPECT_EQ(QColor(shot.pixel(289, 100)), QColor(192, 192, 192));
    EXPECT_NE(QColor(shot.pixel(20, 59 + 1 + 250)), QColor(192, 192, 192));
    // The curve in black where its table puts it, the white centre line of gain 1.
    for (int row : {20, 100, 200}) EXPECT_EQ(QColor(shot.pixel(10 + Dots().val(row), 60 + row)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(10 + 140, 60 + 100)), QColor(Qt::white));
  });
}

}  // namespace
