#pragma once
// Small builders for the radargram window's page controls, shared by the units
// that lay out its pages.

#include <QString>

class TComponent;
class TSpeedButton;
class TWinControl;

// A speed button named `name` of height 24 on parent, owned by owner.
TSpeedButton* NewSpeedButton(TComponent* owner, TWinControl* parent, const char* name, const QString& caption,
                             int left, int top, int width);
