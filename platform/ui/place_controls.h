#pragma once
// Building a form in code: a control made, parented and placed in one step.
//
// Threads: user-interface thread only.

#include "platform/ui/std_controls.h"

#include <QString>

// A new T owned by owner, shown on parent at the given bounds.
template <typename T>
T* Place(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new T(owner);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A new label owned by owner on parent, its top-left corner at (left, top).
inline TLabel* LabelAt(TComponent* owner, TWinControl* parent, int left, int top, const QString& text) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(text);
  return label;
}
