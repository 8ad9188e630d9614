#pragma once
// Answers for message boxes, folder and colour dialogs and modal forms, queued
// by tests.
//
// While enabled, every such dialog records what it showed and takes the next
// answer of its kind instead of waiting for a user. A dialog that finds no answer
// of its kind (or an answer it cannot give) calls the unexpected handler with a
// description and returns as if cancelled. Answers of different kinds have queues
// of their own, each first in, first out.
//
// Threads: dialogs run on the user-interface thread; the calls here may come from
// any thread.

#include "platform/ui/control_types.h"
#include "platform/ui/message_boxes.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class TForm;

enum TDialogKind : uint8_t { dkMessageBox, dkFolder, dkModal, dkColor, dkOpenFile, dkSaveFile };

// What a dialog showed.
struct TShownDialog {
  TDialogKind Kind = dkMessageBox;
  // Message boxes.
  QString Caption;
  QString Text;
  UINT Icon = 0;  // MB_ICONHAND .. MB_ICONASTERISK, 0 for none
  TMsgDlgButtons Buttons;
  // Folder dialogs.
  QString Title;
  QString InitialFolder;
  QString Root;
  int X = 0;
  int Y = 0;
  // Modal forms (Caption too).
  QString FormClass;
  // Colour dialogs: the colour they opened with.
  TColor Color = 0;
  // File dialogs (Title and InitialFolder too): the filter, the file type chosen
  // (from 1), the default extension and the file name they opened with.
  QString Filter;
  int FilterIndex = 1;
  QString DefaultExt;
  QString FileName;
};

// The answer of a file dialog: the folders the user opened in turn (each runs
// the dialog's folder-change event), then the files chosen, or none when the
// dialog is cancelled.
struct TFileAnswer {
  std::vector<QString> FoldersVisited;
  std::optional<std::vector<QString>> Files;
};

class TDialogScript {
public:
  static void Enable(bool on);
  static bool Enabled();

  // The IDxxx / mrXxx value the next message box returns; it must be one of the
  // box's buttons.
  static void QueueAnswer(int result);
  // The folder the next folder dialog returns; nullopt cancels it.
  static void QueueFolder(std::optional<QString> path);
  // Works the next modal form and closes it by setting its ModalResult (left at
  // mrNone, ShowModal returns mrCancel).
  static void QueueModal(std::function<void(TForm&)> work);
  // The colour the next colour dialog returns; nullopt cancels it.
  static void QueueColor(std::optional<TColor> color);
  // The next open or save dialog's answer.
  static void QueueFiles(TFileAnswer answer);

  static std::vector<TShownDialog> Shown();
  // Answers queued and not used yet.
  static int Pending();
  // Forgets the answers and the record; the enabled state and handler stay.
  static void Reset();
  static void SetUnexpectedHandler(std::function<void(const QString& description)> handler);

  // ---- for the dialogs ----
  // Records shown and gives its answer; nullopt after reporting an unexpected box.
  static std::optional<int> TakeAnswer(const TShownDialog& shown);
  // Records shown; the outer nullopt after reporting an unexpected dialog.
  static std::optional<std::optional<QString>> TakeFolder(const TShownDialog& shown);
  // Records shown; an empty function after reporting an unexpected form.
  static std::function<void(TForm&)> TakeModal(const TShownDialog& shown);
  // Records shown; the outer nullopt after reporting an unexpected dialog.
  static std::optional<std::optional<TColor>> TakeColor(const TShownDialog& shown);
  // Records shown; nullopt after reporting an unexpected dialog.
  static std::optional<TFileAnswer> TakeFiles(const TShownDialog& shown);
};
