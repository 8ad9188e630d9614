// The radargram window's Palettes page and simple page on a real palette
// library file: the preview, choosing, deleting and saving palettes, the
// recolouring (display bitmaps and online strips), and the simple Zoom,
// Stretch, Palettes and marker buttons.

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/button_group.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "radargram/palette_preview.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace view2d_palettes_test {

// traces x longTrace raw sums: a ramp over the amplitudes, stacking 1.
void Fill(T2Dview& store, int traces, int longTrace) {
  TSettingData& s = *store.Settings();
  s.RestoreLongTrace(longTrace);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  FillRawSums(store, traces, longTrace, [longTrace](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * longTrace + j) % 97) - 48;
  });
}

std::vector<uint8_t> Indices(TBitmap& bitmap) {
  std::vector<uint8_t> out;
  for (int y = 0; y < bitmap.Height(); ++y) out.insert(out.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
  return out;
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The three library palettes: the default grey, red to blue, green to white.
const std::vector<std::vector<TPalettePoint>> kPalettes = {
    {{0, 0x000000}, {256, 0xFFFFFF}},
    {{0, 0x0000FF}, {256, 0xFF0000}},
    {{0, 0x00FF00}, {128, 0x000000}, {256, 0xFFFFFF}},
};

class View2DPalettes : public ::testing::Test {
protected:
  void SetUp() override {
    library = ProgramFolder() + QStringLiteral("palset");
    env.shell.paletteLibrary = library;
    // The library as a palette control writes it, one palette after another.
    TPalMaker maker(nullptr);
    TFileStream file(library, fmCreate);
    for (const auto& points : kPalettes) {
      maker.ArrayOfPoints.clear();
      for (const TPalettePoint& p : points) maker.AddPoint(p.X, p.cl);
      records.push_back(file.Position());
      maker.SaveToStream(file);
    }
    records.push_back(file.Size());
  }
  TView2DForm* Window(int channels, int traces = 40, int longTrace = 20) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c) Fill(*window->GetView2DByIndx(c), traces, longTrace);
    window->Paint2D(0);
    env.shell.PalReadAll();
    return window;
  }
  QByteArray Record(const QByteArray& bytes, int i) const {
    return bytes.mid(static_cast<int>(records[static_cast<size_t>(i)]),
                     static_cast<int>(records[static_cast<size_t>(i) + 1] - records[static_cast<size_t>(i)]));
  }

  TRadargramEnv env;
  QString library;
  std::vector<int64_t> records;
};

// ---- Preview ---------------------------------------------------------------------------------

TEST_F(View2DPalettes, ThePreviewShowsTheSampleTraceAsIndicesAndAsALine) {
  const auto& trace = palette_preview::SampleTrace();
  EXPECT_EQ(trace[0], 60180);
  EXPECT_EQ(*std::min_element(trace.begin(), trace.end()), -249942);
  EXPECT_EQ(*std::max_element(trace.begin(), trace.end()), 244200);
  EXPECT_EQ(palette_preview::PreviewIndex(60180), 158);
  EXPECT_EQ(palette_preview::PreviewLineX(60180, 188), 117);
  // The lowest amplitude is exactly half a step below 0: to even, index 0.
  EXPECT_EQ(palette_preview::PreviewIndex(-249942), 0);

  TView2DForm* w = Window(1);
  TBitmap& column = *w->ColorImage->Picture();
  ASSERT_EQ(column.Height(), 242);
  ASSERT_EQ(column.Width(), 2);
  EXPECT_EQ(column.ScanLine(0)[0], 158);
  EXPECT_EQ(column.ScanLine(0)[1], 158);
  TBitmap& line = *w->SampleImage->Picture();
  ASSERT_EQ(line.Width(), 188);
  EXPECT_EQ(ColorToRGB(line.Canvas()->Pixels(117, 0)), TColor{0x36D900});
  EXPECT_NE(ColorToRGB(line.Canvas()->Pixels(130, 0)), TColor{0x36D900});
}

// ---- The library -----------------------------------------------------------------------------

TEST_F(View2DPalettes, EveryLibraryPaletteHasAButton) {
  TView2DForm* w = Window(1);
  EXPECT_EQ(env.shell.paletteOffsets, std::vector<int64_t>(records.begin(), records.end() - 1));
  ASSERT_EQ(w->PalButtonGroup->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(w->PalButtonGroup->ItemImageIndex(i), i);
}

TEST_F(View2DPalettes, ChoosingAPaletteRecoloursEveryDisplayBitmapWithoutChangingAnIndex) {
  TView2DForm* w = Window(2);
  std::vector<std::vector<uint8_t>> before;
  std::vector<std::vector<int32_t>> dezo;
  for (int c = 0; c < 2; ++c) {
    before.push_back(Indices(*w->Bmp_[static_cast<size_t>(c)]));
    const T2Dview& store = *w->GetView2DByIndx(c);
    dezo.emplace_back(store.dezoData.Data(), store.dezoData.Data() + store.SizeDat() / 4);
  }
  const TColor32 zoomBefore = w->BmpAfterZoom_[0]->Pixel(0, 0);
  const TColor previewBefore = ColorToRGB(w->ColorImage->Picture()->Canvas()->Pixels(0, 0));

  w->PalButtonGroup->Button(1)->Click();

  EXPECT_EQ(w->PalMaker1->PalettePoints(), kPalettes[1]);
  for (int c = 0; c < 2; ++c) {
    TBitmap& display = *w->Bmp_[static_cast<size_t>(c)];
    EXPECT_EQ(Indices(display), before[static_cast<size_t>(c)]) << c;
    // Index 0 is red, 255 all but blue now.
    const auto at = std::find(before[static_cast<size_t>(c)].begin(), before[static_cast<size_t>(c)].end(), 0);
    ASSERT_NE(at, before[static_cast<size_t>(c)].end());
    const int i = static_cast<int>(at - before[static_cast<size_t>(c)].begin());
    EXPECT_EQ(ColorToRGB(display.Canvas()->Pixels(i % display.Width(), i / display.Width())), TColor{0x0000FF}) << c;
    const T2Dview& store = *w->GetView2DByIndx(c);
    EXPECT_TRUE(std::equal(dezo[static_cast<size_t>(c)].begin(), dezo[static_cast<size_t>(c)].end(), store.dezoData.Data()));
  }
  EXPECT_NE(w->BmpAfterZoom_[0]->Pixel(0, 0), zoomBefore) << "the zoom bitmap is rebuilt";
  EXPECT_NE(ColorToRGB(w->ColorImage->Picture()->Canvas()->Pixels(0, 0)), previewBefore) << "the preview column too";
  EXPECT_EQ(w->ColorImage->Picture()->ScanLine(0)[0], 158);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(View2DPalettes, CtrlClickDeletesThePaletteAndKeepsTheOthersByteForByte) {
  TView2DForm* w = Window(1);
  w->PalButtonGroup->ButtonClick(2, {});
  const std::vector<TPalettePoint> inUse = w->PalMaker1->PalettePoints();
  const QByteArray before = FileBytes(library);

  w->PalButtonGroup->ButtonClick(1, TShiftState{ssCtrl});

  EXPECT_EQ(FileBytes(library), Record(before, 0) + Record(before, 2));
  EXPECT_EQ(w->PalMaker1->PalettePoints(), inUse);
  EXPECT_EQ(env.shell.paletteOffsets, (std::vector<int64_t>{0, records[1]}));
  EXPECT_EQ(w->PalButtonGroup->Count(), 2);
  EXPECT_EQ(w->PalButtonGroup->Cursor(), crCross);
  // Over the buttons the cursor tells whether a click deletes.
  w->PalButtonGroupMouseMove(w->PalButtonGroup, TShiftState{ssCtrl}, 3, 3);
  EXPECT_EQ(w->PalButtonGroup->Cursor(), 9);
  w->PalButtonGroupMouseMove(w->PalButtonGroup, TShiftState{}, 3, 3);
  EXPECT_EQ(w->PalButtonGroup->Cursor(), crDefault);
}

TEST_F(View2DPalettes, SavePaletteAppendsAtTheEndAndTheOffsetsGainItsPosition) {
  TView2DForm* w = Window(1);
  w->PalMaker1->ArrayOfPoints.clear();
  w->PalMaker1->AddPoint(0, 0x123456);
  w->PalMaker1->AddPoint(256, 0x654321);
  const QByteArray before = FileBytes(library);

  w->BitBtn3->Click();

  const QByteArray after = FileBytes(library);
  ASSERT_EQ(after.left(before.size()), before);
  TMemoryStream stream;
  w->PalMaker1->SaveToStream(stream);
  EXPECT_EQ(after.mid(before.size()), stream.Bytes());
  ASSERT_EQ(env.shell.paletteOffsets.size(), 4u);
  EXPECT_EQ(env.shell.paletteOffsets.back(), before.size());
  EXPECT_EQ(w->PalButtonGroup->Count(), 4);
}

TEST_F(View2DPalettes, WhileRecordingAPaletteChangeRecoloursTheOnlineStrips) {
  TView2DForm* w = Window(1);
  auto strip = std::make_unique<TBitmap>();
  strip->SetPixelFormat(pf8bit);
  strip->SetSize(4, 3);
  for (int y = 0; y < 3; ++y) std::fill(strip->ScanLine(y), strip->ScanLine(y) + 4, static_cast<uint8_t>(y * 100));
  w->OnRunBmpFull_[0] = std::move(strip);
  env.shell.radarStarted = true;

  w->PalButtonGroup->ButtonClick(1, {});

  TBitmap& full = *w->OnRunBmpFull_[0];
  EXPECT_EQ(full.ScanLine(1)[2], 100) << "indices stay";
  EXPECT_EQ(ColorToRGB(full.Canvas()->Pixels(0, 0)), TColor{0x0000FF});
  env.shell.radarStarted = false;
}

// ---- Bad input ----------------------------------------------------------------------------------

TEST_F(View2DPalettes, AnIndexOutsideTheLibraryChangesNothingAndSaysSo) {
  TView2DForm* w = Window(1);
  const QByteArray before = FileBytes(library);
  const std::vector<TPalettePoint> inUse = w->PalMaker1->PalettePoints();
  for (const TShiftState shift : {TShiftState{}, TShiftState{ssCtrl}}) {
    TDialogScript::QueueAnswer(mrOk);
    w->PalButtonGroupButtonClicked(3, shift);
    ASSERT_FALSE(TDialogScript::Shown().empty());
    EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("There is no palette 3 in the palette library."));
  }
  EXPECT_EQ(FileBytes(library), before);
  EXPECT_EQ(w->PalMaker1->PalettePoints(), inUse);
}

TEST_F(View2DPalettes, ALibraryThatDoesNotReadChangesNothingAndSaysSo) {
  TView2DForm* w = Window(1);
  // Palette 2 claims more points than the file holds.
  QByteArray bytes = FileBytes(library);
  bytes[static_cast<int>(records[2])] = static_cast<char>(0x70);
  {
    QFile file(library);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  const std::vector<TPalettePoint> inUse = w->PalMaker1->PalettePoints();
  TDialogScript::QueueAnswer(mrOk);
  w->PalButtonGroupButtonClicked(2, {});
  EXPECT_EQ(w->PalMaker1->PalettePoints(), inUse);
  TDialogScript::QueueAnswer(mrOk);
  w->PalButtonGroupButtonClicked(0, TShiftState{ssCtrl});
  EXPECT_EQ(FileBytes(library), bytes);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 2u);
  for (const TShownDialog& dialog : shown) EXPECT_TRUE(dialog.Text.contains(QStringLiteral("could not be read"))) << dialog.Text.toStdString();
}

// ---- Simple mode ---------------------------------------------------------------------------------

class View2DSimple : public View2DPalettes {
protected:
  void SetUp() override {
    View2DPalettes::SetUp();
    env.shell.simpleMode = true;
  }
};

TEST_F(View2DSimple, ZoomStepsThroughHalfThirdTheFitAndBack) {
  TView2DForm* w = Window(1, 40, 500);
  ASSERT_EQ(w->ZoomFactor, 1000);
  std::vector<int> factors;
  for (int i = 0; i < 4; ++i) {
    w->SimpleZoomSpeedButton->Click();
    factors.push_back(w->ZoomFactor);
  }
  EXPECT_EQ(factors[0], 500);
  EXPECT_EQ(factors[1], 333);
  EXPECT_NE(factors[2], 333);
  EXPECT_NE(factors[2], 1000);
  EXPECT_EQ(factors[3], 1000);
  EXPECT_EQ(w->SimpleZoomLabel->Caption(), QStringLiteral("100%"));
}

TEST_F(View2DSimple, StretchCyclesAndATooLongProfileFallsBackWithTheMessage) {
  TView2DForm* w = Window(1);
  std::vector<QString> labels;
  for (int i = 0; i < 3; ++i) {
    w->SimpleStretchSpeedButton->Click();
    labels.push_back(w->SimpleStretchLabel->Caption());
  }
  EXPECT_EQ(labels, (std::vector<QString>{QStringLiteral("1:3"), QStringLiteral("1:5"), QStringLiteral("1:1")}));
  EXPECT_EQ(w->Proportional(), PropInSamples11);
  EXPECT_TRUE(TDialogScript::Shown().empty());

  TView2DForm* longOne = Window(1, 12000, 8);
  TDialogScript::QueueAnswer(mrOk);
  longOne->SimpleStretchSpeedButton->Click();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("The GPR profile is too large to display in this mode."));
  EXPECT_EQ(longOne->Proportional(), PropInSamples11);
  EXPECT_EQ(longOne->SimpleStretchLabel->Caption(), QStringLiteral("1:1"));
  EXPECT_EQ(longOne->SimpleIndexStretch, 1);
}

TEST_F(View2DSimple, PalettesWithOnePaletteStaysAtTheFirst) {
  // A library of one palette: the first record alone.
  const QByteArray first = FileBytes(library).left(static_cast<int>(records[1]));
  {
    QFile file(library);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(first);
  }
  TView2DForm* w = Window(1);
  ASSERT_EQ(w->PalButtonGroup->Count(), 1);
  for (int i = 0; i < 2; ++i) {
    w->SimplePalettesSpeedButton->Click();
    EXPECT_EQ(w->SimpleIndexPal, 0);
    EXPECT_EQ(w->SimplePaletteLabel->Caption(), QStringLiteral("0"));
  }
  EXPECT_EQ(w->PalMaker1->PalettePoints(), kPalettes[0]);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(View2DSimple, AMarkerNearThePositionIsDeletedAndAnotherAddedWithoutRecording) {
  TView2DForm* w = Window(1);
  T2Dview& master = *w->GetView2DByIndx(0);
  TSurfeMarkersData& marks = *master.Settings()->SurfaceMarkersArray;
  master.SetPosTraces(10);
  marks.Add(0, 11, QStringLiteral("near"));
  marks.Add(0, 20, QStringLiteral("far"));

  EXPECT_TRUE(w->UpdateSimpleMarkerButtons(false));
  EXPECT_TRUE(w->SimpleDelSurfMarkerSpeedButton->Visible());
  EXPECT_FALSE(w->SimpleSurfMarkerSpeedButton->Visible());

  w->SimpleDelSurfMarkerSpeedButton->Click();
  ASSERT_EQ(marks.Count(), 1);
  EXPECT_EQ(marks.GetSurfaceMarker(0)->GetComment(), QStringLiteral("far"));
  EXPECT_TRUE(w->SimpleSurfMarkerSpeedButton->Visible());
  EXPECT_FALSE(w->SimpleDelSurfMarkerSpeedButton->Visible());

  w->SimpleSurfMarkerSpeedButton->Click();
  ASSERT_EQ(marks.Count(), 2);
  EXPECT_EQ(marks.GetSurfaceMarker(0)->GetNumTrace(), 10);
  EXPECT_EQ(marks.GetSurfaceMarker(0)->GetComment(), QStringLiteral("S1"));
  EXPECT_FALSE(w->ReadyTopo);
}

TEST_F(View2DSimple, TheOnlinePositionShowsTheButtonOfItsMarker) {
  TView2DForm* w = Window(1);
  T2Dview& master = *w->GetView2DByIndx(0);
  master.Settings()->SurfaceMarkersArray->Add(0, 20, QStringLiteral("S0"));
  master.SetPosTraces(19);
  w->RefreshPositionSeries(0, 0, true);
  EXPECT_TRUE(w->SimpleDelSurfMarkerSpeedButton->Visible());
  master.SetPosTraces(22);
  w->RefreshPositionSeries(0, 0, true);
  EXPECT_FALSE(w->SimpleDelSurfMarkerSpeedButton->Visible());
  EXPECT_TRUE(w->SimpleSurfMarkerSpeedButton->Visible());
  EXPECT_EQ(master.Settings()->SurfaceMarkersArray->Count(), 1) << "the painter deletes nothing";
}

TEST_F(View2DSimple, WhileRecordingAClickAsksTheOnlinePainterForTheMarker) {
  TView2DForm* w = Window(1);
  T2Dview& master = *w->GetView2DByIndx(0);
  master.SetPosTraces(10);
  env.shell.radarStarted = true;
  w->SimpleSurfMarkerSpeedButton->Click();
  EXPECT_TRUE(w->ReadyTopo);
  EXPECT_EQ(master.Settings()->SurfaceMarkersArray->Count(), 0);
  env.shell.radarStarted = false;
}

}  // namespace view2d_palettes_test
