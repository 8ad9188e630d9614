// The radargram window's time zero: the automatic search, the zero-level line
// and the "Set Zero Level" button with its dialog (null_form.h). The search's
// arithmetic is time_zero.h.

#include "radargram/view2d_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/null_form.h"
#include "radargram/time_zero.h"

#include <memory>

long double TView2DForm::ZeroTimeOf(int indx, int32_t sample) const {
  const T2Dview* store = GetView2DByIndx(indx);
  if (!store) return 0;
  const TSettingData& settings = *store->Settings();
  return static_cast<long double>(sample) * settings.GetSpanWidth() * settings.GetOverStep() / 1000.0L;
}

void TView2DForm::AutomaticNull(int iNumView) {
  T2Dview* store = GetView2DByIndx(iNumView);
  if (!store) return;
  const int32_t zero = time_zero::AutomaticNullSample(*store);
  if (zero < 0) return;
  if (TNullForm* dialog = NullForm()) {
    // The track bar's change event stores the zero and redraws the line.
    dialog->TrackBarNullDepth->SetPosition(zero);
    return;
  }
  store->Settings()->SetNullShift(zero);
  RepaintNull(iNumView);
  if (iNumView == NumActiveView) FilValueList(iNumView);
}

void TView2DForm::RepaintNull(int indx) {
  const T2Dview* store = GetView2DByIndx(indx);
  TChart* chart = GetChartByIndx(indx);
  TLineSeries* series = GetSeriesNullByIndx(indx);
  if (!store || !chart || !series) return;
  // The topographic correction draws its relief line into the same series.
  if (TopoCorrectionShown()) return;
  const double t0 = static_cast<double>(ZeroTimeOf(indx, store->Settings()->GetNullShift()));
  series->Clear();
  series->AddXY(chart->TopAxis()->Minimum(), t0, QString(), clBlue);
  series->AddXY(chart->TopAxis()->Maximum(), t0, QString(), clBlue);
}

void TView2DForm::SetNullSpeedButtonClick(TObject* /*Sender*/) {
  SetNoActiveAddMarkers(true);
  {
    auto dialog = std::make_unique<TNullForm>(nullptr, *this);
    dialog->ShowModal();
  }
  CreateBMPSectOfDeep();
  ResizeAxis();
  SaveDefault();
}
