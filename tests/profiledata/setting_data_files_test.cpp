// Settings files of a channel: the default settings the window saves while its
// flag is set, "stt" and ".stt" presets read back, containers handed to the
// window, the full header written by WriteToFile, and writes that fail.

#include "platform/ui/dialog_script.h"
#include "profiledata/markers_data.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/profiledata/record_test_env.h"
#include "tests/profiledata/settings_files_env.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

using namespace record_fixtures;

// Settings that differ from new ones in what a settings file carries.
void MakeDistinct(TSettingData& s) {
  s.SetSpeedLight(123);
  s.SetOverStep(3);
  s.SetStacking(7);
  s.SetComments(QStringLiteral("Bridge"));
  s.SetStartXShift(500);
  s.NMEIStrings = {QStringLiteral("1=$GPGGA,a")};
}

// ---- SaveDefault ----------------------------------------------------------------------

TEST(SettingDataFiles, SaveDefaultWritesNothingWhileTheFlagIsClear) {
  TFilesEnv env;
  env.Settings().SaveDefault();
  env.store->SaveDefaultSettings();
  EXPECT_FALSE(QFile::exists(env.Path("stt")));
  EXPECT_TRUE(env.window->containersSaved.empty());
}

TEST(SettingDataFiles, SaveDefaultWritesSttAndTheWindowsContainer) {
  struct TCase {
    bool simpleMode;
    bool newFile;
    const char* container;
  };
  for (const TCase& c : {TCase{false, true, "bstt"}, TCase{true, true, "dstt"}, TCase{false, false, "bstt"}}) {
    SCOPED_TRACE(c.container + std::string(c.newFile ? " new" : " not new"));
    TFilesEnv env;
    env.shell.simpleMode = c.simpleMode;
    env.window->saveDefault = true;
    env.window->deviceX = 4000;
    TSettingData& s = env.Settings();
    MakeDistinct(s);
    s.NewFile = c.newFile;
    ASSERT_TRUE(s.GetNeedForSave());

    s.SaveDefault();

    EXPECT_EQ(env.window->containersSaved, std::vector<QString>{env.Path(c.container)});
    EXPECT_EQ(s.NewFile, c.newFile);
    EXPECT_TRUE(s.GetNeedForSave()) << "a defaults file is no save of the channel";
    EXPECT_TRUE(env.window->IsSaveDefault());

    const TParsedHeader h = ParseWgpr42(ReadFileBytes(env.Path("stt")));
    EXPECT_EQ(h.fields.speedLight, 123);
    EXPECT_EQ(h.fields.overStep, 3);
    EXPECT_EQ(h.fields.stacking, 7);
    EXPECT_EQ(h.fields.comments, " ") << "default mode";
    EXPECT_EQ(h.fields.nmea, " ");
    EXPECT_EQ(h.fields.x, 4000) << "a single settings record holds the window's device offsets";
    EXPECT_EQ(h.recordEnd, h.headerEnd);
  }
}

TEST(SettingDataFiles, SaveDefaultSkipsOpenedFilesAndTheSettingsFileItself) {
  {
    TFilesEnv env;
    env.window->saveDefault = true;
    env.Settings().SetWasOpen(true);
    env.Settings().SaveDefault();
    EXPECT_FALSE(QFile::exists(env.Path("stt")));
    EXPECT_TRUE(env.window->containersSaved.empty());
    EXPECT_TRUE(env.window->IsSaveDefault());
  }
  {
    TFilesEnv env;
    env.window->saveDefault = true;
    env.Settings().SetFileName(env.Path("stt"));
    env.Settings().SaveDefault();
    EXPECT_FALSE(QFile::exists(env.Path("stt")));
    EXPECT_TRUE(env.window->containersSaved.empty());
  }
  {
    // A window that keeps no settings files, and a channel without a window.
    TStoreEnv env;
    SetProgramFolder(env.dir.path() + u'/');
    auto* window = new TWindowOwner();
    window->saveDefault = true;
    auto* store = new T2Dview(window);
    store->SaveDefaultSettings();
    T2Dview alone(nullptr);
    alone.SaveDefaultSettings();
    EXPECT_FALSE(QFile::exists(env.Path("stt")));
    window->Free();
    SetProgramFolder(QString());
  }
}

TEST(SettingDataFiles, MarkerColourBecomesADefaultThroughTheStore) {
  TFilesEnv env;
  env.window->saveDefault = true;
  env.Settings().ObjectMarkersArray->SetDefaultColor(0x123456);
  EXPECT_TRUE(QFile::exists(env.Path("stt")));
  EXPECT_EQ(env.window->containersSaved.size(), 1u);
}

TEST(SettingDataFiles, PlanningProgramSavesNoDefaults) {
  TFilesEnv env(/*acquisition=*/false);
  env.window->saveDefault = true;
  env.Settings().SaveDefault();
  EXPECT_FALSE(QFile::exists(env.Path("stt")));
  EXPECT_TRUE(env.window->containersSaved.empty());
}

TEST(SettingDataFiles, FailedDefaultsAreReportedAndTheContainerIsNotTried) {
  TFilesEnv env;
  env.window->saveDefault = true;
  // A folder that cannot be: its parent is a file.
  WriteFileBytes(env.Path("plain"), "x");
  SetProgramFolder(env.Path("plain") + QStringLiteral("/sub/"));
  TDialogScript::QueueAnswer(IDOK);
  env.Settings().SaveDefault();
  const QString target = env.Path("plain") + QStringLiteral("/sub/stt");
  EXPECT_EQ(ShownTexts(), std::vector<QString>{QStringLiteral("Cannot write file \"") + target +
                                          QStringLiteral("\". The previous file is kept.")});
  EXPECT_TRUE(env.window->containersSaved.empty());
}

// ---- Reading ------------------------------------------------------------------------------

TEST(SettingDataFiles, SavedSettingsReadBackAsSettingsFileOrPreset) {
  TFilesEnv env;
  env.radar.type = Unit07;
  TSettingData& s = env.Settings();
  MakeDistinct(s);
  ASSERT_TRUE(s.SaveSTT(env.Path("stt")));
  QFile::copy(env.Path("stt"), env.Path("mine.stt"));

  struct TCase {
    const char* name;
    const char* fileNameAfter;  // nullptr: the path read
    bool newFile;
    bool wasOpen;
  };
  for (const TCase& c : {TCase{"stt", "DodavARA.dezo", true, false}, TCase{"mine.stt", nullptr, false, true}}) {
    SCOPED_TRACE(c.name);
    T2Dview other(nullptr);
    TSettingData& o = *other.Settings();
    ASSERT_TRUE(o.LoadFromFile(env.Path(c.name)));
    EXPECT_EQ(o.GetSpeedLight(), 123);
    EXPECT_EQ(o.GetOverStep(), 3);
    EXPECT_EQ(o.GetStacking(), 7);
    EXPECT_EQ(o.GetFileName(), c.fileNameAfter ? QString::fromLatin1(c.fileNameAfter) : env.Path(c.name));
    EXPECT_EQ(o.NewFile, c.newFile);
    EXPECT_EQ(o.GetWasOpen(), c.wasOpen);
  }
}

TEST(SettingDataFiles, ContainersGoToTheWindowsReader) {
  {
    TFilesEnv env;
    for (const char* name : {"bstt", "dstt"}) {
      EXPECT_TRUE(env.Settings().LoadFromFile(env.Path(name))) << name;
    }
    EXPECT_EQ(env.window->containersRead, (std::vector<QString>{env.Path("bstt"), env.Path("dstt")}));

    // Without a window nothing reads them, and no file is opened.
    T2Dview alone(nullptr);
    EXPECT_FALSE(alone.Settings()->LoadFromFile(env.Path("bstt")));
  }
  TFilesEnv planning(/*acquisition=*/false);
  EXPECT_FALSE(planning.Settings().LoadFromFile(planning.Path("dstt")));
  EXPECT_TRUE(planning.window->containersRead.empty());
}

TEST(SettingDataFiles, MissingOrForeignFileIsReported) {
  TFilesEnv env;
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_FALSE(env.Settings().LoadFromFile(env.Path("absent.stt")));
  EXPECT_EQ(ShownTexts(), std::vector<QString>{QStringLiteral("Cannot open file \"") + env.Path("absent.stt") +
                                          QStringLiteral("\".")});

  TDialogScript::Reset();
  WriteFileBytes(env.Path("text.stt"), "not settings");
  TDialogScript::QueueAnswer(IDCANCEL);
  EXPECT_FALSE(env.Settings().LoadFromFile(env.Path("text.stt")));
  EXPECT_EQ(ShownTexts(), std::vector<QString>{"Format is not correct"});
}

// ---- WriteToFile ---------------------------------------------------------------------------

TEST(SettingDataFiles, WriteToFileWritesTheFullHeader) {
  struct TCase {
    const char* previous;
    int32_t x;  // the window's offset, or the channel's own within a container
  };
  for (const TCase& c : {TCase{"old.dezo", 4000}, TCase{"old.FRN", 500}}) {
    SCOPED_TRACE(c.previous);
    TFilesEnv env;
    env.window->deviceX = 4000;
    TSettingData& s = env.Settings();
    MakeDistinct(s);
    s.SetFileName(env.Path(c.previous));
    const QString file = env.Path("full.hdr");
    ASSERT_TRUE(s.WriteToFile(file));
    EXPECT_EQ(s.GetFileName(), file);
    EXPECT_FALSE(s.GetNeedForSave());
    const TParsedHeader h = ParseWgpr42(ReadFileBytes(file));
    EXPECT_EQ(h.fields.comments, "Bridge");
    EXPECT_EQ(h.fields.nmea, "1=$GPGGA,a");
    EXPECT_EQ(h.fields.x, c.x);
  }
}

TEST(SettingDataFiles, FailedWriteKeepsNameAndUnsavedChanges) {
  TFilesEnv env;
  TSettingData& s = env.Settings();
  MakeDistinct(s);
  const QString before = s.GetFileName();
  WriteFileBytes(env.Path("plain"), "x");
  const QString file = env.Path("plain") + QStringLiteral("/a.hdr");
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_FALSE(s.WriteToFile(file));
  EXPECT_EQ(s.GetFileName(), before);
  EXPECT_TRUE(s.GetNeedForSave());
  EXPECT_TRUE(s.NewFile);
  EXPECT_EQ(ShownTexts().size(), 1u);

  TDialogScript::QueueAnswer(IDOK);
  EXPECT_FALSE(s.SaveSTT(file));
  EXPECT_TRUE(s.NewFile);
  EXPECT_EQ(ReadFileBytes(env.Path("plain")), "x");
}

}  // namespace
