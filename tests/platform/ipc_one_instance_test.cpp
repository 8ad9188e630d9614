// The single-instance locks in one process (each TInstanceLock opens its own
// file, and flock() locks conflict between open files even in one process).
// Separate processes, kill -9 and started children are in ipc_two_process_test.

#include "platform/ipc/one_instance.h"

#include "tests/platform/ipc_test_support.h"

#include <QDir>
#include <QFileInfo>

namespace {

using OneInstanceTest = IpcFolderTest;

TEST_F(OneInstanceTest, LockFilesAreNamedAfterTheTitle) {
  EXPECT_EQ(InstanceLockNameA(QStringLiteral("Talvorn3")), QStringLiteral("Talvorn3.OneInstance32.CriticalSection"));
  EXPECT_EQ(InstanceLockNameB(QStringLiteral("Talvorn3")), QStringLiteral("Talvorn3OneInstance32.Default"));

  TInstanceLock lock;
  ASSERT_TRUE(lock.Acquire(folder.path(), QStringLiteral("Vandrel")));
  EXPECT_EQ(lock.LockFile(), folder.filePath(QStringLiteral("VandrelOneInstance32.Default")));
  const QStringList files = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(files, QStringList({QStringLiteral("Vandrel.OneInstance32.CriticalSection"),
                                QStringLiteral("VandrelOneInstance32.Default")}));
}

TEST_F(OneInstanceTest, OnlyOneHolderPerTitleUntilItReleases) {
  TInstanceLock first;
  TInstanceLock second;
  TInstanceLock other;
  EXPECT_TRUE(first.Acquire(folder.path(), QStringLiteral("Talvorn3")));
  EXPECT_FALSE(second.Acquire(folder.path(), QStringLiteral("Talvorn3")));
  EXPECT_FALSE(second.Held());
  EXPECT_EQ(second.Error(), QString());  // refused, not failed
  EXPECT_TRUE(other.Acquire(folder.path(), QStringLiteral("Vandrel")));

  first.Release();
  EXPECT_TRUE(second.Acquire(folder.path(), QStringLiteral("Talvorn3")));
  {
    TInstanceLock third;
    EXPECT_FALSE(third.Acquire(folder.path(), QStringLiteral("Talvorn3")));
  }
  EXPECT_TRUE(second.Held());
}

TEST_F(OneInstanceTest, UnusableTitlesFailWithAReasonAndHoldNothing) {
  for (const QString& title : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b")}) {
    TInstanceLock lock;
    EXPECT_FALSE(lock.Acquire(folder.path(), title)) << title.toStdString();
    EXPECT_FALSE(lock.Held());
    EXPECT_NE(lock.Error(), QString()) << title.toStdString();
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(OneInstanceTest, IsFirstInstanceKeepsTheLockForTheProcess) {
  const QString title = QStringLiteral("KeptLock") + QFileInfo(folder.path()).fileName();
  QString error;
  EXPECT_TRUE(IsFirstInstance(title, &error));
  EXPECT_EQ(error, QString());
  TInstanceLock rival;
  EXPECT_FALSE(rival.Acquire(folder.path(), title));
  EXPECT_TRUE(IsFirstInstance(title));  // the holder asking again
  EXPECT_FALSE(rival.Acquire(folder.path(), title));
}

TEST_F(OneInstanceTest, WithoutAUsableFolderTheProgramStillStartsAsFirst) {
  ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::ExeOther));
  QString error;
  EXPECT_TRUE(IsFirstInstance(QStringLiteral("Talvorn3"), &error));
  EXPECT_TRUE(error.contains(folder.path())) << error.toStdString();
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList());
}

}  // namespace
