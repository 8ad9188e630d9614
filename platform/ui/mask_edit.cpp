#include "platform/ui/mask_edit.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"

#include <vector>

RESOURCESTRING(SMaskEditErr, "Invalid input value.  Use escape key to abandon changes");

namespace {

struct TMaskPlace {
  QChar Literal;       // the character that must stand here, or none
  bool Letter = false;  // a required letter
  bool Upper = false;   // shown in upper case
};

std::vector<TMaskPlace> Places(const QString& mask) {
  std::vector<TMaskPlace> places;
  bool upper = false;
  for (qsizetype i = 0; i < mask.size(); ++i) {
    const QChar c = mask[i];
    if (c == u'>') {
      upper = true;
    } else if (c == u'\\' && i + 1 < mask.size()) {
      places.push_back({mask[++i], false, upper});
    } else if (c == u'L') {
      places.push_back({QChar(), true, upper});
    } else {
      places.push_back({c, false, upper});
    }
  }
  return places;
}

bool LatinLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

TMaskEdit::TMaskEdit(TComponent* AOwner) : TEdit(AOwner) {}

void TMaskEdit::SetEditMask(const QString& value) {
  mask_ = value;
  SetMaxLength(value.isEmpty() ? 0 : static_cast<int>(Places(value).size()));
}

bool TMaskEdit::FitsMask(const QString& text) const {
  if (mask_.isEmpty()) return true;
  const std::vector<TMaskPlace> places = Places(mask_);
  if (text.size() != static_cast<qsizetype>(places.size())) return false;
  for (size_t i = 0; i < places.size(); ++i) {
    const QChar c = text[static_cast<qsizetype>(i)];
    if (places[i].Letter ? !LatinLetter(c) : c != places[i].Literal) return false;
  }
  return true;
}

void TMaskEdit::ValidateEdit() const {
  if (!FitsMask(Text())) throw EDBEditError(LoadResString(SMaskEditErr).toStdString());
}

void TMaskEdit::ValidateOnExit() {
  try {
    ValidateEdit();
  } catch (...) {
    if (Application) Application->HandleException(this, std::current_exception());
  }
}

void TMaskEdit::Change() {
  // Letters of the upper-case places are shown in upper case as they are typed.
  if (!inChange_ && mask_.contains(u'>')) {
    const std::vector<TMaskPlace> places = Places(mask_);
    QString text = Text();
    bool changed = false;
    for (qsizetype i = 0; i < text.size() && i < static_cast<qsizetype>(places.size()); ++i)
      if (places[static_cast<size_t>(i)].Upper && text[i] != text[i].toUpper()) {
        text[i] = text[i].toUpper();
        changed = true;
      }
    if (changed) {
      inChange_ = true;
      const int caret = SelStart();
      SetText(text);
      SetSelStart(caret);
      inChange_ = false;
      return;  // SetText ran Change again for the new text
    }
  }
  TEdit::Change();
}

void TMaskEdit::DoExit() {
  TEdit::DoExit();
  ValidateOnExit();
}
