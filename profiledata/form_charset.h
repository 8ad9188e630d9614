#pragma once
// The character set of a form's font for the interface language, by locale id.

#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"

// German (7), French (12), Italian (16), Polish (21) and Spanish (1034) give 238;
// Russian (25) and Ukrainian (34) 204; Turkish (1055) 162; Chinese (2052) 136;
// any other locale 1, the default character set.
TFontCharset CharsetForLanguage(int lcid);

void SetFormCharsetForLanguage(TForm& form, int lcid);
