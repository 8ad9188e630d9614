#pragma once
// TOpenDialog and TSaveDialog: choosing files to read or to write. In tests
// they answer from the dialog script (dialog_script.h) instead of showing.
//
// Filter is written as pairs "description|patterns|description|patterns" (the
// patterns separated by ';'); FilterIndex counts its pairs from 1 and after
// Execute names the type chosen. A chosen name without an extension gets
// DefaultExt (given with or without its dot). With ofOverwritePrompt a save
// dialog asks before it returns a file that exists (a warning box with Yes and
// No); No leaves the user in the dialog to choose again. OnFolderChange runs
// whenever the user opens another folder; Folder() is that folder.
//
// Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/enum_set.h"

#include <QString>
#include <QStringList>

#include <optional>

enum TOpenOption : uint8_t {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofAllowMultiSelect,
  ofPathMustExist,
  ofFileMustExist,
  ofEnableSizing
};
using TOpenOptions = TEnumSet<TOpenOption>;

class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* AOwner);

  QString Title() const { return title_; }
  void SetTitle(const QString& value) { title_ = value; }
  QString Filter() const { return filter_; }
  void SetFilter(const QString& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  QString DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const QString& value) { defaultExt_ = value; }
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& value) { fileName_ = value; }
  QString InitialDir() const { return initialDir_; }
  void SetInitialDir(const QString& value) { initialDir_ = value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }
  // Every file chosen by the last Execute that returned true (one without
  // ofAllowMultiSelect); FileName is the first.
  const QStringList& Files() const { return files_; }
  // The folder the user opened last, while the dialog runs.
  QString Folder() const { return folder_; }

  // Shows the dialog modally; true when files were chosen.
  bool Execute();

  TNotifyEvent OnFolderChange;

protected:
  virtual bool Saving() const { return false; }

private:
  // The chosen names as the dialog returns them; nullopt when cancelled.
  std::optional<QStringList> Choose();
  std::optional<QStringList> ChooseScripted();
  std::optional<QStringList> ChooseOnScreen();
  QString WithDefaultExt(const QString& name) const;
  // False when the user refused to replace a file.
  bool ConfirmOverwrite(const QStringList& names) const;
  void FolderChanged(const QString& folder);

  QString title_;
  QString filter_;
  int filterIndex_ = 1;
  QString defaultExt_;
  QString fileName_;
  QString initialDir_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  QStringList files_;
  QString folder_;
};

class TSaveDialog : public TOpenDialog {
public:
  using TOpenDialog::TOpenDialog;

protected:
  bool Saving() const override { return true; }
};
