#pragma once
// The tools' own texts.

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SToolTypeName, "Tool");

RESOURCESTRING(SAbsToolName, "Abs");
RESOURCESTRING(SAbsCaption, "Rectifier");
RESOURCESTRING(SAbsDescription, "1D Filter. Full-wave rectifier inverts negative half-wave of the signal to positive one");
