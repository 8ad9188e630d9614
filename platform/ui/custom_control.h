#pragma once
// Custom-drawn controls: TCustomControl (windowed: a handle, focus, keys) and
// TGraphicControl (no handle). Both draw on their Canvas in Paint.
//
// The canvas draws into the control's own picture, which the screen shows, so
// the control may draw at any time, not only in Paint: what it draws is shown
// at the next screen update and stays until drawn over. Paint runs when the
// control was invalidated, resized or shown, after the picture was cleared with
// the control's Color (unless EraseBackground is off); a screen update for
// drawing done outside Paint only shows the picture and runs no Paint.
//
// Threads: user-interface thread only.

#include "platform/ui/canvas.h"
#include "platform/ui/controls.h"

#include <functional>
#include <memory>

class QPaintDevice;
class TControlPicture;

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas();
  // Paint at the next screen update.
  void Invalidate();
  // Paint now when the control is on the screen, else when it is shown.
  void Repaint();

  // A tab stop takes the focus from the keyboard and from clicks; any windowed
  // control takes it from SetFocus.
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);

  // False: Paint finds the picture as it was left instead of cleared with the
  // Color, so a control that keeps its own buffer may repaint only the parts
  // that changed. A picture that grows is still filled with the Color.
  bool EraseBackground() const;
  void SetEraseBackground(bool value);

  // For copies that replace the picture's pixels (a block transfer from an
  // image, whose alpha is not blended): paint gets the picture as a paint
  // device after the canvas has finished its open drawing; the screen shows the
  // result at its next update. Nothing is called while the picture is empty.
  void PaintOnPicture(const std::function<void(QPaintDevice* device)>& paint);

protected:
  // Client coordinates of the mouse event being handled (the last one that
  // reached the control), for handlers that get no position (DblClick).
  TPoint MouseClientPos() const;

private:
  std::unique_ptr<TControlPicture> picture_;
  bool tabStop_ = false;
};

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas();
  void Invalidate();
  void Repaint();

protected:
  TPoint MouseClientPos() const;

private:
  std::unique_ptr<TControlPicture> picture_;
};
