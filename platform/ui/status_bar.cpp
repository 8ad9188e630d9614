#include "platform/ui/status_bar.h"

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetHeight(23);
  SetAlign(alBottom);
}

int TStatusBar::AddPanel(int width, TStatusPanelStyle style) {
  panels_.push_back({width, style, {}});
  Invalidate();
  return PanelCount() - 1;
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  TStatusPanel& panel = panels_.at(static_cast<size_t>(index));
  if (panel.Text == text) return;
  panel.Text = text;
  Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_.at(static_cast<size_t>(i)).Width;
  const int width = panels_.at(static_cast<size_t>(index)).Width;
  return Rect(left, 0, left + width, ClientHeight());
}

void TStatusBar::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color() == clNone || Color() == clDefault ? clBtnFace : Color());
  canvas.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
  for (int i = 0; i < PanelCount(); ++i) {
    const TRect rect = PanelRect(i);
    const TStatusPanel& panel = panels_[static_cast<size_t>(i)];
    if (panel.Style == psOwnerDraw) {
      if (Parent()) {
        TDrawItemStruct item;
        item.itemID = static_cast<UINT>(i);
        item.hwndItem = Handle();
        item.Canvas = &canvas;
        item.rcItem = rect;
        Parent()->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
      } else if (OnDrawPanel) {
        OnDrawPanel(*this, i, rect);
      }
      continue;
    }
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(rect.Left + 2, (ClientHeight() - canvas.TextHeight(panel.Text)) / 2, panel.Text);
    canvas.Brush()->SetStyle(bsSolid);
  }
  TCustomControl::Paint();
}

void TStatusBar::DefaultHandler(TMessage& message) {
  if (message.Msg != CN_DRAWITEM || !message.LParam) {
    TCustomControl::DefaultHandler(message);
    return;
  }
  const auto* item = reinterpret_cast<const TDrawItemStruct*>(message.LParam);
  const int index = static_cast<int>(item->itemID);
  if (index < PanelCount() && OnDrawPanel) OnDrawPanel(*this, index, item->rcItem);
  message.Result = 1;
}
