// The real dialogs behind the script: a message box and the folder browser,
// worked from a timer while they run their modal loop.

#include "platform/ui/dialog_script.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/timers.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>

#include <functional>

namespace {

// Scripting off; work(dialog) runs once the modal dialog is up. A dialog that
// never shows up fails the test after a generous bound instead of hanging.
class UiRealDialogs : public ::testing::Test {
protected:
  void SetUp() override { TDialogScript::Enable(false); }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    TDialogScript::Enable(true);
  }

  void WhenModal(std::function<void(QWidget*)> work) {
    timer_ = SetTimer(nullptr, 0, 10, [this, work](HWND, UINT, UINT_PTR, uint32_t) {
      QWidget* modal = QApplication::activeModalWidget();
      if (!worked_ && modal) {
        worked_ = true;
        ticks_ = 0;
        work(modal);
        return;
      }
      // Bounded: a dialog that never shows up or never goes fails the test.
      if (++ticks_ < 500) return;
      ticks_ = 0;
      if (modal) {
        ADD_FAILURE() << "the dialog is still open";
        static_cast<QDialog*>(modal)->reject();
      } else if (!worked_) {
        ADD_FAILURE() << "no modal dialog appeared";
      }
    });
  }

  // Chooses path as a user typing it would; the list's own selection would win.
  static void ChooseFolder(QFileDialog* dialog, const QString& path) {
    dialog->findChild<QListView*>("listView")->clearSelection();
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  }

  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool worked_ = false;
};

TEST_F(UiRealDialogs, MessageBoxShowsItsTextAndReturnsThePressedButton) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->Show();
  bool formEnabledDuring = true;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  WhenModal([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    formEnabledDuring = form->Widget()->isEnabled();
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    for (QAbstractButton* b : box->buttons()) buttons << b->text();
    for (QAbstractButton* b : box->buttons())
      if (b->text() == "&No") b->click();
  });
  EXPECT_EQ(MessageBox("Delete the marker?", "Markers", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(title, "Markers");
  EXPECT_EQ(text, "Delete the marker?");
  EXPECT_EQ(icon, QMessageBox::Question);
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{"&No", "&Yes", "Cancel"}));
  EXPECT_FALSE(formEnabledDuring) << "the other windows are disabled while the box is open";
  EXPECT_TRUE(form->Widget()->isEnabled());
  form->Free();
}

TEST_F(UiRealDialogs, EscapeCancelsAMessageBox) {
  WhenModal([](QWidget* widget) { static_cast<QDialog*>(widget)->reject(); });
  EXPECT_EQ(MessageBox("Retry?", "Port", MB_RETRYCANCEL), IDCANCEL);
}

TEST_F(UiRealDialogs, FolderBrowserPreselectsTheInitialFolderAndReturnsTheChoice) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  ASSERT_TRUE(QDir(root.path()).mkpath("site1"));
  ASSERT_TRUE(QDir(root.path()).mkpath("site2"));
  const QString initial = root.path() + "/site1";
  QString shownDirectory;
  QStringList preselected;
  QString title;
  QPoint position;
  WhenModal([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    position = dialog->pos();
    shownDirectory = dialog->directory().absolutePath();
    preselected = dialog->selectedFiles();
    ChooseFolder(dialog, root.path() + "/site2");
  });
  QString path;
  EXPECT_TRUE(BrowseForFolder(40, 30, "Choose the site", initial, root.path(), path));
  EXPECT_EQ(QDir(path).absolutePath(), QDir(root.path() + "/site2").absolutePath());
  EXPECT_EQ(title, "Choose the site");
  EXPECT_EQ(position, QPoint(40, 30));
  EXPECT_EQ(shownDirectory, QDir(root.path()).absolutePath());
  ASSERT_FALSE(preselected.isEmpty());
  EXPECT_EQ(QDir(preselected.first()).absolutePath(), QDir(initial).absolutePath());
}

TEST_F(UiRealDialogs, FolderBrowserRefusesAChoiceOutsideItsRoot) {
  QTemporaryDir top;
  ASSERT_TRUE(QDir(top.path()).mkpath("root/inner"));
  ASSERT_TRUE(QDir(top.path()).mkpath("outside"));
  WhenModal([&](QWidget* widget) {
    ChooseFolder(static_cast<QFileDialog*>(widget), top.path() + "/outside");
  });
  QString path = "stale";
  EXPECT_FALSE(BrowseForFolder(0, 0, "Folder", top.path() + "/root/inner", top.path() + "/root", path));
  EXPECT_TRUE(path.isEmpty());
}

TEST_F(UiRealDialogs, CancelledFolderBrowserGivesFalse) {
  WhenModal([](QWidget* widget) { static_cast<QDialog*>(widget)->reject(); });
  QString path;
  EXPECT_FALSE(BrowseForFolder(0, 0, "Folder", QDir::tempPath(), "", path));
  EXPECT_TRUE(path.isEmpty());
}

}  // namespace
