// The radar log: its name, the size limit applied when a radar takes it, the line
// format, and lines written from several threads at once.

#include "radar/radar_log.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <set>
#include <thread>

namespace {

void WriteFileOfSize(const QString& name, qint64 size) {
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(size, 'x'));
}

TEST(RadarLog, NamedAfterTheExecutableInLowerCaseWithThePortSuffix) {
  TProgramFolderScope folder;
  // The test program has no extension, so "_" is appended to its name.
  const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLower();
  EXPECT_EQ(RadarLogFileName(QStringLiteral("COM3")), folder.Path(exe + QStringLiteral("_COM3.log")));
  EXPECT_EQ(RadarLogFileName(QStringLiteral("5")), folder.Path(exe + QStringLiteral("_5.log")));
}

TEST(RadarLog, OpeningEmptiesALogAbove100000BytesInWholeBlocks) {
  TProgramFolderScope folder;
  struct Case {
    qint64 size;
    qint64 after;
  };
  // 782 blocks of 128 = 100096 > 100000; 100095 bytes are 781 whole blocks = 99968.
  for (const Case& c : std::vector<Case>{{100096, 0}, {100095, 100095}, {0, 0}, {250000, 0}}) {
    const QString name = folder.Path(QStringLiteral("size.log"));
    WriteFileOfSize(name, c.size);
    TRadarLog log;
    log.Open(name);
    EXPECT_EQ(QFileInfo(name).size(), c.after) << c.size;
  }
  const QString missing = folder.Path(QStringLiteral("missing.log"));
  TRadarLog log;
  log.Open(missing);
  EXPECT_TRUE(QFileInfo::exists(missing));
  EXPECT_EQ(QFileInfo(missing).size(), 0);
}

TEST(RadarLog, EachLineIsTimeTabTextCrLf) {
  TProgramFolderScope folder;
  const QString name = folder.Path(QStringLiteral("line.log"));
  TRadarLog log;
  log.Write(QStringLiteral("before open: dropped"));
  log.Open(name);
  log.Write(QStringLiteral("CommThred\tBuffer overflow"));
  log.Write(RadarLogStartUsb);
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromLatin1(file.readAll());
  const QRegularExpression format(QStringLiteral(
      "^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\tCommThred\\tBuffer overflow\\r\\n"
      "\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\t-=Start new session\\r\\n\\t\\tRadar was connected via USB\\r\\n$"));
  EXPECT_TRUE(format.match(text).hasMatch()) << text.toStdString();
}

TEST(RadarLog, LinesFromManyThreadsAndLogsOfOneFileAreAllKeptWhole) {
  TProgramFolderScope folder;
  const QString name = folder.Path(QStringLiteral("threads.log"));
  TRadarLog first, second;
  first.Open(name);
  second.Open(name);  // a second radar with the same log name
  constexpr int kThreads = 4;
  constexpr int kLines = 250;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const TRadarLog& log = t % 2 ? second : first;
      for (int i = 0; i < kLines; ++i) log.Write(QStringLiteral("thread %1 line %2 %3").arg(t).arg(i).arg(QString(40, u'=')));
    });
  }
  for (std::thread& thread : threads) thread.join();

  const QStringList lines = ReadLogLines(name);
  ASSERT_EQ(lines.size(), kThreads * kLines);
  const QRegularExpression format(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\tthread (\\d) line (\\d+) ={40}$"));
  std::set<QString> seen;
  for (const QString& line : lines) {
    const auto match = format.match(line);
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();
    seen.insert(match.captured(1) + u':' + match.captured(2));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
}

}  // namespace
