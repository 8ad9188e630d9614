#pragma once
// The folder, prefix and index controls of the file to record, which the
// settings window and the general preferences dialog both carry, and their
// handlers: the prefix goes to the main window at every change, a finished
// index gives the main window its next count and turns red over a taken file,
// and a new folder proposes the index its profiles leave free. The naming
// itself is record_file_naming.h.
//
// Threads: user-interface thread (the folder's count keeps the window answering).

#include "platform/ui/control_types.h"

#include <QString>

class DUvova3DuruZuza;
class TControl;
class TDigitEdit;
class TEdit;
class TMemo;
class TSpeedButton;

// The window's controls. Window places the folder dialog (its screen position).
struct TRecordFileControls {
  TControl* Window = nullptr;
  TMemo* FilePathMemo = nullptr;
  TSpeedButton* ChangePathSB = nullptr;
  TEdit* FilePrefixEdit = nullptr;
  TDigitEdit* FileCountDigitEdit = nullptr;
};

namespace record_file_controls {

// The colour of an index whose file exists.
inline constexpr TColor TakenIndexColor = 0xFF;

// FilePrefixEdit changed: the main window's prefix := its text.
void PrefixChanged(DUvova3DuruZuza& main, const TRecordFileControls& c);
// FileCountDigitEdit finished: the main window's count := the index + 1; the
// index red when its file exists, black otherwise.
void IndexChanged(DUvova3DuruZuza& main, const TRecordFileControls& c);
// ChangePathSB: the folder dialog "Select Directory" from the folder shown;
// Cancel changes nothing. Otherwise the folder (with a trailing delimiter)
// goes to the memo and the main window, the prefix is applied, and the index
// becomes the one the folder's profiles leave free.
void ChangeFolder(DUvova3DuruZuza& main, const TRecordFileControls& c);

}  // namespace record_file_controls
