#pragma once
// The name of the file the next recording is written to: folder + prefix +
// index + ".dezo". The routines behind the folder, prefix and index controls of
// the settings window and of the general preferences dialog; they need no window.
//
// Threads: any (the counting callback runs on the caller's thread).

#include "platform/rtl/resource_strings.h"

#include <QString>

#include <cstdint>
#include <functional>

// The question when the name proposed for a recording is taken: the taken
// file, the same name again, the free proposal.
RESOURCESTRING(SChangeFileName, "File %s already exists.\r\nChange file name from %s to %s ?");

namespace record_file_naming {

// The profile the index names: folder (ending with a delimiter) + prefix +
// index + ".dezo".
QString ProfileFileName(const QString& folder, const QString& prefix, int64_t index);

// What applying an index gives: the main window's next count (the index + 1,
// never past the largest 32-bit number) and whether the file it names exists
// (the index is then shown red).
struct TIndexState {
  int32_t NextCount = 0;
  bool Taken = false;
};
TIndexState ApplyIndex(const QString& folder, const QString& prefix, int32_t index);

// Folders deeper than this below the counted one are not looked into.
inline constexpr int MaxProfileFolderDepth = 16;

// The entries of the folder whose names end with ".dezo" (in any letter case):
// a file counts 1, a folder is counted the same way instead. Symbolic links to
// folders are not followed and the walk stops MaxProfileFolderDepth levels
// down, so a link loop or a deep tree cannot keep the caller waiting.
// afterEntry (may be empty) runs after each entry looked at, to keep a window
// answering. A folder that cannot be read counts 0.
int64_t CountProfileFiles(const QString& folder, const std::function<void()>& afterEntry = {});

// The index a newly chosen folder proposes: 0 when it holds no profile, or when
// prefix + "0" is free; otherwise the free number after prefix + "0" (the main
// window's free-number rule, FreeFileNumber). profileCount is CountProfileFiles.
int32_t IndexForFolder(const QString& folder, const QString& prefix, int64_t profileCount);

}  // namespace record_file_naming
