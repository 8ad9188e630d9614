// Cursor slots: standard cursors, cursor resources, the screen cursor and a
// control's Cursor.

#include "platform/ui/cursors.h"

#include "platform/ui/edit_controls.h"
#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {

// Slots no other code of the program uses.
constexpr int kSlotA = 240;
constexpr int kSlotB = 241;

class UiCursors : public ::testing::Test {
protected:
  void TearDown() override {
    Screen->SetCursor(crDefault);
    Screen->SetCursors(kSlotA, nullptr);
    Screen->SetCursors(kSlotB, nullptr);
  }
};

const TCursorImage kCorner{{"#.  ", "#.  ", "####"}, 1, 2};

TEST_F(UiCursors, StandardSlotsShowTheirShapes) {
  const struct {
    TCursor id;
    Qt::CursorShape shape;
  } cases[] = {
      {crDefault, Qt::ArrowCursor},        {crArrow, Qt::ArrowCursor},         {crNone, Qt::BlankCursor},
      {crCross, Qt::CrossCursor},          {crIBeam, Qt::IBeamCursor},         {crSizeNS, Qt::SizeVerCursor},
      {crSizeWE, Qt::SizeHorCursor},       {crSizeNWSE, Qt::SizeFDiagCursor},  {crSizeNESW, Qt::SizeBDiagCursor},
      {crSizeAll, Qt::SizeAllCursor},      {crHourGlass, Qt::WaitCursor},      {crHandPoint, Qt::PointingHandCursor},
      {crNo, Qt::ForbiddenCursor},         {crHSplit, Qt::SplitHCursor},       {crVSplit, Qt::SplitVCursor},
  };
  for (const auto& c : cases) EXPECT_EQ(Screen->Cursors(c.id)->shape(), c.shape) << c.id;
  EXPECT_EQ(crSize, crSizeAll);
}

TEST_F(UiCursors, ResourcesLoadByNameWithoutCaseAsTheirPicture) {
  EXPECT_EQ(LoadCursor("NOSUCHCURSOR"), nullptr);
  RegisterCursorResource("CornerTest", kCorner);
  HCURSOR cursor = LoadCursor("CORNERTEST");
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(LoadCursor("cornertest"), cursor) << "one resource, one cursor";
  EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor->hotSpot(), QPoint(1, 2));
  const QImage picture = cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(picture.size(), QSize(4, 3));
  EXPECT_EQ(picture.pixel(0, 0), qRgba(0, 0, 0, 255));
  EXPECT_EQ(picture.pixel(1, 0), qRgba(255, 255, 255, 255));
  EXPECT_EQ(qAlpha(picture.pixel(2, 0)), 0);
  EXPECT_EQ(picture.pixel(3, 2), qRgba(0, 0, 0, 255));
}

TEST_F(UiCursors, AnEmptySlotShowsTheDefaultCursor) {
  EXPECT_EQ(Screen->Cursors(kSlotA)->shape(), Qt::ArrowCursor);
  RegisterCursorResource("CornerTest", kCorner);
  Screen->SetCursors(kSlotA, LoadCursor("CornerTest"));
  EXPECT_EQ(Screen->Cursors(kSlotA), LoadCursor("CornerTest"));
  Screen->SetCursors(kSlotA, LoadCursor("NOSUCHCURSOR"));  // a failed load empties the slot
  EXPECT_EQ(Screen->Cursors(kSlotA)->shape(), Qt::ArrowCursor);
}

TEST_F(UiCursors, ScreenCursorOverridesEveryWindowUntilSetBackToDefault) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  Screen->SetCursor(crHourGlass);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Screen->SetCursor(crSizeNS);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeVerCursor);
  EXPECT_EQ(Screen->Cursor(), crSizeNS);

  // A slot that changes while it is shown is shown at once.
  Screen->SetCursors(kSlotA, Screen->Cursors(crCross));
  Screen->SetCursor(kSlotA);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
  Screen->SetCursors(kSlotA, Screen->Cursors(crHandPoint));
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);

  Screen->SetCursor(crDefault);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "one setting, one override, however many changes";
  Screen->SetCursor(crDefault);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(UiCursors, ControlCursorFollowsItsSlot) {
  TForm* form = TComponent::Create<TForm>(nullptr);
  TEdit* edit = new TEdit(form);
  edit->SetParent(form);
  EXPECT_EQ(edit->Cursor(), crDefault);

  edit->SetCursor(crSizeWE);
  EXPECT_EQ(edit->Cursor(), crSizeWE);
  EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::SizeHorCursor);

  edit->SetCursor(kSlotB);  // empty: the default cursor until the slot is filled
  EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::ArrowCursor);
  Screen->SetCursors(kSlotB, Screen->Cursors(crHandPoint));
  EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::PointingHandCursor);
  Screen->SetCursors(kSlotA, Screen->Cursors(crCross));
  EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::PointingHandCursor) << "other slots leave it alone";

  edit->SetCursor(crDefault);
  EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::IBeamCursor) << "the edit's own cursor again";

  TControl* box = new TControl(form);
  box->SetParent(form);
  box->SetCursor(crCross);
  box->SetCursor(crDefault);
  EXPECT_FALSE(box->Widget()->testAttribute(Qt::WA_SetCursor)) << "a plain control shows its parent's cursor";
  form->Free();
}

}  // namespace
