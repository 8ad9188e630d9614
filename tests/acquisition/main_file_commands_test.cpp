// The File commands: the recent-files list, the preset names, Save with its
// questions and what a cancelled save leaves, Open's window limit, a missing
// recent file, the presets menu and Print into a PDF file.

#include "acquisition/file_commands.h"
#include "acquisition/main_form.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/language_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/printers.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace main_file_commands_test {

TEST(RecentFiles, NewestFirstAtMostNineAndAPathInOtherCaseMovesUp) {
  QStringList list;
  for (int i = 0; i < 12; ++i) PutOnTopOfRecentFiles(list, QStringLiteral("/f/%1.frn").arg(i));
  ASSERT_EQ(list.size(), RecentFilesCount);
  EXPECT_EQ(list.front(), QStringLiteral("/f/11.frn"));
  EXPECT_EQ(list.back(), QStringLiteral("/f/3.frn"));
  PutOnTopOfRecentFiles(list, QStringLiteral("/F/5.FRN"));
  ASSERT_EQ(list.size(), RecentFilesCount) << "no duplicate, nothing pushed out";
  EXPECT_EQ(list.front(), QStringLiteral("/F/5.FRN"));
  for (const QString& path : list) EXPECT_NE(path, QStringLiteral("/f/5.frn"));
  EXPECT_EQ(list.back(), QStringLiteral("/f/3.frn"));
  EXPECT_EQ(RecentFilePath(RecentFileCaption(4, QStringLiteral("/a b/c.dezo"))), QStringLiteral("/a b/c.dezo"));
  EXPECT_EQ(RecentFileCaption(4, QStringLiteral("/x")), QStringLiteral("&4 /x"));
}

TEST(Presets, TrailingNumberAndNamesOfPresetFiles) {
  const std::pair<QString, QString> numbers[] = {
      {QStringLiteral("Unit 300   "), QStringLiteral("300")}, {QStringLiteral("OKO-2 1700"), QStringLiteral("1700")},
      {QStringLiteral("A-12"), QStringLiteral("A-12").mid(1)}, {QStringLiteral("none"), QString()},
      {QString(), QString()}, {QStringLiteral("x150MHz"), QStringLiteral("150")}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(TrailingNumber(text), number) << text.toStdString();

  const QString type = QStringLiteral("Unit 300").leftJustified(PresetTypeLength, u' ');
  const TPresetsProperty full = PresetFromFileName(type + QStringLiteral("Sand.bstt"));
  EXPECT_EQ(full.RadarTypeStr, QStringLiteral("Unit 300"));
  EXPECT_EQ(full.Title, QStringLiteral("Sand"));
  // Shorter than 16 characters of type and the extension: no title, no negative cut.
  for (const QString& name : {QStringLiteral("short.bstt"), QStringLiteral("x"), type + QStringLiteral(".bst")}) {
    const TPresetsProperty p = PresetFromFileName(name);
    EXPECT_TRUE(p.Title.isEmpty()) << name.toStdString();
  }
  EXPECT_EQ(PresetTypePrefix(false, QStringLiteral("anything")), QStringLiteral("300"));
  EXPECT_EQ(PresetTypePrefix(true, QStringLiteral("Unit 300")), type);

  const std::vector<TPresetsProperty> presets = {{QStringLiteral("Sand"), QStringLiteral("Unit 300")},
                                                 {QStringLiteral("Clay"), QStringLiteral("Unit 1700")},
                                                 {QStringLiteral("Ice"), QStringLiteral("Other 300")}};
  EXPECT_EQ(PresetTitlesFor(presets, QStringLiteral("300")), (QStringList{QStringLiteral("Sand"), QStringLiteral("Ice")}));
}

class FileCommands : public TMainWindowTest {
protected:
  size_t Windows() const { return MainWindow->RadargramWindows().size(); }
};

TEST_F(FileCommands, AnOlderVersionIsAskedOnceAndCancelWritesNothing) {
  TView2DForm* window = Recording(3);
  T2Dview* first = window->GetView2DByIndx(0);
  first->Settings()->SetVersion(41);
  first->Settings()->NewFile = false;
  TDialogScript::QueueAnswer(mrCancel);
  EXPECT_FALSE(MainWindow->SaveActionExecute(MainWindow));
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, QStringLiteral("Current version is 41, to be stored in version 42, click OK. \r\nOr click Cancel"));
  EXPECT_FALSE(FileExists(window->Caption()));
  EXPECT_TRUE(first->GetNeedForSave());

  TDialogScript::Reset();
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_TRUE(MainWindow->SaveActionExecute(MainWindow));
  EXPECT_TRUE(FileExists(window->Caption()));
  EXPECT_FALSE(first->GetNeedForSave());
}

TEST_F(FileCommands, AnEmptyChannelIsNotSaved) {
  TView2DForm* window = Recording(0);
  TDialogScript::QueueAnswer(mrOk);
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(MainWindow->SaveActionExecute(MainWindow));
  EXPECT_FALSE(MainWindow->SaveAsActionExecute());
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 2u);
  for (const TShownDialog& box : shown) EXPECT_EQ(box.Text, QStringLiteral("Empty file can not been saved"));
  EXPECT_FALSE(FileExists(window->Caption()));
}

TEST_F(FileCommands, AWindowForThePlanningProgramClosesOnlyAfterItWasSaved) {
  TView2DForm* window = Recording(3);
  window->LastCopydataMessage = 200;
  ASSERT_TRUE(window->GetView2DByIndx(0)->Settings()->NewFile) << "a new recording is named first";
  // Cancelled: nothing written, the window stays and still needs saving.
  TDialogScript::QueueFiles({{}, std::nullopt});
  EXPECT_FALSE(MainWindow->SaveActionExecute(MainWindow));
  ASSERT_EQ(Windows(), 1u);
  EXPECT_TRUE(window->GetView2DByIndx(0)->GetNeedForSave());

  const QString chosen = data + QStringLiteral("planned.dezo");
  TDialogScript::QueueFiles({{}, std::vector<QString>{chosen}});
  EXPECT_TRUE(MainWindow->SaveActionExecute(MainWindow));
  EXPECT_TRUE(FileExists(chosen));
  EXPECT_TRUE(FileExists(ChangeFileExt(chosen, QStringLiteral(".tls"))));
  EXPECT_EQ(Windows(), 0u);
  EXPECT_EQ(MainWindow->CurChild(), nullptr);
  EXPECT_EQ(MainWindow->Settings.History.front(), chosen);
  EXPECT_EQ(MainWindow->Settings.LastFile, QStringLiteral("planned.dezo"));
}

TEST_F(FileCommands, AWindowsOwnSaveKeepsItOpen) {
  TView2DForm* window = Recording(3);
  window->LastCopydataMessage = 200;
  window->GetView2DByIndx(0)->Settings()->NewFile = false;
  EXPECT_TRUE(MainWindow->SaveActionExecute());
  EXPECT_TRUE(FileExists(window->Caption()));
  EXPECT_EQ(Windows(), 1u);
}

TEST_F(FileCommands, OpeningManyFilesStopsPastTwentyFourWindows) {
  TView2DForm* window = Recording(3);
  window->GetView2DByIndx(0)->Settings()->NewFile = false;
  ASSERT_TRUE(MainWindow->SaveActionExecute());
  const QString saved = window->Caption();
  window->Free();
  MainWindow->SetCurChild(nullptr);
  ASSERT_EQ(Windows(), 0u);
  QStringList files;
  const int kFiles = 27;
  for (int i = 0; i < kFiles; ++i) {
    const QString copy = data + QStringLiteral("copy_%1.dezo").arg(i);
    ASSERT_TRUE(QFile::copy(saved, copy));
    files.push_back(copy);
  }
  TDialogScript::QueueAnswer(mrOk);
  TDialogScript::QueueFiles({{}, std::vector<QString>(files.begin(), files.end())});
  ASSERT_TRUE(MainWindow->OpenActionExecute());
  EXPECT_EQ(Windows(), 25u);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Kind, dkOpenFile);
  EXPECT_EQ(shown[0].Title, QStringLiteral("Open FERUN Files"));
  EXPECT_EQ(shown[0].InitialFolder, data);
  EXPECT_EQ(shown[1].Text,
            QStringLiteral("Insufficient resources to display the profile.\r\nClose the profiles windows  and try again"));
  EXPECT_EQ(MainWindow->Settings.LastFolder, data);
}

TEST_F(FileCommands, AMissingRecentFileIsReportedAndOpensNoWindow) {
  const QString gone = data + QStringLiteral("gone.dezo");
  TDialogScript::QueueAnswer(mrOk);
  MainWindow->ReopenMenu1Click(RecentFileCaption(1, gone));
  EXPECT_EQ(Windows(), 0u);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, QStringLiteral("File %1 is not present!").arg(gone));
}

TEST_F(FileCommands, ARecentFileOpensAndKeepsItsPlace) {
  TView2DForm* window = Recording(3);
  window->GetView2DByIndx(0)->Settings()->NewFile = false;
  ASSERT_TRUE(MainWindow->SaveActionExecute());
  const QString saved = window->Caption();
  MainWindow->ApdateReopenMenu(saved);
  MainWindow->ApdateReopenMenu(data + QStringLiteral("other.dezo"));
  const QStringList before = MainWindow->Settings.History;
  MainWindow->ReopenMenu1Click(RecentFileCaption(2, saved));
  ASSERT_EQ(Windows(), 2u);
  EXPECT_EQ(MainWindow->RadargramWindows().back()->GetView2DByIndx(0)->SizeDat(),
            window->GetView2DByIndx(0)->SizeDat());
  EXPECT_EQ(MainWindow->Settings.History, before);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(FileCommands, PresetsOfTheTypeWithoutARadarAreNotListed) {
  const QString folder = program.path() + QStringLiteral("/setofpresets/");
  ASSERT_TRUE(QDir().mkpath(folder));
  for (const QString& name : {QStringLiteral("300").leftJustified(16, u' ') + QStringLiteral("Sand.bstt"),
                              QStringLiteral("1700").leftJustified(16, u' ') + QStringLiteral("Clay.bstt")}) {
    QFile file(folder + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(MainWindow->GetRadarTypeStrForPresets(), QStringLiteral("300"));
  EXPECT_TRUE(MainWindow->BuildPresetsMenu().isEmpty()) << "the menu lists only for a current radar";
  ASSERT_EQ(MainWindow->ListOfPresets.size(), 2u);
  EXPECT_EQ(MainWindow->ListOfPresets[0].RadarTypeStr, QStringLiteral("1700"));
  EXPECT_EQ(MainWindow->ListOfPresets[1].Title, QStringLiteral("Sand"));
  EXPECT_FALSE(MainWindow->PresetsItemsClick(QStringLiteral("Sand")));
}

TEST_F(FileCommands, PrintWritesThePdfAfterTheDialogAndNothingWhenCancelled) {
  // A profile read from a file is drawn, and so has something to print.
  TView2DForm* recording = Recording(3);
  recording->GetView2DByIndx(0)->Settings()->NewFile = false;
  ASSERT_TRUE(MainWindow->SaveActionExecute());
  MainWindow->OpenFiles({recording->Caption()});
  ASSERT_EQ(Windows(), 2u);
  const QString pdf = program.path() + QStringLiteral("/pdf");
  ASSERT_TRUE(QDir().mkpath(pdf));
  Printer()->SetPdfFolder(pdf);
  const auto before = Printer()->PdfFiles().size();
  TDialogScript::QueueAnswer(mrCancel);
  EXPECT_FALSE(MainWindow->PrintActionExecute());
  EXPECT_EQ(Printer()->PdfFiles().size(), before);
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_TRUE(MainWindow->PrintActionExecute());
  ASSERT_EQ(Printer()->PdfFiles().size(), before + 1);
  EXPECT_GT(QFileInfo(Printer()->PdfFiles().back()).size(), 0);
  Printer()->SetPdfFolder(QString());
}

}  // namespace main_file_commands_test

namespace main_file_commands_test {

TEST_F(FileCommands, CommandStatesFollowTheOpenWindows) {
  MainWindow->Updatemenu();
  const TMainCommands& c = MainWindow->Commands;
  EXPECT_FALSE(c.SaveEnabled || c.SaveAsEnabled || c.PrintEnabled || c.ExportEnabled || c.ZoomEnabled ||
               c.DirectionEnabled);
  EXPECT_TRUE(c.LanguageVisible);

  TView2DForm* recording = Recording(3);
  recording->GetView2DByIndx(0)->Settings()->NewFile = false;
  ASSERT_TRUE(MainWindow->SaveActionExecute());
  MainWindow->OpenFiles({recording->Caption()});
  ASSERT_EQ(Windows(), 2u);
  auto* opened = dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
  ASSERT_NE(opened, nullptr);
  ASSERT_TRUE(opened->GetView2DByIndx(0)->WasOpen);
  MainWindow->Updatemenu();
  EXPECT_TRUE(c.SaveEnabled && c.SaveAsEnabled && c.PrintEnabled && c.ExportEnabled && c.ZoomEnabled);
  EXPECT_FALSE(c.LanguageVisible);
  EXPECT_FALSE(c.GprSettingsEnabled);
  EXPECT_FALSE(c.GprPresetsEnabled);
  EXPECT_FALSE(MainWindow->BindingActionEnabled);
  EXPECT_FALSE(c.DirectionEnabled) << "the profile holds traces";
}

}  // namespace main_file_commands_test

namespace main_file_commands_test {

TEST_F(FileCommands, ALanguageSwitchRetextsTheFormsAndRewritesTheLanguageFile) {
  {
    TMemIniFile module(LanguageModuleFileName(25));
    module.WriteString(QStringLiteral("Strings"), QStringLiteral("SQelGroundPenetratingRadar"), QString::fromUtf8("Георадар"));
    module.UpdateFile();
  }
  ASSERT_EQ(MainWindow->Language(), EnglishLocaleId);
  const TListOfTools* before = MainWindow->ListOfTools;
  // No module for German: language, texts and file stay.
  EXPECT_FALSE(MainWindow->SwitchLanguage(7));
  EXPECT_EQ(MainWindow->Language(), EnglishLocaleId);
  EXPECT_EQ(ReadLanguageFile(), std::optional<int>(EnglishLocaleId));
  EXPECT_EQ(MainWindow->ListOfTools, before);

  EXPECT_TRUE(MainWindow->SwitchLanguage(25));
  EXPECT_EQ(MainWindow->Language(), 25);
  EXPECT_EQ(MainWindow->Caption(), QString::fromUtf8("Георадар"));
  EXPECT_EQ(ReadLanguageFile(), std::optional<int>(25));
  EXPECT_NE(MainWindow->ListOfTools, nullptr);

  // A locale the program does not offer is English.
  EXPECT_TRUE(MainWindow->SwitchLanguage(9999));
  EXPECT_EQ(MainWindow->Language(), EnglishLocaleId);
  EXPECT_EQ(MainWindow->Caption(), QStringLiteral("Qel Ground Penetrating Radar"));
  EXPECT_EQ(ReadLanguageFile(), std::optional<int>(EnglishLocaleId));
}

}  // namespace main_file_commands_test

namespace main_file_commands_test {

TEST_F(FileCommands, TheSaveForThePlanningProgramPlacesTheChannelsAndRestoresTheWheel) {
  TView2DForm* window = Recording(3);
  TSettingData& s = *window->GetView2DByIndx(0)->Settings();
  s.SetStartYShift(777);
  const TRunMode runMode = s.GetRunMode();
  const TTopoType topo = s.GetTopoType();
  const QString chosen = data + QStringLiteral("planning.dezo");
  TDialogScript::QueueFiles({{}, std::vector<QString>{chosen}});
  MainWindow->SaveToVandrelExecute();
  EXPECT_TRUE(FileExists(chosen));
  EXPECT_EQ(s.GetStartYShift(), 0) << "channel 0 lies on the line; the offsets are not restored";
  EXPECT_EQ(s.GetRunMode(), runMode);
  EXPECT_EQ(s.GetTopoType(), topo);
  EXPECT_TRUE(s.GetWasOpen());
}

}  // namespace main_file_commands_test

namespace main_file_commands_test {

TEST_F(FileCommands, TheFileMenuShowsTheRecentFilesAndTakesItsKeys) {
  TMenuItem* recent = MainWindow->OpenRecentMenu;
  ASSERT_NE(recent, nullptr);
  ASSERT_EQ(recent->Count(), RecentFilesCount);
  for (int i = 0; i < recent->Count(); ++i) EXPECT_FALSE(recent->Items(i)->Visible());
  const QString a = data + QStringLiteral("a.dezo"), b = data + QStringLiteral("b.dezo");
  MainWindow->ApdateReopenMenu(a);
  MainWindow->ApdateReopenMenu(b);
  EXPECT_EQ(recent->Items(0)->Caption(), QStringLiteral("&1 ") + b);
  EXPECT_EQ(recent->Items(1)->Caption(), QStringLiteral("&2 ") + a);
  EXPECT_TRUE(recent->Items(1)->Visible());
  EXPECT_FALSE(recent->Items(2)->Visible());
  // The item opens its own path (missing here).
  TDialogScript::QueueAnswer(mrOk);
  recent->Items(1)->Click();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, QStringLiteral("File %1 is not present!").arg(a));

  TMainMenu* menu = MainWindow->MainMenu;
  for (TShortCut key : {ShortCut('N', {ssCtrl}), ShortCut('O', {ssCtrl}), ShortCut(VK_F1 + 9, {ssShift})})
    EXPECT_NE(menu->FindItemByShortCut(key), nullptr) << key;
  // Save needs a window and Start a radar: their keys do nothing meanwhile.
  EXPECT_EQ(MainWindow->SaveMenuItem->ShortCut(), ShortCut('S', {ssCtrl}));
  EXPECT_EQ(MainWindow->RunMenuItem->ShortCut(), ShortCut(VK_F1 + 1, {}));
  EXPECT_EQ(menu->FindItemByShortCut(ShortCut('S', {ssCtrl})), nullptr);
  EXPECT_EQ(menu->FindItemByShortCut(ShortCut(VK_F1 + 1, {})), nullptr);
  // Shift+F10 creates a recording window without questions.
  menu->FindItemByShortCut(ShortCut(VK_F1 + 9, {ssShift}))->Click();
  EXPECT_NE(MainWindow->CurChild(), nullptr);
  EXPECT_EQ(Windows(), 1u);
  EXPECT_EQ(menu->FindItemByShortCut(ShortCut('S', {ssCtrl})), MainWindow->SaveMenuItem);
}

}  // namespace main_file_commands_test
