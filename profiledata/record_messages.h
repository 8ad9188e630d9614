#pragma once
// What the channel record reader tells the user.

#include "platform/rtl/resource_strings.h"

// The stream does not start with a known magic.
RESOURCESTRING(SRecordFormatNotCorrect, "Format is not correct");
// An old-format file whose size differs from the size it records.
RESOURCESTRING(SRecordFileSizeNotCorrect, "File is destroyed or format is not correct!");
// A record that ends early or holds values that cannot be right.
RESOURCESTRING(SRecordFileDestroyed, "File is destroyed or format is not correct");
