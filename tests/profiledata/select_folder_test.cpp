#include "profiledata/utilits.h"

#include "platform/ui/dialog_script.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TShownDialog LastShown() {
  const auto shown = TDialogScript::Shown();
  return shown.empty() ? TShownDialog() : shown.back();
}

TEST(SelectFolder, ReturnsTheChosenFolderAndShowsWhatItWasGiven) {
  TDialogScript::QueueFolder(QStringLiteral("/home/op/survey"));
  QString path = QStringLiteral("old");
  EXPECT_TRUE(SelectFolder(125, 245, QStringLiteral("Select Directory"), path, QStringLiteral("/home/op/gpr"),
                           QStringLiteral("/home")));
  EXPECT_EQ(path, QStringLiteral("/home/op/survey"));

  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  const TShownDialog shown = LastShown();
  EXPECT_EQ(shown.Kind, dkFolder);
  EXPECT_EQ(shown.Title, QStringLiteral("Select Directory"));
  EXPECT_EQ(shown.InitialFolder, QStringLiteral("/home/op/gpr"));
  EXPECT_EQ(shown.Root, QStringLiteral("/home"));
  EXPECT_EQ(shown.X, 125);
  EXPECT_EQ(shown.Y, 245);
}

TEST(SelectFolder, CancelGivesFalseAndAnEmptyPath) {
  TDialogScript::QueueFolder(std::nullopt);
  QString path = QStringLiteral("old");
  EXPECT_FALSE(SelectFolder(0, 0, QStringLiteral("Select Directory"), path, QString(), QString()));
  EXPECT_TRUE(path.isEmpty());
}

TEST(SelectFolder, AnInitialFolderOf500CharactersStartsAtTheRoot) {
  const QString justFits = QLatin1Char('/') + QString(498, QLatin1Char('a'));  // 499 characters
  const QString tooLong = justFits + QLatin1Char('b');                          // 500 characters
  QString path;

  TDialogScript::QueueFolder(QStringLiteral("/x"));
  SelectFolder(0, 0, QString(), path, justFits, QString());
  EXPECT_EQ(LastShown().InitialFolder, justFits);

  TDialogScript::QueueFolder(QStringLiteral("/x"));
  SelectFolder(0, 0, QString(), path, tooLong, QString());
  EXPECT_EQ(LastShown().InitialFolder, QDir::rootPath());
}

}  // namespace
