#pragma once
// What the channel store tells the user about its files.

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/message_boxes.h"

// A profile file that could not be opened for reading.
RESOURCESTRING(SChannelFileNotOpened, "Cannot open file \"%s\".");
// A profile file that could not be written; the file that was there is kept.
RESOURCESTRING(SChannelFileNotWritten, "Cannot write file \"%s\". The previous file is kept.");

// Shows one of these texts, the file name in place of its %s, as an error.
inline void ReportFileError(const TResourceString& text, const QString& fileName) {
  MessageDlg(Format(LoadResString(text), {fileName}), mtError, TMsgDlgButtons{mbOK}, 0);
}
