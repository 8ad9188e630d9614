// The language file both programs share and the language modules beside the
// executable, in a temporary program folder.

#include "platform/rtl/language_files.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/resource_strings.h"
#include "platform/rtl/streams.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace rtl_language_files_test {

RESOURCESTRING(SLangFilesTestText, "Window");

class RtlLanguageFiles : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetProgramFolder(dir_.path() + u'/');
  }
  void TearDown() override {
    SetResourceLanguage(EnglishLocaleId);
    SetProgramFolder(QString());
  }
  void WriteModule(int localeId, const QString& text) {
    TMemIniFile module(LanguageModuleFileName(localeId));
    module.WriteString(QStringLiteral("Strings"), QStringLiteral("SLangFilesTestText"), text);
    module.UpdateFile();
  }
  QTemporaryDir dir_;
};

TEST_F(RtlLanguageFiles, MissingFileReadsNothingAndWritingCreatesIt) {
  EXPECT_EQ(LanguageFileName(), dir_.path() + QStringLiteral("/Language"));
  EXPECT_FALSE(ReadLanguageFile().has_value());
  WriteLanguageFile(25);
  EXPECT_EQ(ReadLanguageFile(), 25);
  const TMemIniFile ini(LanguageFileName());
  EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("Language"), QString()), QStringLiteral("25"));
}

TEST_F(RtlLanguageFiles, WritingKeepsOtherKeysAndAnUnreadableIdIsEnglish) {
  {
    TMemIniFile ini(LanguageFileName());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("Language"), QStringLiteral("xx"));
    ini.WriteString(QStringLiteral("Other"), QStringLiteral("Kept"), QStringLiteral("1"));
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadLanguageFile(), EnglishLocaleId);
  WriteLanguageFile(7);
  const TMemIniFile ini(LanguageFileName());
  EXPECT_EQ(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Kept"), QString()), QStringLiteral("1"));
  EXPECT_EQ(ReadLanguageFile(), 7);
}

TEST_F(RtlLanguageFiles, AFailedWriteIsReportedAndLeavesTheOldFile) {
  WriteLanguageFile(12);
  // The folder cannot take the temporary file: a write-protected folder does
  // not stop root, so the program folder is made a file's path instead.
  SetProgramFolder(dir_.filePath(QStringLiteral("no/such/")));
  EXPECT_THROW(WriteLanguageFile(16), EStreamError);
  SetProgramFolder(dir_.path() + u'/');
  EXPECT_EQ(ReadLanguageFile(), 12);
  // No temporary file stays behind after a write.
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Language"}));
}

TEST_F(RtlLanguageFiles, ModulesLoadByLocaleIdAndAMissingOneChangesNothing) {
  EXPECT_TRUE(LanguageModuleFileName(25).startsWith(dir_.path() + u'/'));
  EXPECT_TRUE(LanguageModuleFileName(25).endsWith(QStringLiteral("_25.lng")));
  WriteModule(25, QString::fromUtf8("Окно"));
  ASSERT_TRUE(LoadLanguageModule(25));
  EXPECT_EQ(ResourceLanguage(), 25);
  EXPECT_EQ(LoadResString(SLangFilesTestText), QString::fromUtf8("Окно"));

  EXPECT_FALSE(LoadLanguageModule(7));
  EXPECT_EQ(ResourceLanguage(), 25);
  EXPECT_EQ(LoadResString(SLangFilesTestText), QString::fromUtf8("Окно"));

  // English needs no file.
  EXPECT_TRUE(LoadLanguageModule(EnglishLocaleId));
  EXPECT_EQ(LoadResString(SLangFilesTestText), QStringLiteral("Window"));
}

TEST_F(RtlLanguageFiles, SettingsFilesAreReplacedKeepingPermissionsAndLinks) {
  const QString target = dir_.filePath(QStringLiteral("real.ini"));
  {
    TMemIniFile ini(target);
    ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("1"));
    ini.UpdateFile();
  }
  ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
  const QString link = dir_.filePath(QStringLiteral("link.ini"));
  ASSERT_TRUE(QFile::link(target, link));
  TMemIniFile viaLink(link);
  viaLink.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2"));
  viaLink.UpdateFile();
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(TMemIniFile(target).ReadString(QStringLiteral("A"), QStringLiteral("k"), QString()), QStringLiteral("2"));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace rtl_language_files_test
