#include "profiledata/form_charset.h"

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

void SetFormCharsetForLanguage(TForm& form, int lcid) { form.Font()->SetCharset(CharsetForLanguage(lcid)); }
