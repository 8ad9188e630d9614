#include "acquisition/record_file_controls.h"

#include "acquisition/main_form.h"
#include "acquisition/record_file_naming.h"
#include "platform/rtl/resource_strings.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/memo.h"
#include "profiledata/digit_edit.h"
#include "profiledata/utilits.h"

namespace record_file_controls {

namespace {
RESOURCESTRING(SSelectDirectory, "Select Directory");
}  // namespace

void PrefixChanged(DUvova3DuruZuza& main, const TRecordFileControls& c) {
  main.Settings.PrefixFiles = c.FilePrefixEdit->Text();
}

void IndexChanged(DUvova3DuruZuza& main, const TRecordFileControls& c) {
  const auto state =
      record_file_naming::ApplyIndex(main.LastFolder(), main.GlobalPrefixFiles(), c.FileCountDigitEdit->ValueInt());
  main.SetGlobalCountFiles(state.NextCount);
  c.FileCountDigitEdit->Font()->SetColor(state.Taken ? TakenIndexColor : clBlack);
}

void ChangeFolder(DUvova3DuruZuza& main, const TRecordFileControls& c) {
  QString path;
  // An empty root: the whole machine may be browsed.
  if (!SelectFolder(c.Window->Left() + c.ChangePathSB->Left() + 25, c.Window->Top() + c.ChangePathSB->Top() + 45,
                    LoadResString(SSelectDirectory), path, c.FilePathMemo->Text(), QString()))
    return;
  path = IncludeTrailingPathDelimiter(path);
  c.FilePathMemo->SetText(path);
  c.FilePathMemo->SetHint(path);
  main.Settings.LastFolder = path;
  // The count yields to the message loop; the button must not start a second one.
  c.ChangePathSB->SetEnabled(false);
  const int64_t count = record_file_naming::CountProfileFiles(path, [] { Application->ProcessMessages(); });
  c.ChangePathSB->SetEnabled(true);
  PrefixChanged(main, c);
  c.FileCountDigitEdit->SetValueInt(
      record_file_naming::IndexForFolder(main.LastFolder(), main.GlobalPrefixFiles(), count));
  IndexChanged(main, c);
}

}  // namespace record_file_controls
