#include "platform/ui/colored_tab_sheet.h"

#include "platform/ui/canvas.h"

#include <QWidget>

TColoredTabSheet::TColoredTabSheet(TComponent* AOwner) : TTabSheet(AOwner) { TControl::SetColor(clBtnFace); }

void TColoredTabSheet::SetColor(TColor value) {
  if (value == Color()) return;
  TControl::SetColor(value);
  Widget()->update();
}

void TColoredTabSheet::DefaultHandler(TMessage& message) {
  if (message.Msg != WM_ERASEBKGND || !message.WParam) {
    TTabSheet::DefaultHandler(message);
    return;
  }
  TCanvas& canvas = *reinterpret_cast<TCanvas*>(message.WParam);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
  message.Result = 1;
}
