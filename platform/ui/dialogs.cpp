#include "platform/ui/dialogs.h"

#include "platform/ui/dialog_script.h"
#include "platform/ui/disabled_windows.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {

bool InsideRoot(const QString& folder, const QString& root) {
  const QString path = QDir::cleanPath(folder);
  const QString top = QDir::cleanPath(root);
  return path == top || path.startsWith(top.endsWith(u'/') ? top : top + u'/');
}

bool ShowFolderDialog(int x, int y, const QString& title, const QString& initialFolder, const QString& root,
                      QString& path) {
  QFileDialog dialog(QApplication::activeWindow(), title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setWindowModality(Qt::ApplicationModal);
  const bool limited = !root.isEmpty();
  QString start = initialFolder;
  if (limited && (start.isEmpty() || !InsideRoot(start, root))) start = root;
  if (!start.isEmpty()) {
    // Opening the parent with the folder selected shows the folder preselected.
    const QDir folder(start);
    QDir parent(folder);
    if (parent.cdUp() && (!limited || InsideRoot(parent.path(), root))) {
      dialog.setDirectory(parent);
      dialog.selectFile(folder.absolutePath());
    } else {
      dialog.setDirectory(folder);
    }
  }
  if (limited) {
    dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [&dialog, root](const QString& folder) {
      if (!InsideRoot(folder, root)) dialog.setDirectory(root);
    });
  }
  dialog.move(x, y);
  TDisabledWindows disabled(&dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
  if (limited && !InsideRoot(chosen, root)) return false;
  path = chosen;
  return true;
}

}  // namespace

bool BrowseForFolder(int x, int y, const QString& title, const QString& initialFolder, const QString& root,
                     QString& path) {
  path.clear();
  if (!TDialogScript::Enabled()) return ShowFolderDialog(x, y, title, initialFolder, root, path);
  TShownDialog shown;
  shown.Kind = dkFolder;
  shown.Title = title;
  shown.InitialFolder = initialFolder;
  shown.Root = root;
  shown.X = x;
  shown.Y = y;
  const std::optional<std::optional<QString>> answer = TDialogScript::TakeFolder(shown);
  if (!answer || !*answer) return false;
  path = **answer;
  return true;
}

bool ChooseColor(TColor& color) {
  if (!TDialogScript::Enabled()) {
    QColorDialog dialog(ColorToQColor(color), QApplication::activeWindow());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    TDisabledWindows disabled(&dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    color = QColorToColor(dialog.selectedColor());
    return true;
  }
  TShownDialog shown;
  shown.Kind = dkColor;
  shown.Color = color;
  const std::optional<std::optional<TColor>> answer = TDialogScript::TakeColor(shown);
  if (!answer || !*answer) return false;
  color = **answer;
  return true;
}

bool ChoosePrint() {
  if (!TDialogScript::Enabled()) {
    QPrinter printer;
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    TDisabledWindows disabled(&dialog);
    return dialog.exec() == QDialog::Accepted;
  }
  TShownDialog shown;
  shown.Kind = dkMessageBox;
  shown.Caption = QStringLiteral("Print");
  shown.Buttons = TMsgDlgButtons{mbOK, mbCancel};
  const std::optional<int> answer = TDialogScript::TakeAnswer(shown);
  return answer && *answer == mrOk;
}
