#include "platform/ui/language_forms.h"

#include "platform/ui/application.h"
#include "platform/ui/forms.h"

namespace {

void CollectForms(const TComponent& owner, std::vector<TForm*>& forms) {
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    TComponent* component = owner.Components(i);
    if (auto* form = dynamic_cast<TForm*>(component)) forms.push_back(form);
    CollectForms(*component, forms);
  }
}

}  // namespace

TFontCharset CharsetForLanguage(int lcid) {
  switch (lcid) {
    case 7:
    case 12:
    case 16:
    case 21:
    case 1034:
      return EASTEUROPE_CHARSET;
    case 25:
    case 34:
      return RUSSIAN_CHARSET;
    case 1055:
      return TURKISH_CHARSET;
    case 2052:
      return CHINESEBIG5_CHARSET;
    default:
      return DEFAULT_CHARSET;
  }
}

std::vector<TForm*> AllForms() {
  std::vector<TForm*> forms;
  if (Application) CollectForms(*Application, forms);
  return forms;
}

void ReloadAllForms(int lcid) {
  for (TForm* form : AllForms()) {
    const TWindowState state = form->WindowState();
    const int left = form->Left(), top = form->Top(), width = form->Width(), height = form->Height();
    if (auto* texts = dynamic_cast<ILanguageForm*>(form)) texts->ReloadTexts();
    form->Font()->SetCharset(CharsetForLanguage(lcid));
    if (form->WindowState() != state) form->SetWindowState(state);
    if (state == wsNormal && (form->Left() != left || form->Top() != top || form->Width() != width ||
                              form->Height() != height))
      form->SetBounds(left, top, width, height);
  }
}
