// The form font's character set follows the interface language.

#include "profiledata/form_charset.h"

#include <gtest/gtest.h>

namespace {

TEST(FormCharset, LocaleIdsGiveTheirCharacterSets) {
  const struct {
    int lcid;
    int charset;
  } cases[] = {{7, 238},   {12, 238},  {16, 238},  {21, 238}, {1034, 238}, {25, 204}, {34, 204},
               {1055, 162}, {2052, 136}, {1033, 1}, {1049, 1}, {0, 1},      {-7, 1},   {238, 1}};
  TForm* form = TComponent::Create<TForm>(nullptr);
  for (const auto& c : cases) {
    SetFormCharsetForLanguage(*form, 2052);  // something else first, so each case must set its own
    SetFormCharsetForLanguage(*form, c.lcid);
    EXPECT_EQ(form->Font()->Charset(), c.charset) << "locale " << c.lcid;
  }
  form->Free();
}

}  // namespace
