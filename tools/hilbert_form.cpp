#include "tools/hilbert_form.h"

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SHilbertFormCaption, "Hilbert Filter Settings");

THilbertForm::THilbertForm(TComponent* AOwner) : TInstantaneousForm(AOwner) {
  SetCaption(LoadResString(SHilbertFormCaption));
}
