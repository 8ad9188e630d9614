#include "acquisition/main_info_panel.h"

#include "acquisition/main_form.h"
#include "acquisition/topo_pictures.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/graphics.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"

namespace {

constexpr int kLargeHeight = 64;
constexpr int kSmallHeight = 40;
// Left edges of the large box's columns: X, Y, cursor distance, picture.
constexpr int kLargeX = 8;
constexpr int kLargeY = 86;
constexpr int kLargeCursor = 164;
constexpr int kLargePicture = 264;
// Left edges of the small box's row.
constexpr int kSmallCursor = 262;

TLabel* NewLabel(TWinControl* parent, int left, int top, bool bold) {
  auto* label = TComponent::Create<TLabel>(parent);
  label->SetParent(parent);
  label->SetBounds(left, top, 10, 20);
  if (bold) {
    label->Font()->SetHeight(-16);
    label->Font()->SetStyle(TFontStyles{fsBold});
  }
  return label;
}

void SetTextIfVisible(TLabel* large, TLabel* small, bool largeShown, bool smallShown, const QString& text) {
  if (largeShown)
    large->SetText(text);
  else if (smallShown)
    small->SetText(text);
}

}  // namespace

TInfoPanel::TInfoPanel(TWinControl* parent) : Parent(parent) {
  InfoGroupBoxLarge = TComponent::Create<TGroupBox>(parent);
  InfoGroupBoxLarge->SetParent(parent);
  InfoGroupBoxLarge->SetText(QStringLiteral("X/Y"));
  InfoGroupBoxLarge->SetBounds(0, -2, LargeWidth, kLargeHeight);
  LabelX_mLarge = NewLabel(InfoGroupBoxLarge, kLargeX, 16, true);
  LabelX_trLarge = NewLabel(InfoGroupBoxLarge, kLargeX, 38, true);
  LabelY_mLarge = NewLabel(InfoGroupBoxLarge, kLargeY, 16, true);
  LabelY_nsLarge = NewLabel(InfoGroupBoxLarge, kLargeY, 38, true);
  LabelcmCursor_mLarge = NewLabel(InfoGroupBoxLarge, kLargeCursor, 16, true);
  Label_m_tr = NewLabel(InfoGroupBoxLarge, kLargeCursor, 38, false);
  TopoDeviceImage = TComponent::Create<TImage>(InfoGroupBoxLarge);
  TopoDeviceImage->SetParent(InfoGroupBoxLarge);
  TopoDeviceImage->SetBounds(kLargePicture, 20, TopoPictureSize, TopoPictureSize);

  InfoGroupBoxSmall = TComponent::Create<TGroupBox>(parent);
  InfoGroupBoxSmall->SetParent(parent);
  InfoGroupBoxSmall->SetBounds(0, -2, SmallWidth, kSmallHeight);
  LabelX_mSmall = NewLabel(InfoGroupBoxSmall, 8, 14, false);
  LabelX_trSmall = NewLabel(InfoGroupBoxSmall, 72, 14, false);
  LabelY_mSmall = NewLabel(InfoGroupBoxSmall, 136, 14, false);
  LabelY_nsSmall = NewLabel(InfoGroupBoxSmall, 200, 14, false);
  LabelcmCursor_mSmall = NewLabel(InfoGroupBoxSmall, kSmallCursor, 14, false);
  LabelSmall_m_tr = NewLabel(InfoGroupBoxSmall, 326, 14, false);
  InfoGroupBoxSmall->SetVisible(false);
  InfoGroupBoxLarge->SetVisible(false);
}

void TInfoPanel::Check(const TInfoPanelSource& source) {
  if (source.HasWindow) {
    InfoGroupBoxLarge->SetWidth(LargeWidth);
    InfoGroupBoxSmall->SetWidth(SmallWidth);
    // Only a wheel-triggered channel shows its device; anything else the blank picture.
    const TTopoType shown = source.RunMode == rmWheel && source.TopoType >= ttWheel && source.TopoType <= ttUnitWheelB
                                ? source.TopoType
                                : ttNil;
    DrawTopoPicture(shown, *TopoDeviceImage->Picture());
    TopoDeviceImage->Invalidate();
    const QString unit = LoadResString(source.DistanceInMetres ? SInfoUnitMetres : SInfoUnitTrace);
    Label_m_tr->SetText(unit);
    LabelSmall_m_tr->SetText(unit);
  } else {
    // Without a window the cursor column and the picture are cut off.
    InfoGroupBoxLarge->SetWidth(LabelcmCursor_mLarge->Left());
    InfoGroupBoxSmall->SetWidth(LabelcmCursor_mSmall->Left());
  }
  Place();
}

void TInfoPanel::Place() {
  const int clientWidth = Parent->ClientWidth();
  InfoGroupBoxLarge->SetBounds(clientWidth - InfoGroupBoxLarge->Width(), -2, InfoGroupBoxLarge->Width(),
                               InfoGroupBoxLarge->Height());
  InfoGroupBoxSmall->SetBounds(clientWidth - InfoGroupBoxSmall->Width(), -2, InfoGroupBoxSmall->Width(),
                               InfoGroupBoxSmall->Height());
}

void TInfoPanel::DispInfo(const QString& strY_ns, const QString& strY_m, const QString& strX_tr,
                          const QString& strX_m) {
  const bool large = InfoGroupBoxLarge->Visible();
  const bool small = InfoGroupBoxSmall->Visible();
  SetTextIfVisible(LabelY_nsLarge, LabelY_nsSmall, large, small, strY_ns);
  SetTextIfVisible(LabelY_mLarge, LabelY_mSmall, large, small, strY_m);
  SetTextIfVisible(LabelX_trLarge, LabelX_trSmall, large, small, strX_tr);
  SetTextIfVisible(LabelX_mLarge, LabelX_mSmall, large, small, strX_m);
}

void TInfoPanel::DispCmCursor(const QString& cmCursor_m) {
  if (InfoGroupBoxLarge->Visible() && !cmCursor_m.isEmpty())
    LabelcmCursor_mLarge->SetText(cmCursor_m);
  else if (InfoGroupBoxSmall->Visible())
    LabelcmCursor_mSmall->SetText(cmCursor_m);
}

// ---- The main window's info panel ---------------------------------------------------------

void DUvova3DuruZuza::DispInfo(const QString& time, const QString& depth, const QString& trace,
                               const QString& distance) {
  CursorInfo = {time, depth, trace, distance};
  if (InfoPanel) InfoPanel->DispInfo(time, depth, trace, distance);
}

void DUvova3DuruZuza::DispCmCursor(const QString& text) {
  CmCursorText = text;
  if (InfoPanel) InfoPanel->DispCmCursor(text);
}

void DUvova3DuruZuza::CheckInfoPanel() {
  if (!InfoPanel) return;
  TInfoPanelSource source;
  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  T2Dview* first = active ? active->GetView2DByIndx(0) : nullptr;
  if (first && first->Settings()) {
    source.HasWindow = true;
    T2Dview* master = active->GetView2DByIndx(active->MasterChannal);
    const TSettingData* settings = master && master->Settings() ? master->Settings() : first->Settings();
    source.RunMode = settings->GetRunMode();
    source.TopoType = settings->GetTopoType();
    source.DistanceInMetres = active->DistanceMenu && active->DistanceMenu->Checked();
  }
  InfoPanel->Check(source);
}

void DUvova3DuruZuza::UpdateInfoPanel() {
  if (!InfoPanel) return;
  InfoPanel->InfoGroupBoxLarge->SetVisible(!RadargramWindows().empty());
  InfoPanel->InfoGroupBoxSmall->SetVisible(false);
  CheckInfoPanel();
}

void DUvova3DuruZuza::FormResize() {
  if (InfoPanel) InfoPanel->Place();
}
