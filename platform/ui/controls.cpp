#include "platform/ui/controls.h"

#include "platform/ui/control_event_bridge.h"
#include "platform/ui/forms.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <unordered_map>

namespace {
std::unordered_map<const QWidget*, TControl*>& ControlsByWidget() {
  static std::unordered_map<const QWidget*, TControl*> controls;
  return controls;
}
}  // namespace

TControl* FindControlOfWidget(const QWidget* widget) {
  auto& controls = ControlsByWidget();
  for (; widget; widget = widget->parentWidget()) {
    auto it = controls.find(widget);
    if (it != controls.end()) return it->second;
  }
  return nullptr;
}

TControl::TControl(TComponent* AOwner) : TControl(AOwner, new QWidget) {}

TControl::TControl(TComponent* AOwner, QWidget* widget) : TComponent(AOwner), widget_(widget) {
  ControlsByWidget()[widget_] = this;
  // Mouse input belongs to the control under the cursor, never to its parents.
  widget_->setAttribute(Qt::WA_NoMousePropagation);
  // Moves reach a control whether or not a button is held.
  widget_->setMouseTracking(true);
  bridge_ = std::make_unique<TControlEventBridge>(*this);
  widget_->installEventFilter(bridge_.get());
}

TControl::~TControl() {
  Destroying();
  bridge_.reset();
  if (parent_) std::erase(parent_->controls_, this);
  ControlsByWidget().erase(widget_);
  delete widget_;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) std::erase(parent_->controls_, this);
  parent_ = parent;
  QWidget* frame = BoundsWidget();
  const QRect bounds = frame->geometry();
  frame->setParent(parent ? parent->ClientWidget() : nullptr);
  frame->setGeometry(bounds);
  if (parent) parent->controls_.push_back(this);
  // Qt hides a re-parented widget; the control keeps its Visible.
  if (visible_) ApplyVisible(true);
  RequestAlign();
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  const TAlign old = align_;
  align_ = value;
  if (old != alNone || value != alNone) {
    // The control moved away from an edge leaves its place to the others.
    if (value == alNone && parent_) {
      parent_->AlignControls(nullptr);
      return;
    }
    RequestAlign();
  }
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone && !parent_->aligning_) parent_->AlignControls(this);
}

QWidget* TControl::MeasuredFrame() const {
  QWidget* frame = BoundsWidget();
  // A window's frame is known once its native window exists.
  if (frame->isWindow() && ShowsAsWindow()) frame->winId();
  return frame;
}

int TControl::Left() const { return MeasuredFrame()->pos().x(); }
int TControl::Top() const { return MeasuredFrame()->pos().y(); }

int TControl::Width() const {
  QWidget* frame = MeasuredFrame();
  return frame->isWindow() ? frame->frameGeometry().width() : frame->width();
}

int TControl::Height() const {
  QWidget* frame = MeasuredFrame();
  return frame->isWindow() ? frame->frameGeometry().height() : frame->height();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  QWidget* frame = MeasuredFrame();
  int extraWidth = 0;
  int extraHeight = 0;
  if (frame->isWindow()) {
    extraWidth = frame->frameGeometry().width() - frame->width();
    extraHeight = frame->frameGeometry().height() - frame->height();
  }
  const QSize oldSize = widget_->size();
  frame->move(left, top);
  frame->resize(std::max(0, width - extraWidth), std::max(0, height - extraHeight));
  RequestAlign();
  // A hidden widget hears of its new size only when it is shown: its children
  // are placed now.
  if (widget_->size() != oldSize)
    if (auto* self = dynamic_cast<TWinControl*>(this); self && !widget_->isVisible()) self->AlignControls(nullptr);
}

int TControl::ClientWidth() const { return widget_->width(); }
int TControl::ClientHeight() const { return widget_->height(); }
TPoint TControl::ClientToScreen(TPoint point) const {
  const QPoint global = widget_->mapToGlobal(QPoint(point.X, point.Y));
  return TPoint{global.x(), global.y()};
}
void TControl::SetClientWidth(int value) { SetWidth(Width() - ClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(Height() - ClientHeight() + value); }

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  ApplyVisible(value);
  if (parent_ && align_ != alNone && !parent_->aligning_) parent_->AlignControls(value ? this : nullptr);
}

void TControl::ApplyVisible(bool value) {
  QWidget* frame = BoundsWidget();
  // A child shows with its parent; a parentless non-window control never shows.
  if (frame->isWindow() && !parent_ && !ShowsAsWindow()) return;
  frame->setVisible(value);
}

void TControl::AssignControl(const TControl& source) {
  SetBounds(source.Left(), source.Top(), source.Width(), source.Height());
  SetAlign(source.Align());
  SetVisible(source.Visible());
  SetEnabled(source.Enabled());
  SetText(source.Text());
  SetColor(source.Color());
  SetHint(source.Hint());
  if (source.font_) Font()->Assign(*source.font_);
  SetCursor(source.Cursor());
  SetTag(source.Tag());
  OnClick = source.OnClick;
  OnDblClick = source.OnDblClick;
  OnMouseDown = source.OnMouseDown;
  OnMouseMove = source.OnMouseMove;
  OnMouseUp = source.OnMouseUp;
  OnMouseWheel = source.OnMouseWheel;
  OnKeyDown = source.OnKeyDown;
  OnKeyUp = source.OnKeyUp;
  OnKeyPress = source.OnKeyPress;
  OnEnter = source.OnEnter;
  OnExit = source.OnExit;
  OnResize = source.OnResize;
  OnPaint = source.OnPaint;
}

void TControl::SetEnabled(bool value) {
  enabled_ = value;
  widget_->setEnabled(value);
}

void TControl::SetText(const QString& value) { text_ = value; }

void TControl::SetColor(TColor value) {
  color_ = value;
  if (value == clNone || value == clDefault) {
    widget_->setAutoFillBackground(false);
    return;
  }
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, ColorToQColor(value));
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
}

void TControl::SetHint(const QString& value) {
  hint_ = value;
  widget_->setToolTip(value);
}

TFont* TControl::Font() {
  if (!font_) {
    font_ = std::make_unique<TFont>();
    font_->OnChange = [this](TObject*) { widget_->setFont(font_->ToQFont()); };
  }
  return font_.get();
}

void TControl::WndProc(TMessage& message) {
  auto it = handlers_.find(message.Msg);
  if (it == handlers_.end()) {
    DefaultHandler(message);
    return;
  }
  // A copy, so that a handler may replace or remove itself.
  auto handler = it->second;
  handler(message);
}

void TControl::DefaultHandler(TMessage& message) {
  message.Result = 0;
  if (message.Msg != WM_DRAWITEM || !message.LParam) return;
  auto* item = reinterpret_cast<TDrawItemStruct*>(message.LParam);
  // Menus draw their own items.
  if (item->CtlType == ODT_MENU) return;
  TMessage reflected{CN_DRAWITEM, message.WParam, message.LParam, 0};
  if (DeliverMessage(item->hwndItem, reflected)) message.Result = 1;
}

void TControl::SetMessageHandler(UINT msg, std::function<void(TMessage&)> handler) {
  if (handler)
    handlers_[msg] = std::move(handler);
  else
    handlers_.erase(msg);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TControl::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

bool TControl::KeyDown(WORD& key, TShiftState shift) {
  TForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && !static_cast<TControl*>(form)->KeyDown(key, shift))
    return false;
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key != 0;
}

bool TControl::KeyUp(WORD& key, TShiftState shift) {
  TForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && !static_cast<TControl*>(form)->KeyUp(key, shift))
    return false;
  if (OnKeyUp) OnKeyUp(this, key, shift);
  return key != 0;
}

bool TControl::KeyPress(QChar& key) {
  TForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && !static_cast<TControl*>(form)->KeyPress(key)) return false;
  if (OnKeyPress) OnKeyPress(this, key);
  return !key.isNull();
}

void TControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Paint() {
  if (OnPaint) OnPaint(this);
}

// ---- TWinControl ----------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, new QWidget) {}

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget) : TControl(AOwner, widget) {
  handle_ = AllocateWindowHandle(*this);
}

TWinControl::~TWinControl() {
  Destroying();
  ReleaseWindowHandle(handle_);
  // Children go before the widget that holds theirs, the last placed first.
  while (!controls_.empty()) controls_.back()->Free();
}

bool TWinControl::Focused() const { return Widget()->hasFocus(); }

bool TWinControl::CanFocus() const {
  return Widget()->isVisible() && Widget()->isEnabled() && Widget()->focusPolicy() != Qt::NoFocus;
}

void TWinControl::SetFocus() {
  Widget()->activateWindow();
  Widget()->setFocus(Qt::OtherFocusReason);
}

namespace {

// True when c1 goes before c2 among the controls of that alignment.
bool AlignsBefore(const TControl& c1, const TControl& c2, TAlign align) {
  switch (align) {
    case alTop: return c1.Top() < c2.Top();
    case alBottom: return c1.Top() + c1.Height() >= c2.Top() + c2.Height();
    case alLeft: return c1.Left() < c2.Left();
    case alRight: return c1.Left() + c1.Width() >= c2.Left() + c2.Width();
    default: return false;
  }
}

}  // namespace

void TWinControl::AlignControls(TControl* moved) {
  if (aligning_) return;
  aligning_ = true;
  struct TDone {
    bool& flag;
    ~TDone() { flag = false; }
  } done{aligning_};
  TRect rect = Rect(0, ReservedTop(), ClientWidth(), ClientHeight());
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    if (moved && moved->Parent() == this && moved->Align() == align && moved->Visible()) list.push_back(moved);
    for (TControl* control : controls_) {
      if (control == moved || control->Align() != align || !control->Visible()) continue;
      auto at = std::find_if(list.begin(), list.end(),
                             [&](TControl* other) { return AlignsBefore(*control, *other, align); });
      list.insert(at, control);
    }
    for (TControl* control : list) {
      const int w = std::max(0, rect.Width()), h = std::max(0, rect.Height());
      switch (align) {
        case alTop:
          control->SetBounds(rect.Left, rect.Top, w, control->Height());
          rect.Top += control->Height();
          break;
        case alBottom:
          control->SetBounds(rect.Left, rect.Bottom - control->Height(), w, control->Height());
          rect.Bottom -= control->Height();
          break;
        case alLeft:
          control->SetBounds(rect.Left, rect.Top, control->Width(), h);
          rect.Left += control->Width();
          break;
        case alRight:
          control->SetBounds(rect.Right - control->Width(), rect.Top, control->Width(), h);
          rect.Right -= control->Width();
          break;
        default:
          control->SetBounds(rect.Left, rect.Top, w, h);
          break;
      }
    }
  }
  AlignedRest(rect);
}

void TWinControl::Resize() {
  AlignControls(nullptr);
  TControl::Resize();
}
