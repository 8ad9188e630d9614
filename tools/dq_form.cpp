#include "tools/dq_form.h"

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SDQFormCaption, "DQ Filter Settings");

TDQForm::TDQForm(TComponent* AOwner) : TInstantaneousForm(AOwner) {
  SetCaption(LoadResString(SDQFormCaption));
}
