// The input box: what it shows, OK with an edited text, and every way of not
// answering OK, which keeps the value.

#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/input_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/std_controls.h"

#include <gtest/gtest.h>

namespace {

TInputBoxForm& AsBox(TForm& form) {
  auto* box = dynamic_cast<TInputBoxForm*>(&form);
  if (!box) throw std::runtime_error("not an input box");
  return *box;
}

TEST(UiInputBox, ShowsCaptionPromptAndValueAndTakesTheEditedText) {
  QString caption, prompt, shownValue;
  TDialogScript::QueueModal([&](TForm& form) {
    TInputBoxForm& box = AsBox(form);
    caption = box.Caption();
    prompt = box.Prompt->Caption();
    shownValue = box.Edit->Text();
    box.Edit->SetText(QStringLiteral("12.5"));
    box.OkButton->Click();
  });
  QString value = QStringLiteral("1.00");
  EXPECT_TRUE(InputQuery(QStringLiteral("Step"), QStringLiteral("Step, mm"), value));
  EXPECT_EQ(value, "12.5");
  EXPECT_EQ(caption, "Step");
  EXPECT_EQ(prompt, "Step, mm");
  EXPECT_EQ(shownValue, "1.00");
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].FormClass, "TInputBoxForm");
}

TEST(UiInputBox, EnterAnswersOk) {
  TDialogScript::QueueModal([](TForm& form) {
    TInputBoxForm& box = AsBox(form);
    box.Edit->SetText(QStringLiteral("7"));
    WORD key = VK_RETURN;
    box.Edit->OnKeyDown(box.Edit, key, TShiftState{});
  });
  EXPECT_EQ(InputBox(QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("3")), "7");
}

TEST(UiInputBox, CancelEscapeAndClosingKeepTheValue) {
  const std::vector<std::function<void(TInputBoxForm&)>> noAnswers = {
      [](TInputBoxForm& box) { box.CancelButton->Click(); },
      [](TInputBoxForm& box) {
        WORD key = VK_ESCAPE;
        box.Edit->OnKeyDown(box.Edit, key, TShiftState{});
      },
      [](TInputBoxForm& box) { box.Close(); },
      [](TInputBoxForm&) {},
  };
  for (size_t i = 0; i < noAnswers.size(); ++i) {
    SCOPED_TRACE(i);
    TDialogScript::QueueModal([&](TForm& form) {
      TInputBoxForm& box = AsBox(form);
      box.Edit->SetText(QStringLiteral("typed"));
      noAnswers[i](box);
    });
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, "kept");
  }
  TDialogScript::QueueModal([](TForm& form) { AsBox(form).CancelButton->Click(); });
  EXPECT_EQ(InputBox(QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("default")), "default");
}

}  // namespace
