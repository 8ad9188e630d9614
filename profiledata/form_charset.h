#pragma once
// The character set of a form's font for the interface language, by locale id.

#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"
#include "platform/ui/language_forms.h"  // CharsetForLanguage

void SetFormCharsetForLanguage(TForm& form, int lcid);
