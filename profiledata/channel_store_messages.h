#pragma once
// What the channel store tells the user about its files.

#include "platform/rtl/resource_strings.h"

// A profile file that could not be opened for reading.
RESOURCESTRING(SChannelFileNotOpened, "Cannot open file \"%s\".");
// A profile file that could not be written; the file that was there is kept.
RESOURCESTRING(SChannelFileNotWritten, "Cannot write file \"%s\". The previous file is kept.");
