#include "acquisition/main_form.h"

#include "platform/ui/application.h"

DUvova3DuruZuza* MainWindow = nullptr;

void CreateMainWindow() {
  Application->CreateForm(MainWindow);
  MainWindow->SetCaption(LoadResString(SQelGroundPenetratingRadar));
  // The title changes only once the main window exists.
  Application->SetTitle(QStringLiteral("Talvorn"));
}

DUvova3DuruZuza::DUvova3DuruZuza(TComponent* AOwner) : TForm(AOwner) {
  SetFormStyle(fsMDIForm);
  SetBounds(0, 0, 1024, 720);
}
