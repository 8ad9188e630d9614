// The "Set zero depth level" dialog (null_form.h).

#include "radargram/null_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/time_zero.h"
#include "radargram/view2d_form.h"

namespace {

TNullForm* gNullForm = nullptr;

}  // namespace

TNullForm* NullForm() { return gNullForm; }

TNullForm::TNullForm(TComponent* AOwner, TView2DForm& window) : TForm(AOwner), window_(window) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption(LoadResString(SSetZeroDepthLevel));
  SetClientWidth(190);
  SetClientHeight(330);

  TrackBarNullDepth = new TTrackBar(this);
  TrackBarNullDepth->SetName(QStringLiteral("TrackBarNullDepth"));
  TrackBarNullDepth->SetParent(this);
  TrackBarNullDepth->SetOrientation(trVertical);
  TrackBarNullDepth->SetBounds(8, 8, 45, 310);
  TrackBarNullDepth->SetPageSize(20);
  TrackBarNullDepth->SetFrequency(110);
  TrackBarNullDepth->OnChange = [this](TObject*) { TrackBarNullDepthChange(); };

  ShiftLabel = new TLabel(this);
  ShiftLabel->SetParent(this);
  ShiftLabel->SetBounds(64, 16, 110, 16);
  ShiftLabel->SetCaption(LoadResString(SShiftM));
  LabelNullDepth = new TLabel(this);
  LabelNullDepth->SetName(QStringLiteral("LabelNullDepth"));
  LabelNullDepth->SetParent(this);
  LabelNullDepth->SetBounds(64, 36, 110, 16);

  BitBtnAutomatic = new TBitBtn(this);
  BitBtnAutomatic->SetName(QStringLiteral("BitBtnAutomatic"));
  BitBtnAutomatic->SetParent(this);
  BitBtnAutomatic->SetBounds(64, 250, 110, 26);
  BitBtnAutomatic->SetCaption(LoadResString(SAutoZero));
  BitBtnAutomatic->OnClick = [this](TObject*) { BitBtnAutomaticClick(); };
  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetName(QStringLiteral("OKBitBtn"));
  OKBitBtn->SetParent(this);
  OKBitBtn->SetBounds(64, 290, 110, 26);
  OKBitBtn->SetCaption(LoadResString(SOkZero));
  OKBitBtn->SetModalResult(mrOk);

  OnShow = [this](TObject*) { FormShow(); };
  gNullForm = this;
}

TNullForm::~TNullForm() {
  if (gNullForm == this) gNullForm = nullptr;
  OnShow = nullptr;
  if (TrackBarNullDepth) TrackBarNullDepth->OnChange = nullptr;
}

void TNullForm::FormShow() {
  NumEditView = window_.NumActiveView;
  const T2Dview* store = window_.GetView2DByIndx(NumEditView);
  if (!store) return;
  const TSettingData& settings = *store->Settings();
  filling_ = true;
  TrackBarNullDepth->SetMin(0);
  TrackBarNullDepth->SetMax(settings.GetLongTrace());
  TrackBarNullDepth->SetPosition(settings.GetNullShift());
  filling_ = false;
  LabelNullDepth->SetCaption(time_zero::ZeroLevelDepthText(window_.ZeroTimeOf(NumEditView, settings.GetNullShift()),
                                                           settings.GetSpeedLight()));
  BitBtnAutomatic->SetEnabled(store->RawData.Bytes() > 4);
}

void TNullForm::TrackBarNullDepthChange() {
  if (filling_) return;
  T2Dview* store = window_.GetView2DByIndx(NumEditView);
  if (!store) return;
  TSettingData& settings = *store->Settings();
  const int position = TrackBarNullDepth->Position();
  LabelNullDepth->SetCaption(
      time_zero::ZeroLevelDepthText(window_.ZeroTimeOf(NumEditView, position), settings.GetSpeedLight()));
  settings.SetNullShift(position);
  window_.RepaintNull(NumEditView);
}

void TNullForm::BitBtnAutomaticClick() {
  const int channel = window_.NumActiveView;
  window_.AutomaticNull(channel);
  if (const T2Dview* store = window_.GetView2DByIndx(channel))
    TrackBarNullDepth->SetPosition(store->Settings()->GetNullShift());
}
