#pragma once
// Switching the open forms to another interface language.
//
// The forms build their texts from resource strings when they are made; a form
// that can take a new language without being made again implements
// ILanguageForm and sets its texts again from the current resources there.
// ReloadAllForms does that for every form the application owns (directly or
// through other forms), keeping each form's bounds and window state, and gives
// every form the character set of a language.
//
// Threads: user-interface thread only.

#include "platform/ui/graphics.h"

#include <vector>

class TForm;

// German (7), French (12), Italian (16), Polish (21) and Spanish (1034) give 238;
// Russian (25) and Ukrainian (34) 204; Turkish (1055) 162; Chinese (2052) 136;
// any other locale 1, the default character set.
TFontCharset CharsetForLanguage(int lcid);

class ILanguageForm {
public:
  virtual ~ILanguageForm() = default;
  // Sets every text of the form again from the current resource strings; the
  // form's state (values, selections, what is shown) stays.
  virtual void ReloadTexts() = 0;
};

// Every form of the application, in creation order of their owners (owners
// before the forms they own).
std::vector<TForm*> AllForms();

// Re-applies every open form's texts (ILanguageForm) and sets its font's
// character set for lcid; bounds and window state are as before.
void ReloadAllForms(int lcid);
