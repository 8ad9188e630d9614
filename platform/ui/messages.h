#pragma once
// Window handles and window messages on the user-interface thread.
//
// Every form, every windowed control and every hidden message window has a handle
// that leads to its window procedure. Handles are never reused, so a message that
// arrives after its window is gone finds nothing and is dropped.
//
// Threads: PostMessage and SendMessage may be called from any thread; the window
// procedure always runs on the user-interface thread. Everything else here belongs
// to the user-interface thread.

#include <cstdint>
#include <functional>
#include <thread>

struct HWND__;
using HWND = HWND__*;
using UINT = uint32_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
// Asks a window to paint its background. WParam: the TCanvas* to paint on;
// Result 1 when it did.
constexpr UINT WM_ERASEBKGND = 0x0014;
// Sent to a control's parent to draw an owner-drawn item of the control.
// LParam: a TDrawItemStruct* (controls.h). The parent's default handling hands
// the item back to the control (CN_DRAWITEM) unless CtlType says ODT_MENU,
// which is a menu item's drawing.
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_COPYDATA = 0x004A;
// A command of a window's system menu or title bar. WParam: the command
// (SC_...; the low four bits are the system's own and ignored).
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr UINT WM_TIMER = 0x0113;
// WParam: the wheel delta in the high word (signed), the keys held in the low
// word; LParam: the screen position, x in the low word, y in the high word.
constexpr UINT WM_MOUSEWHEEL = 0x020A;
// Destroys an MDI child: sent to the child, whose default handling frees it
// once the messages queued before have run.
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_USER = 0x0400;
// The toolkit's own messages live above the application range.
constexpr UINT CM_BASE = 0xB000;
// Sent to a control when the mouse pointer enters or leaves its widget.
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_RELEASE = CM_BASE + 33;
// A message a parent hands back to the control it is about (CN_BASE + the message).
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;

// The thread that loaded the program: the user-interface thread.
extern const std::thread::id MainThreadID;
bool IsMainThread();

// What a handle leads to. The registering object outlives its handle.
class TWindowProcedure {
public:
  virtual void WndProc(TMessage& message) = 0;

protected:
  ~TWindowProcedure() = default;
};

// Gives target a new handle (user-interface thread). ReleaseWindowHandle makes the
// handle unknown at once: queued messages for it are dropped from then on.
HWND AllocateWindowHandle(TWindowProcedure& target);
void ReleaseWindowHandle(HWND wnd);
bool IsWindow(HWND wnd);

// Hidden message windows: method is the window procedure. DeallocateHWnd may be
// called from inside method itself.
HWND AllocateHWnd(std::function<void(TMessage&)> method);
void DeallocateHWnd(HWND wnd);

// Queues the message for the window procedure on the user-interface thread (FIFO).
// Returns false when wnd is not a window. Runs no earlier than the next time the
// user-interface thread serves its queue (its message loop or ProcessMessages).
bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the window procedure and returns its Result. From another thread it waits
// until the user-interface thread has run it; that thread serves such calls in its
// message loop, in ProcessMessages and while it waits in TThread::WaitFor.
// 0 for an unknown handle.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// True while a SendMessage from another thread waits for the user-interface
// thread to run it (what the platform's queue status reports for sent messages).
bool CrossThreadSendPending();

// Runs the window procedure of wnd now (user-interface thread); false when wnd is
// not a window.
bool DeliverMessage(HWND wnd, TMessage& message);
