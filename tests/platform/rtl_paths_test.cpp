#include "platform/rtl/paths.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct PathCase {
  const char* in;
  const char* expected;
};

void ExpectMapped(QString (*fn)(const QString&), std::initializer_list<PathCase> cases) {
  for (const PathCase& c : cases) EXPECT_EQ(fn(c.in), QString(c.expected)) << "input: " << c.in;
}

TEST(RtlPaths, SplitNames) {
  ExpectMapped(ExtractFileName, {{"C:\\data\\x.gpr", "x.gpr"},
                                 {"/home/u/x.gpr", "x.gpr"},
                                 {"x.gpr", "x.gpr"},
                                 {"dir/", ""},
                                 {"a\\b/c", "c"},
                                 {"", ""}});
  ExpectMapped(ExtractFilePath, {{"C:\\data\\x.gpr", "C:\\data\\"},
                                 {"/home/u/x", "/home/u/"},
                                 {"..\\data\\", "..\\data\\"},
                                 {"x", ""}});
  ExpectMapped(ExtractFileDir, {{"/home/u/x", "/home/u"},
                                {"/x", "/"},
                                {"C:\\x", "C:\\"},
                                {"C:\\d\\x", "C:\\d"},
                                {"a//x", "a//"},
                                {"x", ""}});
  ExpectMapped(ExtractFileExt, {{"x.GPR", ".GPR"},
                                {"a.b/c", ""},
                                {"C:\\d.x\\f", ""},
                                {"a.tar.gz", ".gz"},
                                {"noext", ""},
                                {".hidden", ".hidden"},
                                {"f.", "."}});
  ExpectMapped(IncludeTrailingPathDelimiter, {{"/a", "/a/"},
                                              {"/a/", "/a/"},
                                              {"C:\\a", "C:\\a\\"},
                                              {"C:\\a\\", "C:\\a\\"},
                                              {"a\\b/c", "a\\b/c/"},
                                              {"rel", "rel/"}});
  ExpectMapped(ExcludeTrailingPathDelimiter, {{"/a/", "/a"}, {"C:\\a\\", "C:\\a"}, {"/a", "/a"}, {"a//", "a/"}});
  ExpectMapped(NativePath, {{"..\\data\\", "../data/"}, {"sub\\x.gpr", "sub/x.gpr"}, {"a/b", "a/b"}});
}

TEST(RtlPaths, Extensions) {
  EXPECT_EQ(ChangeFileExt("a/b.txt", ".gpr"), "a/b.gpr");
  EXPECT_EQ(ChangeFileExt("a.b/c", ".x"), "a.b/c.x");
  EXPECT_EQ(ChangeFileExt("C:\\d.x\\f", ".x"), "C:\\d.x\\f.x");
  EXPECT_EQ(ChangeFileExt("f.txt", ""), "f");
  EXPECT_TRUE(SameFileExt("x.GPR", ".gpr"));
  EXPECT_TRUE(SameFileExt("C:\\a\\b.Gpr", "/c/d.gPR"));
  EXPECT_FALSE(SameFileExt("a.gpr", "a.gp"));
  EXPECT_FALSE(SameFileExt("a.gpr", "gpr")) << "an extension is given with its dot";
  EXPECT_FALSE(SameFileExt("a.gpr", "a.gpr.bak"));
}

TEST(RtlPaths, FileSystem) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString deep = tmp.filePath("a/b/c");
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep)) << "already there";
  EXPECT_FALSE(FileExists(deep)) << "a folder is not a file";
  EXPECT_FALSE(ForceDirectories(""));

  const QString file = tmp.filePath("a/f.txt");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
  }
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(ForceDirectories(file + "/sub")) << "a file is in the way";

  const QString other = tmp.filePath("a/g.txt");
  EXPECT_TRUE(RenameFile(file, other));
  EXPECT_FALSE(FileExists(file));
  EXPECT_TRUE(FileExists(other));
  QFile(file).open(QIODevice::WriteOnly);
  EXPECT_FALSE(RenameFile(file, other)) << "the target exists";
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(RenameFile(tmp.filePath("missing"), tmp.filePath("new")));

  EXPECT_TRUE(DeleteFile(other));
  EXPECT_FALSE(FileExists(other));
  EXPECT_FALSE(DeleteFile(other));
  EXPECT_FALSE(DeleteFile(deep)) << "folders are not deleted";
  EXPECT_TRUE(DirectoryExists(deep));
}

TEST(RtlPaths, ProgramFolder) {
  const QString exe = ExeName();
  EXPECT_EQ(exe, QCoreApplication::applicationFilePath());
  EXPECT_TRUE(QFileInfo(exe).isExecutable());
  EXPECT_EQ(ProgramFolder(), QFileInfo(exe).absolutePath() + "/");

  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  SetProgramFolder(tmp.path());
  EXPECT_EQ(ProgramFolder(), tmp.path() + "/");
  SetProgramFolder(tmp.path() + "/");
  EXPECT_EQ(ProgramFolder(), tmp.path() + "/");
  SetProgramFolder(QString());
  EXPECT_EQ(ProgramFolder(), QFileInfo(exe).absolutePath() + "/");
}

}  // namespace
