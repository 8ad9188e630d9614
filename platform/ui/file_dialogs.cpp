#include "platform/ui/file_dialogs.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/disabled_windows.h"
#include "platform/ui/message_boxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

RESOURCESTRING(SOverwritePrompt, "%1 already exists.\nDo you want to replace it?");

namespace {

// "Set of tools|*.bstcl|All|*.*" as Qt's "Set of tools (*.bstcl)", "All (*.*)".
QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.simplified());
  }
  return filters;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
  std::optional<QStringList> chosen;
  for (;;) {
    chosen = Choose();
    if (!chosen) break;
    for (QString& name : *chosen) name = WithDefaultExt(name);
    if (!Saving() || !options_.Contains(ofOverwritePrompt) || ConfirmOverwrite(*chosen)) break;
  }
  folder_.clear();
  if (!chosen || chosen->isEmpty()) return false;
  if (!options_.Contains(ofAllowMultiSelect)) *chosen = QStringList{chosen->constFirst()};
  files_ = *chosen;
  fileName_ = files_.constFirst();
  return true;
}

std::optional<QStringList> TOpenDialog::Choose() {
  return TDialogScript::Enabled() ? ChooseScripted() : ChooseOnScreen();
}

std::optional<QStringList> TOpenDialog::ChooseScripted() {
  TShownDialog shown;
  shown.Kind = Saving() ? dkSaveFile : dkOpenFile;
  shown.Title = title_;
  shown.InitialFolder = initialDir_;
  shown.Filter = filter_;
  shown.FilterIndex = filterIndex_;
  shown.DefaultExt = defaultExt_;
  shown.FileName = fileName_;
  std::optional<TFileAnswer> answer = TDialogScript::TakeFiles(shown);
  if (!answer) return std::nullopt;
  for (const QString& folder : answer->FoldersVisited) FolderChanged(folder);
  if (!answer->Files) return std::nullopt;
  QStringList files;
  for (const QString& file : *answer->Files) files << file;
  return files;
}

std::optional<QStringList> TOpenDialog::ChooseOnScreen() {
  QFileDialog dialog(QApplication::activeWindow(), title_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The overwrite question is ours, so that it reads and answers as ours.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(Saving() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (Saving())
    dialog.setFileMode(QFileDialog::AnyFile);
  else if (options_.Contains(ofAllowMultiSelect))
    dialog.setFileMode(QFileDialog::ExistingFiles);
  else
    dialog.setFileMode(options_.Contains(ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setWindowModality(Qt::ApplicationModal);
  const QStringList filters = NameFilters(filter_);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (filterIndex_ >= 1 && filterIndex_ <= filters.size()) dialog.selectNameFilter(filters[filterIndex_ - 1]);
  }
  if (!initialDir_.isEmpty()) dialog.setDirectory(initialDir_);
  if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
  QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                   [this](const QString& folder) { FolderChanged(folder); });
  TDisabledWindows disabled(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype chosenFilter = filters.indexOf(dialog.selectedNameFilter());
  if (chosenFilter >= 0) filterIndex_ = static_cast<int>(chosenFilter) + 1;
  return dialog.selectedFiles();
}

QString TOpenDialog::WithDefaultExt(const QString& name) const {
  QString ext = defaultExt_;
  if (ext.startsWith(u'.')) ext.remove(0, 1);
  if (ext.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
  return name + u'.' + ext;
}

bool TOpenDialog::ConfirmOverwrite(const QStringList& names) const {
  for (const QString& name : names) {
    if (!QFileInfo::exists(name)) continue;
    if (MessageDlg(LoadResString(SOverwritePrompt).arg(name), mtWarning, mbYesNo, 0) != mrYes) return false;
  }
  return true;
}

void TOpenDialog::FolderChanged(const QString& folder) {
  folder_ = folder;
  if (OnFolderChange) OnFolderChange(this);
}
