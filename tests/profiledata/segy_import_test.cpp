// SEG-Y import: the helpers, files built here byte by byte (either byte order,
// every sample format, the export layout of the acquisition program) and files
// made by segyio, refusals, a file that ends while it is read, the trace-step
// question and an import that is saved and opened again.

#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/input_box.h"
#include "platform/ui/std_controls.h"
#include "profiledata/segy_import.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/profiledata/settings_files_env.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>

namespace segy_import_test {

using namespace record_fixtures;

std::vector<QString> Shown() {
  std::vector<QString> texts;
  for (const TShownDialog& d : TDialogScript::Shown())
    if (d.Kind == dkMessageBox) texts.push_back(d.Text);
  return texts;
}

// ---- Files built here -----------------------------------------------------------------------

uint32_t ToIbm(double v) {
  if (v == 0) return 0;
  const uint32_t sign = v < 0 ? 0x80000000u : 0;
  double m = std::fabs(v);
  int exponent = 64;
  while (m >= 1) {
    m /= 16;
    ++exponent;
  }
  while (m < 1.0 / 16) {
    m *= 16;
    --exponent;
  }
  return sign | (static_cast<uint32_t>(exponent) << 24) | static_cast<uint32_t>(std::llround(m * 16777216.0));
}

struct TSegyTrace {
  int16_t units = 0;
  int32_t x = 0;
  int32_t y = 0;
  std::optional<std::pair<float, float>> floatXY;  // units 3
  std::vector<double> samples;
};

// Every field of the acquisition program's own export, in either byte order.
struct TSegyFile {
  bool bigEndian = true;
  uint16_t format = 2;
  uint16_t ns = 8;
  uint16_t interval = 200;
  std::vector<TSegyTrace> traces;

  QByteArray Build() const {
    QByteArray bytes(3600, '\0');
    PutU16(bytes, 3212, static_cast<uint16_t>(traces.size()));
    PutU16(bytes, 3216, interval);
    PutU16(bytes, 3220, ns);
    PutU16(bytes, 3224, format);
    PutU16(bytes, 3254, 1);
    for (size_t i = 0; i < traces.size(); ++i) {
      const TSegyTrace& t = traces[i];
      QByteArray header(240, '\0');
      PutU32(header, 0, static_cast<uint32_t>(i + 1));
      PutU16(header, 28, 9);
      if (t.floatXY) {
        PutU32(header, 72, std::bit_cast<uint32_t>(t.floatXY->first));
        PutU32(header, 76, std::bit_cast<uint32_t>(t.floatXY->second));
      } else {
        PutU32(header, 72, static_cast<uint32_t>(t.x));
        PutU32(header, 76, static_cast<uint32_t>(t.y));
      }
      PutU32(header, 80, static_cast<uint32_t>(t.x));
      PutU16(header, 88, static_cast<uint16_t>(t.units));
      PutU16(header, 114, ns);
      PutU16(header, 116, interval);
      bytes += header;
      for (int k = 0; k < ns; ++k) bytes += Sample(k < int(t.samples.size()) ? t.samples[size_t(k)] : 0);
    }
    return bytes;
  }

  int64_t TraceBytes() const { return 240 + int64_t{ns} * (format == 3 ? 2 : 4); }

private:
  void PutU16(QByteArray& b, int at, uint16_t v) const {
    const uint8_t hi = v >> 8, lo = v & 0xFF;
    b[at] = char(bigEndian ? hi : lo);
    b[at + 1] = char(bigEndian ? lo : hi);
  }
  void PutU32(QByteArray& b, int at, uint32_t v) const {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (bigEndian ? 24 - 8 * i : 8 * i));
  }
  QByteArray Sample(double v) const {
    QByteArray b(format == 3 ? 2 : 4, '\0');
    switch (format) {
      case 1: PutU32(b, 0, ToIbm(v)); break;
      case 3: PutU16(b, 0, static_cast<uint16_t>(static_cast<int16_t>(v))); break;
      case 5: PutU32(b, 0, std::bit_cast<uint32_t>(static_cast<float>(v))); break;
      default: PutU32(b, 0, static_cast<uint32_t>(static_cast<int32_t>(v))); break;
    }
    return b;
  }
};

// Sample k of trace t: distinct, negative for some, within 16 bits for small files.
int32_t Value(int t, int k) { return t * 1000 + k * 3 - 700; }

std::vector<double> TraceSamples(int t, int ns) {
  std::vector<double> s(static_cast<size_t>(ns));
  for (int k = 0; k < ns; ++k) s[size_t(k)] = Value(t, k);
  return s;
}

TSegyFile FileOf(int traces, uint16_t ns, uint16_t format = 2, bool bigEndian = true) {
  TSegyFile f;
  f.bigEndian = bigEndian;
  f.format = format;
  f.ns = ns;
  for (int t = 0; t < traces; ++t) f.traces.push_back({0, 0, 0, std::nullopt, TraceSamples(t, ns)});
  return f;
}

// What the trace-step question showed; its answer (nullopt: cancel).
struct TStepQuestion {
  QString caption, prompt, value;
  bool asked = false;
};

void QueueStepAnswer(TStepQuestion& shown, std::optional<QString> answer = std::nullopt) {
  TDialogScript::QueueModal([&shown, answer](TForm& form) {
    auto& box = dynamic_cast<TInputBoxForm&>(form);
    shown.asked = true;
    shown.caption = box.Caption();
    shown.prompt = box.Prompt->Caption();
    shown.value = box.Edit->Text();
    if (!answer) return;
    box.Edit->SetText(*answer);
    box.SetModalResult(mrOk);
  });
}

// Imports the bytes through a file; the step question is cancelled.
bool Import(TFilesEnv& env, const QByteArray& bytes, TStepQuestion* question = nullptr) {
  const QString file = env.Path(QStringLiteral("in.sgy"));
  WriteFileBytes(file, bytes);
  TStepQuestion local;
  QueueStepAnswer(question ? *question : local);
  return env.Settings().ImportFromSEGA(file);
}

int32_t Raw(const T2Dview& store, int64_t i) { return store.RawData.Data()[i]; }

// ---- Helpers ---------------------------------------------------------------------------------

TEST(SegyImport, ByteOrderAndIbmFloats) {
  EXPECT_EQ(SwapInt32(0x11223344u), 0x44332211u);
  EXPECT_EQ(SwapFloat32(0x0000803Fu), 1.0f);
  struct TCase {
    uint32_t bits;
    double value;
  };
  for (const TCase& c : {TCase{0x41100000u, 1.0}, TCase{0xC276A000u, -118.625}, TCase{0x00000000u, 0.0},
                         TCase{0x3F800000u, 0.03125}, TCase{0x46FFFFFFu, 16777215.0},
                         TCase{0x7FFFFFFFu, std::ldexp(16777215.0, 4 * 63 - 24)}}) {
    EXPECT_EQ(IbmFloatToDouble(c.bits), c.value) << std::hex << c.bits;
  }
  EXPECT_EQ(IbmFloatToDouble(ToIbm(-4567.0)), -4567.0);
}

TEST(SegyImport, SamplesGiveOverStepAndTraceLength) {
  struct TCase {
    int32_t ns;
    int overStep;
    int32_t longTrace;
  };
  for (const TCase& c : {TCase{4, 250, 4}, TCase{7, 142, 7}, TCase{100, 10, 100}, TCase{166, 6, 167},
                         TCase{167, 5, 200}, TCase{250, 4, 250}, TCase{333, 3, 333}, TCase{512, 1, 1000},
                         TCase{1000, 1, 1000}, TCase{1500, 1, 1000}, TCase{3, 255, 4}}) {
    uint8_t overStep = 0;
    EXPECT_EQ(SamplesToOverStep(c.ns, overStep), c.longTrace) << c.ns;
    EXPECT_EQ(overStep, c.overStep) << c.ns;
    EXPECT_GE(SamplesToOverStep(c.ns, overStep), std::min(c.ns, 1000)) << "a trace is never cut below 1000 samples";
  }
}

TEST(SegyImport, CoordinateFields) {
  struct TCase {
    int32_t value;
    int units;
    bool longitude;
    float floatValue;
    const char* text;
    const char* hemisphere;
  };
  for (const TCase& c : {
           TCase{181830000, 2, false, 0, "5030.50000", "N"},
           TCase{-142200000, 2, true, 0, "3930.00000", "W"},
           TCase{142200000, 2, true, 0, "3930.00000", "E"},
           TCase{-181830000, 2, false, 0, "5030.50000", "S"},
           TCase{3600000 * 5 + 60000 * 7 + 1, 2, false, 0, "507.00002", "N"},
           TCase{3600000 * 300, 2, true, 0, "6000.00000", "E"},
           TCase{0, 3, false, 50.5f, "5030.00000", "N"},
           TCase{0, 3, true, -39.25f, "3915.00000", "W"},
           TCase{503030, 4, false, 0, "5030.50000", "N"},
           TCase{-393000, 4, true, 0, "3930.00000", "W"},
           TCase{123, 1, false, 0, "", ""},
       }) {
    QString text = QStringLiteral("?"), hemisphere = QStringLiteral("?");
    FormatCoordMs(c.value, c.units, c.longitude, text, hemisphere, c.floatValue);
    EXPECT_EQ(text, c.text) << c.value << " units " << c.units;
    EXPECT_EQ(hemisphere, c.hemisphere) << c.value << " units " << c.units;
  }
  QString text, hemisphere;
  FormatCoordMs(std::numeric_limits<int32_t>::min(), 2, false, text, hemisphere, 0);
  EXPECT_EQ(hemisphere, "S") << "the most negative value has no overflow";
}

// ---- Imports of files built here --------------------------------------------------------------

TEST(SegyImport, BigEndianIbmFileOf512SamplesFillsTracesOf1000) {
  TFilesEnv env;
  env.window->panelWidth = 300;
  TSegyFile f = FileOf(3, 512, /*format=*/1);
  f.interval = 250;
  TStepQuestion question;
  ASSERT_TRUE(Import(env, f.Build(), &question));

  const TSettingData& s = env.Settings();
  EXPECT_EQ(s.GetOverStep(), 1);
  EXPECT_EQ(s.GetLongTrace(), 1000);
  EXPECT_DOUBLE_EQ(s.GetSpanWidth(), 250.0);
  EXPECT_EQ(s.GetSpeedLight(), 150);
  EXPECT_EQ(s.GetRunMode(), rmWheel);
  EXPECT_EQ(s.GetTopoType(), ttCustom);
  EXPECT_EQ(s.GetWheelMult(), 1);
  EXPECT_EQ(s.GetAngle(), 9000000);
  EXPECT_FALSE(s.GetAdvanceStacking());
  EXPECT_TRUE(s.NMEIStrings.isEmpty());

  const T2Dview& store = *env.store;
  EXPECT_EQ(store.MinNumTraces(), 0);
  EXPECT_EQ(store.MaxNumTraces(), 3);
  EXPECT_EQ(store.SizeDat(), 3 * 1000 * 4);
  ASSERT_EQ(store.RawData.Bytes(), 12000);
  for (int t = 0; t < 3; ++t)
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(Raw(store, t * 1000 + k), k < 512 ? Value(t, k) : 0) << t << ":" << k;
  EXPECT_EQ(std::memcmp(store.RawData.Data(), store.dezoData.Data(), 12000), 0);

  EXPECT_TRUE(question.asked);
  EXPECT_EQ(question.caption, "Step of Measuring");
  EXPECT_EQ(question.prompt, "Step of Measuring, mm");
  EXPECT_EQ(question.value, "1.00");
  EXPECT_EQ(env.window->progress.front(), std::make_pair(0, 1));
  EXPECT_EQ(env.window->progressHidden, std::vector<int>{0});
}

TEST(SegyImport, EverySampleFormatInEitherByteOrder) {
  for (bool bigEndian : {true, false}) {
    for (uint16_t format : {1, 2, 3, 4, 5}) {
      SCOPED_TRACE(std::to_string(format) + (bigEndian ? " big" : " little"));
      TFilesEnv env;
      ASSERT_TRUE(Import(env, FileOf(4, 250, format, bigEndian).Build()));
      EXPECT_EQ(env.Settings().GetOverStep(), 4);
      EXPECT_EQ(env.Settings().GetLongTrace(), 250);
      ASSERT_EQ(env.store->NumTraces(), 4);
      for (int t = 0; t < 4; ++t)
        for (int k = 0; k < 250; ++k) ASSERT_EQ(Raw(*env.store, t * 250 + k), Value(t, k));
    }
  }
}

TEST(SegyImport, FloatSamplesRoundHalfToEvenAndSaturate) {
  for (uint16_t format : {1, 5}) {
    SCOPED_TRACE(format);
    TFilesEnv env;
    TSegyFile f = FileOf(1, 8, format);
    // IBM floats have no NaN.
    const double last = format == 5 ? std::nan("") : 6.5;
    f.traces[0].samples = {2.5, 3.5, -2.5, 0.75, 1e12, -1e12, last, -0.25};
    ASSERT_TRUE(Import(env, f.Build()));
    const std::vector<int32_t> expected = {2, 4, -2, 1, INT32_MAX, INT32_MIN, format == 5 ? 0 : 6, 0};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(Raw(*env.store, k), expected[size_t(k)]) << k;
  }
}

TEST(SegyImport, FewSamplesKeepTheirOverStepThroughASavedProfile) {
  TFilesEnv env;
  TSegyFile f = FileOf(5, 100);
  f.interval = 400;
  ASSERT_TRUE(Import(env, f.Build()));
  TSettingData& s = env.Settings();
  ASSERT_EQ(s.GetOverStep(), 10);
  ASSERT_EQ(s.GetLongTrace(), 100);
  EXPECT_DOUBLE_EQ(s.GetSpanWidth(), 40.0);
  const long double sampleNs = s.GetSpanWidth() * s.GetOverStep() / 1000.0L;
  EXPECT_DOUBLE_EQ(static_cast<double>(sampleNs), 0.4) << "one sample is one interval";

  const QString file = env.Path("import.dezo");
  ASSERT_TRUE(env.store->WriteToFile(file));
  EXPECT_EQ(ParseWgpr42(ReadFileBytes(file)).fields.overStep, 10);

  T2Dview reopened(nullptr);
  ASSERT_TRUE(reopened.LoadFromFile(file));
  const TSettingData& r = *reopened.Settings();
  EXPECT_EQ(r.GetOverStep(), 10);
  EXPECT_EQ(r.GetLongTrace(), 100);
  EXPECT_DOUBLE_EQ(r.GetSpanWidth(), 40.0);
  EXPECT_EQ(r.SampleToTime(50), s.SampleToTime(50));
  EXPECT_EQ(reopened.NumTraces(), 5);
  EXPECT_EQ(RawBytes(reopened), RawBytes(*env.store));
}

TEST(SegyImport, RecordsKeepAnOverStepAboveFiveOnlyWithItsTraceLength) {
  struct TCase {
    uint8_t overStep;
    int32_t longTrace;
    uint8_t read;
  };
  for (const TCase& c : {TCase{10, 100, 10}, TCase{6, 167, 6}, TCase{250, 4, 250}, TCase{9, 500, 5},
                         TCase{10, 99, 5}, TCase{0, 500, 1}, TCase{3, 512, 3}}) {
    SCOPED_TRACE(std::to_string(c.overStep) + " / " + std::to_string(c.longTrace));
    TStoreEnv env;
    TRecordFields f;
    f.overStep = c.overStep;
    f.longTrace = c.longTrace;
    f.FillRaw();
    const QString file = env.Path("r.dezo");
    WriteFileBytes(file, BuildWgpr(f, 42));
    T2Dview store(nullptr);
    ASSERT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(store.Settings()->GetOverStep(), c.read);
    EXPECT_EQ(store.Settings()->GetLongTrace(), c.longTrace);
  }
}

TEST(SegyImport, ExportLayoutImportsExactly) {
  // A channel of 500 samples in 100 ns with a 20 mm step, as the acquisition
  // program exports it: format 2, big-endian, X = trace x step in units 1.
  TSegyFile f = FileOf(6, 500);
  f.interval = 200;  // round(100 x 1000 / 500)
  for (int t = 0; t < 6; ++t) {
    f.traces[size_t(t)].units = 1;
    f.traces[size_t(t)].x = t * 20;
    f.traces[size_t(t)].samples[3] = -5000000 - t;
    f.traces[size_t(t)].samples[4] = 70000000 + t;
  }
  TFilesEnv env;
  TStepQuestion question;
  ASSERT_TRUE(Import(env, f.Build(), &question));
  const TSettingData& s = env.Settings();
  EXPECT_EQ(s.GetLongTrace(), 500);
  EXPECT_EQ(s.GetOverStep(), 2);
  EXPECT_DOUBLE_EQ(s.GetSpanWidth(), 100.0);
  EXPECT_DOUBLE_EQ(s.GetWheelStep(), 20.0);
  EXPECT_EQ(question.value, "20.00");
  EXPECT_TRUE(s.NMEIStrings.isEmpty());
  ASSERT_EQ(env.store->NumTraces(), 6);
  for (int t = 0; t < 6; ++t)
    for (int k = 0; k < 500; ++k) ASSERT_EQ(Raw(*env.store, t * 500 + k), int32_t(f.traces[size_t(t)].samples[size_t(k)]));

  // The same channel with GPS: positions in 1/3 600 000 degree, units 2.
  for (int t = 0; t < 6; ++t) {
    f.traces[size_t(t)].units = 2;
    f.traces[size_t(t)].x = 181830000 + t / 2 * 60;
    f.traces[size_t(t)].y = -142200000;
  }
  TFilesEnv gps;
  ASSERT_TRUE(Import(gps, f.Build()));
  const QString tail = QStringLiteral(",W,1,06,2.48,-1574.0065,M,27.8589,M,,*48");
  EXPECT_EQ(gps.Settings().NMEIStrings,
            (QStringList{QStringLiteral("1=$GPGGA,120526.00,5030.50000,N,3930.00000") + tail,
                         QStringLiteral("3=$GPGGA,120526.00,5030.50100,N,3930.00000") + tail,
                         QStringLiteral("5=$GPGGA,120526.00,5030.50200,N,3930.00000") + tail}));
  EXPECT_DOUBLE_EQ(gps.Settings().GetWheelStep(), 1.0) << "positions give no step";
}

TEST(SegyImport, SecondTraceLengthGivesTheStep) {
  struct TCase {
    int traces;
    int16_t units;
    int32_t x;
    double step;
  };
  for (const TCase& c : {TCase{3, 1, 5000, 1.0}, TCase{3, 1, 25, 25.0}, TCase{3, 1, 1000, 1000.0},
                         TCase{3, 1, 0, 1.0}, TCase{3, 1, -7, 1.0}, TCase{3, 0, 25, 1.0}, TCase{1, 1, 25, 1.0}}) {
    SCOPED_TRACE(std::to_string(c.units) + " x " + std::to_string(c.x) + " traces " + std::to_string(c.traces));
    TSegyFile f = FileOf(c.traces, 8);
    for (int t = 0; t < c.traces; ++t) {
      f.traces[size_t(t)].units = c.units;
      f.traces[size_t(t)].x = t == 1 ? c.x : 99999;
    }
    TFilesEnv env;
    env.Settings().SetWheelStep(33);
    ASSERT_TRUE(Import(env, f.Build()));
    EXPECT_DOUBLE_EQ(env.Settings().GetWheelStep(), c.step);
  }
}

TEST(SegyImport, StepAnswers) {
  struct TCase {
    std::optional<QString> answer;
    double step;
  };
  for (const TCase& c : {TCase{QStringLiteral("12.5"), 12.5}, TCase{QStringLiteral(" 7 "), 7.0},
                         TCase{QStringLiteral("abc"), 25.0}, TCase{QStringLiteral("-3"), 25.0},
                         TCase{QStringLiteral("0"), 25.0}, TCase{QStringLiteral(""), 25.0},
                         TCase{std::nullopt, 25.0}}) {
    SCOPED_TRACE(c.answer.value_or(QStringLiteral("cancel")).toStdString());
    TSegyFile f = FileOf(2, 8);
    f.traces[1].units = 1;
    f.traces[1].x = 25;
    TFilesEnv env;
    const QString file = env.Path("in.sgy");
    WriteFileBytes(file, f.Build());
    TStepQuestion question;
    QueueStepAnswer(question, c.answer);
    ASSERT_TRUE(env.Settings().ImportFromSEGA(file));
    EXPECT_EQ(question.value, "25.00");
    EXPECT_DOUBLE_EQ(env.Settings().GetWheelStep(), c.step);
  }
}

TEST(SegyImport, UnusableFilesAreRefusedAndChangeNothing) {
  struct TCase {
    const char* what;
    QByteArray bytes;
    QString message;
  };
  const auto withFormatBytes = [](QByteArray bytes, char a, char b) {
    bytes[3224] = a;
    bytes[3225] = b;
    return bytes;
  };
  const QByteArray good = FileOf(2, 8).Build();
  std::vector<TCase> cases = {
      {"3 samples", FileOf(2, 3).Build(), "The SEG-Y file has 3 samples per trace; at least 4 are needed."},
      {"0 samples", FileOf(2, 0).Build(), "The SEG-Y file has 0 samples per trace; at least 4 are needed."},
      {"format 6", FileOf(2, 8, 6).Build(), "Data sample format 6 of the SEG-Y file cannot be read."},
      {"format 0", withFormatBytes(good, 0, 0), "Data sample format 0 of the SEG-Y file cannot be read."},
      {"format 8 little-endian", withFormatBytes(good, 8, 0),
       "Data sample format 2048 of the SEG-Y file cannot be read."},
      {"no trace", FileOf(0, 8).Build(), "The SEG-Y file holds no whole trace."},
      {"part of a trace", good.left(3600 + 240 + 31), "The SEG-Y file holds no whole trace."},
      {"no binary header", good.left(3300), "The SEG-Y file holds no whole trace."},
      {"empty", QByteArray(), "The SEG-Y file holds no whole trace."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TDialogScript::Reset();
    TFilesEnv env;
    const int32_t speed = env.Settings().GetSpeedLight();
    const QString file = env.Path("bad.sgy");
    WriteFileBytes(file, c.bytes);
    TDialogScript::QueueAnswer(IDOK);
    EXPECT_FALSE(env.Settings().ImportFromSEGA(file));
    EXPECT_EQ(Shown(), std::vector<QString>{c.message});
    EXPECT_EQ(TDialogScript::Shown().size(), 1u) << "no step question";
    EXPECT_EQ(env.Settings().GetSpeedLight(), speed);
    EXPECT_FALSE(env.store->HoldsTraces());
  }
}

TEST(SegyImport, FileEndingWhileReadKeepsTheTracesReadAndStillAsksTheStep) {
  TFilesEnv env;
  env.window->panelWidth = 300;
  const TSegyFile f = FileOf(50, 8);
  const QString file = env.Path("shrinking.sgy");
  WriteFileBytes(file, f.Build());
  // The file is cut while trace 20 is being taken, in the middle of trace 30.
  int calls = 0;
  env.window->onProgress = [&] {
    if (++calls == 3) QFile::resize(file, 3600 + 30 * f.TraceBytes() + 10);
  };
  TStepQuestion question;
  QueueStepAnswer(question, QStringLiteral("4"));
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_TRUE(env.Settings().ImportFromSEGA(file));

  EXPECT_EQ(Shown(), std::vector<QString>{"The SEG-Y file ended early; 30 traces were read."});
  EXPECT_TRUE(question.asked);
  EXPECT_DOUBLE_EQ(env.Settings().GetWheelStep(), 4.0);
  const T2Dview& store = *env.store;
  EXPECT_EQ(store.NumTraces(), 30);
  EXPECT_EQ(store.SizeDat(), 30 * 8 * 4);
  EXPECT_EQ(store.RawData.Bytes(), 30 * 8 * 4);
  EXPECT_EQ(store.dezoData.Bytes(), 30 * 8 * 4);
  for (int t = 0; t < 30; ++t)
    for (int k = 0; k < 8; ++k) ASSERT_EQ(Raw(store, t * 8 + k), Value(t, k));
  EXPECT_EQ((std::vector<std::pair<int, int>>(env.window->progress.begin(), env.window->progress.begin() + 3)),
            (std::vector<std::pair<int, int>>{{0, 1}, {0, 6}, {0, 126}}));
  EXPECT_EQ(env.window->progressHidden, std::vector<int>{0});

  // What was read saves and opens as any profile.
  const QString saved = env.Path("part.dezo");
  ASSERT_TRUE(env.store->WriteToFile(saved));
  T2Dview reopened(nullptr);
  ASSERT_TRUE(reopened.LoadFromFile(saved));
  EXPECT_EQ(RawBytes(reopened), RawBytes(store));
}

TEST(SegyImport, MissingFileAndPlanningProgram) {
  {
    TFilesEnv env;
    TDialogScript::QueueAnswer(IDOK);
    EXPECT_FALSE(env.Settings().ImportFromSEGA(env.Path("absent.sgy")));
    EXPECT_EQ(Shown(), std::vector<QString>{QStringLiteral("Cannot open file \"") + env.Path("absent.sgy") +
                                            QStringLiteral("\".")});
  }
  TDialogScript::Reset();
  TFilesEnv planning(/*acquisition=*/false);
  const QString file = planning.Path("in.sgy");
  WriteFileBytes(file, FileOf(3, 8).Build());
  EXPECT_FALSE(planning.Settings().ImportFromSEGA(file));
  EXPECT_FALSE(planning.store->HoldsTraces());
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

// ---- Files made and read by segyio ------------------------------------------------------------

const QString kPython = QStringLiteral("/usr/bin/python3");

bool SegyioAvailable() {
  QProcess p;
  p.start(kPython, {QStringLiteral("-c"), QStringLiteral("import segyio, numpy")});
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Runs a python script with the arguments; its standard output, or a failure.
QString RunPython(const char* script, const QStringList& args) {
  QProcess p;
  p.start(kPython, QStringList{QStringLiteral("-c"), QString::fromLatin1(script)} + args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) {
    ADD_FAILURE() << "python failed: " << p.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

// Big-endian IBM floats, 512 samples, positions in units 2; and little-endian
// IEEE singles with halves to round.
constexpr const char* kMakeFiles = R"(
import sys, numpy as np, segyio
def make(path, fmt, endian, ns, values, headers):
    spec = segyio.spec()
    spec.format = fmt
    spec.endian = endian
    spec.samples = list(range(ns))
    spec.tracecount = len(values)
    with segyio.create(path, spec) as f:
        for i, v in enumerate(values):
            f.trace[i] = np.asarray(v, dtype=np.float32)
            f.header[i] = headers[i]
        f.bin.update(hdt=125)
ibm = [[t * 1000 + k * 3 - 700 for k in range(512)] for t in range(4)]
pos = [{segyio.su.sx: 181830000 + (t // 2) * 60, segyio.su.sy: -142200000, segyio.su.counit: 2} for t in range(4)]
make(sys.argv[1], 1, 'big', 512, ibm, pos)
halves = [[k + 0.5 for k in range(250)] for t in range(3)]
make(sys.argv[2], 5, 'little', 250, halves, [{segyio.su.counit: 1, segyio.su.sx: 40 * t} for t in range(3)])
)";

constexpr const char* kReadFile = R"(
import sys, segyio
with segyio.open(sys.argv[1], ignore_geometry=True, endian='big') as f:
    t = f.trace[1]
    print(f.tracecount, len(f.samples), int(f.format), int(t[3]), int(t[4]), f.header[1][segyio.su.sx], f.header[1][segyio.su.counit])
)";

TEST(SegyImport, FilesMadeBySegyio) {
  if (!SegyioAvailable()) GTEST_SKIP() << "segyio (python3-segyio) is not installed";
  TFilesEnv env;
  const QString ibmFile = env.Path("ibm.sgy");
  const QString ieeeFile = env.Path("ieee.sgy");
  RunPython(kMakeFiles, {ibmFile, ieeeFile});

  TStepQuestion question;
  QueueStepAnswer(question);
  ASSERT_TRUE(env.Settings().ImportFromSEGA(ibmFile));
  const TSettingData& s = env.Settings();
  EXPECT_EQ(s.GetOverStep(), 1);
  EXPECT_EQ(s.GetLongTrace(), 1000);
  EXPECT_DOUBLE_EQ(s.GetSpanWidth(), 125.0);
  ASSERT_EQ(env.store->NumTraces(), 4);
  for (int t = 0; t < 4; ++t)
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(Raw(*env.store, t * 1000 + k), k < 512 ? Value(t, k) : 0);
  ASSERT_EQ(s.NMEIStrings.size(), 2);
  EXPECT_TRUE(s.NMEIStrings[0].startsWith(QStringLiteral("1=$GPGGA,120526.00,5030.50000,N,3930.00000,W,")));
  EXPECT_TRUE(s.NMEIStrings[1].startsWith(QStringLiteral("3=$GPGGA,120526.00,5030.50100,N,3930.00000,W,")));

  TFilesEnv little;
  QueueStepAnswer(question);
  ASSERT_TRUE(little.Settings().ImportFromSEGA(ieeeFile));
  EXPECT_EQ(little.Settings().GetLongTrace(), 250);
  EXPECT_DOUBLE_EQ(little.Settings().GetWheelStep(), 40.0);
  for (int k = 0; k < 250; ++k) ASSERT_EQ(Raw(*little.store, 250 + k), (k % 2 == 0) ? k : k + 1) << "half to even";
}

TEST(SegyImport, ExportLayoutBuiltHereIsSegyForSegyio) {
  if (!SegyioAvailable()) GTEST_SKIP() << "segyio (python3-segyio) is not installed";
  TSegyFile f = FileOf(3, 500);
  for (int t = 0; t < 3; ++t) {
    f.traces[size_t(t)].units = 1;
    f.traces[size_t(t)].x = t * 20;
  }
  QTemporaryDir dir;
  const QString file = dir.filePath("export.sgy");
  WriteFileBytes(file, f.Build());
  EXPECT_EQ(RunPython(kReadFile, {file}),
            QStringLiteral("3 500 2 %1 %2 20 1").arg(Value(1, 3)).arg(Value(1, 4)));
}

}  // namespace segy_import_test
