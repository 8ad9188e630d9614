// The language switch of the main window.

#include "acquisition/main_form.h"

#include "platform/ui/language_forms.h"
#include "tools/list_of_tools.h"
#include "tools/tool_chain_library.h"

#include <algorithm>
#include <iterator>

namespace {

// English, Russian, Chinese, Polish, Spanish, Turkish, German, Italian,
// Ukrainian, French: the ten language items.
constexpr int kLanguageItems[] = {1033, 25, 2052, 21, 1034, 1055, 7, 16, 34, 12};
constexpr int kLanguageCode = 400;

}  // namespace

bool DUvova3DuruZuza::SetLanguage(int localeId) {
  const bool offered = std::find(std::begin(kLanguageItems), std::end(kLanguageItems), localeId) != std::end(kLanguageItems);
  const int id = offered ? localeId : EnglishLocaleId;
  if (!LoadLanguageModule(id)) return false;
  // The forms take the character set of the language in force before the switch.
  ReloadAllForms(FLanguage);
  FLanguage = id;
  ShowLanguageChecks();
  ShowToolBarSize();
  FillMediumList();
  return true;
}

bool DUvova3DuruZuza::SwitchLanguage(int localeId) {
  if (!SetLanguage(localeId)) return false;
  // The tools' names and captions come in the new language.
  TListOfTools* old = ListOfTools;
  ListOfTools = new TListOfTools(this);
  ListOfTools->Initialise(GetExeCurrentDir(), true, FLanguage);
  RegisterToolChainRegistry(ListOfTools);
  if (old) old->Free();
  WriteLanguageFile();
  SendLanguageToVandrel(kLanguageCode);
  ChangeByttonIcons();
  return true;
}
