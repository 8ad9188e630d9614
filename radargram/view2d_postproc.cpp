// The radargram window's post-processing overlays: the layer list, the overlay
// objects of the registered factory (post_proc_overlays.h), when they run for
// which channel, the amplitude range they use, the plain image when the last
// overlay goes off, and the frames with their histograms. The layers are
// composed in the display pipeline (view2d_paint.cpp).

#include "radargram/view2d_form.h"

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/image.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_box.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

RESOURCESTRING(SIntersectionSelectBitmaps, "Intersection select Bitmaps");

namespace {

constexpr int kGodographWidth = 144;
constexpr int kGodographHeight = 64;
// The half window of the envelope histograms; the frequency one takes one more
// after a check change.
constexpr int kGodographWindow = 5;
constexpr int kGodographWindowAfterCheck = 6;
// The amplitude range of a channel without data.
constexpr int32_t kNoDataLevel = -1000000;

constexpr TPostProcKind kKinds[] = {ppComparator, ppHilbert, ppFrequency};

// Values of the channel's working data that hold its traces.
int64_t WorkingValues(const T2Dview& store) {
  if (store.SizeDat() <= 0 || store.dezoData.Bytes() < store.SizeDat()) return 0;
  return store.SizeDat() / 4;
}

}  // namespace

// ---- Controls and objects -----------------------------------------------------------------

void TView2DForm::BuildPostProcControls() {
  PostProcCheckListBox->OnClick = [this](TObject* sender) { PostProcCheckListBoxClick(sender); };
  PostProcCheckListBox->OnClickCheck = [this](TObject* sender) { PostProcCheckListBoxClickCheck(sender); };
  chIntersectionPostBMP = new TCheckBox(this);
  chIntersectionPostBMP->SetName(QStringLiteral("chIntersectionPostBMP"));
  chIntersectionPostBMP->SetParent(PostProcessTabSheet);
  chIntersectionPostBMP->SetBounds(4, 88, 200, 20);
  chIntersectionPostBMP->SetCaption(LoadResString(SIntersectionSelectBitmaps));
  chIntersectionPostBMP->OnClick = [this](TObject* sender) { chIntersectionPostBMPClick(sender); };
  PostProcPropertyScrollBox = new TScrollBox(this);
  PostProcPropertyScrollBox->SetName(QStringLiteral("PostProcPropertyScrollBox"));
  PostProcPropertyScrollBox->SetParent(PostProcessTabSheet);
  PostProcPropertyScrollBox->SetBounds(4, 112, 236, 420);
}

void TView2DForm::CreatePostProcObjects() {
  IntersectionPostBmp() = false;
  IPostProcFactory* factory = PostProcFactory();
  if (!factory) return;
  for (const TPostProcKind kind : kKinds) PostProc_[kind] = factory->CreateOverlay(kind, *this);
}

void TView2DForm::MarkOverlaysForRecompute() {
  for (const auto& overlay : PostProc_) {
    if (!overlay) continue;
    overlay->SetOldPosLevel(-1);
    overlay->SetRunCalc(true);
  }
}

void TView2DForm::GetMinMaxLevelPostProcComparator() {
  IPostProcOverlay* comparator = ComparatorPostProc();
  if (!comparator) return;
  for (int c = 0; c < kChannelSlots; ++c) {
    comparator->MinLevel()[static_cast<size_t>(c)] = 0;
    int64_t largest = kNoDataLevel;
    if (const T2Dview* store = View2D_[static_cast<size_t>(c)]) {
      const int32_t* data = store->dezoData.Data();
      const int64_t n = WorkingValues(*store);
      for (int64_t i = 0; i < n; ++i) largest = std::max<int64_t>(largest, std::llabs(int64_t{data[i]}));
    }
    // |INT32_MIN| does not fit the field: it saturates.
    comparator->Maxlevel()[static_cast<size_t>(c)] =
        static_cast<int32_t>(std::min<int64_t>(largest, std::numeric_limits<int32_t>::max()));
  }
}

// ---- Running ----------------------------------------------------------------------------------

void TView2DForm::RunPostProcess(TObject* /*Sender*/) {
  if (shell_.Layout->isCloseChild()) return;
  Br = false;
  // Messages processed here and by the overlays may close the window (the
  // program ending): nothing of it is touched afterwards.
  const std::shared_ptr<const bool> alive = WindowAlive;
  struct TEnd {
    TView2DForm& form;
    const std::shared_ptr<const bool>& alive;
    ~TEnd() {
      if (!*alive) return;
      form.AllProgressPanelOff();
      form.Br = false;
    }
  } end{*this, alive};
  if (!Chart_[0]) return;
  Application->ProcessMessages();
  if (!*alive || shell_.Layout->isCloseChild()) return;
  GetMinMaxLevelPostProcComparator();
  const bool overlaysOn = isPostProcCheckOn();
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) {
    if (!arChannalVisible[static_cast<size_t>(i)] || !View2D_[static_cast<size_t>(i)]) continue;
    if (!overlaysOn && PredProcCheckOn) RestorePlainImage(i);
    RunPostProcessRadar(i, -1);
    if (!*alive) return;
    MakeZoomBmp(i);
    if (Br) break;
  }
}

void TView2DForm::RunPostProcessRadar(int indx, int NumPostprocess) {
  TChart* chart = GetChartByIndx(indx);
  if (!chart || Br) return;
  AllProgressPanelOff();
  if (TPanel* panel = GetProgressPanelByIndx(indx)) {
    const TRect area = chart->ChartRect();
    panel->SetBounds(chart->Width() / 2 + area.Left - panel->Width() / 2, area.Bottom / 2, panel->Width(),
                     panel->Height());
    if (TImage* image = GetProgressImageByIndx(indx)) image->SetWidth(1);
    panel->Hide();
  }

  // While the display data are being rebuilt the layers start again from the
  // plain display bitmap. A display bitmap that already holds the composed
  // overlays (32 bits) is no plain image: the layers taken from the plain one
  // moments before are kept.
  TBitmap* display = Bmp_[static_cast<size_t>(indx)].get();
  const bool fresh = !PostProcBaseValid() && display && display->PixelFormat() == pf8bit;
  for (int k = 0; k < 4; ++k) {
    std::unique_ptr<TBitmap32>& layer = BmpPostProc_[static_cast<size_t>(indx * 5 + k)];
    if (layer && !fresh) continue;
    auto copy = std::make_unique<TBitmap32>();
    if (display && !display->Empty()) copy->Assign(display);
    layer = std::move(copy);
  }
  if (fresh)
    for (const auto& overlay : PostProc_)
      if (overlay) overlay->SetOldPosLevel(-1);

  for (const TPostProcKind kind : kKinds) {
    if ((NumPostprocess >= 0 && NumPostprocess != kind) || !PostProcCheckListBox->Checked(kind)) continue;
    switch (kind) {
      case ppComparator: RunComparatorOverlay(indx, kind); break;
      case ppHilbert: RunHilbertOverlay(indx, kind); break;
      case ppFrequency: RunFreqOverlay(indx, kind); break;
    }
  }
  AllProgressPanelOff();
}

void TView2DForm::RunComparatorOverlay(int indx, int NumProcess) {
  if (IPostProcOverlay* overlay = ComparatorPostProc()) overlay->RunPostProcMethod(indx, NumProcess);
}

namespace {

// Runs an envelope overlay with the run control of its frame (when that frame
// is the one shown) disabled meanwhile. The run processes messages: the frame
// may go in the meantime.
void RunEnvelopeOverlay(IPostProcOverlay* overlay, TPostProcKind kind, const std::unique_ptr<IPostProcFrame>& shown,
                        int shownKind, int indx, int NumProcess) {
  if (!overlay) return;
  IPostProcFrame* frame = shownKind == kind ? shown.get() : nullptr;
  struct TEnable {
    const std::unique_ptr<IPostProcFrame>& shown;
    IPostProcFrame* frame;
    ~TEnable() {
      if (frame && shown.get() == frame) frame->SetRunEnabled(true);
    }
  } enable{shown, frame};
  if (frame) frame->SetRunEnabled(false);
  overlay->RunPostProcMethod(indx, NumProcess);
}

}  // namespace

void TView2DForm::RunHilbertOverlay(int indx, int NumProcess) {
  RunEnvelopeOverlay(HilbertPostProc(), ppHilbert, PostProcCurFrame, PostProcCurFrameKind, indx, NumProcess);
}

void TView2DForm::RunFreqOverlay(int indx, int NumProcess) {
  RunEnvelopeOverlay(FreqHilbertPostProc(), ppFrequency, PostProcCurFrame, PostProcCurFrameKind, indx, NumProcess);
}

void TView2DForm::RestorePlainImage(int indx) {
  T2Dview* store = View2D_[static_cast<size_t>(indx)];
  TBitmap* display = Bmp_[static_cast<size_t>(indx)].get();
  if (!store || !display) return;
  // The working data the plain image is made of: it is made again from them
  // (the stored picture of the record is older than any chain run).
  if (WorkingValues(*store) > 0 && store->NumTraces() > 0) {
    PrepareBmp(indx);
    return;
  }
  // Not computed yet since opening: the record's picture is the plain image.
  const TBitmap* stored = store->Settings()->Bmp.get();
  if (PostProcBaseValid() && stored && stored->Width() > 0) {
    display->Assign(*stored);
    PalMaker1->SetPal(display);
  }
}

// ---- The list and the frames --------------------------------------------------------------

void TView2DForm::PostProcCheckListBoxClick(TObject* /*Sender*/) {
  PostProcCurFrame.reset();
  PostProcCurFrameKind = 0;
  IPostProcFactory* factory = PostProcFactory();
  const int item = PostProcCheckListBox->ItemIndex();
  if (!factory || item < ppComparator || item > ppFrequency || !PostProc_[static_cast<size_t>(item)]) return;
  const auto kind = static_cast<TPostProcKind>(item);
  if (kind == ppComparator) GetMinMaxLevelPostProcComparator();
  PostProcCurFrame = factory->CreateFrame(kind, *PostProc_[kind], *this, PostProcPropertyScrollBox);
  PostProcCurFrameKind = PostProcCurFrame ? kind : 0;
  DrawPostProcGodograph(kGodographWindow);
}

void TView2DForm::PostProcCheckListBoxClickCheck(TObject* Sender) {
  const std::shared_ptr<const bool> alive = WindowAlive;
  RunPostProcess(Sender);
  if (!*alive) return;
  DrawPostProcGodograph(kGodographWindowAfterCheck);
  PredProcCheckOn = isPostProcCheckOn();
}

void TView2DForm::chIntersectionPostBMPClick(TObject* Sender) {
  IntersectionPostBmp() = chIntersectionPostBMP->Checked();
  RunPostProcess(Sender);
}

void TView2DForm::DrawPostProcGodograph(int frequencyWindow) {
  IPostProcFactory* factory = PostProcFactory();
  IPostProcFrame* frame = PostProcCurFrame.get();
  if (!factory || !frame) return;
  IPostProcOverlay& overlay = *PostProc_[static_cast<size_t>(PostProcCurFrameKind)];
  const T2Dview* first = View2D_[0];
  const int32_t level = overlay.Maxlevel()[0];
  // A channel without data has no range (Maxlevel -1000000): no histogram.
  if (first && level > 0) {
    std::unique_ptr<TBitmap32>& picture = overlay.GodographBmp();
    switch (PostProcCurFrameKind) {
      case ppComparator:
        if (const int64_t n = WorkingValues(*first); n > 0)
          factory->DrawAmplitudeGodograph(kGodographWidth, kGodographHeight, first->dezoData.Data(), picture, level, n);
        break;
      case ppHilbert:
        if (const int32_t* buffer = overlay.SaveBuf(0))
          factory->DrawWindowRangeGodograph(kGodographWidth, kGodographHeight, buffer, picture, *first,
                                            kGodographWindow, level, overlay.SaveBufSize(0));
        break;
      case ppFrequency:
        if (const int32_t* buffer = overlay.SaveBuf(0))
          factory->DrawWindowContrastGodograph(kGodographWidth, kGodographHeight, buffer, picture, *first,
                                               frequencyWindow, level, overlay.SaveBufSize(0));
        break;
      default: break;
    }
    if (TImage* image = frame->GodographImage(); image && picture && !picture->Empty()) {
      picture->AssignTo(image->Picture());
      image->Invalidate();
    }
  }
  frame->UpdateParameters();
}
