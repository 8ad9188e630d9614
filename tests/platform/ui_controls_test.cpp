// Qt input reaching the control events: mouse, keys with key preview, resize and
// paint.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/keys.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <string>
#include <vector>

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint pos,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, held, modifiers);
  QApplication::sendEvent(widget, &event);
}

void SendKey(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

// A form with a paint box and an edit box on a panel.
class UiControls : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 400, 300);
    panel_ = new TWinControl(form_);
    panel_->SetParent(form_);
    panel_->SetBounds(10, 10, 300, 200);
    box_ = new TControl(form_);
    box_->SetParent(panel_);
    box_->SetBounds(5, 5, 100, 50);
    edit_ = new TEditLike(form_);
    edit_->SetParent(panel_);
    edit_->SetBounds(5, 100, 100, 24);
    form_->Show();
  }
  void TearDown() override { form_->Free(); }

  // A windowed control over a line edit, as concrete controls will be.
  class TEditLike : public TWinControl {
  public:
    explicit TEditLike(TComponent* owner) : TWinControl(owner, new QLineEdit) {}
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(Widget()); }
  };

  TForm* form_ = nullptr;
  TWinControl* panel_ = nullptr;
  TControl* box_ = nullptr;
  TEditLike* edit_ = nullptr;
};

TEST_F(UiControls, PressAndReleaseInsideIsAClickBetweenDownAndUp) {
  std::vector<std::string> events;
  box_->OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
    EXPECT_EQ(s, box_);
    EXPECT_EQ(b, mbLeft);
    EXPECT_TRUE(shift.Contains(ssShift));
    EXPECT_TRUE(shift.Contains(ssLeft));
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  };
  box_->OnClick = [&](TObject*) { events.push_back("click"); };
  box_->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  int panelDowns = 0;
  panel_->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++panelDowns; };

  SendMouse(box_->Widget(), QEvent::MouseButtonPress, Qt::LeftButton, {7, 9}, Qt::ShiftModifier);
  SendMouse(box_->Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, {8, 9});
  EXPECT_EQ(events, (std::vector<std::string>{"down 7,9", "click", "up 8,9"}));
  EXPECT_EQ(panelDowns, 0) << "mouse input belongs to the control under the cursor";
}

TEST_F(UiControls, ReleaseOutsideOrWithAnotherButtonIsNoClick) {
  int clicks = 0;
  std::vector<TMouseButton> downs;
  box_->OnClick = [&](TObject*) { ++clicks; };
  box_->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { downs.push_back(b); };
  SendMouse(box_->Widget(), QEvent::MouseButtonPress, Qt::LeftButton, {7, 9});
  SendMouse(box_->Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, {150, 9});
  SendMouse(box_->Widget(), QEvent::MouseButtonPress, Qt::RightButton, {7, 9});
  SendMouse(box_->Widget(), QEvent::MouseButtonRelease, Qt::RightButton, {7, 9});
  SendMouse(box_->Widget(), QEvent::MouseButtonPress, Qt::MiddleButton, {7, 9});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(downs, (std::vector<TMouseButton>{mbLeft, mbRight, mbMiddle}));
}

TEST_F(UiControls, DoubleClickRunsOnDblClickThenADownWithDouble) {
  std::vector<std::string> events;
  box_->OnDblClick = [&](TObject*) { events.push_back("dblclick"); };
  box_->OnMouseDown = [&](TObject*, TMouseButton, TShiftState shift, int, int) {
    events.push_back(shift.Contains(ssDouble) ? "down double" : "down");
  };
  SendMouse(box_->Widget(), QEvent::MouseButtonPress, Qt::LeftButton, {1, 1});
  SendMouse(box_->Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, {1, 1});
  SendMouse(box_->Widget(), QEvent::MouseButtonDblClick, Qt::LeftButton, {1, 1});
  EXPECT_EQ(events, (std::vector<std::string>{"down", "dblclick", "down double"}));
}

TEST_F(UiControls, MouseMoveAndWheel) {
  std::vector<std::string> events;
  box_->OnMouseMove = [&](TObject*, TShiftState shift, int x, int y) {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y) + (shift.Contains(ssCtrl) ? " ctrl" : ""));
  };
  box_->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint pos, bool& handled) {
    events.push_back("wheel " + std::to_string(delta));
    EXPECT_EQ(pos, (TPoint{box_->Widget()->mapToGlobal(QPoint(3, 4)).x(), box_->Widget()->mapToGlobal(QPoint(3, 4)).y()}));
    handled = true;
  };
  SendMouse(box_->Widget(), QEvent::MouseMove, Qt::NoButton, {3, 4}, Qt::ControlModifier);
  QWheelEvent wheel(QPointF(3, 4), box_->Widget()->mapToGlobal(QPointF(3, 4)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(box_->Widget(), &wheel);
  EXPECT_TRUE(wheel.isAccepted());
  EXPECT_EQ(events, (std::vector<std::string>{"move 3,4 ctrl", "wheel -120"}));
}

TEST_F(UiControls, KeysReachTheFocusedControlAndCanBeSwallowed) {
  edit_->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return edit_->Focused(); }));
  std::vector<std::string> events;
  edit_->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    events.push_back("down " + std::to_string(key));
    if (key == 'X') key = 0;
  };
  edit_->OnKeyPress = [&](TObject*, QChar& ch) {
    events.push_back(std::string("press ") + ch.toLatin1());
    if (ch == u'b') ch = u'B';
  };
  edit_->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { events.push_back("up " + std::to_string(key)); };
  int panelKeys = 0;
  panel_->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++panelKeys; };

  SendKey(edit_->Widget(), Qt::Key_A, "a");
  SendKey(edit_->Widget(), Qt::Key_B, "b");
  SendKey(edit_->Widget(), Qt::Key_X, "x");
  EXPECT_EQ(edit_->Edit()->text(), "aB") << "a swallowed key-down keeps x out of the edit";
  EXPECT_EQ(events, (std::vector<std::string>{"down 65", "press a", "up 65", "down 66", "press b", "up 66",
                                              "down 88", "press x", "up 88"}));
  EXPECT_EQ(panelKeys, 0);
}

TEST_F(UiControls, KeyPreviewGivesTheFormTheKeysFirst) {
  edit_->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return edit_->Focused(); }));
  std::vector<std::string> events;
  form_->OnKeyDown = [&](TObject* s, WORD& key, TShiftState) {
    EXPECT_EQ(s, form_);
    events.push_back("form " + std::to_string(key));
    if (key == VK_ESCAPE) key = 0;
  };
  edit_->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { events.push_back("edit " + std::to_string(key)); };

  SendKey(edit_->Widget(), Qt::Key_Escape, "\x1b");
  EXPECT_EQ(events, (std::vector<std::string>{"edit 27"})) << "without key preview the form hears nothing";

  events.clear();
  form_->SetKeyPreview(true);
  SendKey(edit_->Widget(), Qt::Key_Escape, "\x1b");
  SendKey(edit_->Widget(), Qt::Key_F1, "");
  EXPECT_EQ(events, (std::vector<std::string>{"form 27", "form 112", "edit 112"}));
}

TEST_F(UiControls, PadKeysReachTheFormApartFromTheMainKeyboard) {
  edit_->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return edit_->Focused(); }));
  form_->SetKeyPreview(true);
  std::vector<WORD> keys;
  form_->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    keys.push_back(key);
    // The window zooms on the pad's + and -; the edit never sees those.
    if (key == VK_ADD || key == VK_SUBTRACT) key = 0;
  };
  SendKey(edit_->Widget(), Qt::Key_Plus, "+", Qt::KeypadModifier);
  SendKey(edit_->Widget(), Qt::Key_Minus, "-", Qt::KeypadModifier);
  SendKey(edit_->Widget(), Qt::Key_Plus, "+");
  SendKey(edit_->Widget(), Qt::Key_5, "5", Qt::KeypadModifier);
  EXPECT_EQ(keys, (std::vector<WORD>{VK_ADD, VK_SUBTRACT, VK_OEM_PLUS, VK_NUMPAD0 + 5}));
  EXPECT_EQ(edit_->Edit()->text(), "+5");
}

TEST_F(UiControls, ResizeAndPaintEvents) {
  int resizes = 0;
  int paints = 0;
  box_->OnResize = [&](TObject*) { ++resizes; };
  box_->OnPaint = [&](TObject*) { ++paints; };
  box_->SetWidth(120);
  EXPECT_EQ(box_->Width(), 120);
  EXPECT_EQ(resizes, 1);
  box_->Widget()->update();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return paints > 0; }));
}

TEST_F(UiControls, VisibleAndEnabledFollowTheControl) {
  EXPECT_TRUE(box_->Widget()->isVisible());
  box_->Hide();
  EXPECT_FALSE(box_->Visible());
  EXPECT_FALSE(box_->Widget()->isVisible());
  box_->Show();
  EXPECT_TRUE(box_->Widget()->isVisible());
  edit_->SetEnabled(false);
  EXPECT_FALSE(edit_->Enabled());
  EXPECT_FALSE(edit_->Widget()->isEnabled());
  box_->SetHint("Depth");
  EXPECT_EQ(box_->Widget()->toolTip(), "Depth");
  box_->SetColor(clRed);
  EXPECT_EQ(box_->Widget()->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST(UiColours, TColorIsBlueGreenRed) {
  EXPECT_EQ(ColorToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(QColorToColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
}

struct TKeyCase {
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  WORD vk;
};

void PrintTo(const TKeyCase& c, std::ostream* os) { *os << "Qt key " << c.qtKey << " to " << c.vk; }

class UiVirtualKeys : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(UiVirtualKeys, TranslateFromQt) {
  const TKeyCase c = GetParam();
  EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.modifiers), c.vk);
  // Back to Qt: the same key; the pad keys come back without their modifier.
  if (c.vk != 0 && c.qtKey != Qt::Key_Enter && c.qtKey != Qt::Key_Equal && c.qtKey != Qt::Key_Comma)
    EXPECT_EQ(VirtualKeyFromQt(QtKeyFromVirtualKey(c.vk), c.modifiers), c.vk);
}

INSTANTIATE_TEST_SUITE_P(Keys, UiVirtualKeys,
                         ::testing::Values(TKeyCase{Qt::Key_A, Qt::NoModifier, 'A'},
                                           TKeyCase{Qt::Key_7, Qt::NoModifier, '7'},
                                           TKeyCase{Qt::Key_7, Qt::KeypadModifier, VK_NUMPAD0 + 7},
                                           TKeyCase{Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
                                           TKeyCase{Qt::Key_Plus, Qt::NoModifier, VK_OEM_PLUS},
                                           TKeyCase{Qt::Key_Equal, Qt::NoModifier, VK_OEM_PLUS},
                                           TKeyCase{Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT},
                                           TKeyCase{Qt::Key_Minus, Qt::NoModifier, VK_OEM_MINUS},
                                           TKeyCase{Qt::Key_0, Qt::KeypadModifier, VK_NUMPAD0},
                                           TKeyCase{Qt::Key_0, Qt::NoModifier, '0'},
                                           TKeyCase{Qt::Key_Slash, Qt::KeypadModifier, VK_DIVIDE},
                                           TKeyCase{Qt::Key_Slash, Qt::NoModifier, VK_OEM_2},
                                           TKeyCase{Qt::Key_Period, Qt::KeypadModifier, VK_DECIMAL},
                                           TKeyCase{Qt::Key_Comma, Qt::KeypadModifier, VK_DECIMAL},
                                           TKeyCase{Qt::Key_Asterisk, Qt::KeypadModifier, VK_MULTIPLY},
                                           TKeyCase{Qt::Key_Home, Qt::KeypadModifier, VK_HOME},
                                           TKeyCase{Qt::Key_Clear, Qt::KeypadModifier, VK_CLEAR},
                                           TKeyCase{Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
                                           TKeyCase{Qt::Key_F12, Qt::NoModifier, VK_F1 + 11},
                                           TKeyCase{Qt::Key_PageDown, Qt::NoModifier, VK_NEXT},
                                           TKeyCase{Qt::Key_Escape, Qt::NoModifier, VK_ESCAPE},
                                           TKeyCase{Qt::Key_Eacute, Qt::NoModifier, 0}));

}  // namespace
