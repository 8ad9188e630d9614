// The radargram window's Palettes page (the palette control, the preview, the
// library buttons) and its simple page (palettes, zoom, stretch, surface
// markers). The preview is palette_preview.h, the simple steps simple_mode.h,
// the library file profiledata/palette_stream_library.h.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/button_group.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/palette_stream_library.h"
#include "profiledata/setting_data.h"
#include "radargram/palette_preview.h"
#include "radargram/simple_mode.h"

RESOURCESTRING(SSavePalette, "Save Palette");
RESOURCESTRING(SSavePaletteHint, "Save the current palette in the Palettes library");
RESOURCESTRING(SSimplePalettes, "Palettes");
RESOURCESTRING(SSimpleZoom, "Zoom");
RESOURCESTRING(SSimpleStretch, "Stretch");
RESOURCESTRING(SPaletteNotInLibrary, "There is no palette %d in the palette library.");
RESOURCESTRING(SPaletteLibraryNotRead, "The palette library \"%s\" could not be read; nothing was changed.");
RESOURCESTRING(SPaletteLibraryNotWritten, "The palette library \"%s\" could not be written; it stays as it was.");

namespace {

// The cursor shown over the palette buttons while Ctrl is held (deleting).
constexpr TCursor kDeletePaletteCursor = 9;

QString PaletteLibraryPath() { return ProgramFolder() + QStringLiteral("palset"); }

void ReportLibrary(TResourceString text, int number = -1) {
  const QString message = number >= 0 ? Format(LoadResString(text), {number})
                                      : Format(LoadResString(text), {PaletteLibraryPath()});
  MessageDlg(message, mtError, {mbOK}, 0);
}

TLabel* NewSimpleLabel(TComponent* owner, TWinControl* parent, const char* name, int left, int top) {
  auto* label = new TLabel(owner);
  label->SetName(QString::fromLatin1(name));
  label->SetParent(parent);
  label->SetBounds(left, top + 4, 60, 16);
  return label;
}

}  // namespace

// ---- Controls ---------------------------------------------------------------------------------

void TView2DForm::BuildPaletteControls() {
  PalMaker1->OnPaint = [this](TObject* sender) { PalMaker1Paint(sender); };
  PalMaker1->OnChange = [this](TObject* sender) { PalMaker1Change(sender); };
  PalMaker2 = new TPalMaker(this);
  PalMaker2->SetName(QStringLiteral("PalMaker2"));

  SampleImage = new TImage(this);
  SampleImage->SetName(QStringLiteral("SampleImage"));
  SampleImage->SetParent(PalTabSheet);
  SampleImage->SetBounds(4, 59, 188, 242);
  ColorImage = new TImage(this);
  ColorImage->SetName(QStringLiteral("ColorImage"));
  ColorImage->SetParent(PalTabSheet);
  ColorImage->SetBounds(197, 59, 22, 242);
  ColorImage->SetStretch(true);
  BitBtn3 = new TBitBtn(this);
  BitBtn3->SetName(QStringLiteral("BitBtn3"));
  BitBtn3->SetParent(PalTabSheet);
  BitBtn3->SetBounds(70, 302, 100, 26);
  BitBtn3->SetCaption(LoadResString(SSavePalette));
  BitBtn3->SetHint(LoadResString(SSavePaletteHint));
  BitBtn3->OnClick = [this](TObject* sender) { BitBtn3Click(sender); };
  PalButtonGroup = new TButtonGroup(this);
  PalButtonGroup->SetName(QStringLiteral("PalButtonGroup"));
  PalButtonGroup->SetParent(PalTabSheet);
  PalButtonGroup->SetBounds(4, 346, 200, 400);
  PalButtonGroup->SetButtonWidth(190);
  PalButtonGroup->OnButtonClicked = [this](int index, TShiftState shift) { PalButtonGroupButtonClicked(index, shift); };
  PalButtonGroup->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) {
    PalButtonGroupMouseMove(sender, shift, x, y);
  };

  // The simple page: three of its large buttons step through palettes, zoom
  // and stretch, each with its value beside it.
  const struct {
    TSpeedButton* button;
    TResourceString caption;
    TLabel** label;
    const char* name;
  } stepButtons[] = {
      {SimplePalettesSpeedButton, SSimplePalettes, &SimplePaletteLabel, "SimplePaletteLabel"},
      {SimpleZoomSpeedButton, SSimpleZoom, &SimpleZoomLabel, "SimpleZoomLabel"},
      {SimpleStretchSpeedButton, SSimpleStretch, &SimpleStretchLabel, "SimpleStretchLabel"},
  };
  for (const auto& step : stepButtons) {
    step.button->SetCaption(LoadResString(step.caption));
    step.button->SetWidth(150);
    *step.label = NewSimpleLabel(this, SimpleTabSheet, step.name, 164, step.button->Top());
  }
  MultGainLabel = NewSimpleLabel(this, SimpleTabSheet, "MultGainLabel", 164, SimpleGainSpeedButton->Top());
  SimplePaletteLabel->SetCaption(QStringLiteral("0"));
  MultGainLabel->SetCaption(QStringLiteral("0"));
  SimplePaletteImage = new TImage(this);
  SimplePaletteImage->SetName(QStringLiteral("SimplePaletteImage"));
  SimplePaletteImage->SetParent(SimpleTabSheet);
  SimplePaletteImage->SetBounds(8, SimpleSpeedPanel->Top() + SimpleSpeedPanel->Height() + 8, 200, 16);
  SimplePaletteImage->SetStretch(true);
  SimplePalettesSpeedButton->OnClick = [this](TObject* sender) { SimplePalettesSpeedButtonClick(sender); };
  SimpleZoomSpeedButton->OnClick = [this](TObject* sender) { SimpleZoomSpeedButtonClick(sender); };
  SimpleStretchSpeedButton->OnClick = [this](TObject* sender) { SimpleStretchSpeedButtonClick(sender); };
  for (TSpeedButton* button : {SimpleSurfMarkerSpeedButton, SimpleDelSurfMarkerSpeedButton})
    button->OnClick = [this](TObject* sender) { SimpleSurfMarkerSpeedButtonClick(sender); };

  DrawPalettePreview();
}

void TView2DForm::DrawPalettePreview() {
  TBitmap& column = *ColorImage->Picture();
  palette_preview::DrawColorColumn(column, SampleImage->Height());
  PalMaker1->SetPal(&column);
  TBitmap& line = *SampleImage->Picture();
  line.SetPixelFormat(pf24bit);
  line.SetSize(SampleImage->Width(), SampleImage->Height());
  palette_preview::DrawSampleLine(*line.Canvas(), line.Width(), line.Height());
  SampleImage->Invalidate();
  ColorImage->Invalidate();
}

// ---- The library ----------------------------------------------------------------------------

void TView2DForm::PalReadAll() {
  PalButtonGroup->ClearItems();
  if (!shell_.Palettes) return;
  PalButtonGroup->SetImages(shell_.Palettes->PalettePreviews());
  const size_t count = shell_.Palettes->PaletteOffsets().size();
  for (size_t i = 0; i < count; ++i) PalButtonGroup->AddItem(static_cast<int>(i));
  PalButtonGroup->Invalidate();
}

void TView2DForm::PalButtonGroupButtonClicked(int Index, TShiftState Shift) {
  const std::vector<int64_t> offsets = shell_.Palettes ? shell_.Palettes->PaletteOffsets() : std::vector<int64_t>{};
  const bool inLibrary = Index >= 0 && Index < static_cast<int>(offsets.size());
  if (Shift.Contains(ssCtrl)) {
    PalButtonGroup->SetCursor(crCross);
    if (!inLibrary) return ReportLibrary(SPaletteNotInLibrary, Index);
    switch (RemovePaletteFromLibrary(PaletteLibraryPath(), Index)) {
      case prRemoved: shell_.Palettes->PalReadAll(); break;
      case prNoSuchPalette: ReportLibrary(SPaletteNotInLibrary, Index); break;
      case prUnreadable: ReportLibrary(SPaletteLibraryNotRead); break;
      case prWriteFailed: ReportLibrary(SPaletteLibraryNotWritten); break;
    }
    return;
  }
  PalButtonGroup->SetCursor(crDefault);
  if (!inLibrary) return ReportLibrary(SPaletteNotInLibrary, Index);
  try {
    TFileStream file(PaletteLibraryPath(), fmOpenRead | fmShareDenyWrite);
    file.Seek(offsets[static_cast<size_t>(Index)], soBeginning);
    // A palette that does not read leaves the control as it was; a good one
    // redraws it, which recolours the window (PalMaker1Paint).
    PalMaker1->LoadFromStream(file);
  } catch (const EStreamError&) {
    return ReportLibrary(SPaletteLibraryNotRead);
  }
  SimplePaletteImage->Picture()->Assign(*PalMaker1->GetBmp());
  SimplePaletteImage->Invalidate();
  SaveDefault();
  PaintAllScreen();
}

void TView2DForm::PalButtonGroupMouseMove(TObject* /*Sender*/, TShiftState Shift, int /*X*/, int /*Y*/) {
  PalButtonGroup->SetCursor(Shift.Contains(ssCtrl) ? kDeletePaletteCursor : crDefault);
}

bool TView2DForm::SavePaletteToLibrary() {
  try {
    AppendPaletteToLibrary(PaletteLibraryPath(), PalMaker1->PalettePoints());
  } catch (const EStreamError&) {
    ReportLibrary(SPaletteLibraryNotWritten);
    return false;
  }
  if (shell_.Palettes) shell_.Palettes->PalReadAll();
  SaveDefault();
  return true;
}

void TView2DForm::BitBtn3Click(TObject* /*Sender*/) { SavePaletteToLibrary(); }

// ---- Applying the palette ---------------------------------------------------------------------

void TView2DForm::PalMaker1Paint(TObject* /*Sender*/) {
  const IRadargramLayoutShell& layout = *shell_.Layout;
  if (layout.isActivatedClosed() || layout.isCloseChild() || layout.StartResize()) return;
  // Only the colour tables change: an 8-bit picture keeps its indices. A
  // display bitmap holding the composed overlays (32 bits) has no indices to
  // recolour and keeps its pixels.
  const auto recolour = [this](TBitmap* bitmap) {
    if (bitmap && !bitmap->Empty() && bitmap->PixelFormat() == pf8bit) PalMaker1->SetPal(bitmap);
  };
  for (int i = 0; i < kChannelSlots; ++i) {
    TBitmap* display = Bmp_[static_cast<size_t>(i)].get();
    if (!display || display->Empty()) continue;
    recolour(display);
    ClearBackImage(i);
    MakeZoomBmp(i);
  }
  if (shell_.Recording->RadarStarted()) {
    for (int i = 0; i < kChannelSlots; ++i) {
      TBitmap* strip = OnRunBmpFull_[static_cast<size_t>(i)].get();
      if (!strip || strip->Empty()) continue;
      recolour(strip);
      recolour(OnRunBmp_[static_cast<size_t>(i)].get());
      recolour(Bmp_[static_cast<size_t>(i)].get());
      // The online painter draws the channel again.
      ClearBackImage(i);
    }
  }
  if (ColorImage) {
    recolour(ColorImage->Picture());
    ColorImage->Invalidate();
  }
}

void TView2DForm::PalMaker1Change(TObject* /*Sender*/) { SaveDefault(); }

// ---- Simple page ----------------------------------------------------------------------------------

void TView2DForm::SimplePalettesSpeedButtonClick(TObject* /*Sender*/) {
  const int count = shell_.Palettes ? static_cast<int>(shell_.Palettes->PaletteOffsets().size()) : 0;
  SimpleIndexPal = simple_mode::NextPaletteIndex(SimpleIndexPal, count);
  SimplePaletteLabel->SetCaption(QString::number(SimpleIndexPal));
  // An empty library has nothing to choose.
  if (count > 0) PalButtonGroupButtonClicked(SimpleIndexPal, KeyboardShiftState());
}

void TView2DForm::SimpleZoomSpeedButtonClick(TObject* /*Sender*/) {
  const simple_mode::TSimpleZoomStep step = simple_mode::NextSimpleZoom(ZoomFactor);
  if (step.FitHeight)
    ZoomToWH(ZoomToHeight);
  else
    ZoomFactor = step.Factor;
  ApplySimpleStretch();
  Zoom();
  ShowInfo();
  FormResize(nullptr);
  SetScrollBars();
}

void TView2DForm::SimpleStretchSpeedButtonClick(TObject* /*Sender*/) {
  SimpleIndexStretch = simple_mode::NextStretchIndex(SimpleIndexStretch);
  ApplySimpleStretch();
  ApplyProportional(true);
}

void TView2DForm::ApplySimpleStretch() {
  if (!shell_.Layout->SimpleMode()) return;
  proportional_ = simple_mode::StretchMode(SimpleIndexStretch);
  SimpleZoomLabel->SetCaption(simple_mode::ZoomLabel(ZoomFactor));
  ApplyProportional(false);
  // A profile too long for the stretch falls back to 1:1 (with the message):
  // the index and its label follow what was applied.
  SimpleIndexStretch = simple_mode::StretchIndexOf(proportional_);
  SimpleStretchLabel->SetCaption(simple_mode::StretchLabel(SimpleIndexStretch));
}

bool TView2DForm::UpdateSimpleMarkerButtons(bool Delete) {
  T2Dview* master = GetView2DByIndx(MasterChannal);
  TSurfeMarkersData* marks = master ? master->Settings()->SurfaceMarkersArray : nullptr;
  const int found = marks ? simple_mode::FindNearSurfaceMarker(*marks, master->PosTraces()) : -1;
  const bool removed = found >= 0 && Delete;
  if (removed) marks->DeleteMark(found);
  const bool showDelete = found >= 0 && !removed;
  SimpleSurfMarkerSpeedButton->SetVisible(!showDelete);
  SimpleDelSurfMarkerSpeedButton->SetVisible(showDelete);
  return found >= 0;
}

void TView2DForm::SimpleSurfMarkerSpeedButtonClick(TObject* /*Sender*/) {
  const bool found = UpdateSimpleMarkerButtons(true);
  const bool recording = shell_.Recording->RadarStarted();
  if (recording && !found) {
    // The online painter adds the marker at the next trace it paints.
    ReadyTopo = true;
    return;
  }
  T2Dview* master = GetView2DByIndx(MasterChannal);
  TSurfeMarkersData* marks = master ? master->Settings()->SurfaceMarkersArray : nullptr;
  if (!marks) return;
  if (!found) {
    const int64_t position = std::clamp<int64_t>(master->PosTraces(), INT32_MIN, INT32_MAX);
    marks->Add(0, static_cast<int32_t>(position), QStringLiteral("S") + QString::number(marks->Count()));
  }
  marks->Sort();
  GPSarrayToMetres();
  PrepareObjectsTreeAll();
  PaintToScreen(MasterChannal);
}
