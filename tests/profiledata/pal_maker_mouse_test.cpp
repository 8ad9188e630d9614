// TPalMaker driven by mouse and key events sent to its widget: hit test, drag,
// double-clicks (new point, recolouring, margins), Delete, the change
// notification once per posted message, and the focus frame.

#include "profiledata/pal_maker.h"

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>
#include <vector>

namespace {

const std::vector<TPalettePoint> kBlackRedWhite{{0, 0x000000}, {128, 0x0000FF}, {256, 0xFFFFFF}};

// A shown form with a palette control 268 pixels wide: Scale is 1, so palette
// position p has its marker centred at x = p + 6; markers span y 20..36.
class PalMakerMouse : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 320, 100);
    maker_ = new TPalMaker(form_);
    maker_->SetParent(form_);
    maker_->SetBounds(4, 17, 268, 39);
    maker_->OnChange = [this](TObject*) { ++changes_; };
    form_->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return maker_->Scale == 1.0; }));
  }
  void TearDown() override { form_->Free(); }

  void Load(const std::vector<TPalettePoint>& points) {
    TMemoryStream stream;
    WritePaletteStream(stream, points);
    stream.SetPosition(0);
    maker_->LoadFromStream(stream);
  }

  void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
    const QPointF pos(x, y);
    QMouseEvent event(type, pos, maker_->Widget()->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(maker_->Widget(), &event);
  }
  void Move(int x, int y) { Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, x, y); }
  void Drag(int x, int y) { Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x, y); }
  void Press(int x, int y) { Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y); }
  void Release(int x, int y) { Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, x, y); }
  // A point is grabbed by moving over its marker and pressing.
  void Grab(int x, int y) {
    Move(x, y);
    Press(x, y);
  }
  void DoubleClick(int x, int y) {
    Move(x, y);
    Press(x, y);
    Release(x, y);
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, x, y);
    Release(x, y);
  }
  void Key(int qtKey) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(maker_->Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
    QApplication::sendEvent(maker_->Widget(), &release);
  }
  // The notifications that arrive once the message loop has run.
  int ChangesAfterMessages() {
    Application->ProcessMessages();
    return changes_;
  }
  std::vector<int32_t> Positions() const {
    std::vector<int32_t> xs;
    for (const TPalettePoint& p : maker_->PalettePoints()) xs.push_back(p.X);
    return xs;
  }

  TForm* form_ = nullptr;
  TPalMaker* maker_ = nullptr;
  int changes_ = 0;
};

TEST_F(PalMakerMouse, HitTestFindsTheLastMarkerWithinItsBox) {
  Load({{0, 0}, {128, 0x0000FF}, {128, 0x00FF00}, {256, 0xFFFFFF}});
  struct TCase {
    int x, y, over;
  };
  // A marker answers while |centre - x| < 6 and |Y - y + 5| < 9, i.e. x centre-5..centre+5, y 17..33.
  const TCase cases[] = {{134, 25, 2}, {129, 17, 2}, {139, 33, 2}, {128, 25, -1}, {140, 25, -1},
                         {134, 16, -1}, {134, 34, -1}, {6, 25, 0},  {1, 25, 0},    {262, 30, 3}};
  for (const TCase& c : cases) {
    Move(c.x, c.y);
    EXPECT_EQ(maker_->OverNum, c.over) << c.x << "," << c.y;
    EXPECT_EQ(maker_->Cursor(), c.over >= 0 ? crHandPoint : crDefault) << c.x << "," << c.y;
  }
}

TEST_F(PalMakerMouse, PressingAMarkerSelectsAndGrabsIt) {
  Load(kBlackRedWhite);
  Press(136, 25);
  EXPECT_EQ(maker_->Moved, -1) << "a press without the hand cursor grabs nothing";
  Release(136, 25);
  Grab(136, 25);
  EXPECT_EQ(maker_->Moved, 1);
  EXPECT_EQ(maker_->mX, 2);
  EXPECT_EQ(maker_->mY, 25);
  EXPECT_TRUE(maker_->Points(1)->Selected);
  EXPECT_FALSE(maker_->Points(0)->Selected);
  Release(136, 25);
  EXPECT_EQ(maker_->Moved, -1);
  EXPECT_TRUE(maker_->Points(1)->Selected) << "the selection stays after the release";
  Grab(6, 25);
  EXPECT_TRUE(maker_->Points(0)->Selected);
  EXPECT_FALSE(maker_->Points(1)->Selected);
}

TEST_F(PalMakerMouse, DraggingAnInnerMarkerMovesItsPointAndNotifiesOncePerStep) {
  Load(kBlackRedWhite);
  Grab(136, 25);  // mX = 2
  Drag(150, 25);
  EXPECT_EQ(maker_->Points(1)->X, 142) << "X = x - 6 - mX";
  EXPECT_EQ(changes_, 0) << "the notification is posted, not sent";
  Drag(160, 26);
  Drag(170, 40);
  EXPECT_EQ(maker_->Points(1)->X, 162);
  EXPECT_EQ(ChangesAfterMessages(), 3);
  // The strip follows: entry 162 is the red point (green and blue within a step
  // of the steep line that starts there).
  const TPaletteEntry& moved = maker_->GetLogPal()->palPalEntry[162];
  EXPECT_EQ(moved.peRed, 255);
  EXPECT_LE(moved.peGreen, 1);
  EXPECT_LE(moved.peBlue, 1);
  const double redAt128 = 128 * 255.0 / 162;  // 128 now lies between black at 0 and red at 162
  EXPECT_LE(std::fabs(maker_->GetLogPal()->palPalEntry[128].peRed - redAt128), 1.0);
  Release(170, 40);
  Drag(100, 25);
  EXPECT_EQ(maker_->Points(1)->X, 162) << "after the release nothing is grabbed";
  EXPECT_EQ(ChangesAfterMessages(), 3);
}

TEST_F(PalMakerMouse, ADraggedMarkerStaysMoreThanSixPixelsFromItsNeighbours) {
  Load(kBlackRedWhite);
  Grab(136, 25);  // mX = 2; neighbours' centres 6 and 262
  Drag(257, 25);  // 257 < 262 + 2 - 6
  EXPECT_EQ(maker_->Points(1)->X, 249);
  Drag(258, 25);
  EXPECT_EQ(maker_->Points(1)->X, 249);
  Drag(15, 25);  // 15 > 6 + 2 + 6
  EXPECT_EQ(maker_->Points(1)->X, 7);
  Drag(14, 25);
  EXPECT_EQ(maker_->Points(1)->X, 7);
  EXPECT_EQ(ChangesAfterMessages(), 2) << "refused steps post nothing";
}

TEST_F(PalMakerMouse, TheEndMarkersCannotBeDragged) {
  Load(kBlackRedWhite);
  for (const int x : {6, 262}) {
    Grab(x, 25);
    EXPECT_TRUE(maker_->Moved == 0 || maker_->Moved == 2);
    Drag(x == 6 ? 60 : 200, 25);
    Release(x == 6 ? 60 : 200, 25);
  }
  EXPECT_EQ(Positions(), (std::vector<int32_t>{0, 128, 256}));
  EXPECT_EQ(ChangesAfterMessages(), 0);
}

TEST_F(PalMakerMouse, DoubleClickBesideTheMarkersAddsAPointInTheStripColour) {
  DoubleClick(70, 38);  // p = 64, below the markers' boxes
  EXPECT_EQ(Positions(), (std::vector<int32_t>{0, 64, 256}));
  // Entry 64 of the default palette: the line from 0 to 255 over 256 positions.
  const int grey = static_cast<int>(std::lround(64 * 255.0 / 256.0));
  EXPECT_EQ(maker_->Points(1)->cl, RGB(grey, grey, grey));
  EXPECT_EQ(maker_->Points(1)->Y, 20);
  EXPECT_FALSE(maker_->Points(1)->Selected);
  EXPECT_EQ(ChangesAfterMessages(), 1);
}

TEST_F(PalMakerMouse, DoubleClicksInTheMarginsAreRefused) {
  DoubleClick(2, 38);    // p = -4
  DoubleClick(265, 38);  // p = 259
  EXPECT_EQ(Positions(), (std::vector<int32_t>{0, 256}));
  EXPECT_EQ(ChangesAfterMessages(), 0);

  // The right end of the strip takes the colour of its last pixel.
  DoubleClick(262, 38);  // p = 256
  ASSERT_EQ(Positions(), (std::vector<int32_t>{0, 256, 256}));
  EXPECT_EQ(maker_->Points(1)->cl, clWhite) << "the new point sorts after the equal one";
  EXPECT_EQ(maker_->Points(2)->cl, RGB(254, 254, 254));
  EXPECT_EQ(ChangesAfterMessages(), 1);
}

TEST_F(PalMakerMouse, DoubleClickOnAMarkerRecoloursTheSelectedPoint) {
  Load(kBlackRedWhite);
  TDialogScript::QueueColor(TColor{0x00FF00});
  DoubleClick(134, 25);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkColor);
  EXPECT_EQ(shown[0].Color, 0x0000FF) << "the dialog opens with the point's colour";
  EXPECT_EQ(maker_->Points(1)->cl, 0x00FF00);
  EXPECT_EQ(maker_->Moved, -1);
  EXPECT_EQ(maker_->GetLogPal()->palPalEntry[128], (TPaletteEntry{0, 255, 0, PC_RESERVED}));
  EXPECT_EQ(maker_->PointCount(), 3) << "no point is added";
  EXPECT_EQ(ChangesAfterMessages(), 1);

  TDialogScript::QueueColor(std::nullopt);
  DoubleClick(134, 25);
  EXPECT_EQ(maker_->Points(1)->cl, 0x00FF00) << "a cancelled dialog keeps the colour";
  EXPECT_EQ(ChangesAfterMessages(), 2);
}

TEST_F(PalMakerMouse, DeleteRemovesOnlyASelectedInnerPoint) {
  Grab(6, 25);
  Release(6, 25);
  Key(Qt::Key_Delete);
  EXPECT_EQ(maker_->PointCount(), 2) << "two points stay two";

  Load(kBlackRedWhite);
  Grab(262, 25);
  Release(262, 25);
  Key(Qt::Key_Delete);
  EXPECT_EQ(maker_->PointCount(), 3) << "an end point is never deleted";
  EXPECT_EQ(ChangesAfterMessages(), 0);

  Grab(134, 25);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Positions(), (std::vector<int32_t>{0, 256}));
  EXPECT_EQ(maker_->Moved, -1);
  EXPECT_EQ(maker_->GetLogPal()->palPalEntry[128].peGreen, maker_->GetLogPal()->palPalEntry[128].peRed);
  EXPECT_EQ(ChangesAfterMessages(), 1);
}

TEST_F(PalMakerMouse, IndicesOutsideThePointsAreRefused) {
  maker_->DelPoint(-1);
  maker_->DelPoint(2);
  EXPECT_EQ(maker_->PointCount(), 2);
  EXPECT_EQ(ChangesAfterMessages(), 0);
  maker_->DelPoint(1);
  EXPECT_EQ(Positions(), (std::vector<int32_t>{0}));
  EXPECT_EQ(ChangesAfterMessages(), 1);
}

TEST_F(PalMakerMouse, APaletteHoldsAtMost999Points) {
  while (maker_->PointCount() < MaxPalettePoints) ASSERT_TRUE(maker_->AddPoint(0, clBlack));
  EXPECT_FALSE(maker_->AddPoint(1, clBlack));
  maker_->SortPoints();
  maker_->DrawPalette();
  DoubleClick(70, 38);
  EXPECT_EQ(maker_->PointCount(), MaxPalettePoints);
  EXPECT_EQ(ChangesAfterMessages(), 0);
}

TEST_F(PalMakerMouse, APressTakesTheFocusAndTheFocusFrameShows) {
  TPalMaker other(form_);
  other.SetParent(form_);
  other.SetBounds(4, 60, 268, 39);
  const TColor face = ColorToRGB(clBtnFace);
  Press(100, 38);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return maker_->Focused(); }));
  EXPECT_EQ(maker_->Canvas()->Pixels(0, 0), face ^ 0xFFFFFF);
  EXPECT_EQ(maker_->Canvas()->Pixels(1, 0), face);
  other.SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !maker_->Focused(); }));
  EXPECT_EQ(maker_->Canvas()->Pixels(0, 0), face);
}

}  // namespace
