#pragma once
// TMaskEdit: a one-line edit whose text must fit an edit mask. The mask is a
// string of mask characters:
//   L  a letter (A..Z, a..z) is required here
//   >  the letters from here on are shown in upper case
//   \  the next character is a literal
//   any other character is a literal that must stand at its place.
// A text that does not fit is refused when the edit loses the focus: the edit
// raises EDBEditError through the application's exception handling with itself
// as the sender (Application->HandleException(this, ...)), and keeps the text.
//
// Threads: user-interface thread only.

#include "platform/ui/edit_controls.h"

#include <QString>

#include <stdexcept>

class EDBEditError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TMaskEdit : public TEdit {
public:
  explicit TMaskEdit(TComponent* AOwner);

  QString EditMask() const { return mask_; }
  void SetEditMask(const QString& value);
  // The text fits the mask (an empty mask takes any text).
  bool FitsMask(const QString& text) const;
  // Throws EDBEditError when the text does not fit the mask.
  void ValidateEdit() const;
  // What leaving the edit does: ValidateEdit, a refusal reported through the
  // application with this edit as the sender.
  void ValidateOnExit();

protected:
  void Change() override;
  void DoExit() override;

private:
  QString mask_;
  bool inChange_ = false;
};
