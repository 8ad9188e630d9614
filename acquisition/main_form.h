#pragma once
// The main window of the acquisition program: an MDI frame that holds the
// radargram windows.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"

RESOURCESTRING(SQelGroundPenetratingRadar, "Qel Ground Penetrating Radar");

class DUvova3DuruZuza : public TForm {
public:
  explicit DUvova3DuruZuza(TComponent* AOwner);

  QString WindowClassName() const override { return QStringLiteral("DUvova3DuruZuza"); }
};

// The program's main window while it runs.
extern DUvova3DuruZuza* MainWindow;

// Creates the main window and sets the captions; the caller then runs the message loop.
void CreateMainWindow();
