#pragma once
// TForm: a top-level window, an MDI frame or an MDI child.
//
// Life cycle: create forms with TComponent::Create<T>(owner) or
// Application->CreateForm so that OnCreate runs once the whole object exists; an
// MDI child shows itself at that moment. Close() asks OnCloseQuery, then OnClose
// picks what happens (hide, free later, minimize, nothing); closing the main form
// ends Application->Run. ShowModal runs its own message loop with the other
// windows disabled; with TDialogScript enabled it calls the queued callback
// instead of waiting for a user.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"
#include "platform/ui/modal_results.h"

#include <QImage>
#include <QPointer>
#include <QString>

class QEventLoop;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;
class TBitmap;
class TMainMenu;

enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  // Runs OnCreate; an MDI child then shows itself.
  void AfterConstruction() override;

  // The window class name other programs find the window by; each form class
  // that must be found returns its own.
  virtual QString WindowClassName() const { return QStringLiteral("TForm"); }

  TFormStyle FormStyle() const { return formStyle_; }
  // fsMDIChild needs the main form to be an MDI frame (EInvalidOperation else).
  void SetFormStyle(TFormStyle value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState value);
  // The least width the window takes, as a user or SetBounds may size it; 0 for
  // none. A narrower window widens at once.
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value);
  // The same for the height.
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int value);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }

  void SetText(const QString& value) override;
  void SetVisible(bool value) override;

  void Close();
  // The MDI children's answers first, then OnCloseQuery.
  virtual bool CloseQuery();
  // Frees the form once the messages queued before have run.
  void Release();

  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  // Non-zero ends a running ShowModal (after CloseQuery and OnClose agree).
  void SetModalResult(TModalResult value);
  bool IsModal() const { return modal_; }

  // The form's menu bar. An MDI child's menu shows merged into the frame's bar
  // while the child is active (menus.h); any other form shows its bar above its
  // aligned controls (and its MDI area). The menu may be freed first.
  TMainMenu* Menu() const;
  void SetMenu(TMainMenu* value);

  // MDI frame: the children, the active one first.
  int MDIChildCount() const;
  TForm* MDIChildren(int index) const;
  TForm* ActiveMDIChild() const;
  QMdiArea* MdiArea() const { return mdiArea_; }
  // MDI frame: the area's own window commands. Cascade overlaps the children;
  // Tile lays them side by side (tbVertical) or one above the other
  // (tbHorizontal); ArrangeIcons lines the minimised ones up along the bottom;
  // Next and Previous activate the following or preceding child.
  enum TTileMode : uint8_t { tbHorizontal, tbVertical };
  void Cascade();
  void Tile(TTileMode mode);
  void ArrangeIcons();
  void Next();
  void Previous();
  // MDI frame: runs whenever another child (or none) becomes the active one.
  TNotifyEvent OnActiveMDIChildChange;
  // MDI frame: a picture shown centred behind the children (a copy is kept);
  // nullptr removes it.
  void SetBackgroundPicture(TBitmap* picture);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

  // WM_CLOSE closes the form; CM_RELEASE frees it; WM_MDIDESTROY releases an
  // MDI child; sent to an MDI frame with a child's handle in WParam, it goes to
  // that child. WM_SYSCOMMAND: SC_MINIMIZE, SC_MAXIMIZE and SC_RESTORE set the
  // window state, SC_CLOSE closes; the others do nothing. The user's title-bar
  // and window-menu commands reach the form as WM_SYSCOMMAND (a close at once, a
  // change of an MDI child's state posted, the state left as it was until the
  // form's handling sets it), so a handler may refuse them. Changes the MDI
  // area makes on its own are no commands.
  void DefaultHandler(TMessage& message) override;

protected:
  QWidget* BoundsWidget() const override;
  bool ShowsAsWindow() const override { return true; }
  void BeforeDestruction() override;
  void Resize() override;
  int ReservedTop() const override;
  // An MDI frame's children live in what its aligned controls leave free.
  void AlignedRest(const TRect& rest) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();

private:
  friend class TFormWidget;
  friend class TMdiChildFrame;
  void ApplyWindowFlags();
  void BringToFront();
  void ApplyPosition();
  void CloseModal();
  void MdiChildActivated(QMdiSubWindow* window);
  // Places the bar and the MDI area; merges the active child's menu.
  void ShowMenu();
  void ApplyBackgroundPicture();
  TModalResult RunModalLoop();
  TModalResult RunScriptedModal();

  TFormStyle formStyle_ = fsNormal;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TPosition position_ = poDesigned;
  bool keyPreview_ = false;
  int minWidth_ = 0;
  int minHeight_ = 0;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  QEventLoop* modalLoop_ = nullptr;
  QMdiArea* mdiArea_ = nullptr;
  QPointer<QMdiSubWindow> subWindow_;
  // Set while the form itself changes its window state.
  bool settingState_ = false;
  TForm* activeChild_ = nullptr;
  TForm* mdiFrame_ = nullptr;
  TMainMenu* menu_ = nullptr;
  QPointer<QMenuBar> menuBar_;
  QImage backgroundPicture_;
};

// The form that control is placed on (the top of its parent chain), or nullptr.
TForm* GetParentForm(TControl* control);
// The form whose window is widget or holds it, or nullptr.
TForm* FormOfWidget(const QWidget* widget);
