// Reloading the texts of every open form for another language.

#include "platform/ui/language_forms.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

namespace ui_language_forms_test {

RESOURCESTRING(SLangFormsTestCaption, "Settings");

class TTextsForm : public TForm, public ILanguageForm {
public:
  explicit TTextsForm(TComponent* owner) : TForm(owner) { ReloadTexts(); }
  void ReloadTexts() override {
    SetCaption(LoadResString(SLangFormsTestCaption));
    ++reloads;
  }
  int reloads = 0;
  int state = 0;  // what the user set; a reload keeps it
};

TEST(UiLanguageForms, EveryFormTakesTheNewTextsAndCharsetKeepingItsBounds) {
  TTextsForm* owned = nullptr;
  Application->CreateForm(owned);
  owned->SetBounds(30, 40, 300, 200);
  owned->state = 5;
  auto* child = TComponent::Create<TTextsForm>(owned);
  auto* plain = TComponent::Create<TForm>(owned);
  plain->SetCaption(QStringLiteral("kept"));
  plain->SetBounds(5, 6, 250, 150);

  const std::vector<TForm*> forms = AllForms();
  EXPECT_NE(std::find(forms.begin(), forms.end(), owned), forms.end());
  EXPECT_NE(std::find(forms.begin(), forms.end(), child), forms.end());

  RegisterLanguageModule(25, {{QStringLiteral("SLangFormsTestCaption"), QString::fromUtf8("Настройки")}});
  SetResourceLanguage(25);
  ReloadAllForms(25);
  SetResourceLanguage(1033);

  EXPECT_EQ(owned->Caption(), QString::fromUtf8("Настройки"));
  EXPECT_EQ(child->Caption(), QString::fromUtf8("Настройки"));
  EXPECT_EQ(owned->reloads, 2);
  EXPECT_EQ(owned->state, 5);
  EXPECT_EQ(owned->Left(), 30);
  EXPECT_EQ(owned->Top(), 40);
  EXPECT_EQ(owned->Width(), 300);
  EXPECT_EQ(owned->Height(), 200);
  EXPECT_EQ(plain->Caption(), QStringLiteral("kept"));
  EXPECT_EQ(plain->Width(), 250);
  for (TForm* form : {static_cast<TForm*>(owned), static_cast<TForm*>(child), plain})
    EXPECT_EQ(form->Font()->Charset(), RUSSIAN_CHARSET);
  owned->Free();
}

TEST(UiLanguageForms, CharsetByLocale) {
  struct Case {
    int lcid;
    TFontCharset charset;
  };
  for (const Case c : {Case{7, EASTEUROPE_CHARSET}, Case{1034, EASTEUROPE_CHARSET}, Case{34, RUSSIAN_CHARSET},
                       Case{1055, TURKISH_CHARSET}, Case{2052, CHINESEBIG5_CHARSET}, Case{1033, DEFAULT_CHARSET},
                       Case{0, DEFAULT_CHARSET}})
    EXPECT_EQ(CharsetForLanguage(c.lcid), c.charset) << c.lcid;
}

}  // namespace ui_language_forms_test
