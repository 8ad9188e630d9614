// The radargram window's property list with a fake main window: the caption
// that follows the file kind, the rows a GPS master hides, the offset and speed
// edits, the comment memo, the refresh while recording and the owner-drawn
// rows; the names of new and exported files and the packing of a recording.

#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/memo.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/value_list_editor.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <limits>

namespace view2d_properties_test {

QStringList Keys(const TView2DForm& window) {
  QStringList keys;
  for (int row = 1; row < window.ValueListEditor->RowCount(); ++row) keys << window.ValueListEditor->Keys(row);
  return keys;
}

QString Value(const TView2DForm& window, const char* key) { return window.ValueListEditor->Values(key); }

void FinishEdit(TDigitEdit* edit, long double value) {
  edit->SetValueReal(value);
  edit->OnChangeFinish(edit);
}

class View2DProperties : public ::testing::Test {
protected:
  void TearDown() override { TDialogScript::Reset(); }
  TRadargramEnv env;
};

// ---- Property list -----------------------------------------------------------------------

TEST_F(View2DProperties, TheCaptionFollowsTheFileKindUnlessTheChannelWasOpened) {
  TView2DForm* window = env.Create(2);
  T2Dview* first = window->GetView2DByIndx(0);
  window->SetCaption("data/GPR_7.dezo");
  env.shell.oneChannel = false;  // the main window counts two channels
  window->FilValueList(0);
  EXPECT_EQ(window->Caption(), "data/GPR_7.frn");

  env.shell.oneChannel = true;
  window->FilValueList(0);
  EXPECT_EQ(window->Caption(), "data/GPR_7.dezo");
  window->TypeGPRDevice = tdBox01;  // a multi-channel box
  window->FilValueList(0);
  EXPECT_EQ(window->Caption(), "data/GPR_7.frn");

  window->TypeGPRDevice = tdUnknown;
  first->WasOpen = true;
  window->FilValueList(0);
  EXPECT_EQ(window->Caption(), "data/GPR_7.frn") << "a file's own name stays";
  EXPECT_FALSE(window->GetLocationDataButton->Enabled());
  window->Free();
}

TEST_F(View2DProperties, AMasterReportingGpsDropsOnlyTheDeviceOffsetRows) {
  TControlRadar set;
  TFakeRadar master;
  set.AddRadarToChanal(0, &master);
  env.shell.controlRadar = &set;
  TView2DForm* window = env.Create(1);
  window->FilValueList(0);
  const QStringList all = Keys(*window);
  EXPECT_EQ(all.count("Shift by Course"), 2);
  EXPECT_TRUE(window->GetLocationDataButton->Enabled()) << "a radar and no file";

  master.SetGPSstate(gpsPos);
  window->FilValueList(0);
  const QStringList keys = Keys(*window);
  EXPECT_EQ(keys.mid(0, 3), (QStringList{"GPR Model", "s/n", " "}));
  EXPECT_EQ(keys.mid(keys.size() - 4), (QStringList{"Shift by Course", "Shift Aside", "Shift by Height", "Angle"}));
  EXPECT_EQ(keys.size(), all.size() - 3);
  window->Free();
  env.shell.controlRadar = nullptr;
  set.RadarNil();
}

TEST_F(View2DProperties, TheRowsShowTheChannelsTriggerModeDeviceAndWindow) {
  TView2DForm* window = env.Create(1);
  TSettingData& settings = *window->GetView2DByIndx(0)->Settings();
  const std::pair<TRunMode, const char*> modes[] = {{rmStep, "Single"}, {rmCont, "Int"}, {rmWheel, "Ext"}};
  for (const auto& [mode, text] : modes) {
    settings.SetRunMode(mode);
    window->FilValueList(0);
    EXPECT_EQ(Value(*window, "Trigger Mode"), text);
  }
  settings.SetTopoType(ttGPS);
  settings.RestoreSpanWidth(12.3456789);
  window->FilValueList(0);
  EXPECT_EQ(Value(*window, "Topo Device"), "GPS");
  int row = 0;
  EXPECT_FALSE(window->ValueListEditor->FindRow("Step of Measuring", row));
  EXPECT_EQ(Value(*window, "Window Width"), "12.346, ns");
  EXPECT_EQ(window->GPSValueListEditor->Strings(),
            (QStringList{"Latitude=0.00, m", "Longitude=0.00, m", "Quality Indicator=not available", "Satellites=0",
                         "Precision=0"}));
  window->Free();
}

TEST_F(View2DProperties, AFillShowsTheFlipTheSpeedAndTheOffsetsAndBoldensTheMasterAxes) {
  TView2DForm* window = env.Create(2);
  window->MasterChannal = 1;
  window->NumActiveView = 0;
  TSettingData& zero = *window->ChannelSettings(0);
  TSettingData& one = *window->ChannelSettings(1);
  one.SetWasFlip(true);
  zero.SetSpeedLight(150);
  one.SetSpeedLight(90);
  zero.SetAngle(-1250000);
  one.SetAngle(700000);
  window->SetDeviceOffsets(10000, 20000, -30000);
  window->FilValueList(1);
  EXPECT_TRUE(window->FlipSpeedButton->Down());
  EXPECT_EQ(window->SpeedDigitEdit->ValueInt(), 150) << "channel 0's speed";
  EXPECT_EQ(window->SimpleSpeedDigitEdit->ValueInt(), 150);
  EXPECT_EQ(window->AngleDigitEdit->ValueReal(), -12.5L) << "the active channel's angle";
  EXPECT_NEAR(static_cast<double>(window->XOffsetDigitEdit->ValueReal()), 0.1, 1e-9);
  EXPECT_NEAR(static_cast<double>(window->YOffsetDigitEdit->ValueReal()), 0.2, 1e-9);
  EXPECT_NEAR(static_cast<double>(window->ZOffsetDigitEdit->ValueReal()), -0.3, 1e-9);
  TChart* master = window->GetChartByIndx(1);
  EXPECT_TRUE(master->LeftAxis()->LabelsFont()->Style().Contains(fsBold));
  EXPECT_TRUE(master->RightAxis()->LabelsFont()->Style().Contains(fsBold));
  one.SetWasFlip(false);
  window->FilValueList(1);
  EXPECT_FALSE(window->FlipSpeedButton->Down());
  window->Free();
}

TEST_F(View2DProperties, FinishingTheYEditRefillsTheListAndTheXEditDoesNot) {
  TView2DForm* window = env.Create(1);
  window->FilValueList(0);
  FinishEdit(window->XOffsetDigitEdit, 1.5L);
  EXPECT_EQ(window->DeviceX(), 150000);
  EXPECT_EQ(Value(*window, "Shift by Course"), "0.00, m") << "not refilled";

  FinishEdit(window->YOffsetDigitEdit, 2.5L);
  EXPECT_EQ(window->DeviceY(), 250000);
  EXPECT_EQ(Value(*window, "Shift Aside"), "2.50, m");
  EXPECT_EQ(Value(*window, "Shift by Course"), "1.50, m") << "refilled with both";
  FinishEdit(window->YOffsetDigitEdit, 0.000004L);
  EXPECT_EQ(window->DeviceY(), 0);
  window->Free();
}

// Showing another channel's comment must not write it into the active channel.
TEST_F(View2DProperties, TheMemoWritesOnlyWhatIsTypedIntoTheActiveChannel) {
  TView2DForm* window = env.Create(2);
  TSettingData& zero = *window->GetView2DByIndx(0)->Settings();
  TSettingData& one = *window->GetView2DByIndx(1)->Settings();
  zero.SetComments("zero");
  one.SetComments("one");
  zero.SetNeedForSave(false);
  window->NumActiveView = 0;
  window->FilValueList(1);
  EXPECT_EQ(window->MemoComments->Text(), "one");
  EXPECT_EQ(zero.GetComments(), "zero");
  EXPECT_FALSE(zero.GetNeedForSave());

  window->MemoComments->SetText("typed");
  EXPECT_EQ(zero.GetComments(), "typed");
  EXPECT_EQ(one.GetComments(), "one");
  window->NumActiveView = 7;  // no valid active channel
  window->MemoComments->SetText("lost");
  EXPECT_EQ(zero.GetComments(), "typed");
  window->Free();
}

TEST_F(View2DProperties, TheSpeedEditsSetEveryChannelAndTheWindowDepth) {
  TView2DForm* window = env.Create(3);
  window->FilValueList(0);
  const QString defaults = ProgramFolder() + "bstt";
  QFile::remove(defaults);
  FinishEdit(window->SpeedDigitEdit, 120);
  EXPECT_TRUE(FileExists(defaults)) << "the defaults are saved";
  for (int i = 0; i < kChannelSlots; ++i) EXPECT_EQ(window->ChannelSettings(i)->GetSpeedLight(), 120) << i;
  EXPECT_EQ(Value(*window, "Window Depth"), window->ChannelSettings(0)->GetSpanDepth() + ", m");
  EXPECT_EQ(window->SimpleSpeedDigitEdit->ValueInt(), 120) << "the list shows channel 0's speed in both";

  window->LeftPageControl->SetActivePage(window->SimpleTabSheet);
  ASSERT_EQ(window->LeftPageControl->ActivePage(), window->SimpleTabSheet);
  FinishEdit(window->SimpleSpeedDigitEdit, 80);
  EXPECT_EQ(window->SpeedDigitEdit->ValueInt(), 80);
  for (int i = 0; i < kChannelSlots; ++i) EXPECT_EQ(window->ChannelSettings(i)->GetSpeedLight(), 80) << i;
  window->Free();
}

TEST_F(View2DProperties, WhileRecordingOnlyTheChangingValuesAreRefreshed) {
  TView2DForm* window = env.Create(1);
  T2Dview* store = window->GetView2DByIndx(0);
  window->FilValueList(0);
  const int rows = window->ValueListEditor->RowCount();
  const std::vector<int32_t> samples(static_cast<size_t>(store->Settings()->GetLongTrace()), 1);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(store->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {}));
  window->NumActiveView = -1;  // taken as channel 0
  window->EditValueList();
  EXPECT_EQ(Value(*window, "Trace Numbers"), "3");
  EXPECT_EQ(window->ValueListEditor->RowCount(), rows) << "no row for the wheel's length";
  window->Free();
}

TEST_F(View2DProperties, TheTitleAndChannelModelRowsAreDrawnOnAFilledBackground) {
  TView2DForm* window = env.Create(1);
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 200);
  auto* list = new TValueListEditor(form);
  list->SetParent(form);
  list->SetBounds(0, 0, 240, 120);
  list->SetColWidths(0, 120);
  list->SetColWidths(1, 100);
  list->InsertRow("Samples", "512", true);
  list->InsertRow("Channel Model", "Unit02", true);
  list->OnDrawCell = [window](TObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    window->ValueListEditorDrawCell(sender, col, row, rect, state);
  };
  form->Show();
  Application->ProcessMessages();
  const TRect model = list->CellRect(1, 2);
  const TRect samples = list->CellRect(1, 1);
  EXPECT_EQ(ShownColor(*list, model.Right - 2, model.Bottom - 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(ShownColor(*list, samples.Right - 2, samples.Bottom - 2), ColorToRGB(clWindow));
  form->Free();
  window->Free();
}

// ---- Names ---------------------------------------------------------------------------------

TEST_F(View2DProperties, ANewRecordingIsNamedFromTheFolderPrefixAndCounter) {
  env.shell.lastFolder = "data/";
  env.shell.prefix = "GPR_";
  env.shell.count = 7;
  TView2DForm* window = env.Create(2);
  window->CreateNewFileName();
  for (int i = 0; i < kChannelSlots; ++i) EXPECT_EQ(window->ChannelSettings(i)->GetFileName(), "data/GPR_7.dezo") << i;
  EXPECT_EQ(env.shell.lastFile, "GPR_7.dezo");
  window->Free();
}

TEST_F(View2DProperties, TheCaptionEndsInFrnForSeveralShownChannelsOrAMultiChannelBox) {
  TView2DForm* window = env.Create(1);
  EXPECT_EQ(window->Caption(), env.acquisition.lastFolder + "Prof7.dezo") << "set at creation";
  window->ChannelSettings(0)->SetFileName("data/GPR_7.dezo");
  const struct {
    int visible;
    TTypeGPRDevice box;
    const char* caption;
  } cases[] = {{2, tdUnknown, "data/GPR_7.frn"}, {1, tdUnknown, "data/GPR_7.dezo"}, {1, tdBox01, "data/GPR_7.frn"},
               {1, tdBox10, "data/GPR_7.dezo"}};
  for (const auto& c : cases) {
    window->CountChannalVisible = c.visible;
    window->TypeGPRDevice = c.box;
    window->GetCaptionFromView2D_0();
    EXPECT_EQ(window->Caption(), c.caption) << c.visible << " " << int{c.box};
  }
  window->Free();
}

TEST_F(View2DProperties, AnExportAsksBeforeReplacingTheFirstExistingChannelFile) {
  const QString folder = env.dir.path() + "/out/";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString target = folder + "a.bmp";
  TView2DForm* window = env.Create(2);
  window->CountChannalView = 2;
  EXPECT_TRUE(window->isPresentFileIndex(target));
  EXPECT_TRUE(TDialogScript::Shown().empty());

  QFile existing(folder + "a_1.bmp");
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  TDialogScript::QueueAnswer(mrNo);
  EXPECT_FALSE(window->isPresentFileIndex(target));
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown().back().Text,
            "File " + folder + "a_1.bmp already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(TDialogScript::Shown().back().Buttons, mbYesNo);
  TDialogScript::QueueAnswer(mrYes);
  EXPECT_TRUE(window->isPresentFileIndex(target));

  window->NumChartSizeToWindow = 0;  // channel 0 alone writes only a_0.bmp
  EXPECT_TRUE(window->isPresentFileIndex(target));
  EXPECT_EQ(TDialogScript::Shown().size(), 2u);
  window->Free();
}

// ---- Packing -------------------------------------------------------------------------------

TEST_F(View2DProperties, PackingStoresEveryChannelAndLeavesOneThatFailsAsRecorded) {
  TView2DForm* window = env.Create(4);
  T2Dview& first = *window->GetView2DByIndx(0);
  first.Settings()->RestoreLongTrace(512);
  first.SetMinNumTraces(40);
  first.SetMaxNumTraces(40);
  std::vector<int32_t> samples(512);
  for (int t = 40; t < 1040; ++t) {
    for (int s = 0; s < 512; ++s) samples[static_cast<size_t>(s)] = t * 1000 + s;
    ASSERT_TRUE(first.AppendTrace(samples.data(), 512, {}));
  }
  // A channel whose block cannot be had: two recorded traces, then a trace
  // length no memory holds.
  T2Dview& second = *window->GetView2DByIndx(1);
  second.Settings()->RestoreLongTrace(4);
  ASSERT_TRUE(second.AppendTrace(samples.data(), 4, {}));
  ASSERT_TRUE(second.AppendTrace(samples.data(), 4, {}));
  second.Settings()->RestoreLongTrace(std::numeric_limits<int32_t>::max());
  second.SetMaxNumTraces(100000);
  const int64_t secondSize = second.SizeDat();
  T2Dview& third = *window->GetView2DByIndx(2);
  third.Settings()->RestoreLongTrace(2);
  ASSERT_TRUE(third.AppendTrace(samples.data() + 5, 2, {}));
  // A channel read from a file: its traces are in its blocks, without buffers.
  T2Dview& opened = *window->GetView2DByIndx(3);
  opened.Settings()->RestoreLongTrace(2);
  opened.SetMaxNumTraces(2);
  opened.SetSizeDat(16);
  opened.RawData.Allocate(16);
  for (int i = 0; i < 4; ++i) opened.RawData.Data()[i] = 9 - i;

  TDialogScript::QueueAnswer(mrOk);
  EXPECT_EQ(window->PackRecordedTraces(), std::vector<int>{1});
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown().back().Text,
            "Not enough memory to pack the traces of channel 1; they stay as recorded.");

  EXPECT_EQ(first.SizeDat(), 2048000);
  ASSERT_EQ(first.RawData.Bytes(), 2048000);
  EXPECT_EQ(first.dezoData.Bytes(), 2048000);
  const int32_t* raw = first.RawData.Data();
  for (int j : {0, 1, 517, 999})
    for (int s : {0, 1, 511}) EXPECT_EQ(raw[j * 512 + s], (40 + j) * 1000 + s) << j << " " << s;

  EXPECT_EQ(second.SizeDat(), secondSize);
  EXPECT_TRUE(second.RawData.Empty());
  ASSERT_NE(second.IndexTraces.Trace(1), nullptr) << "the recorded traces stay";
  EXPECT_EQ(second.IndexTraces.Trace(1)[3], samples[3]);

  EXPECT_EQ(third.SizeDat(), 8);
  ASSERT_EQ(third.RawData.Bytes(), 8);
  EXPECT_EQ(third.RawData.Data()[1], samples[6]);

  ASSERT_EQ(opened.RawData.Bytes(), 16);
  EXPECT_EQ(std::vector<int32_t>(opened.RawData.Data(), opened.RawData.Data() + 4), (std::vector<int32_t>{9, 8, 7, 6}));
  window->Free();
}

}  // namespace view2d_properties_test
