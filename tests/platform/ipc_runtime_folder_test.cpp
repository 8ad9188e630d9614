// The runtime folder of the program links: only a real folder of this user with
// mode 0700 is used, whichever way it was chosen.

#include "platform/ipc/runtime_folder.h"

#include "tests/platform/ipc_test_support.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class RuntimeFolderTest : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(base.isValid()); }
  void TearDown() override { SetIpcRuntimeFolder({}); }
  QString Make(const char* name, mode_t mode) {
    const QString path = base.filePath(QString::fromLatin1(name));
    EXPECT_EQ(mkdir(path.toLocal8Bit().constData(), 0700), 0);
    EXPECT_EQ(chmod(path.toLocal8Bit().constData(), mode), 0);
    return path;
  }
  static mode_t Mode(const QString& path) {
    struct stat info{};
    EXPECT_EQ(lstat(path.toLocal8Bit().constData(), &info), 0);
    return info.st_mode & 07777;
  }
  QTemporaryDir base;
};

TEST_F(RuntimeFolderTest, OnlyAPrivateFolderOfThisUserPasses) {
  const QString good = Make("good", 0700);
  const QString link = base.filePath(QStringLiteral("link"));
  ASSERT_EQ(symlink(good.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
  const QString file = base.filePath(QStringLiteral("file"));
  ASSERT_EQ(close(open(file.toLocal8Bit().constData(), O_CREAT | O_WRONLY, 0700)), 0);

  EXPECT_EQ(CheckPrivateFolder(good, false), QString());
  const struct {
    QString path;
    const char* why;
  } refused[] = {
      {Make("shared", 0755), "readable by others"},
      {Make("group", 0770), "writable by the group"},
      {Make("readonly", 0500), "not 0700"},
      {link, "a link, even to a good folder"},
      {file, "not a folder"},
      {base.filePath(QStringLiteral("missing")), "missing and not to be created"},
      {QString(), "no folder at all"},
  };
  for (const auto& c : refused) EXPECT_NE(CheckPrivateFolder(c.path, false), QString()) << c.why;
}

TEST_F(RuntimeFolderTest, AFolderOfAnotherUserIsRefused) {
  // A folder that passes every check but the owner's.
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  const QString other = Make("other", 0700);
  ASSERT_EQ(chown(other.toLocal8Bit().constData(), 65534, 65534), 0);
  EXPECT_NE(CheckPrivateFolder(other, false), QString());
}

TEST_F(RuntimeFolderTest, AMissingFolderIsCreatedPrivateWhateverTheUmask) {
  const QString path = base.filePath(QStringLiteral("made"));
  const mode_t old = umask(0);
  const QString error = CheckPrivateFolder(path, true);
  umask(old);
  EXPECT_EQ(error, QString());
  EXPECT_EQ(Mode(path), 0700u);
  // Its parent must exist: nothing is made further up.
  EXPECT_NE(CheckPrivateFolder(base.filePath(QStringLiteral("no/such")), true), QString());
}

TEST_F(RuntimeFolderTest, TheSetFolderWinsOverTheEnvironmentAndBothAreChecked) {
  const QString set = Make("set", 0700);
  const QString fromEnvironment = Make("env", 0700);
  const TScopedEnvironment runtime("XDG_RUNTIME_DIR", (fromEnvironment + u'/').toLocal8Bit());

  TIpcFolder chosen = IpcRuntimeFolder();
  EXPECT_TRUE(chosen.Ok()) << chosen.Error.toStdString();
  EXPECT_EQ(chosen.Path, fromEnvironment);  // without the trailing '/'

  SetIpcRuntimeFolder(set);
  EXPECT_EQ(IpcRuntimeFolder().Path, set);

  SetIpcRuntimeFolder({});
  ASSERT_EQ(chmod(fromEnvironment.toLocal8Bit().constData(), 0755), 0);
  chosen = IpcRuntimeFolder();
  EXPECT_FALSE(chosen.Ok());
  EXPECT_EQ(chosen.Path, QString());
  EXPECT_TRUE(chosen.Error.contains(fromEnvironment));
}

}  // namespace
