// The radargram window's multi-channel container: the bytes it writes, a round
// trip through a new window, the header fields a container gives the window by
// its kind, the alignment of the channels to the master, the settings
// containers and default settings files, damaged input, failed writes and a
// radar backup's container.

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray ReadAll(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

uint32_t U32At(const QByteArray& b, qsizetype at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<uint8_t>(b[at + i])} << (8 * i);
  return v;
}
int32_t I32At(const QByteArray& b, qsizetype at) { return static_cast<int32_t>(U32At(b, at)); }

void PutLe32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(static_cast<char>(v >> (8 * i)));
}

// A container header as stored: the fields of its version after the comment " ".
QByteArray Header(uint8_t version, int32_t count, int32_t master, const std::vector<int32_t>& tail) {
  QByteArray b("FRN05");
  PutLe32(b, 0);
  PutLe32(b, 0);
  b.append(static_cast<char>(version));
  PutLe32(b, static_cast<uint32_t>(count));
  PutLe32(b, static_cast<uint32_t>(master));
  b.append('\x01').append(' ').append('\0');
  for (int32_t v : tail) PutLe32(b, static_cast<uint32_t>(v));
  return b;
}

// Traces of distinct samples for channel `seed`.
void FillTraces(T2Dview& view, int traces, int longTrace, int seed) {
  FillRawSums(view, traces, longTrace, [longTrace, seed](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * longTrace + j) * 7919 + seed * 1000003);
  });
}

std::vector<int32_t> Samples(const T2Dview& view) {
  return {view.RawData.Data(), view.RawData.Data() + view.RawData.Bytes() / 4};
}

std::vector<QString> ShownTexts() {
  std::vector<QString> texts;
  for (const TShownDialog& d : TDialogScript::Shown()) texts.push_back(d.Text);
  return texts;
}

QString NotWritten(const QString& file) {
  return QStringLiteral("Cannot write file \"") + file + QStringLiteral("\". The previous file is kept.");
}

class View2DFrn : public ::testing::Test {
protected:
  void SetUp() override {
    env.shell.newCreate = false;
    SetProgramFolder(env.dir.path() + u'/');
  }
  void TearDown() override { SetProgramFolder(QString()); }
  QString Path(const char* name) const { return env.dir.path() + u'/' + QString::fromLatin1(name); }
  TSettingData& S(TView2DForm& w, int slot) { return *w.GetView2DByIndx(slot)->Settings(); }

  TRadargramEnv env;
};

// ---- Writing the data container --------------------------------------------------------

TEST_F(View2DFrn, AWindowWithoutTracesWritesTheBareHeader) {
  TView2DForm* w = env.Create(1);
  w->MasterChannal = 0;
  w->SetDeviceOffsets(-5, 6, 7);
  w->TypeGPRDevice = static_cast<TTypeGPRDevice>(3);
  w->SerNumDevice = 1234;
  w->TypeProfiles = tpArc;
  const QString file = Path("empty.frn");
  ASSERT_TRUE(w->WriteToFileToFRNChannals(file));

  QByteArray expected = Header(4, 0, 0, {-5, 6, 7, 3, 1234, 1});
  expected[5] = expected[9] = 49;
  EXPECT_EQ(ReadAll(file).toHex(' ').toStdString(), expected.toHex(' ').toStdString());
  EXPECT_EQ(expected.size(), 49);
}

TEST_F(View2DFrn, OnlyChannelsUpToTheFirstWithoutTracesAreStoredAndTheOthersNamed) {
  TView2DForm* w = env.Create(5);
  FillTraces(*w->GetView2DByIndx(0), 3, 8, 0);
  for (int slot : {2, 4}) FillTraces(*w->GetView2DByIndx(slot), 2, 8, slot);
  S(*w, 0).SetComments(QStringLiteral("Bridge deck"));
  const QString file = Path("one.frn");
  TDialogScript::QueueAnswer(IDOK);
  ASSERT_TRUE(w->WriteToFileToFRNChannals(file));

  EXPECT_EQ(ShownTexts(), std::vector<QString>{QStringLiteral("Channels #2, #4 hold traces after a channel without "
                                                              "traces and are not saved in \"") +
                                               file + QStringLiteral("\".")});
  const QByteArray bytes = ReadAll(file);
  EXPECT_EQ(I32At(bytes, 14), 1);
  const qsizetype headerEnd = 47 + 2 * 11;
  EXPECT_EQ(U32At(bytes, 9), headerEnd);
  EXPECT_EQ(U32At(bytes, 5), bytes.size());
  EXPECT_EQ(bytes.mid(headerEnd, 4), "WGPR");
  EXPECT_EQ(U32At(bytes, headerEnd + 4), bytes.size()) << "one record, ending the file";
  EXPECT_EQ(S(*w, 0).GetFileName(), file);
}

TEST_F(View2DFrn, ThreeChannelsReadIntoANewWindowWriteTheSameContainerAgain) {
  TView2DForm* w = env.Create(3);
  for (int slot = 0; slot < 3; ++slot) {
    FillTraces(*w->GetView2DByIndx(slot), 4 + slot, 16, slot);
    S(*w, slot).SetSpeedLight(100 + 10 * slot);
    S(*w, slot).SetStartXShift(1000 * slot);
  }
  S(*w, 1).NMEIStrings = QStringList{QStringLiteral("1=$GPGGA,120526.00,5030.50000,N,3930.00000,W,1,8,1.0,,M,,M,,*48")};
  w->MasterChannal = 1;
  w->SetDeviceOffsets(11, 22, 33);
  w->TypeGPRDevice = static_cast<TTypeGPRDevice>(4);
  w->SerNumDevice = 321;
  w->TypeProfiles = tpArc;
  const QString first = Path("three.frn");
  ASSERT_TRUE(w->WriteToFileToFRNChannals(first));
  EXPECT_EQ(w->GetCountChannalInReadFileFRN(first), 3);
  const TFrnWindowFields fields = w->FrnFields();
  const QStringList nmea = S(*w, 1).NMEIStrings;
  std::vector<std::vector<int32_t>> samples;
  for (int slot = 0; slot < 3; ++slot) samples.push_back(Samples(*w->GetView2DByIndx(slot)));
  w->Free();

  TView2DForm* r = env.Create(3);
  EXPECT_EQ(r->ReadFrnContainerFile(first), fhOk);
  EXPECT_EQ(r->FrnFields(), fields);
  for (int slot = 0; slot < 3; ++slot) {
    SCOPED_TRACE(slot);
    const T2Dview& in = *r->GetView2DByIndx(slot);
    EXPECT_EQ(in.NumTraces(), 4 + slot);
    EXPECT_EQ(Samples(in), samples[static_cast<size_t>(slot)]);
    EXPECT_EQ(S(*r, slot).GetSpeedLight(), 100 + 10 * slot);
    EXPECT_EQ(S(*r, slot).GetStartXShift(), 1000 * slot) << "each channel keeps its own shift";
  }
  EXPECT_EQ(S(*r, 1).NMEIStrings, nmea);
  const QString second = Path("again.frn");
  ASSERT_TRUE(r->WriteToFileToFRNChannals(second));
  EXPECT_TRUE(ReadAll(second) == ReadAll(first)) << "every record byte-equal to its store's own";
}

TEST_F(View2DFrn, TheMastersNmeaDecidesOverALoneShortLineAndTheDeviceOffsets) {
  struct TCase {
    const char* what;
    QStringList nmea;
    QStringList kept;
    int32_t deviceX;
  };
  const QString shortLine = QStringLiteral("1=$GPGGA,1234567890");  // 19 characters
  const QString longLine = QStringLiteral("1=$GPGGA,12345678901");
  const TCase cases[] = {
      {"one line of 19 characters is dropped", {shortLine}, {}, 500},
      {"one line of 20 stays", {longLine}, {longLine}, 500},
      {"a track places the profile: no device offsets", {shortLine, longLine}, {shortLine, longLine}, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TView2DForm* w = env.Create(2);
    w->MasterChannal = 1;
    w->SetDeviceOffsets(500, 600, 700);
    S(*w, 1).NMEIStrings = c.nmea;
    const QString file = Path("nmea.frn");
    ASSERT_TRUE(w->WriteToFileToFRNChannals(file));
    EXPECT_EQ(S(*w, 1).NMEIStrings, c.kept);
    EXPECT_EQ(I32At(ReadAll(file), 25), c.deviceX);
    EXPECT_EQ(w->DeviceX(), c.deviceX);
    EXPECT_EQ(w->DeviceZ(), c.deviceX == 0 ? 0 : 700);
    w->Free();
  }
}

TEST_F(View2DFrn, AFailedWriteIsReportedAndKeepsTheOldFileAndTheChannelsNames) {
  TView2DForm* w = env.Create(1);
  FillTraces(*w->GetView2DByIndx(0), 200, 64, 0);
  S(*w, 0).SetFileName(QStringLiteral("/elsewhere/old.dezo"));
  const QString file = Path("keep.frn");
  WriteAll(file, "old content");
  {
    // The file system takes no more than a small file.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    TDialogScript::QueueAnswer(IDOK);
    const bool written = w->WriteToFileToFRNChannals(file);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
  }
  EXPECT_EQ(ShownTexts(), std::vector<QString>{NotWritten(file)});
  EXPECT_EQ(ReadAll(file), "old content");
  EXPECT_EQ(QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.frn")});
  EXPECT_EQ(S(*w, 0).GetFileName(), "/elsewhere/old.dezo");

  // A folder that cannot exist: its parent is a file.
  const QString nowhere = file + QStringLiteral("/sub.frn");
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_FALSE(w->SaveBSTT(nowhere));
  EXPECT_EQ(ShownTexts().back(), NotWritten(nowhere));
}

// ---- Reading: the header by the container's kind -------------------------------------------

TEST_F(View2DFrn, TheHeaderSetsTheWindowsFieldsByTheContainersKind) {
  struct TCase {
    const char* what;
    const char* name;
    QByteArray bytes;
    TFrnWindowFields expected;
  };
  TFrnWindowFields before;
  before.CountChannalView = 3;
  before.MasterChannal = 2;
  before.DeviceX = 1;
  before.DeviceY = 2;
  before.DeviceZ = 3;
  before.TypeGPRDevice = static_cast<TTypeGPRDevice>(5);
  before.SerNumDevice = 77;
  before.TypeProfiles = tpArc;
  const auto with = [&](auto change) {
    TFrnWindowFields f = before;
    change(f);
    return f;
  };
  const std::vector<int32_t> box3 = {10, 20, 30, 3, 1234, 0};
  const TCase cases[] = {
      {"master 7 is 0; type 200 has no serial", "a.frn", Header(4, 0, 7, {10, 20, 30, 200, 99, 1}),
       with([](TFrnWindowFields& f) {
         f = {0, 0, 10, 20, 30, tdUnknown, 0, tpArc};
       })},
      {"type 3 keeps its serial", "b.frn", Header(4, 0, 1, box3),
       with([](TFrnWindowFields& f) { f = {0, 1, 10, 20, 30, static_cast<TTypeGPRDevice>(3), 1234, tpLinear}; })},
      {"settings file bstt takes only the device offsets", "bstt", Header(4, 5, 1, box3),
       with([](TFrnWindowFields& f) { f.DeviceX = 10, f.DeviceY = 20, f.DeviceZ = 30; })},
      {"settings file dstt", "dstt", Header(4, 5, 1, box3),
       with([](TFrnWindowFields& f) { f.DeviceX = 10, f.DeviceY = 20, f.DeviceZ = 30; })},
      {"a .bstt preset", "mine.bstt", Header(4, 5, 1, box3),
       with([](TFrnWindowFields& f) { f.DeviceX = 10, f.DeviceY = 20, f.DeviceZ = 30; })},
      {"version 1 has no device offsets", "old.frn", Header(1, 0, 1, {}),
       with([](TFrnWindowFields& f) { f.CountChannalView = 0, f.MasterChannal = 1, f.DeviceX = f.DeviceY = f.DeviceZ = 0; })},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TView2DForm* w = env.Create(3);
    w->SetFrnFields(before);
    const QString file = Path(c.name);
    WriteAll(file, c.bytes);
    EXPECT_EQ(w->ReadFrnContainerFile(file), fhOk);
    EXPECT_EQ(w->FrnFields(), c.expected);
    w->Free();
  }
}

TEST_F(View2DFrn, DamagedContainersReadNothingAndRaiseOnlyForTheBackupReader) {
  TView2DForm* w = env.Create(2);
  w->MasterChannal = 1;
  w->SetDeviceOffsets(1, 2, 3);
  const TFrnWindowFields before = w->FrnFields();
  const QString speeds = QString::number(S(*w, 0).GetSpeedLight());

  struct TCase {
    const char* name;
    QByteArray bytes;
    TFrnHeaderStatus status;
  };
  const TCase cases[] = {
      {"nomagic.frn", Header(4, 2, 0, {9, 9, 9, 0, 0, 0}).replace(0, 5, "FRN04"), fhNoMagic},
      {"short.frn", Header(4, 2, 0, {9, 9}), fhEndsEarly},
      {"bstt", QByteArray("garbage"), fhNoMagic},
      {"empty.frn", QByteArray(), fhEndsEarly},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = Path(c.name);
    WriteAll(file, c.bytes);
    EXPECT_EQ(w->ReadFrnContainerFile(file), c.status);
    w->ReadFromFileToFRNChannals(file);
    EXPECT_EQ(w->FrnFields(), before);
    TMemoryStream stream;
    stream.WriteBuffer(c.bytes.constData(), c.bytes.size());
    stream.SetPosition(0);
    EXPECT_THROW(w->ReadFromStreamToFRNChannals(file, stream), EReadError);
    EXPECT_EQ(stream.Position(), 0);
  }
  EXPECT_EQ(QString::number(S(*w, 0).GetSpeedLight()), speeds);
  // A missing file changes nothing and says nothing.
  EXPECT_EQ(w->ReadFrnContainerFile(Path("missing.frn")), fhNoMagic);
  EXPECT_TRUE(TDialogScript::Shown().empty());

  EXPECT_EQ(w->GetCountChannalInReadFileFRN(Path("missing.frn")), 5);
  WriteAll(Path("preset.bstt"), Header(4, 2, 0, {}));
  EXPECT_EQ(w->GetCountChannalInReadFileFRN(Path("preset.bstt")), 5);
  WriteAll(Path("nine.frn"), Header(4, 9, 0, {}));
  EXPECT_EQ(w->GetCountChannalInReadFileFRN(Path("nine.frn")), 5);
}

// ---- Channels aligned to the master ------------------------------------------------------

TEST_F(View2DFrn, ChannelsOfATypeOneBoxAreAlignedToTheMasterBeforeWriting) {
  FakeRadar slot0, slot2, own;
  env.shell.slotRadars = {&slot0, nullptr, &slot2, nullptr, nullptr};
  env.shell.checkDeviceRunned = true;
  TView2DForm* w = env.Create(3);
  for (int slot = 0; slot < 3; ++slot) FillTraces(*w->GetView2DByIndx(slot), 2, 8, slot);
  w->MasterChannal = 1;
  S(*w, 1).SetSpeedLight(120);
  S(*w, 1).SetStacking(16);
  S(*w, 1).SetWheelMult(3);
  S(*w, 1).SetComments(QStringLiteral("master"));
  S(*w, 1).SteckingArray[5] = {300, 9};
  for (int slot = 0; slot < 3; ++slot) S(*w, slot).SetSettingRadar(nullptr);
  S(*w, 0).SetSettingRadar(&own);

  w->TypeGPRDevice = tdUnknown;
  EXPECT_FALSE(w->isSettingsAllChannalsNoEqual()) << "only a type-1 box";
  w->TypeGPRDevice = static_cast<TTypeGPRDevice>(1);
  EXPECT_TRUE(w->isSettingsAllChannalsNoEqual());
  w->MasterChannal = 3;
  EXPECT_FALSE(w->isSettingsAllChannalsNoEqual()) << "a master beyond the channels with data";
  w->MasterChannal = 1;

  const QString file = Path("aligned.frn");
  env.shell.radarLookups.clear();  // showing the window bound its channels
  ASSERT_TRUE(w->WriteToFileToFRNChannals(file));
  EXPECT_FALSE(w->isSettingsAllChannalsNoEqual());
  for (int slot : {0, 2}) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(S(*w, slot).GetSpeedLight(), 120);
    EXPECT_EQ(S(*w, slot).GetStacking(), 16);
    EXPECT_EQ(S(*w, slot).GetWheelMult(), 3);
    EXPECT_EQ(S(*w, slot).GetComments(), "master");
    EXPECT_EQ(S(*w, slot).SteckingArray, S(*w, 1).SteckingArray);
  }
  // Slot 0 keeps its radar; the others take their slot's, looked up with the
  // re-check flag cleared, which is back afterwards.
  EXPECT_EQ(S(*w, 0).GetSettingRadar(), &own);
  EXPECT_EQ(S(*w, 1).GetSettingRadar(), nullptr);
  EXPECT_EQ(S(*w, 2).GetSettingRadar(), &slot2);
  EXPECT_EQ(env.shell.radarLookups, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(env.shell.checkDeviceRunned);

  w->NormalizeNotEqualChannal(Path("named.frn"));
  for (int slot = 0; slot < kChannelSlots; ++slot) EXPECT_EQ(S(*w, slot).GetFileName(), Path("named.frn")) << slot;
}

// ---- Settings containers and default settings -------------------------------------------

TEST_F(View2DFrn, ASettingsContainerHoldsFiveChannelsAndReadsBackIntoTheirSettings) {
  TView2DForm* w = env.Create(2);
  for (int slot = 0; slot < kChannelSlots; ++slot) S(*w, slot).SetSpeedLight(50 + 20 * slot);
  S(*w, 0).SetComments(QStringLiteral("Road"));
  w->SetDeviceOffsets(4, 5, 6);
  w->TypeGPRDevice = static_cast<TTypeGPRDevice>(20);
  w->SerNumDevice = 42;
  w->TypeProfiles = tpArc;
  S(*w, 3).NewFile = true;
  const QString file = Path("bstt");
  ASSERT_TRUE(w->SaveBSTT(file));

  const QByteArray bytes = ReadAll(file);
  EXPECT_EQ(bytes.left(5), "FRN05");
  EXPECT_EQ(U32At(bytes, 5), 0u);
  EXPECT_EQ(U32At(bytes, 9), 47u + 2 * 4);
  EXPECT_EQ(I32At(bytes, 14), 5);
  EXPECT_EQ(I32At(bytes, 35 + 8), 0) << "type 20 is unknown";
  EXPECT_EQ(I32At(bytes, 39 + 8), 42) << "the serial is written as held";
  EXPECT_EQ(I32At(bytes, 43 + 8), 0) << "no profile kind";
  EXPECT_EQ(w->TypeGPRDevice, tdUnknown);
  EXPECT_EQ(w->SerNumDevice, 0);
  EXPECT_TRUE(S(*w, 3).NewFile) << "a settings file is no save of the channel";
  w->Free();

  TView2DForm* r = env.Create(1);
  r->TypeProfiles = tpArc;
  r->ReadFromFileToFRNChannals(file);
  for (int slot = 0; slot < kChannelSlots; ++slot) EXPECT_EQ(S(*r, slot).GetSpeedLight(), 50 + 20 * slot) << slot;
  EXPECT_EQ(r->CountChannalView, 1);
  EXPECT_EQ(r->DeviceY(), 5) << "the program folder's settings keep the container's device offsets";
  EXPECT_EQ(r->TypeProfiles, tpArc);
}

TEST_F(View2DFrn, DefaultSettingsAreWrittenOnlyWhileTheFlagIsSet) {
  TView2DForm* w = env.Create(1);
  TSettingData& s = S(*w, 0);
  s.NewFile = true;
  w->isSaveDefault = false;
  w->SaveDefault();
  EXPECT_FALSE(QFile::exists(Path("stt")));
  EXPECT_FALSE(QFile::exists(Path("bstt")));

  w->isSaveDefault = true;
  w->SaveDefault();
  EXPECT_TRUE(QFile::exists(Path("stt")));
  EXPECT_EQ(ReadAll(Path("bstt")).left(5), "FRN05");
  EXPECT_FALSE(QFile::exists(Path("dstt")));
  EXPECT_TRUE(s.NewFile);

  env.acquisition.simpleMode = true;
  w->SaveSTT();
  EXPECT_EQ(I32At(ReadAll(Path("dstt")), 14), 5);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

// ---- A radar backup -------------------------------------------------------------------------

TEST_F(View2DFrn, ABackupsContainerFillsTheWindowThroughTheBackupReader) {
  TView2DForm* source = env.Create(2);
  for (int slot = 0; slot < kChannelSlots; ++slot) S(*source, slot).SetSpeedLight(60 + 30 * slot);
  source->SetDeviceOffsets(7, 8, 9);
  source->MasterChannal = 1;
  ASSERT_TRUE(source->SaveBSTT(Path("radar.bstt")));
  const QByteArray container = ReadAll(Path("radar.bstt"));
  source->Free();

  // The radar's recording file: its own header, the 2-byte prefix, the container
  // (offsets counted from its first byte), then the recorded packets.
  QByteArray recording("QELSV");
  recording.append('\x03').append("T16").append(QByteArray(17, '\0'));
  ASSERT_EQ(recording.size(), 26);
  recording.append("\xA5\x5A").append(container).append("packets");
  const QString file = Path("trace1.trc");
  WriteAll(file, recording);

  TView2DForm* w = env.Create(2);
  w->MasterChannal = 0;
  IBackupWindow& backup = *w;
  TFileStream stream(file, fmOpenRead);
  stream.SetPosition(26);
  backup.ReadFromStreamToFRNChannals(file, stream);
  EXPECT_EQ(stream.Position(), 26 + 2 + container.size()) << "the packets follow";
  for (int slot = 0; slot < kChannelSlots; ++slot) EXPECT_EQ(S(*w, slot).GetSpeedLight(), 60 + 30 * slot) << slot;
  EXPECT_EQ(w->DeviceX(), 7);
  EXPECT_EQ(w->MasterChannal, 0) << "a backup's settings keep the window's master";
  EXPECT_TRUE(TDialogScript::Shown().empty());

  // The progress the backup's replay shows in a channel panel.
  backup.HideProgressPanel(1);
  EXPECT_FALSE(backup.ProgressPanelVisible(1));
  w->SetProgressWidth(1, 40);
  EXPECT_TRUE(backup.ProgressPanelVisible(1));
  EXPECT_EQ(w->GetProgressImageByIndx(1)->Width(), 40);
  EXPECT_EQ(backup.ProgressPanelWidth(), w->ProgressPanel->Width());
}

}  // namespace
