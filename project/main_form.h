#pragma once
// The main window of the planning program: an MDI frame that holds the project
// windows.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"

RESOURCESTRING(SQelGroundPenetratingRadar, "Qel Ground Penetrating Radar");

class TViviraMainForm : public TForm {
public:
  explicit TViviraMainForm(TComponent* AOwner);

  QString WindowClassName() const override { return QStringLiteral("TViviraMainForm"); }
};

// The program's main window while it runs.
extern TViviraMainForm* ViviraMainForm;

// Sets the title, creates the main window and sets its caption; the caller then runs
// the message loop.
void CreateMainWindow();
