// The name of the next recording without a window: the index a chosen folder
// proposes, the profile count (nested folders, link loops, the depth bound),
// applying an index, and the file a preset is saved to.

#include "acquisition/file_commands.h"
#include "acquisition/record_file_naming.h"

#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <limits>

namespace record_file_naming_test {

namespace rfn = record_file_naming;

bool Touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("x", 1) == 1;
}

TEST(RecordFileNaming, AChosenFolderProposesTheFirstFreeIndexAfterPrefixZero) {
  const struct {
    const char* name;
    std::vector<const char*> files;
    int64_t count;
    int32_t index;
  } cases[] = {
      {"no profiles", {}, 0, 0},
      {"p_0..p_2", {"p_0.dezo", "p_1.dezo", "p_2.dezo"}, 3, 3},
      // Number 0 is looked at first: a free 0 is taken although 3 exists.
      {"only p_3", {"p_3.dezo"}, 1, 0},
      {"a gap after 0", {"p_0.dezo", "p_2.dezo"}, 2, 1},
      {"another prefix's profiles", {"q_0.dezo", "q_1.dezo"}, 2, 0},
      {"not profiles", {"p_0.txt", "p_0.dezo.bak"}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + u'/';
    for (const char* file : c.files) ASSERT_TRUE(Touch(folder + QString::fromLatin1(file)));
    const int64_t count = rfn::CountProfileFiles(folder);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(rfn::IndexForFolder(folder, QStringLiteral("p_"), count), c.index);
  }
}

TEST(RecordFileNaming, AFolderNamedLikeAProfileIsCountedInsteadAndEveryEntryYields) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + u'/';
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("old.dezo/inner.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("a.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("B.DEZO")));
  ASSERT_TRUE(Touch(folder + QStringLiteral(".hidden.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("old.dezo/x.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("old.dezo/y.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("old.dezo/notes.txt")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("old.dezo/inner.dezo/z.dezo")));
  int yields = 0;
  // a, B, .hidden, x, y, z; the two folders count what they hold.
  EXPECT_EQ(rfn::CountProfileFiles(folder, [&] { ++yields; }), 6);
  EXPECT_EQ(yields, 8) << "each matching entry, folders included";
  EXPECT_EQ(rfn::CountProfileFiles(folder + QStringLiteral("missing/")), 0);
}

TEST(RecordFileNaming, ALinkLoopAndADeepTreeEndTheCount) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + u'/';
  // a.dezo/back.dezo leads to the folder itself; a link to a profile file counts.
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("a.dezo")));
  ASSERT_TRUE(Touch(folder + QStringLiteral("a.dezo/1.dezo")));
  ASSERT_TRUE(QFile::link(folder, folder + QStringLiteral("a.dezo/back.dezo")));
  ASSERT_TRUE(QFile::link(folder + QStringLiteral("a.dezo/1.dezo"), folder + QStringLiteral("alias.dezo")));
  EXPECT_EQ(rfn::CountProfileFiles(folder), 2);

  // Profiles below the depth bound are not reached; those above it are.
  QTemporaryDir deep;
  ASSERT_TRUE(deep.isValid());
  QString level = deep.path() + u'/';
  for (int depth = 0; depth <= rfn::MaxProfileFolderDepth + 2; ++depth) {
    ASSERT_TRUE(Touch(level + QStringLiteral("p.dezo")));
    level += QStringLiteral("d.dezo/");
    ASSERT_TRUE(QDir().mkpath(level));
  }
  EXPECT_EQ(rfn::CountProfileFiles(deep.path() + u'/'), rfn::MaxProfileFolderDepth + 1);
}

TEST(RecordFileNaming, ApplyingAnIndexGivesTheNextCountAndWhetherItIsTaken) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + u'/';
  ASSERT_TRUE(Touch(folder + QStringLiteral("p_4.dezo")));
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("p_5.dezo")));
  EXPECT_EQ(rfn::ProfileFileName(folder, QStringLiteral("p_"), 4), folder + QStringLiteral("p_4.dezo"));
  const auto taken = rfn::ApplyIndex(folder, QStringLiteral("p_"), 4);
  EXPECT_EQ(taken.NextCount, 5);
  EXPECT_TRUE(taken.Taken);
  EXPECT_FALSE(rfn::ApplyIndex(folder, QStringLiteral("p_"), 5).Taken) << "a folder is no profile";
  EXPECT_FALSE(rfn::ApplyIndex(folder, QStringLiteral("q_"), 4).Taken);
  constexpr int32_t kLast = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(rfn::ApplyIndex(folder, QStringLiteral("p_"), kLast).NextCount, kLast);
}

TEST(RecordFileNaming, APresetIsSavedUnderTheTypeField) {
  const auto field = [](const char* text) { return QString::fromLatin1(text).leftJustified(PresetTypeLength, u' '); };
  const QString type = field("Tx9 300");
  const QString folder = QStringLiteral("/prog/setofpresets");
  const struct {
    QString chosen;
    QString file;
  } cases[] = {
      {folder + u'/' + type + QStringLiteral("clay.bstt"), type + QStringLiteral("clay.bstt")},
      {QStringLiteral("/elsewhere/clay.bstt"), type + QStringLiteral("clay.bstt")},
      {folder + u'/' + field("Tx9 500") + QStringLiteral("clay.bstt"),
       type + field("Tx9 500") + QStringLiteral("clay.bstt")},
      // Another kind's preset name of 16 characters and more loses them first.
      {folder + u'/' + field("Qel 1000") + QStringLiteral("sand.bstt"), type + QStringLiteral("sand.bstt")},
      {folder + u'/' + field("Qel 1000") + type + QStringLiteral("sand.bstt"), type + QStringLiteral("sand.bstt")},
      {folder + u'/' + QStringLiteral("Qel-sand.bstt"), type + QStringLiteral("Qel-sand.bstt")},
      {folder + u'/' + QStringLiteral("qel 1000        sand.bstt"), type + QStringLiteral("qel 1000        sand.bstt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen.toStdString());
    EXPECT_EQ(PresetSettingsFileName(folder, type, c.chosen), folder + u'/' + c.file);
  }
  EXPECT_EQ(PresetTypeField(type, false, QStringLiteral("XYZ-4 BT")), type);
  EXPECT_EQ(PresetTypeField(type, true, QStringLiteral("XYZ-4 BT")), QStringLiteral("-4 BT") + QString(12, u' '));
  EXPECT_EQ(PresetTypeField(type, true, QStringLiteral("AB")), QStringLiteral("AB") + QString(12, u' '));
}

}  // namespace record_file_naming_test
