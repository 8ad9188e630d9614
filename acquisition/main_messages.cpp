// The main window's own handling of window messages.

#include "acquisition/main_form.h"

#include "platform/ui/messages.h"
#include "platform/ui/status_bar.h"

void DUvova3DuruZuza::CreateMessageHandlers() {
  // The status bar leaves the item's control type open: named a static
  // control's item it is never taken for a menu item's drawing.
  SetMessageHandler(WM_DRAWITEM, [this](TMessage& message) {
    auto* item = reinterpret_cast<TDrawItemStruct*>(message.LParam);
    if (item && StatusBar && item->hwndItem == StatusBar->Handle()) item->CtlType = ODT_STATIC;
    DefaultHandler(message);
  });
  // The radargram windows' close questions run knowing that the program is
  // closing; a refused close lets the program work on as before.
  SetMessageHandler(WM_CLOSE, [this](TMessage& message) {
    const bool wasClosing = isClosedMain_;
    isClosedMain_ = true;
    closeAccepted_ = false;
    DefaultHandler(message);
    if (!closeAccepted_) isClosedMain_ = wasClosing;
  });
  // A radargram window the main window is re-laying out stays until it is done.
  SetMessageHandler(WM_MDIDESTROY, [this](TMessage& message) {
    if (!StartResize_) DefaultHandler(message);
  });
}
