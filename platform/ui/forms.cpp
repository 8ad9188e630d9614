#include "platform/ui/forms.h"

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/menus.h"

#include <QCloseEvent>
#include <QWindowStateChangeEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

// The widget of a form: a user's close request becomes TForm::Close, which
// decides whether the window hides, goes or stays. Activation changes reach the
// forms as OnDeactivate of the window left, then OnActivate of the new one.
class TFormWidget final : public QWidget {
public:
  TForm* form = nullptr;
  ~TFormWidget() override {
    if (Active() == this) Active() = nullptr;
  }

protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (form) form->Perform(WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (!form || event->type() != QEvent::ActivationChange || !isWindow()) return;
    QPointer<TFormWidget>& active = Active();
    if (isActiveWindow()) {
      if (active == this) return;
      if (active && active->form) active->form->Deactivate();
      active = this;
      form->Activate();
    } else if (active == this) {
      active = nullptr;
      form->Deactivate();
    }
  }

private:
  static QPointer<TFormWidget>& Active() {
    static QPointer<TFormWidget> active;
    return active;
  }
};

// The frame of an MDI child. A change of its minimized or maximized state that
// the user makes on it (its title bar's buttons, a double click on the title,
// its window menu) is taken back and posted to the form as the system command.
// The area's own changes (a maximized child following the active one) pass.
class TMdiChildFrame final : public QMdiSubWindow {
public:
  TMdiChildFrame() {
    // The menu hides before its command runs: the user's part ends after it.
    QObject::connect(systemMenu(), &QMenu::aboutToShow, this, [this] { menuOpen_ = true; });
    QObject::connect(systemMenu(), &QMenu::aboutToHide, this, [this] {
      QMetaObject::invokeMethod(this, [this] { menuOpen_ = false; }, Qt::QueuedConnection);
    });
  }
  TForm* form = nullptr;

protected:
  void mousePressEvent(QMouseEvent* event) override { ByUser([&] { QMdiSubWindow::mousePressEvent(event); }); }
  void mouseReleaseEvent(QMouseEvent* event) override { ByUser([&] { QMdiSubWindow::mouseReleaseEvent(event); }); }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    ByUser([&] { QMdiSubWindow::mouseDoubleClickEvent(event); });
  }
  void changeEvent(QEvent* event) override {
    QMdiSubWindow::changeEvent(event);
    if (!form || form->settingState_ || (!userInput_ && !menuOpen_) || event->type() != QEvent::WindowStateChange)
      return;
    const Qt::WindowStates old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const WPARAM command = CommandOf(old, windowState());
    if (command == 0) return;
    form->settingState_ = true;
    setWindowState(old);
    form->settingState_ = false;
    PostMessage(form->Handle(), WM_SYSCOMMAND, command, 0);
  }

private:
  template <typename F>
  void ByUser(F&& handle) {
    const bool outer = userInput_;
    userInput_ = true;
    handle();
    userInput_ = outer;
  }
  static WPARAM CommandOf(Qt::WindowStates old, Qt::WindowStates now) {
    constexpr Qt::WindowStates sized = Qt::WindowMinimized | Qt::WindowMaximized;
    if ((old & sized) == (now & sized)) return 0;
    if (now & Qt::WindowMinimized) return SC_MINIMIZE;
    if (now & Qt::WindowMaximized) return SC_MAXIMIZE;
    return SC_RESTORE;
  }
  bool userInput_ = false;
  bool menuOpen_ = false;
};

TForm* GetParentForm(TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  return dynamic_cast<TForm*>(control);
}

TForm* FormOfWidget(const QWidget* widget) {
  for (TControl* c = FindControlOfWidget(widget); c; c = FindControlOfWidget(c->Widget()->parentWidget()))
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner, new TFormWidget) {
  static_cast<TFormWidget*>(Widget())->form = this;
  SetVisibleFlag(false);
}

TForm::~TForm() {
  Destroying();
  static_cast<TFormWidget*>(Widget())->form = nullptr;
  if (auto* childFrame = dynamic_cast<TMdiChildFrame*>(subWindow_.data())) childFrame->form = nullptr;
  if (Application) Application->FormDestroyed(this);
  if (mdiArea_) {
    // The children's windows live in this frame's area, so they go first.
    while (MDIChildCount() > 0) MDIChildren(MDIChildCount() - 1)->Free();
  }
  // The menu may outlive the window its bar sits in.
  if (TMainMenu* menu = Menu(); menu && formStyle_ != fsMDIChild) menu->Bar()->setParent(nullptr);
  const bool wasActive = mdiFrame_ && mdiFrame_->activeChild_ == this;
  if (wasActive) {
    mdiFrame_->activeChild_ = nullptr;
    mdiFrame_->ShowMenu();
  }
  if (subWindow_) {
    subWindow_->setWidget(nullptr);
    delete subWindow_.data();
  }
  // The area activates another child on its own; when none is left the frame
  // still learns that the active one is gone.
  if (wasActive && !mdiFrame_->activeChild_ && !mdiFrame_->IsDestroying() && mdiFrame_->OnActiveMDIChildChange)
    mdiFrame_->OnActiveMDIChildChange(mdiFrame_);
}

void TForm::AfterConstruction() {
  if (OnCreate) OnCreate(this);
  if (formStyle_ == fsMDIChild) Show();
}

void TForm::BeforeDestruction() {
  if (OnDestroy) OnDestroy(this);
}

void TForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  if (formStyle_ == fsMDIChild || formStyle_ == fsMDIForm)
    throw EInvalidOperation("Cannot change the style of an MDI form");
  if (value == fsMDIChild) {
    TForm* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame == this || frame->formStyle_ != fsMDIForm)
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    formStyle_ = value;
    mdiFrame_ = frame;
    auto* childFrame = new TMdiChildFrame;
    childFrame->form = this;
    childFrame->setWidget(Widget());
    subWindow_ = frame->mdiArea_->addSubWindow(childFrame);
    subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    Widget()->setVisible(true);
    subWindow_->setVisible(Visible());
    return;
  }
  formStyle_ = value;
  if (value == fsMDIForm) {
    mdiArea_ = new QMdiArea(Widget());
    mdiArea_->setGeometry(Widget()->rect());
    mdiArea_->show();
    QObject::connect(mdiArea_, &QMdiArea::subWindowActivated, mdiArea_,
                     [this](QMdiSubWindow* window) { MdiChildActivated(window); });
  }
  ApplyWindowFlags();
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
  QWidget* widget = Widget();
  if (formStyle_ == fsMDIChild || !widget->isWindow()) return;
  Qt::WindowFlags flags = Qt::Window;
  switch (borderStyle_) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsDialog: flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool; break;
    default: break;
  }
  if (formStyle_ == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (widget->windowFlags() == flags) return;
  const bool shown = widget->isVisible();
  widget->setWindowFlags(flags);  // hides the window
  if (shown) widget->show();
}

QWidget* TForm::BoundsWidget() const {
  if (subWindow_) return subWindow_.data();
  return Widget();
}

TWindowState TForm::WindowState() const {
  const Qt::WindowStates state = BoundsWidget()->windowState();
  if (state & Qt::WindowMinimized) return wsMinimized;
  if (state & Qt::WindowMaximized) return wsMaximized;
  return wsNormal;
}

void TForm::SetMinWidth(int value) {
  minWidth_ = std::max(value, 0);
  // Width counts the window's frame; the toolkit's limit is on the inside.
  QWidget* frame = BoundsWidget();
  if (frame->isWindow()) frame->winId();  // the frame is known once the native window exists
  const int frameExtra = frame->isWindow() ? frame->frameGeometry().width() - frame->width() : 0;
  frame->setMinimumWidth(std::max(minWidth_ - frameExtra, 0));
}

void TForm::SetMinHeight(int value) {
  minHeight_ = std::max(value, 0);
  QWidget* frame = BoundsWidget();
  if (frame->isWindow()) frame->winId();
  const int frameExtra = frame->isWindow() ? frame->frameGeometry().height() - frame->height() : 0;
  frame->setMinimumHeight(std::max(minHeight_ - frameExtra, 0));
}

void TForm::SetWindowState(TWindowState value) {
  QWidget* frame = BoundsWidget();
  Qt::WindowStates state = frame->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (value == wsMinimized) state |= Qt::WindowMinimized;
  if (value == wsMaximized) state |= Qt::WindowMaximized;
  const bool setting = settingState_;
  settingState_ = true;
  frame->setWindowState(state);
  settingState_ = setting;
}

void TForm::SetText(const QString& value) {
  TWinControl::SetText(value);
  Widget()->setWindowTitle(value);
}

void TForm::SetVisible(bool value) {
  if (value == Visible()) {
    if (value) BringToFront();
    return;
  }
  if (value) {
    ApplyPosition();
    DoShow();
  } else {
    DoHide();
  }
  TWinControl::SetVisible(value);
  if (value) BringToFront();
}

void TForm::BringToFront() {
  QWidget* frame = BoundsWidget();
  // The offscreen platform cannot raise windows and says so on every call.
  if (!frame->isWindow() || QGuiApplication::platformName() != QLatin1String("offscreen")) frame->raise();
  if (subWindow_ && mdiFrame_)
    mdiFrame_->mdiArea_->setActiveSubWindow(subWindow_.data());
  else if (frame->isWindow())
    frame->activateWindow();
}

void TForm::ApplyPosition() {
  QWidget* frame = BoundsWidget();
  if (!frame->isWindow() || position_ == poDesigned || position_ == poDefault) return;
  auto screenArea = [frame] {
    QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
  };
  TForm* mainForm = Application ? Application->MainForm() : nullptr;
  QRect area;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: area = screenArea(); break;
    case poOwnerFormCenter:
      if (auto* owner = dynamic_cast<TForm*>(Owner()); owner && owner->Visible()) {
        area = owner->BoundsWidget()->frameGeometry();
        break;
      }
      [[fallthrough]];
    case poMainFormCenter:
      area = mainForm && mainForm != this && mainForm->Visible() ? mainForm->BoundsWidget()->frameGeometry()
                                                                  : screenArea();
      break;
    default: return;
  }
  if (area.isEmpty()) return;
  SetBounds(area.left() + (area.width() - Width()) / 2, area.top() + (area.height() - Height()) / 2, Width(),
            Height());
}

void TForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

bool TForm::CloseQuery() {
  if (formStyle_ == fsMDIForm) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

void TForm::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE: Close(); break;
    case CM_RELEASE: Free(); break;  // nothing of this form may be touched after this
    case WM_SYSCOMMAND:
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE: SetWindowState(wsMinimized); break;
        case SC_MAXIMIZE: SetWindowState(wsMaximized); break;
        case SC_RESTORE: SetWindowState(wsNormal); break;
        case SC_CLOSE: Close(); break;
        default: break;
      }
      break;
    case WM_MDIDESTROY:
      if (formStyle_ == fsMDIChild) Release();
      // The frame passes it to the child WParam names.
      if (formStyle_ == fsMDIForm) {
        for (int i = 0; i < MDIChildCount(); ++i)
          if (MDIChildren(i)->Handle() == reinterpret_cast<HWND>(message.WParam)) {
            TMessage destroy{WM_MDIDESTROY, message.WParam, message.LParam, 0};
            DeliverMessage(MDIChildren(i)->Handle(), destroy);
            break;
          }
      }
      break;
    default: TWinControl::DefaultHandler(message); break;
  }
}

void TForm::SetBackgroundPicture(TBitmap* picture) {
  backgroundPicture_ = picture && !picture->Empty() ? picture->Image().copy() : QImage();
  ApplyBackgroundPicture();
}

void TForm::ApplyBackgroundPicture() {
  if (!mdiArea_) return;
  const QColor face = mdiArea_->palette().color(QPalette::Dark);
  if (backgroundPicture_.isNull()) {
    mdiArea_->setBackground(face);
    return;
  }
  // The area's brush tiles its texture: one tile of the area's size holds the
  // picture at its centre.
  const QSize size = mdiArea_->size().expandedTo(QSize(1, 1));
  QImage tile(size, QImage::Format_RGB32);
  tile.fill(face);
  QPainter painter(&tile);
  painter.drawImage((size.width() - backgroundPicture_.width()) / 2, (size.height() - backgroundPicture_.height()) / 2,
                    backgroundPicture_);
  painter.end();
  mdiArea_->setBackground(QBrush(tile));
}

void TForm::Resize() {
  ShowMenu();
  TWinControl::Resize();
}

TMainMenu* TForm::Menu() const { return menuBar_ ? menu_ : nullptr; }

void TForm::SetMenu(TMainMenu* value) {
  TMainMenu* old = Menu();
  if (old == value) return;
  if (old && formStyle_ != fsMDIChild) {
    old->Bar()->hide();
    old->Bar()->setParent(nullptr);
  }
  if (old && mdiFrame_ && mdiFrame_->Menu()) mdiFrame_->Menu()->Unmerge(old);
  menu_ = value;
  menuBar_ = value ? value->Bar() : nullptr;
  if (value && formStyle_ != fsMDIChild) {
    value->Bar()->setParent(Widget());
    value->Bar()->show();
  }
  ShowMenu();
  AlignControls(nullptr);
  if (mdiFrame_ && mdiFrame_->activeChild_ == this) mdiFrame_->ShowMenu();
}

int TForm::ReservedTop() const {
  TMainMenu* menu = Menu();
  return menu && formStyle_ != fsMDIChild ? menu->Bar()->sizeHint().height() : 0;
}

void TForm::ShowMenu() {
  const int top = ReservedTop();
  if (TMainMenu* menu = Menu(); menu && formStyle_ != fsMDIChild) {
    menu->Bar()->setGeometry(0, 0, Widget()->width(), top);
    if (TMainMenu* merged = menu->Merged(); merged && (!activeChild_ || activeChild_->Menu() != merged))
      menu->Unmerge(merged);
    if (activeChild_ && activeChild_->Menu() && menu->Merged() != activeChild_->Menu())
      menu->Merge(activeChild_->Menu());
  }
  if (mdiArea_) AlignControls(nullptr);
}

void TForm::AlignedRest(const TRect& rest) {
  if (!mdiArea_) return;
  mdiArea_->setGeometry(rest.Left, rest.Top, std::max(0, rest.Width()), std::max(0, rest.Height()));
  ApplyBackgroundPicture();
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

// ---- MDI ---------------------------------------------------------------------------

namespace {
std::vector<TForm*> ChildrenTopFirst(QMdiArea* area) {
  std::vector<TForm*> forms;
  if (!area) return forms;
  const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::StackingOrder);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (TForm* form = FormOfWidget((*it)->widget())) forms.push_back(form);
  return forms;
}
}  // namespace

int TForm::MDIChildCount() const { return static_cast<int>(ChildrenTopFirst(mdiArea_).size()); }

TForm* TForm::MDIChildren(int index) const {
  const std::vector<TForm*> forms = ChildrenTopFirst(mdiArea_);
  return forms.at(static_cast<size_t>(index));
}

TForm* TForm::ActiveMDIChild() const {
  if (!mdiArea_) return nullptr;
  QMdiSubWindow* window = mdiArea_->currentSubWindow();
  return window ? FormOfWidget(window->widget()) : nullptr;
}

void TForm::MdiChildActivated(QMdiSubWindow* window) {
  TForm* active = window ? FormOfWidget(window->widget()) : nullptr;
  if (active == activeChild_) return;
  TForm* previous = activeChild_;
  activeChild_ = active;
  ShowMenu();
  if (previous) previous->Deactivate();
  if (active) active->Activate();
  if (OnActiveMDIChildChange) OnActiveMDIChildChange(this);
}

void TForm::Cascade() {
  if (mdiArea_) mdiArea_->cascadeSubWindows();
}

void TForm::Tile(TTileMode mode) {
  if (!mdiArea_) return;
  // Only the visible, not minimised children share the area.
  std::vector<QMdiSubWindow*> shown;
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
    if (window->isVisible() && !window->isMinimized()) shown.push_back(window);
  if (shown.empty()) return;
  const QRect area = mdiArea_->viewport()->rect();
  const int n = static_cast<int>(shown.size());
  for (int i = 0; i < n; ++i) {
    QMdiSubWindow* window = shown[static_cast<size_t>(i)];
    if (window->isMaximized()) window->showNormal();
    if (mode == tbVertical) {
      const int left = area.width() * i / n;
      window->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
    } else {
      const int top = area.height() * i / n;
      window->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
    }
  }
}

void TForm::ArrangeIcons() {
  if (!mdiArea_) return;
  const QRect area = mdiArea_->viewport()->rect();
  int left = 0;
  int bottom = area.height();
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isVisible() || !window->isMinimized()) continue;
    const QSize size = window->size();
    if (left > 0 && left + size.width() > area.width()) {
      left = 0;
      bottom -= size.height();
    }
    window->move(left, bottom - size.height());
    left += size.width();
  }
}

void TForm::Next() {
  if (mdiArea_) mdiArea_->activateNextSubWindow();
}

void TForm::Previous() {
  if (mdiArea_) mdiArea_->activatePreviousSubWindow();
}
