#pragma once
// TControl and TWinControl over Qt widgets.
//
// A control owns its widget. A TWinControl is a windowed control: it has a
// window handle (messages.h) that leads to its window procedure, and it parents
// other controls. Qt's input events reach the On... events through a filter on
// the widget, so any widget class can stand behind a control.
//
// Threads: user-interface thread only, except what messages.h allows.

#include "platform/ui/component.h"
#include "platform/ui/control_types.h"
#include "platform/ui/cursors.h"
#include "platform/ui/graphics.h"
#include "platform/ui/messages.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QObject;
class QWidget;
class TWinControl;

// Where a control sits in its parent: stacked along an edge of what the
// controls aligned before it left free, or filling what is left (alClient).
enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TCanvas;

// WM_DRAWITEM's and CN_DRAWITEM's LParam: the item of control hwndItem to draw.
// A control that asks its parent fills CtlType only when it has a type of its
// own (a status bar leaves it 0).
struct TDrawItemStruct {
  UINT CtlType = 0;
  UINT itemID = 0;
  HWND hwndItem = nullptr;
  TCanvas* Canvas = nullptr;
  TRect rcItem;
};

class TControl : public TComponent, public TWindowProcedure {
public:
  // A control shown as a plain widget (a paint box, a graphic control).
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  QWidget* Widget() const { return widget_; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
  void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
  void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
  void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }
  // For a window the bounds include its frame; the client area is what is inside.
  virtual void SetBounds(int left, int top, int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  // A client point in screen coordinates.
  TPoint ClientToScreen(TPoint point) const;

  // The parent re-aligns its children when a child's Align, bounds or
  // visibility changes and when its own size changes (TWinControl).
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  // Caption and Text are the same property.
  virtual QString Text() const { return text_; }
  virtual void SetText(const QString& value);
  QString Caption() const { return Text(); }
  void SetCaption(const QString& value) { SetText(value); }

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& value);
  // The control's font; a change shows in the control's widget at once.
  TFont* Font();
  // The mouse pointer over the control: a screen cursor slot (cursors.cpp).
  TCursor Cursor() const;
  void SetCursor(TCursor value);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  // Keys (virtual key codes, in any shift state) the control takes while it has
  // the focus, before a menu item whose short cut is the same key.
  std::vector<WORD> KeysBeforeShortCuts;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnResize;
  TNotifyEvent OnPaint;

  // The window procedure: the handler registered for the message, else
  // DefaultHandler. A handler may call DefaultHandler for the built-in behaviour.
  // By default WM_DRAWITEM goes back to the control of its item as CN_DRAWITEM
  // (a menu's item, ODT_MENU, is left to the menu); other messages do nothing.
  void WndProc(TMessage& message) override;
  virtual void DefaultHandler(TMessage& message);
  // An empty handler removes the registration.
  void SetMessageHandler(UINT msg, std::function<void(TMessage&)> handler);
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);

  virtual void Click();
  virtual void DblClick();

protected:
  // For CreateClone: copies bounds, Align, Visible, Enabled, Caption, Color,
  // Hint, Font, Cursor, Tag and the event handlers of source.
  void AssignControl(const TControl& source);
  // widget: the widget to show as; the control takes it over.
  TControl(TComponent* AOwner, QWidget* widget);
  // The widget whose geometry is the control's bounds (an MDI child's frame).
  virtual QWidget* BoundsWidget() const { return widget_; }
  // True for controls that show as windows of their own without a parent.
  virtual bool ShowsAsWindow() const { return false; }
  void ApplyVisible(bool value);
  void SetVisibleFlag(bool value) { visible_ = value; }

  // The event bridge calls these; they run the events with the toolkit's rules.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // True when handled (no default scrolling).
  virtual bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  // The form's key preview runs first; false when the key was swallowed.
  virtual bool KeyDown(WORD& key, TShiftState shift);
  virtual bool KeyUp(WORD& key, TShiftState shift);
  virtual bool KeyPress(QChar& key);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void Resize();
  virtual void Paint();

  // False for controls whose widget reports its own clicks (buttons): then a
  // left press and release is not a click by itself.
  bool clickEvents_ = true;

private:
  friend class TControlEventBridge;
  friend class TWinControl;
  QWidget* MeasuredFrame() const;

  // Asks the parent to re-align with this control as the one that moved.
  void RequestAlign();

  QWidget* widget_;
  std::unique_ptr<QObject> bridge_;
  TWinControl* parent_ = nullptr;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  QString text_;
  TColor color_ = clBtnFace;
  QString hint_;
  std::unique_ptr<TFont> font_;
  std::map<UINT, std::function<void(TMessage&)>> handlers_;
};

// The control whose widget is widget or its nearest ancestor, or nullptr.
TControl* FindControlOfWidget(const QWidget* widget);

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  HWND Handle() const { return handle_; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

  // The widget that child controls are placed in.
  virtual QWidget* ClientWidget() const { return Widget(); }

  bool Focused() const;
  bool CanFocus() const;
  void SetFocus();

  // Places the aligned visible children: first those at the top, then bottom,
  // left, right, and last the client-aligned ones, each kind in order of its
  // position (top-aligned by Top, bottom-aligned by bottom edge, from the outside
  // in). moved, when given, is the control whose change started it: it goes
  // before those of its kind that sit at the same place or further in.
  void AlignControls(TControl* moved = nullptr);

protected:
  TWinControl(TComponent* AOwner, QWidget* widget);
  // Re-aligns the children, then runs OnResize.
  void Resize() override;
  // After aligning: what the aligned children left of the client area.
  virtual void AlignedRest(const TRect& /*rest*/) {}
  // Client rows at the top that aligned children leave free (a form's menu bar).
  virtual int ReservedTop() const { return 0; }

private:
  friend class TControl;
  HWND handle_ = nullptr;
  bool aligning_ = false;
  std::vector<TControl*> controls_;
};
