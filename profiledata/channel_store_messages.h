#pragma once
// What the channel store tells the user about its files.

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/message_boxes.h"

#include <memory>

// A profile file that could not be opened for reading.
RESOURCESTRING(SChannelFileNotOpened, "Cannot open file \"%s\".");
// A profile file that could not be written; the file that was there is kept.
RESOURCESTRING(SChannelFileNotWritten, "Cannot write file \"%s\". The previous file is kept.");

// Shows one of these texts, the file name in place of its %s, as an error.
inline void ReportFileError(const TResourceString& text, const QString& fileName) {
  MessageDlg(Format(LoadResString(text), {fileName}), mtError, TMsgDlgButtons{mbOK}, 0);
}

// Opens a file read-only (a file on a read-only medium or without write
// permission opens too); nullptr, reported, when it cannot be opened.
inline std::unique_ptr<TFileStream> OpenFileForReading(const QString& fileName) {
  try {
    return std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyNone);
  } catch (const EStreamError&) {
    ReportFileError(SChannelFileNotOpened, fileName);
    return nullptr;
  }
}
