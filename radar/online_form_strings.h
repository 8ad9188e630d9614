#pragma once
// Texts the three online stage dialogs share: the Apply box and the OK button.

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SOnlineApplyCaption, "Apply");
RESOURCESTRING(SOnlineOkCaption, "Ok");
