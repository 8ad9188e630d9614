#include "platform/ui/panels.h"

#include <QWidget>

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  Widget()->resize(185, 41);
  SetColor(clBtnFace);
}

void TPanel::SetText(const QString& value) {
  TCustomControl::SetText(value);
  Invalidate();
}

void TPanel::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color() == clNone || Color() == clDefault ? clBtnFace : Color());
  canvas.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
  if (!Caption().isEmpty()) {
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut((ClientWidth() - canvas.TextWidth(Caption())) / 2,
                   (ClientHeight() - canvas.TextHeight(Caption())) / 2, Caption());
    canvas.Brush()->SetStyle(bsSolid);
  }
  TCustomControl::Paint();
}

TPanel* TPanel::CreateClone(TComponent* AOwner) const {
  auto* clone = new TPanel(AOwner);
  clone->AssignControl(*this);
  return clone;
}

TDrawPanel* TDrawPanel::CreateClone(TComponent* AOwner) const {
  auto* clone = new TDrawPanel(AOwner);
  clone->AssignControl(*this);
  return clone;
}
