// Scroll bars: range with a page, change and scroll events with their codes;
// wheel turns that the control leaves go to its parents and the form.

#include "platform/ui/forms.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "tests/platform/ui_input.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QScrollBar>

#include <string>
#include <vector>

namespace {

class UiScrollBar : public TShownFormTest {};

TEST_F(UiScrollBar, PositionStaysInsideTheRangeLessThePage) {
  auto* bar = new TScrollBar(form);
  bar->SetParent(form);
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->SetParams(50, 0, 99);
  bar->SetPageSize(20);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetPosition(95);
  EXPECT_EQ(bar->Position(), 80);  // 99 - 20 + 1
  bar->SetPosition(80);  // no change
  bar->SetMax(60);
  EXPECT_EQ(bar->Position(), 41);
  EXPECT_EQ(changes, 3);
  bar->SetKind(sbVertical);
  EXPECT_EQ(static_cast<QScrollBar*>(bar->Widget())->orientation(), Qt::Vertical);
}

TEST_F(UiScrollBar, UserActionsReportTheirCodeAndTheHandlerMayMoveTheTarget) {
  auto* bar = new TScrollBar(form);
  bar->SetParent(form);
  bar->SetParams(10, 0, 100);
  bar->SetSmallChange(2);
  bar->SetLargeChange(25);
  std::vector<std::string> scrolls;
  bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) {
    scrolls.push_back(std::to_string(code) + "@" + std::to_string(pos));
    if (code == scPageDown) pos = 90;
  };
  auto* qbar = static_cast<QScrollBar*>(bar->Widget());
  qbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->Position(), 12);
  qbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->Position(), 90);
  qbar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(scrolls, (std::vector<std::string>{"1@12", "3@37", "6@0"}));
  // The program's moves are no scroll.
  bar->SetPosition(5);
  EXPECT_EQ(scrolls.size(), 3u);
}

TEST_F(UiScrollBar, WheelLeftByTheControlReachesTheParentsAndTheFormMessage) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 200, 150);
  auto* inner = new TPanel(form);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 50, 50);
  std::vector<std::string> heard;
  panel->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    heard.push_back("panel " + std::to_string(delta));
    handled = delta < 0;
  };
  EXPECT_TRUE(ui_input::Wheel(inner->Widget(), {5, 5}, -120));
  form->SetMessageHandler(WM_MOUSEWHEEL, [&](TMessage& message) {
    const auto delta = static_cast<int16_t>(static_cast<uint16_t>(message.WParam >> 16));
    heard.push_back("form message " + std::to_string(delta) +
                    ((message.WParam & 0x0008) != 0 ? " ctrl" : ""));
  });
  ui_input::Wheel(inner->Widget(), {5, 5}, 240, Qt::ControlModifier);
  EXPECT_EQ(heard, (std::vector<std::string>{"panel -120", "panel 240", "form message 240 ctrl"}));

  // A scroll bar scrolls itself; nothing climbs further.
  auto* bar = new TScrollBar(form);
  bar->SetParent(panel);
  bar->SetBounds(0, 100, 150, 17);
  bar->SetParams(50, 0, 100);
  heard.clear();
  ui_input::Wheel(bar->Widget(), {20, 5}, -120);
  EXPECT_NE(bar->Position(), 50);
  EXPECT_TRUE(heard.empty());
}

}  // namespace
