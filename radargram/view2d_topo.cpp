// The radargram window's topographic correction: the button, the preparation
// of every channel's antenna path, the corrected image with its progress and
// Cancel, the relief line, the topographic zero and the angle of the offset
// panel. The arithmetic is topo_correction.h.

#include "radargram/view2d_form.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace tc = topo_correction;

namespace {

// Traces whose working samples the store really holds.
int64_t WorkingTraces(const T2Dview& store) {
  const int32_t longTrace = store.Settings()->GetLongTrace();
  if (longTrace <= 0) return 0;
  const int64_t bytes = std::min(store.SizeDat(), store.dezoData.Bytes());
  return std::max<int64_t>(0, std::min(store.NumTraces(), bytes / 4 / longTrace));
}

void FillBackImage(TChart* chart) {
  if (!chart) return;
  TBitmap& back = *chart->BackImage();
  FillBitmapRect8(back, Rect(0, 0, back.Width(), back.Height()), 127);
}

}  // namespace

void TView2DForm::BuildTopoControls() {
  ChildMainMenu = TComponent::Create<TMainMenu>(this);
  ChildMainMenu->SetName(QStringLiteral("ChildMainMenu"));
  ProfileMenu = TComponent::Create<TMenuItem>(this);
  ProfileMenu->SetName(QStringLiteral("ProfileMenu"));
  ProfileMenu->SetCaption(LoadResString(SProfileMenu));
  // Merged beside the main window's own menus (group 0), not in their place.
  ProfileMenu->SetGroupIndex(1);
  ChildMainMenu->Items()->Add(ProfileMenu);
  ProfileOffsetMenu = TComponent::Create<TMenuItem>(this);
  ProfileOffsetMenu->SetName(QStringLiteral("ProfileOffsetMenu"));
  ProfileOffsetMenu->SetCaption(LoadResString(SProfileOffset));
  ProfileOffsetMenu->OnClick = [this](TObject* sender) { ProfileOffsetMenuClick(sender); };
  ProfileMenu->Add(ProfileOffsetMenu);
  SetMenu(ChildMainMenu);
  TopoCorrSpeedButton->OnClick = [this](TObject* sender) { TopoCorrSpeedButtonClick(sender); };
  AngleDigitEdit->OnChangeFinish = [this](TObject* sender) { AngleDigitEditChangeFinish(sender); };
  Cansel->OnClick = [this](TObject* sender) { CanselClick(sender); };
}

void TView2DForm::CanselClick(TObject* /*Sender*/) { Br = true; }

bool TView2DForm::TopoCorrectionShown() const { return TopoCorrSpeedButton && TopoCorrSpeedButton->Down(); }

void TView2DForm::ReleaseTopoCorrectionButton() {
  if (TopoCorrSpeedButton) TopoCorrSpeedButton->SetDown(false);
}

// ---- The button ---------------------------------------------------------------------------------

void TView2DForm::TopoCorrSpeedButtonClick(TObject* /*Sender*/) {
  SetNoActiveAddMarkers();
  const bool down = TopoCorrectionShown();
  if (down) {
    proportional_ = PropInM11;
    Prop11SpeedButton->SetDown(true);
    ApplyProportional(true);
    GetIdentForTopoCor(false);
    ResizeAxis();
  }
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  if (master && tc::CalibrationAccepted(*master->Settings())) {
    bool recompute = false;
    for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) {
      T2Dview* store = View2D_[static_cast<size_t>(i)];
      if (!store || !Chart_[static_cast<size_t>(i)]) continue;
      Br = false;
      store->Settings()->Topocorrection = TopoCorrectionShown();
      if (FirstPaintAfterOpen) {
        FillBackImage(Chart_[static_cast<size_t>(i)]);
        recompute = true;
      } else {
        ApplyTopoCorrection(i);
      }
      store->Settings()->SetNeedForSave(true);
      store->SetNeedForSave(true);
    }
    // The recomputation from the raw data applies the correction to each channel.
    if (recompute) Paint2D(0);
  } else {
    MessageDlg(LoadResString(STopoLowQualityCalibration), mtError, {mbOK}, 0);
    TopoCorrSpeedButton->SetDown(false);
    for (T2Dview* store : View2D_)
      if (store) store->Settings()->Topocorrection = false;
  }
  ResizeAxis();
}

// ---- Preparation -----------------------------------------------------------------------------

void TView2DForm::GetIdentForTopoCor(bool RunAlways) {
  TopoExtents.Reset();
  IdentXLeftPx = IdentXrightPx = IdentYtopPx = IdentYBottomPx = 0;
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store || store->NumTraces() <= 0) continue;
    TSettingData& s = *store->Settings();
    if ((s.CalibrationQuality == 0 || RunAlways) && i != MasterChannal && master) {
      const TSettingData& m = *master->Settings();
      s.CalibrationQuality = m.CalibrationQuality;
      s.ZeroAngle = m.ZeroAngle;
      s.GXmax = m.GXmax;
      s.GXmin = m.GXmin;
      s.GYmax = m.GYmax;
      s.GYmin = m.GYmin;
      s.GZmax = m.GZmax;
      s.GZmin = m.GZmin;
      for (int64_t k = m.MinNumIncl; k < m.MaxNumIncl; ++k) {
        if (k < s.MaxNumIncl) s.IndexIncl.Remove(k);
        if (const TInclRecord* record = m.IndexIncl.Entry(k)) s.IndexIncl.Set(k, *record);
      }
      s.MinNumIncl = m.MinNumIncl;
      s.MaxNumIncl = m.MaxNumIncl;
    }
    s.Topocorrection = TopoCorrectionShown();
    GetIdentForTopoCor_Radar(i);
  }
}

void TView2DForm::GetIdentForTopoCor_Radar(int NumRadar) {
  T2Dview* store = GetView2DByIndx(NumRadar);
  if (!store || !TopoCorrectionShown()) return;
  const TSettingData& s = *store->Settings();
  if (!tc::PathApplies(s)) return;
  ProportionalCoefic = store->GetProportionalCoefic();
  tc::TPathInput in;
  in.NumTraces = store->NumTraces();
  in.NumIncl = s.GetNumIncl();
  in.StepDistance = s.GetStepDistance();
  in.SpeedLight = s.GetSpeedLight();
  in.SpanWidth = s.GetSpanWidth();
  in.LongTrace = s.GetLongTrace();
  in.Proportion = ProportionalCoefic;
  try {
    tc::BuildAntennaPath(in, [store](int64_t t) { return store->GetSinAngleForTopoCor(t); }, TopoExtents,
                         store->DXarray, store->DYarray);
  } catch (const std::bad_alloc&) {
    store->DXarray.clear();
    store->DYarray.clear();
    MessageDlg(Format(LoadResString(STopoNoMemory), {NumRadar}), mtError, {mbOK}, 0);
    TopoCorrSpeedButton->SetDown(false);
    return;
  }
  IdentXLeftPx = TopoExtents.IdentXLeftPx;
  IdentXrightPx = TopoExtents.IdentXrightPx;
  IdentYtopPx = TopoExtents.IdentYtopPx;
  IdentYBottomPx = TopoExtents.IdentYBottomPx;
}

// ---- Switching a channel ------------------------------------------------------------------------

void TView2DForm::ApplyTopoCorrection(int NumRadar) {
  T2Dview* store = GetView2DByIndx(NumRadar);
  TChart* chart = GetChartByIndx(NumRadar);
  if (!store || !chart) return;
  if (TopoCorrectionShown() && !tc::PathApplies(*store->Settings())) {
    // No path for this channel (a calibration too poor for a path, no distance
    // device): it keeps its plain image.
    PrepareBmp(NumRadar);
    return;
  }
  if (TopoCorrectionShown()) {
    SetNullSpeedButton->SetEnabled(false);
    MeniumButton->SetEnabled(false);
    SpeedDigitEdit->SetEnabled(false);
    TopoCorRun = true;
    for (TLineSeries* series : SliceSeries_)
      if (series) series->Clear();
    WiggleSpeedButton->SetDown(false);
    WiggleSpeedButton->SetEnabled(false);
    DrawReliefLine(NumRadar);
    FillBackImage(chart);
    BuildTopoImage(NumRadar);
    SetScrollBars();
    MeniumButton->SetEnabled(true);
    SpeedDigitEdit->SetEnabled(true);
    TopoCorRun = false;
    return;
  }
  Br = true;
  SetNullSpeedButton->SetEnabled(true);
  WiggleSpeedButton->SetEnabled(true);
  IdentXLeftPx = IdentXrightPx = IdentYtopPx = IdentYBottomPx = 0;
  FillBackImage(chart);
  if (FirstPaintAfterOpen)
    Paint2D_Radar(0, NumRadar);
  else
    PrepareBmp(NumRadar);
  RepaintNull(NumRadar);
  ResizeAxis();
}

// ---- The corrected image ---------------------------------------------------------------------

void TView2DForm::BuildTopoImage(int indx) {
  T2Dview* store = GetView2DByIndx(indx);
  TChart* chart = GetChartByIndx(indx);
  TBitmap* bmp = store ? Bmp_[static_cast<size_t>(indx)].get() : nullptr;
  if (!store || !chart || !bmp) return;
  TSettingData& s = *store->Settings();
  const int64_t traces = WorkingTraces(*store);
  if (traces <= 0) return;

  AllProgressPanelOff();
  TPanel* panel = GetProgressPanelByIndx(indx);
  TImage* progressImage = GetProgressImageByIndx(indx);
  if (panel) {
    const TRect area = chart->ChartRect();
    panel->SetBounds(chart->Width() / 2 + area.Left - panel->Width() / 2, area.Bottom / 2, panel->Width(),
                     panel->Height());
    if (progressImage) progressImage->SetWidth(1);
    panel->Show();
  }
  SetProportionalCoefic(store);
  ProportionalCoefic = store->GetProportionalCoefic();

  // A path shorter than the traces (records added since it was built) is built again.
  if (static_cast<int64_t>(store->DXarray.size()) < traces || static_cast<int64_t>(store->DYarray.size()) < traces)
    GetIdentForTopoCor_Radar(indx);

  const int64_t height = int64_t{s.GetLongTrace()} + IdentYtopPx + IdentYBottomPx;
  const int64_t width = traces + IdentXLeftPx + IdentXrightPx;
  tc::TTopoBuild result = tc::tbNoMemory;
  std::vector<uint8_t> image;
  const bool pathReady = static_cast<int64_t>(store->DXarray.size()) >= traces &&
                         static_cast<int64_t>(store->DYarray.size()) >= traces;
  if (pathReady && height > 0 && width > 0 && height <= 0x7FFFFFFF && width <= 0x7FFFFFFF &&
      height * width <= MaxZoomBitmapPixels) {
    try {
      std::vector<double> tilt(static_cast<size_t>(traces));
      const bool negated = tc::TiltNegated(s.GetTypeGPR());
      for (int64_t i = 0; i < traces; ++i)
        tilt[static_cast<size_t>(i)] = tc::TiltOfRecord(s.IndexIncl.Entry(s.MinNumIncl + i), s.GXmax, s.GXmin, negated);
      tc::TTopoImageInput in;
      in.Height = static_cast<int32_t>(height);
      in.Width = static_cast<int32_t>(width);
      in.NumTraces = traces;
      in.LongTrace = s.GetLongTrace();
      in.NullShift = s.GetNullShift();
      in.SpeedLight = s.GetSpeedLight();
      in.SpanWidth = s.GetSpanWidth();
      in.StepDistance = s.GetStepDistance();
      in.IdentXLeftM = TopoExtents.IdentXLeftM;
      in.IdentYtopM = TopoExtents.IdentYtopM;
      in.DX = store->DXarray.data();
      in.DY = store->DYarray.data();
      in.Tilt = tilt.data();
      in.Samples = store->dezoData.Data();
      const int panelWidth = panel ? panel->Width() : 0;
      result = tc::BuildTopoImage(in, image, [&](int32_t rows, int32_t total) {
        if (progressImage)
          progressImage->SetWidth(std::max<int>(1, static_cast<int>(Round(static_cast<long double>(rows) * panelWidth / total))));
        Application->ProcessMessages();
        return !Br && TopoCorrectionShown();
      });
      if (result == tc::tbDone) {
        bmp->SetPixelFormat(pf8bit);
        bmp->SetSize(in.Width, in.Height);
        bmp->SetPalette(PalMaker1->GetPal());
        if (bmp->Width() != in.Width || bmp->Height() != in.Height) throw std::bad_alloc();
        for (int32_t r = 0; r < in.Height; ++r)
          std::memcpy(bmp->ScanLine(r), image.data() + static_cast<size_t>(r) * static_cast<size_t>(in.Width),
                      static_cast<size_t>(in.Width));
      }
    } catch (const std::bad_alloc&) {
      result = tc::tbNoMemory;
    }
  }
  AllProgressPanelOff();
  if (result != tc::tbDone) {
    if (result == tc::tbNoMemory) MessageDlg(Format(LoadResString(STopoNoMemory), {indx}), mtError, {mbOK}, 0);
    TopoCorrSpeedButton->SetDown(false);
    s.Topocorrection = false;
    ApplyTopoCorrection(indx);
    return;
  }
  if (TopoCorrectionShown()) {
    FillBackImage(chart);
    MakeZoomBmp(indx);
    PaintToScreen(indx);
  }
}

// ---- Relief line, flip and topographic zero --------------------------------------------------

void TView2DForm::DrawReliefLine(int indx) {
  const T2Dview* store = GetView2DByIndx(indx);
  TLineSeries* series = GetSeriesNullByIndx(indx);
  if (!store || !GetChartByIndx(indx) || !series || store->NumTraces() <= 0) return;
  const TSettingData& s = *store->Settings();
  tc::TReliefInput in;
  in.NumTraces = store->NumTraces();
  in.MinNumTraces = store->MinNumTraces();
  in.StepDistance = s.GetStepDistance();
  in.StartDeviceXShift = s.GetStartDeviceXShift();
  in.SpeedLight = s.GetSpeedLight();
  in.IdentYtopM = TopoExtents.IdentYtopM;
  in.Flipped = s.GetWasFlip();
  series->Clear();
  for (const tc::TReliefPoint& p : tc::ReliefLine(in, store->DXarray, store->DYarray))
    series->AddXY(p.X, p.Y, QString(), clRed);
}

void TView2DForm::RefreshTopoAfterFlip() {
  GetIdentForTopoCor(false);
  for (int i = 0; i < kChannelSlots; ++i) {
    ResizeAxis_Radar(i);
    DrawReliefLine(i);
  }
}

void TView2DForm::SetTopoZero() {
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = View2D_[static_cast<size_t>(i)];
    TChart* chart = Chart_[static_cast<size_t>(i)];
    TLineSeries* position = GetPositionSeriesByIndx(i);
    if (!shell_.Layout->SlotHasRadar(i) || !store || !chart || !position) continue;
    const TSettingData& s = *store->Settings();
    const int64_t pos = store->PosTraces();
    deviceX_ = tc::TopoZeroDeviceX(s.GetMeasureStep(), pos);
    XOffsetDigitEdit->SetValueReal(deviceX_ / 100000.0L);
    const bool distance = DistanceModeOf(i);
    const double x = distance ? static_cast<double>(TraceToDistView(pos, i, false)) : static_cast<double>(pos);
    position->Clear();
    position->AddXY(x, 0);
    position->AddXY(x, chart->LeftAxis()->Maximum());
    if (shell_.Run) {
      if (distance)
        shell_.Run->DispCmCursor(FloatToStrF(static_cast<long double>(s.GetMeasureStep()) * pos / 1000 +
                                                 s.GetStartDeviceXShift() / 100000.0L,
                                             ffFixed, 15, 2));
      else
        shell_.Run->DispCmCursor(QString::number(pos));
    }
    chart->Invalidate();
  }
  LeftPageControl->SetActivePage(PropertyTabSheet);
  XOffsetDigitEdit->SetEnabled(false);
  ZOffsetDigitEdit->SetEnabled(false);
  AngleDigitEdit->SetEnabled(false);
  YOffsetDigitEdit->SetEnabled(true);
  OffsetPanel->Show();
  if (YOffsetDigitEdit->CanFocus()) YOffsetDigitEdit->SetFocus();
  ResizeAxis();
  WasPaint = false;
  PaintAllScreen();
}

// ---- The offset panel ----------------------------------------------------------------------

void TView2DForm::ProfileOffsetMenuClick(TObject* /*Sender*/) {
  for (TDigitEdit* edit : {XOffsetDigitEdit, YOffsetDigitEdit, ZOffsetDigitEdit, AngleDigitEdit}) edit->SetEnabled(true);
  if (!shell_.Layout->SimpleMode()) {
    LeftPageControl->SetActivePage(PropertyTabSheet);
    LeftPageControlChange(LeftPageControl);
  }
  FilValueList(NumActiveView);
  UpdateOffsetPanel();
  OffsetPanel->Show();
}

void TView2DForm::AngleDigitEditChangeFinish(TObject* /*Sender*/) {
  const int32_t angle = RoundToInt32(AngleDigitEdit->ValueReal() * 100000);
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetAngle(angle);
}
