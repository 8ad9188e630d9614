// The channel exports without a window: the SEG-Y layout (field by field, the
// GPS positions and the channels it refuses), the text export and the GPS
// companion line by line, and segyio reading our SEG-Y file as we wrote it.

#include "acquisition/channel_export.h"

#include "profiledata/nmea.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

namespace channel_export_test {

const QString kPython = QStringLiteral("/usr/bin/python3");

struct TChannelData {
  std::vector<int32_t> samples;
  TExportChannel channel;
};

// traces x longTrace samples, sample s of trace t = t * 1000 - s (negative ones too).
TChannelData Channel(int64_t traces, int32_t longTrace) {
  TChannelData data;
  data.samples.resize(static_cast<size_t>(traces * longTrace));
  for (int64_t t = 0; t < traces; ++t)
    for (int32_t s = 0; s < longTrace; ++s)
      data.samples[static_cast<size_t>(t * longTrace + s)] = static_cast<int32_t>(t * 1000 - s * 7);
  TExportChannel& c = data.channel;
  c.FileName = QStringLiteral("/data/line_7.dezo");
  c.LongTrace = longTrace;
  c.Stacking = 4;
  c.SpanWidth = 100;
  c.SpeedLight = 100;
  c.SpanDepth = QStringLiteral("5.00");
  c.StepDistance = 25;
  c.Traces = traces;
  c.Samples = data.samples.data();
  c.SampleCount = static_cast<int64_t>(data.samples.size());
  return data;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

int64_t BE(const QByteArray& bytes, int64_t at, int size) {
  uint32_t v = 0;
  for (int i = 0; i < size; ++i) v = (v << 8) | static_cast<uint8_t>(bytes.at(static_cast<qsizetype>(at + i)));
  return size == 2 ? static_cast<int16_t>(v) : static_cast<int32_t>(v);
}

int64_t TraceField(const QByteArray& bytes, int64_t trace, int32_t longTrace, int64_t offset, int size) {
  return BE(bytes, 3600 + trace * (240 + 4 * int64_t{longTrace}) + offset, size);
}

const QString kGga1 = QStringLiteral("$GPGGA,120000.00,5030.50000,N,03015.25000,E,1,08,0.9,100.0,M,,M,,*00");
const QString kGga2 = QStringLiteral("$GPGGA,120001.00,5030.51000,N,03015.26000,E,1,08,0.9,100.0,M,,M,,*00");
const QString kGga3 = QStringLiteral("$GPGGA,120002.00,3330.00000,S,07000.50000,W,1,08,0.9,100.0,M,,M,,*00");

std::pair<int32_t, int32_t> Ms(const QString& sentence) {
  int32_t lat = 0, lon = 0;
  QString text;
  NmeaToLatLonMs(sentence, lat, lon, text);
  return {lat, lon};
}

TEST(SegYExport, TheHeadersTracesAndSamplesOfTheLayout) {
  QTemporaryDir dir;
  TChannelData data = Channel(200, 512);
  const QString path = dir.filePath(QStringLiteral("a.seg"));
  QString error;
  ASSERT_TRUE(WriteSegYFile(data.channel, path, &error)) << error.toStdString();
  const QByteArray bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 461200);
  EXPECT_EQ(bytes.left(3200), QByteArray(3200, '\0'));
  EXPECT_EQ(BE(bytes, 3212, 2), 200);
  EXPECT_EQ(BE(bytes, 3216, 2), 195);  // 100 ns over 512 samples: 195.3 ps
  EXPECT_EQ(BE(bytes, 3220, 2), 512);
  EXPECT_EQ(BE(bytes, 3224, 2), 2);
  EXPECT_EQ(BE(bytes, 3254, 2), 1);
  for (int64_t t : {0, 1, 199}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(TraceField(bytes, t, 512, 0, 4), t + 1);
    EXPECT_EQ(TraceField(bytes, t, 512, 28, 2), 9);
    EXPECT_EQ(TraceField(bytes, t, 512, 70, 2), -1000);
    EXPECT_EQ(TraceField(bytes, t, 512, 72, 4), t * 25);
    EXPECT_EQ(TraceField(bytes, t, 512, 76, 4), 0);
    EXPECT_EQ(TraceField(bytes, t, 512, 80, 4), t * 25);
    EXPECT_EQ(TraceField(bytes, t, 512, 84, 4), 0);
    EXPECT_EQ(TraceField(bytes, t, 512, 88, 2), 1);
    EXPECT_EQ(TraceField(bytes, t, 512, 114, 2), 512);
    EXPECT_EQ(TraceField(bytes, t, 512, 116, 2), 195);
    for (int32_t s : {0, 1, 511}) EXPECT_EQ(TraceField(bytes, t, 512, 240 + 4 * s, 4), t * 1000 - s * 7) << s;
  }
}

TEST(SegYExport, IntervalIsRoundedHalfToEvenPicoseconds) {
  EXPECT_EQ(SegYIntervalPs(100, 512), 195);
  EXPECT_EQ(SegYIntervalPs(0.5, 1), 500);
  EXPECT_EQ(SegYIntervalPs(2.5, 1000), 2);  // 2.5 ps
  EXPECT_EQ(SegYIntervalPs(3.5, 1000), 4);
  EXPECT_EQ(SegYIntervalPs(100, 0), -1);
}

TEST(SegYExport, GpsFromTwoEntriesOnwardWithEarlierAndMissingTracesFilled) {
  TChannelData data = Channel(6, 4);
  // One entry: no GPS, the positions stay lengths.
  data.channel.NMEIStrings = {QStringLiteral("2=") + kGga1};
  EXPECT_TRUE(SegYPositions(data.channel).empty());
  // Entries for traces 3, 4 and 6 (counted from 1), out of order in the list.
  data.channel.NMEIStrings = {QStringLiteral("6=") + kGga3, QStringLiteral("3=") + kGga1,
                              QStringLiteral("4=") + kGga2};
  const auto positions = SegYPositions(data.channel);
  const std::vector<std::pair<int32_t, int32_t>> expected{Ms(kGga1), Ms(kGga1), Ms(kGga1),
                                                          Ms(kGga2), Ms(kGga2), Ms(kGga3)};
  EXPECT_EQ(positions, expected);
  EXPECT_EQ(Ms(kGga1), std::make_pair(181830000, 108915000));
  EXPECT_LT(Ms(kGga3).first, 0);
  EXPECT_LT(Ms(kGga3).second, 0);

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("g.seg"));
  ASSERT_TRUE(WriteSegYFile(data.channel, path, nullptr));
  const QByteArray bytes = ReadAll(path);
  for (int64_t t = 0; t < 6; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(TraceField(bytes, t, 4, 88, 2), 2);
    EXPECT_EQ(TraceField(bytes, t, 4, 72, 4), expected[static_cast<size_t>(t)].first);
    EXPECT_EQ(TraceField(bytes, t, 4, 76, 4), expected[static_cast<size_t>(t)].second);
    EXPECT_EQ(TraceField(bytes, t, 4, 80, 4), t * 25);  // the group keeps the distance
  }
}

TEST(SegYExport, AChannelTheFieldsCannotHoldIsRefusedAndNothingWritten) {
  QTemporaryDir dir;
  struct TCase {
    const char* what;
    int64_t traces;
    int32_t longTrace;
    double spanWidth;
  };
  const TCase cases[] = {
      {"65536 traces", 65536, 4, 100},
      {"interval 70000 ps", 3, 1, 70},
      {"65536 samples", 2, 65536, 100},
      {"no traces", 0, 4, 100},
  };
  for (const TCase& c : cases) {
    TChannelData data = Channel(0, 0);
    data.channel.Traces = c.traces;
    data.channel.LongTrace = c.longTrace;
    data.channel.SpanWidth = c.spanWidth;
    data.channel.Samples = nullptr;
    data.channel.SampleCount = 0;
    const QString path = dir.filePath(QString::fromLatin1(c.what) + QStringLiteral(".seg"));
    QString error;
    EXPECT_FALSE(WriteSegYFile(data.channel, path, &error)) << c.what;
    EXPECT_FALSE(error.isEmpty()) << c.what;
    EXPECT_FALSE(QFile::exists(path)) << c.what;
  }
  // The largest that fit are written.
  TChannelData edge = Channel(2, 1);
  edge.channel.SpanWidth = 65.535;
  EXPECT_TRUE(WriteSegYFile(edge.channel, dir.filePath(QStringLiteral("edge.seg")), nullptr));
  EXPECT_EQ(BE(ReadAll(dir.filePath(QStringLiteral("edge.seg"))), 3216, 2) & 0xFFFF, 65535);
}

TEST(SegYExport, AShortSampleBlockEndsInZerosAndAFileThatCannotBeMadeFails) {
  QTemporaryDir dir;
  TChannelData data = Channel(2, 3);
  data.channel.SampleCount = 4;  // trace 2 has one sample
  const QString path = dir.filePath(QStringLiteral("s.seg"));
  ASSERT_TRUE(WriteSegYFile(data.channel, path, nullptr));
  const QByteArray bytes = ReadAll(path);
  EXPECT_EQ(TraceField(bytes, 1, 3, 240, 4), 1000);
  EXPECT_EQ(TraceField(bytes, 1, 3, 244, 4), 0);
  EXPECT_EQ(TraceField(bytes, 1, 3, 248, 4), 0);
  QString error;
  EXPECT_FALSE(WriteSegYFile(data.channel, dir.filePath(QStringLiteral("no/such/folder.seg")), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("no/such/folder.seg")));
}

TEST(TextExport, HeaderThenOneLinePerSampleInTheCodePageWithCrLf) {
  QTemporaryDir dir;
  TChannelData data = Channel(2, 3);
  data.channel.SpanWidth = 12.345;
  const QString path = dir.filePath(QStringLiteral("t.dat"));
  int served = 0;
  ASSERT_TRUE(WriteTextExportFile(data.channel, path, [&served] { ++served; }, nullptr));
  EXPECT_EQ(served, 2);  // once per trace
  const QByteArray expected = QByteArrayLiteral(
      "Source File=/data/line_7.dezo\r\n"
      "Samples= 3\r\n"
      "Stacking=4\r\n"
      "Window Width=12.35 ns\r\n"
      "Wave Speed=100 m/\xB5s\r\n"
      "Window Depth=5.00 m\r\n"
      "################\r\n"
      "1\t1\t0\r\n1\t2\t-7\r\n1\t3\t-14\r\n"
      "2\t1\t1000\r\n2\t2\t993\r\n2\t3\t986\r\n");
  EXPECT_EQ(ReadAll(path), expected);
  EXPECT_EQ(ReadAll(path).count("\r\n"), 13);
}

TEST(TextExport, WidthIsPaddedToFiveAndAnOldFileIsRewritten) {
  QTemporaryDir dir;
  TChannelData data = Channel(1, 1);
  data.channel.SpanWidth = 1.5;
  EXPECT_EQ(TextExportHeaderLines(data.channel).at(3), QStringLiteral("Window Width= 1.50 ns"));
  const QString path = dir.filePath(QStringLiteral("old.dat"));
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
  }
  ASSERT_TRUE(WriteTextExportFile(data.channel, path, {}, nullptr));
  EXPECT_FALSE(ReadAll(path).contains('x'));
  EXPECT_TRUE(ReadAll(path).endsWith("1\t1\t0\r\n"));
}

TEST(GpsCompanion, TheSourceTheTitleAndOneLinePerEntryInListOrder) {
  QTemporaryDir dir;
  TChannelData data = Channel(1, 1);
  data.channel.NMEIStrings = {QStringLiteral("7=") + kGga2, QStringLiteral("3=") + kGga1};
  const QString path = dir.filePath(QStringLiteral("a.gps"));
  ASSERT_TRUE(WriteGpsCompanionFile(data.channel, path, nullptr));
  const QByteArray expected = QByteArrayLiteral("Source File=/data/line_7.dezo\r\n################\r\nTrace No=\tNMEI\r\n") +
                              "7\t" + kGga2.toLatin1() + "\r\n3\t" + kGga1.toLatin1() + "\r\n";
  EXPECT_EQ(ReadAll(path), expected);
  data.channel.NMEIStrings.clear();
  ASSERT_TRUE(WriteGpsCompanionFile(data.channel, path, nullptr));
  EXPECT_EQ(ReadAll(path).count("\r\n"), 3);
}

// ---- segyio --------------------------------------------------------------------------------

bool SegyioAvailable() {
  QProcess p;
  p.start(kPython, {QStringLiteral("-c"), QStringLiteral("import segyio, numpy")});
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// One line per value: trace count, samples, interval (both headers), then per
// trace: sequence number, scalar, source x, source y, units, then the samples.
constexpr const char* kReadBack = R"(
import sys, segyio
with segyio.open(sys.argv[1], ignore_geometry=True, endian='big') as f:
    out = [f.tracecount, len(f.samples), f.bin[segyio.BinField.Interval], int(f.format)]
    for i in range(f.tracecount):
        h = f.header[i]
        out += [h[segyio.su.tracl], h[segyio.su.scalco], h[segyio.su.sx], h[segyio.su.sy], h[segyio.su.counit],
                h[segyio.su.dt], h[segyio.su.ns]]
        out += [int(v) for v in f.trace[i]]
    print(' '.join(str(v) for v in out))
)";

TEST(SegYExport, SegyioReadsOurFileAsWritten) {
  if (!SegyioAvailable()) GTEST_SKIP() << "segyio (python3-segyio) is not installed";
  QTemporaryDir dir;
  TChannelData data = Channel(5, 6);
  data.channel.NMEIStrings = {QStringLiteral("2=") + kGga1, QStringLiteral("4=") + kGga3};
  const QString path = dir.filePath(QStringLiteral("io.seg"));
  ASSERT_TRUE(WriteSegYFile(data.channel, path, nullptr));
  QProcess p;
  p.start(kPython, {QStringLiteral("-c"), QString::fromLatin1(kReadBack), path});
  ASSERT_TRUE(p.waitForFinished(60000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QStringList values = QString::fromLatin1(p.readAllStandardOutput()).trimmed().split(u' ');
  std::vector<int64_t> expected{5, 6, SegYIntervalPs(100, 6), 2};
  const auto positions = SegYPositions(data.channel);
  for (int64_t t = 0; t < 5; ++t) {
    expected.insert(expected.end(), {t + 1, -1000, positions[static_cast<size_t>(t)].first,
                                     positions[static_cast<size_t>(t)].second, 2, SegYIntervalPs(100, 6), 6});
    for (int s = 0; s < 6; ++s) expected.push_back(data.samples[static_cast<size_t>(t * 6 + s)]);
  }
  ASSERT_EQ(values.size(), static_cast<qsizetype>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(values[static_cast<qsizetype>(i)].toLongLong(), expected[i]) << i;
}

}  // namespace channel_export_test
