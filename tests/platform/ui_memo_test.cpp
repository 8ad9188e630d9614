// Memo: lines and text agree, every change of the text (typed or set) runs
// OnChange once, a read-only memo takes no typing, and wrapping follows WordWrap.

#include "platform/ui/forms.h"
#include "platform/ui/memo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

class UiMemo : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(8, 8, 160, 120);
    memo->OnChange = [this](TObject*) { ++changes; };
    form->Show();
  }
  void TearDown() override { form->Free(); }

  QPlainTextEdit* Editor() const { return static_cast<QPlainTextEdit*>(memo->Widget()); }
  void Type(const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(Editor(), &press);
    }
  }

  TForm* form = nullptr;
  TMemo* memo = nullptr;
  int changes = 0;
};

TEST_F(UiMemo, LinesAndTextAgree) {
  struct Case {
    QString text;
    QStringList lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\ntwo", {"one", "two"}},
      {"one\ntwo\n", {"one", "two"}},
      {"one\n\nthree", {"one", "", "three"}},
  };
  for (const Case& c : cases) {
    memo->SetText(c.text);
    EXPECT_EQ(memo->Lines(), c.lines) << c.text.toStdString();
  }
  memo->SetLines({"a=1", "", "b=2"});
  EXPECT_EQ(memo->Text(), "a=1\n\nb=2");
  memo->Append("c=3");
  EXPECT_EQ(memo->Lines(), QStringList({"a=1", "", "b=2", "c=3"}));
}

TEST_F(UiMemo, EveryChangeOfTheTextRunsOnChangeOnce) {
  memo->SetText("first");
  EXPECT_EQ(changes, 1);
  memo->SetText("first");  // the same text: no change
  EXPECT_EQ(changes, 1);
  memo->SetLines({"a", "b"});
  EXPECT_EQ(changes, 2);
  Editor()->moveCursor(QTextCursor::End);
  Type("cd");
  EXPECT_EQ(memo->Lines(), QStringList({"a", "bcd"}));
  EXPECT_EQ(changes, 4);
  memo->Clear();
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(memo->Lines().isEmpty());
}

TEST_F(UiMemo, ReadOnlyMemoTakesNoTypingButTheProgramMayStillSetIt) {
  memo->SetText("fixed");
  memo->SetReadOnly(true);
  changes = 0;
  Editor()->moveCursor(QTextCursor::End);
  Type("x");
  EXPECT_EQ(memo->Text(), "fixed");
  EXPECT_EQ(changes, 0);
  memo->SetText("set");
  EXPECT_EQ(memo->Text(), "set");
  EXPECT_EQ(changes, 1);
}

TEST_F(UiMemo, LongLineWrapsOnlyWithWordWrap) {
  memo->SetScrollBars(ssBoth);
  memo->SetText(QString("word ").repeated(60));
  QApplication::processEvents();
  const int wrappedLines = Editor()->document()->firstBlock().layout()->lineCount();
  EXPECT_GT(wrappedLines, 1);
  EXPECT_EQ(Editor()->horizontalScrollBar()->maximum(), 0);

  memo->SetWordWrap(false);
  QApplication::processEvents();
  EXPECT_EQ(Editor()->document()->firstBlock().layout()->lineCount(), 1);
  EXPECT_GT(Editor()->horizontalScrollBar()->maximum(), 0);
}

}  // namespace
