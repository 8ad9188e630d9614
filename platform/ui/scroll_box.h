#pragma once
// TScrollBox: a control whose children may reach beyond its client area, with
// scroll bars that appear when they do (over a QScrollArea); TCustomFrame: a
// container of controls made at run time and placed as a unit, as a property
// page inside a scroll box.
//
// Children of a scroll box are placed on its scrolled surface. The surface is as
// wide as the box's visible area (or the children's right edge when that is
// further) and as high as the children's bottom edge; a child aligned at the top
// takes the surface's width. UpdateSurface lays the surface out again; the box
// runs it when it is resized and when a child is added, moved or resized.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"
#include "platform/ui/panels.h"

class QScrollArea;

class TScrollBox : public TWinControl {
public:
  explicit TScrollBox(TComponent* AOwner);
  ~TScrollBox() override;

  QWidget* ClientWidget() const override;
  // The visible part of the surface.
  int ViewportWidth() const;
  int ViewportHeight() const;
  // Lays out the surface for the children as they are now.
  void UpdateSurface();
  // The surface's scroll position.
  int VertScrollPosition() const;

protected:
  void Resize() override;

private:
  QScrollArea* Area() const;
  std::unique_ptr<QObject> watcher_;
  bool updating_ = false;
};

// A frame: a panel without a caption or border, meant to hold a property page.
class TCustomFrame : public TPanel {
public:
  explicit TCustomFrame(TComponent* AOwner);
};
