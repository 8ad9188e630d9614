// The print dialog answered from the script: OK prints, anything else does not.

#include "platform/ui/dialog_script.h"
#include "platform/ui/dialogs.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace ui_print_dialog_test {

TEST(UiPrintDialog, OnlyOkPrintsAndTheDialogIsRecorded) {
  const std::pair<int, bool> cases[] = {{mrOk, true}, {mrCancel, false}};
  for (const auto& [answer, prints] : cases) {
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(answer);
    EXPECT_EQ(ChoosePrint(), prints) << answer;
    const auto shown = TDialogScript::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, QStringLiteral("Print"));
    EXPECT_EQ(TDialogScript::Pending(), 0);
  }
}

}  // namespace ui_print_dialog_test
