// The radargram window opening a profile file, and finishing a recording before
// its data are saved.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"

#include <chrono>
#include <thread>

RESOURCESTRING(SFileIsNotPresent, "File %s is not present!");
RESOURCESTRING(SFileError, "File error");

namespace {

// The left page control's pages by index.
constexpr int kFirstPage = 0;
constexpr int kGpsPage = 5;
// Header versions from which a record carries the display picture the window
// paints first, without running the chain.
constexpr uint8_t kFirstPictureVersion = 34;

// Traces placed by distance: neither without a source nor by GPS.
bool IsDistanceTopoType(TTopoType type) { return type != ttNil && type != ttGPS; }

}  // namespace

// ---- Opening a file -----------------------------------------------------------------------

void TView2DForm::ReadFromFile(const QString& FileName) {
  // While the main window lays its windows out nothing is read; the window is
  // laid out for what it has, no channel, and no chain file is opened for a
  // profile that was never read.
  if (shell_.Layout->StartResize()) {
    LayoutAfterOpen(0);
    return;
  }
  if (!FileExists(FileName)) {
    ShowMessage(Format(LoadResString(SFileIsNotPresent), {FileName}));
    return;
  }
  IRadargramFilesShell& files = *shell_.Files;
  files.SetErrorLoadFile(false);
  if (FileName.isEmpty()) return;

  // Only the exact lower-case extension makes a container: "a.FRN" is read as
  // one record.
  const bool container = ExtractFileExt(FileName) == QStringLiteral(".frn");
  if (container) {
    MasterChannal = 0;
    CountChannalView = kChannelSlots;
  } else {
    CountChannalView = 1;
  }
  SetCaption(FileName);
  if (container) {
    ReadFromFileToFRNChannals(FileName);
  } else {
    if (T2Dview* first = View2D_[0]) first->LoadFromFile(FileName);
    MasterChannal = 0;
  }

  const int count = GetCountChannalWithData();
  if (count == 0) {
    ShowMessage(LoadResString(SFileError));
    return;
  }
  CountChannalView = count;
  SetNewViewChannalCount(count);
  SetAllChannalVisible();

  for (int i = 0; i < count; ++i)
    if (Chart_[static_cast<size_t>(i)]) ShowChannelAfterOpen(i);

  OpenSideToolChain(FileName, container);
  LayoutAfterOpen(count);

  const TBitmap* picture = Bmp_[0].get();
  if (files.ErrorLoadFile() || (picture && picture->Width() == 0)) {
    // A stored picture that could not be used: everything from the data.
    Paint2D(0);
    files.SetErrorLoadFile(false);
    ChartResizeAndVisible();
  }
}

bool TView2DForm::GpsPageFor(const T2Dview* store) const {
  if (!store) return false;
  const TSettingData& settings = *store->Settings();
  return settings.GetTopoType() == ttGPS || settings.NMEIStrings.size() >= 2;
}

void TView2DForm::ShowChannelAfterOpen(int indx) {
  T2Dview* store = View2D_[static_cast<size_t>(indx)];
  if (!store) return;
  TSettingData& settings = *store->Settings();

  // The picture the record carried becomes the display bitmap, in the window's palette.
  if (TBitmap* bmp = Bmp_[static_cast<size_t>(indx)].get(); bmp && settings.Bmp) {
    bmp->Assign(*settings.Bmp);
    // A record without a picture leaves a bitmap without pixels (0 x 2): it
    // only takes the palette.
    if (bmp->Empty())
      bmp->SetPalette(PalMaker1->GetPal());
    else
      PalMaker1->SetPal(bmp);
  }
  if (indx == 0) FilValueList(0);

  if (const T2Dview* first = View2D_[0]) TopoCorrSpeedButton->SetDown(first->Settings()->Topocorrection);
  SetPropButtonAsProportional();

  LeftPageControl->SetActivePageIndex(GpsPageFor(store) ? kGpsPage : kFirstPage);
  GetLocationDataButton->SetEnabled(false);

  PrepareButtons();
  Application->ProcessMessages();

  // A recent record's picture is shown as stored; the chain runs on the first
  // command that needs the processed data.
  if (settings.GetVersion() >= kFirstPictureVersion && FirstPaintAfterOpen)
    MakeZoomBmp(indx);
  else
    Paint2D_Radar(0, indx);

  ResizeAxis();
  const bool byDistance =
      settings.GetRunMode() == rmWheel && settings.GetMeasureStep() != 0 && IsDistanceTopoType(settings.GetTopoType());
  DistanceMenu->SetEnabled(byDistance);
  if (byDistance) TracesMenu->SetChecked(false);
  store->SetNeedForSave(false);
  settings.SetNeedForSave(false);
}

void TView2DForm::LayoutAfterOpen(int count) {
  CountChannalView = count;
  CountChannalVisible = count;
  // The trees' titles follow the channels shown.
  RebuildObjectsTrees();
  SetNoActiveAddMarkers();
  MeasureAxisSize();
  ResizePanelsChart();
  SetScrollBars();
  if (Chart_[0]) SetActiveView(Chart_[0]);
  ResizeAxis();
  if (T2Dview* first = View2D_[0]) {
    FilValueList(0);
    first->SetNeedForSave(false);
    first->Settings()->SetNeedForSave(false);
    if (GpsPageFor(GetView2DByIndx(MasterChannal))) {
      LeftPageControl->SetActivePageIndex(kGpsPage);
      GPSarrayToMetres();
    } else {
      LeftPageControl->SetActivePageIndex(kFirstPage);
    }
  }
  ResizePanelsChart();
  SetLeftAxisCaption();
}

// ---- After a recording -------------------------------------------------------------------------

void TView2DForm::PrepareDataAfterRun() {
  // The online painter may still be drawing the last traces: give it a moment,
  // but never wait for it without end.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  for (int i = 0; i < 20 && PaintOnlineRunning.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  PackRecordedTraces();
  RebuildObjectsTrees();
  PaintOnlineThread();
  ChangeRadarInTools();
}
