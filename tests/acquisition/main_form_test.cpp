// The acquisition program's main window in a temporary program folder: first
// start, the settings file across a run, the arc start asked for by the planning
// program, the palette library, the language, the re-read of the naming keys
// and the close with radargram windows open.

#include "acquisition/main_form.h"

#include "acquisition/main_cursors.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/language_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/button_group.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image_list.h"
#include "profiledata/palette_stream_library.h"
#include "radargram/post_proc_overlays.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tools/list_of_tools.h"
#include "tools/tool_shell.h"
#include "tests/support/qstring_print.h"
#include "tests/support/ui_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace main_form_test {

const QString kGeneral = QStringLiteral("General");

class MainWindowTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetProgramFolder(dir_.path() + u'/');
    DUvova3DuruZuza::SetToday([] { return EncodeDate(2026, 4, 9); });
  }
  void TearDown() override {
    Exit();
    DUvova3DuruZuza::SetToday({});
    SetProgramFolder(QString());
    LoadLanguageModule(EnglishLocaleId);
  }
  void Start() {
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
  }
  // The window goes as at the end of the program: its settings are written.
  void Exit() {
    if (MainWindow) MainWindow->Free();
    ASSERT_EQ(MainWindow, nullptr);
  }
  QString IniPath() const { return MainIniFileName(); }
  void WriteIni(const std::function<void(TMemIniFile&)>& fill) {
    TMemIniFile ini(IniPath());
    fill(ini);
    ini.UpdateFile();
  }
  // The frame frees its children; the windows carry one fixed component name,
  // so no component owns them (two under one owner would clash).
  TView2DForm* NewRadargramWindow() {
    SetNewViewChannalCount(1);
    return TComponent::Create<TView2DForm>(nullptr, MainWindow->Shell());
  }
  QTemporaryDir dir_;
};

TEST_F(MainWindowTest, FirstStartWithoutSettingsFile) {
  ASSERT_FALSE(FileExists(IniPath()));
  Start();
  EXPECT_EQ(Application->MainForm(), MainWindow);
  EXPECT_EQ(MainWindow->WindowClassName(), QStringLiteral("DUvova3DuruZuza"));
  EXPECT_EQ(MainWindow->FormStyle(), fsMDIForm);
  EXPECT_EQ(MainWindow->Caption(), QStringLiteral("Qel Ground Penetrating Radar"));
  EXPECT_EQ(Application->Title(), QStringLiteral("Talvorn"));
  EXPECT_EQ(MainWindow->Left(), 20);
  EXPECT_EQ(MainWindow->Top(), 20);
  EXPECT_EQ(MainWindow->Height(), 442);
  // The stored width is 725; the window keeps its minimum width.
  EXPECT_EQ(MainWindow->Settings.Width, 725);
  EXPECT_EQ(MainWindow->Width(), DUvova3DuruZuza::MinimumWidth);
  EXPECT_EQ(MainWindow->GlobalPrefixFiles(), QStringLiteral("2026_4_9_"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 0);
  EXPECT_EQ(MainWindow->Language(), 1033);
  EXPECT_EQ(ReadLanguageFile(), 1033);
  EXPECT_EQ(AcquisitionShell(), MainWindow);
  EXPECT_EQ(MainWindow->CurrentTopoType(), ttWheel);
  EXPECT_EQ(MainWindow->OdometerMult(), 5);
  EXPECT_EQ(MainWindow->LastFolder(), dir_.path() + QStringLiteral("/../data/"));
  EXPECT_EQ(Application->HintPause(), 100);
  EXPECT_NE(MainWindow->ActiveRadar(), nullptr);
  EXPECT_NE(MainWindow->ControlRadar(), nullptr);
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  EXPECT_FALSE(MainWindow->RadarStarted());
  EXPECT_TRUE(MainWindow->flNewCreate());
  EXPECT_EQ(MainWindow->PalArray, std::vector<int64_t>{0});
  EXPECT_EQ(MainWindow->PalImageList->Count(), 0);
  EXPECT_EQ(MainWindow->ListOfMedium[0].Title, QStringLiteral("299 (air)"));
  for (const TMainCursor& cursor : MainCursors)
    EXPECT_EQ(Screen->Cursors(cursor.Id), LoadCursor(QString::fromLatin1(cursor.Name))) << cursor.Name;
  // Nothing is written before the window goes.
  EXPECT_FALSE(FileExists(IniPath()));
  Exit();
  EXPECT_EQ(AcquisitionShell(), nullptr);
  const TMemIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("left"), -1), 20);
  EXPECT_EQ(ini.ReadString(kGeneral, QStringLiteral("PrefixFiles"), QString()), QStringLiteral("2026_4_9_"));
  EXPECT_EQ(ini.ReadString(kGeneral, QStringLiteral("LastFolder"), QString()), QStringLiteral("..\\data\\"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "settings and language file only";
}

TEST_F(MainWindowTest, EveryKeySurvivesARunAndTheFileKeepsOtherSections) {
  WriteIni([](TMemIniFile& ini) {
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("left"), 33);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("top"), 44);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("width"), 1000);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("height"), 600);
    ini.WriteString(kGeneral, QStringLiteral("KoefArrMax"), QStringLiteral("0,8"));
    ini.WriteInteger(kGeneral, QStringLiteral("TopoType"), ttOdometerB);
    ini.WriteString(kGeneral, QStringLiteral("LastFolder"), QStringLiteral("/data/site/"));
    ini.WriteString(kGeneral, QStringLiteral("PrefixFiles"), QStringLiteral("x_"));
    ini.WriteInteger(kGeneral, QStringLiteral("CountFiles"), 12);
    ini.WriteInteger(kGeneral, QStringLiteral("SettingsHorizontalLabelIsTime"), 0);
    ini.WriteInteger(kGeneral, QStringLiteral("DataLeftLabelIsTime"), 0);
    ini.WriteString(QStringLiteral("History"), QStringLiteral("0"), QStringLiteral("/data/site/a.frn"));
    ini.WriteString(QStringLiteral("ADC"), QStringLiteral("strGUID"), QStringLiteral("{4d36e978-e325-11ce-bfc1-08002be10318}"));
    ini.WriteInteger(QStringLiteral("Hilbert"), QStringLiteral("WinAmpSizeH"), 9);
    ini.WriteString(QStringLiteral("Settingspos"), QStringLiteral("left"), QStringLiteral("5"));
  });
  const TMainIniSettings before = ReadAllMainSettings(TMemIniFile(IniPath()), EncodeDate(2026, 4, 9));
  Start();
  EXPECT_FLOAT_EQ(MainWindow->Settings.KoefArrMax, 0.8f);
  EXPECT_EQ(MainWindow->CurrentTopoType(), ttOdometerB);
  EXPECT_EQ(MainWindow->LastFolder(), QStringLiteral("/data/site/"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 12);
  EXPECT_EQ(MainWindow->Settings.SettingsHorizontalLabelMode, 1);
  EXPECT_FALSE(MainWindow->Settings.DataLeftLabelIsTime);
  EXPECT_EQ(MainWindow->Settings.Hilbert.WinAmpSizeH, 9);
  EXPECT_EQ(MainWindow->Left(), 33);
  EXPECT_EQ(MainWindow->Width(), 1000);
  Exit();
  const TMemIniFile after(IniPath());
  EXPECT_EQ(ReadAllMainSettings(after, EncodeDate(2030, 1, 1)), before);
  EXPECT_EQ(after.ReadString(kGeneral, QStringLiteral("KoefArrMax"), QString()), QStringLiteral("0.8"));
  EXPECT_EQ(after.ReadString(QStringLiteral("ADC"), QStringLiteral("strGUID"), QString()),
            QStringLiteral("{4D36E978-E325-11CE-BFC1-08002BE10318}"));
  EXPECT_EQ(after.ReadString(QStringLiteral("Settingspos"), QStringLiteral("left"), QString()), QStringLiteral("5"));
}

TEST_F(MainWindowTest, AnArcStartIsTakenByTheFirstNewWindowAndResetInTheFile) {
  WriteIni([](TMemIniFile& ini) { ini.WriteInteger(kGeneral, QStringLiteral("TypeProfiles"), 1); });
  Start();
  EXPECT_EQ(MainWindow->GlobalTypeProfiles(), tpArc);
  EXPECT_EQ(MainWindow->MainIni()->ReadInteger(kGeneral, QStringLiteral("TypeProfiles"), -1), 0);
  TView2DForm* first = NewRadargramWindow();
  TView2DForm* second = NewRadargramWindow();
  EXPECT_EQ(first->TypeProfiles, tpArc);
  EXPECT_EQ(second->TypeProfiles, tpLinear);
  Exit();
  EXPECT_EQ(TMemIniFile(IniPath()).ReadInteger(kGeneral, QStringLiteral("TypeProfiles"), -1), 0);
}

TEST_F(MainWindowTest, AMaximisedWindowKeepsTheEarlierPositionKeys) {
  WriteIni([](TMemIniFile& ini) {
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("left"), 70);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("top"), 80);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("width"), 900);
    ini.WriteInteger(QStringLiteral("Position"), QStringLiteral("height"), 500);
  });
  Start();
  MainWindow->SetBounds(0, 0, 1200, 900);
  MainWindow->SetWindowState(wsMaximized);
  ASSERT_EQ(MainWindow->WindowState(), wsMaximized);
  Exit();
  const TMemIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("left"), -1), 70);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("top"), -1), 80);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("width"), -1), 900);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("height"), -1), 500);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Position"), QStringLiteral("WindowState"), -1), 2);
}

TEST_F(MainWindowTest, PaletteLibraryGivesOffsetsAndStrips) {
  const QString library = dir_.filePath(QStringLiteral("palset"));
  AppendPaletteToLibrary(library, {{0, 0x000000FF}, {256, 0x0000FF00}});
  AppendPaletteToLibrary(library, {{0, 0}, {100, 0x00FF0000}, {256, 0x00FFFFFF}});
  AppendPaletteToLibrary(library, {{0, 0x00FFFFFF}, {256, 0}});
  Start();
  EXPECT_EQ(MainWindow->PalArray, (std::vector<int64_t>{0, 0, 20, 48}));
  EXPECT_EQ(MainWindow->PalImageList->Count(), 3);
  EXPECT_EQ(MainWindow->PalImageList->Width(), 180);
  EXPECT_EQ(MainWindow->PalImageList->Height(), 16);
  // The windows see one offset and one preview per palette.
  const TRadargramShell parts = MainWindow->Shell();
  ASSERT_NE(parts.Palettes, nullptr);
  EXPECT_EQ(parts.Palettes->PaletteOffsets(), (std::vector<int64_t>{0, 20, 48}));
  EXPECT_EQ(parts.Palettes->PalettePreviews(), MainWindow->PalImageList);
  TView2DForm* window = NewRadargramWindow();
  EXPECT_EQ(window->PalButtonGroup->Count(), 3);
  // The library changes while the program runs: re-read on demand, and every
  // window's buttons follow.
  QFile::remove(library);
  MainWindow->PalReadAll();
  EXPECT_EQ(MainWindow->PalArray, std::vector<int64_t>{0});
  EXPECT_EQ(MainWindow->PalImageList->Count(), 0);
  EXPECT_TRUE(parts.Palettes->PaletteOffsets().empty());
  EXPECT_EQ(window->PalButtonGroup->Count(), 0);
}

TEST_F(MainWindowTest, ReopenTakesTheNamingKeysAnotherProgramWroteAndKeepsTheReset) {
  WriteIni([](TMemIniFile& ini) {
    ini.WriteInteger(kGeneral, QStringLiteral("TypeProfiles"), 1);
    ini.WriteString(kGeneral, QStringLiteral("PrefixFiles"), QStringLiteral("old_"));
    ini.WriteInteger(kGeneral, QStringLiteral("CountFiles"), 4);
  });
  Start();
  WriteIni([](TMemIniFile& ini) {
    ini.WriteString(kGeneral, QStringLiteral("LastFolder"), QStringLiteral("/planned/"));
    ini.WriteString(kGeneral, QStringLiteral("PrefixFiles"), QStringLiteral("plan_"));
    ini.WriteInteger(kGeneral, QStringLiteral("CountFiles"), 7);
  });
  MainWindow->ReadFileSettings(true);
  EXPECT_EQ(MainWindow->LastFolder(), QStringLiteral("/planned/"));
  EXPECT_EQ(MainWindow->GlobalPrefixFiles(), QStringLiteral("plan_"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 7);
  Exit();
  const TMemIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger(kGeneral, QStringLiteral("TypeProfiles"), -1), 0) << "the next run must not start an arc";
  EXPECT_EQ(ini.ReadString(kGeneral, QStringLiteral("PrefixFiles"), QString()), QStringLiteral("plan_"));
  EXPECT_EQ(ini.ReadInteger(kGeneral, QStringLiteral("CountFiles"), -1), 7);
}

TEST_F(MainWindowTest, LanguageFromTheLanguageFile) {
  {
    TMemIniFile module(LanguageModuleFileName(25));
    module.WriteString(QStringLiteral("Strings"), QStringLiteral("SMedium0"), QString::fromUtf8("299 (воздух)"));
    module.WriteString(QStringLiteral("Strings"), QStringLiteral("SQelGroundPenetratingRadar"), QString::fromUtf8("Георадар"));
    module.UpdateFile();
  }
  WriteLanguageFile(25);
  Start();
  EXPECT_EQ(MainWindow->Language(), 25);
  EXPECT_EQ(MainWindow->ListOfMedium[0].Title, QString::fromUtf8("299 (воздух)"));
  EXPECT_EQ(MainWindow->ListOfMedium[0].Speed, 299);
  Exit();
  LoadLanguageModule(EnglishLocaleId);

  // An id the program does not offer selects English.
  WriteLanguageFile(9999);
  Start();
  EXPECT_EQ(MainWindow->Language(), 1033);
  EXPECT_EQ(MainWindow->ListOfMedium[0].Title, QStringLiteral("299 (air)"));
  Exit();

  // A language without its module leaves the texts in English.
  WriteLanguageFile(7);
  Start();
  EXPECT_EQ(MainWindow->ListOfMedium[0].Title, QStringLiteral("299 (air)"));
  EXPECT_EQ(ResourceLanguage(), 1033);
}

TEST_F(MainWindowTest, AFailedWriteOfTheSettingsFileIsReported) {
  Start();
  // The settings file's name is taken by a folder: the file cannot be replaced.
  ASSERT_TRUE(QDir().mkpath(IniPath()));
  TDialogScript::Reset();
  TDialogScript::QueueAnswer(mrOk);
  Exit();
  const std::vector<TShownDialog> shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].Text.contains(IniPath())) << shown[0].Text.toStdString();
  TDialogScript::Reset();
}

TEST_F(MainWindowTest, ClosingClosesTheWindowsAndFreesTheRadars) {
  Start();
  TView2DForm* first = NewRadargramWindow();
  NewRadargramWindow();
  EXPECT_EQ(MainWindow->RadargramWindows().size(), 2u);
  MainWindow->SetCurChild(first);
  EXPECT_EQ(MainWindow->ActiveChannelWindow(), first);
  EXPECT_FALSE(MainWindow->isActiveMDIChildWasOpen());
  MainWindow->Close();
  EXPECT_TRUE(MainWindow->isClosedMain());
  ProcessMessagesUntil([] { return MainWindow->MDIChildCount() == 0; });
  EXPECT_EQ(MainWindow->MDIChildCount(), 0);
  EXPECT_EQ(MainWindow->ActiveRadar(), nullptr);
  EXPECT_EQ(MainWindow->ControlRadar(), nullptr);
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  Exit();
  RecreateApplication();
  EXPECT_TRUE(FileExists(IniPath()));
}

TEST_F(MainWindowTest, TheRememberedChildWithoutCaptionIsTheOneBeingClosed) {
  Start();
  NewRadargramWindow();
  NewRadargramWindow();
  ASSERT_EQ(MainWindow->MDIChildCount(), 2);
  TForm* remembered = MainWindow->MDIChildren(1);
  MainWindow->SetMDIChildCountOld(2);
  remembered->SetCaption(QString());
  EXPECT_TRUE(MainWindow->isActivatedClosed());
  remembered->SetCaption(QStringLiteral("profile.frn"));
  EXPECT_FALSE(MainWindow->isActivatedClosed());
  remembered->SetCaption(QString());
  MainWindow->SetMDIChildCountOld(1);  // a window was added since
  EXPECT_FALSE(MainWindow->isActivatedClosed());
  MainWindow->SetMDIChildCountOld(3);  // more than there are
  EXPECT_FALSE(MainWindow->isActivatedClosed());
}

TEST_F(MainWindowTest, RecentFilesAndAnswersOfCommandsNotBuiltYet) {
  Start();
  for (int i = 0; i < 11; ++i) MainWindow->AddToReopenList(QStringLiteral("/f/%1.frn").arg(i));
  MainWindow->AddToReopenList(QStringLiteral("/f/5.frn"));
  EXPECT_EQ(MainWindow->Settings.History.size(), HistoryCount);
  EXPECT_EQ(MainWindow->Settings.History.front(), QStringLiteral("/f/5.frn"));
  EXPECT_EQ(MainWindow->Settings.History.count(QStringLiteral("/f/5.frn")), 1);
  EXPECT_FALSE(MainWindow->SaveActionExecute()) << "nothing was saved";
  EXPECT_FALSE(MainWindow->RunButtonDown());
  EXPECT_EQ(MainWindow->GetRadarByIndex(0), nullptr);
  EXPECT_FALSE(MainWindow->SlotHasRadar(4));
}

TEST_F(MainWindowTest, ToolsSeeTheRegistryLanguageAndTheCurrentWindowsViews) {
  Start();
  ASSERT_NE(MainWindow->ListOfTools, nullptr);
  EXPECT_EQ(MainWindow->ListOfTools->Count(), 15) << "the start-up keys";
  EXPECT_EQ(MainWindow->ListOfTools->Owner(), MainWindow);
  EXPECT_EQ(&ToolShell(), static_cast<IToolShell*>(MainWindow));
  EXPECT_EQ(ToolShell().Language(), EnglishLocaleId);
  EXPECT_EQ(ToolShell().CurrentViews(), (std::array<T2Dview*, 5>{}));

  // Windows under one owner take numbered names.
  SetNewViewChannalCount(2);
  auto* first = TComponent::Create<TView2DForm>(Application, MainWindow->Shell());
  auto* second = TComponent::Create<TView2DForm>(Application, MainWindow->Shell());
  EXPECT_EQ(first->Name(), QStringLiteral("View2DForm"));
  EXPECT_EQ(second->Name(), QStringLiteral("View2DForm_1"));
  MainWindow->SetCurChild(second);
  const std::array<T2Dview*, 5> views = ToolShell().CurrentViews();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(views[i], second->GetView2DByIndx(i)) << i;
  MainWindow->SetCurChild(nullptr);
  first->Free();
  second->Free();

  Exit();
  EXPECT_EQ(ToolShell().Language(), EnglishLocaleId);
  EXPECT_EQ(ToolShell().CurrentViews(), (std::array<T2Dview*, 5>{})) << "the null shell once the window is gone";
}

TEST_F(MainWindowTest, ToolsReadAndWriteTheOverlayFieldsWhichTheFileKeeps) {
  WriteIni([](TMemIniFile& ini) {
    ini.WriteInteger(QStringLiteral("Comparator"), QStringLiteral("PosLevel"), 65);
    ini.WriteInteger(QStringLiteral("FreqHilbert"), QStringLiteral("WinFreqSize"), 9);
  });
  Start();
  EXPECT_EQ(ToolShell().PostProcDefaults(ppComparator).PosLevel, 65);
  EXPECT_EQ(ToolShell().PostProcDefaults(ppComparator).Color, 255);
  EXPECT_EQ(ToolShell().PostProcDefaults(ppHilbert).Color, 0xFF0000);
  EXPECT_EQ(ToolShell().PostProcDefaults(ppFrequency).WinFreqSize, 9);
  TPostProcDefaults hilbert = ToolShell().PostProcDefaults(ppHilbert);
  hilbert.MinPnt = 51;
  hilbert.WinAmpSizeW = 21;
  ToolShell().SetPostProcDefaults(ppHilbert, hilbert);
  EXPECT_EQ(MainWindow->Settings.Hilbert, hilbert);
  Exit();
  const TMemIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Hilbert"), QStringLiteral("MinPnt"), -1), 51);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Hilbert"), QStringLiteral("WinAmpSizeW"), -1), 21);
  EXPECT_EQ(ToolShell().PostProcDefaults(ppHilbert), NullPostProcDefaults(ppHilbert)) << "the null shell";
}

// Overlays that only count their runs, by channel.
class CountingOverlay final : public IPostProcOverlay {
public:
  explicit CountingOverlay(std::shared_ptr<std::vector<int>> runs) : runs_(std::move(runs)) {}
  void RunPostProcMethod(int NumRadar, int) override { runs_->push_back(NumRadar); }
  std::array<int32_t, kChannelSlots>& MinLevel() override { return levels_; }
  std::array<int32_t, kChannelSlots>& Maxlevel() override { return levels_; }
  int32_t OldPosLevel() const override { return -1; }
  void SetOldPosLevel(int32_t) override {}
  TColor Color() const override { return 0xFF; }
  uint8_t AlphaBlend() const override { return 128; }
  std::unique_ptr<TBitmap32>& GodographBmp() override { return godograph_; }

private:
  std::shared_ptr<std::vector<int>> runs_;
  std::array<int32_t, kChannelSlots> levels_{};
  std::unique_ptr<TBitmap32> godograph_;
};

class CountingFactory final : public IPostProcFactory {
public:
  std::unique_ptr<IPostProcOverlay> CreateOverlay(TPostProcKind kind, TView2DForm&) override {
    return std::make_unique<CountingOverlay>(kind == ppComparator ? runs : std::make_shared<std::vector<int>>());
  }
  std::unique_ptr<IPostProcFrame> CreateFrame(TPostProcKind, IPostProcOverlay&, TView2DForm&, TWinControl*) override {
    return nullptr;
  }
  void DrawAmplitudeGodograph(int, int, const int32_t*, std::unique_ptr<TBitmap32>&, int32_t, int64_t) override {}
  void DrawWindowRangeGodograph(int, int, const int32_t*, std::unique_ptr<TBitmap32>&, const T2Dview&, int, int32_t,
                                int64_t) override {}
  void DrawWindowContrastGodograph(int, int, const int32_t*, std::unique_ptr<TBitmap32>&, const T2Dview&, int, int32_t,
                                   int64_t) override {}
  std::shared_ptr<std::vector<int>> runs = std::make_shared<std::vector<int>>();
};

TEST_F(MainWindowTest, StoppingARecordingRunsTheCurrentWindowsOverlays) {
  CountingFactory factory;
  SetPostProcFactory(&factory);
  Start();
  TView2DForm* window = NewRadargramWindow();
  window->PostProcCheckListBox->SetChecked(1, true);
  MainWindow->SetCurChild(window);
  MainWindow->ActionsInStop();
  // The overlays run for the window's one channel (again when the stopped
  // recording is repainted); a stop without a window runs none.
  ASSERT_FALSE(factory.runs->empty());
  EXPECT_THAT(*factory.runs, ::testing::Each(0));
  const size_t runsAfterStop = factory.runs->size();
  MainWindow->SetCurChild(nullptr);
  MainWindow->ActionsInStop();
  EXPECT_EQ(factory.runs->size(), runsAfterStop);
  SetPostProcFactory(nullptr);
}


}  // namespace main_form_test
