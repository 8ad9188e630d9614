#include "project/main_form.h"

#include "platform/ui/application.h"

TViviraMainForm* ViviraMainForm = nullptr;

void CreateMainWindow() {
  Application->SetTitle(QStringLiteral("Vandrel"));
  Application->CreateForm(ViviraMainForm);
  ViviraMainForm->SetCaption(LoadResString(SQelGroundPenetratingRadar) + QStringLiteral(" :: Vandrel"));
}

TViviraMainForm::TViviraMainForm(TComponent* AOwner) : TForm(AOwner) {
  SetFormStyle(fsMDIForm);
  SetBounds(0, 0, 1024, 720);
}
