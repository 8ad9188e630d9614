#include "profiledata/form_charset.h"

void SetFormCharsetForLanguage(TForm& form, int lcid) { form.Font()->SetCharset(CharsetForLanguage(lcid)); }
