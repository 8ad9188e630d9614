// The main window's Export and Import commands on real radargram windows: the
// dialogs as each command sets them (and puts them back), the files of one and
// of one enlarged channel among three, the replace question, the bitmap
// export's names, and a SEG-Y export imported again into a new window.

#include "acquisition/main_form.h"

#include "acquisition/channel_export.h"
#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/chart.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/nmea.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>
#include <vector>

namespace main_exports_test {

const QByteArray kGgaA = "$GPGGA,120000.00,5030.50000,N,03015.25000,E,1,08,0.9,100.0,M,,M,,*00";
const QByteArray kGgaB = "$GPGGA,120001.00,5030.51000,N,03015.26000,E,1,08,0.9,100.0,M,,M,,*00";

// A single-channel record of `traces` traces of 16 samples with these NMEA lines.
QByteArray Record(int traces, const QByteArray& nmea) {
  record_fixtures::TRecordFields f;
  f.longTrace = 16;
  f.minTrace = 0;
  f.maxTrace = traces;
  f.surface.clear();
  f.objects.clear();
  f.polylines.clear();
  f.zeroLevel.clear();
  f.nmea = nmea;
  f.FillRaw();
  return record_fixtures::BuildWgpr(f, 42);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

class MainExports : public TMainWindowTest {
protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    out = program.path() + QStringLiteral("/out/");
    ASSERT_TRUE(QDir().mkpath(out));
  }
  // Opens a record as the program link does; the new window.
  TView2DForm* Open(const QString& name, const QByteArray& bytes) {
    const QString path = data + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    EXPECT_EQ(MainWindow->WMCopyData(cdOpenFile, CopyDataTextBytes(path)), 100);
    return dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
  }
  // A container of three channels (the same record in each), opened.
  TView2DForm* OpenThreeChannels() {
    TView2DForm* single = Open(QStringLiteral("three.dezo"), Record(3, "1=" + kGgaA + "\r\n2=" + kGgaB));
    for (int i = 1; i < 3; ++i) {
      T2Dview* store = single->GetView2DByIndx(i);
      EXPECT_NE(store, nullptr);
      if (store) {
        EXPECT_TRUE(store->LoadFromFile(data + QStringLiteral("three.dezo")));
      }
    }
    EXPECT_TRUE(single->WriteToFileToFRNChannals(data + QStringLiteral("three.frn")));
    MainWindow->CloseAllChilds();
    EXPECT_EQ(MainWindow->WMCopyData(cdReloadFile, CopyDataTextBytes(data + QStringLiteral("three.frn"))), 102);
    auto* window = dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
    EXPECT_NE(window, nullptr);
    if (window) {
      EXPECT_EQ(window->CountChannalView, 3);
    }
    return window;
  }
  static std::vector<TShownDialog> Shown(TDialogKind kind) {
    std::vector<TShownDialog> shown;
    for (const TShownDialog& d : TDialogScript::Shown())
      if (d.Kind == kind) shown.push_back(d);
    return shown;
  }
  QStringList OutFiles() const {
    QStringList names = QDir(out).entryList(QDir::Files);
    names.sort();
    return names;
  }

  QString out;
};

TEST_F(MainExports, SegYAndTextOfOneChannelWithTheirCompanionsAndTheDialogPutBack) {
  TView2DForm* window = Open(QStringLiteral("line.dezo"), Record(4, "1=" + kGgaA + "\r\n3=" + kGgaB));
  ASSERT_NE(window, nullptr);
  T2Dview* first = window->GetView2DByIndx(0);
  TSaveDialog* dialog = MainWindow->SaveDialog();
  dialog->SetFilter(QStringLiteral("Profiles|*.dezo"));
  dialog->SetDefaultExt(QStringLiteral(".dezo"));
  dialog->SetTitle(QStringLiteral("Save"));

  struct TCase {
    void (DUvova3DuruZuza::*command)();
    QString extension, filter, title;
  };
  const TCase cases[] = {
      {&DUvova3DuruZuza::ToSEGYExportViewMenuClick, QStringLiteral(".seg"), QStringLiteral("SEG-Y files (*.seg)|*.seg"),
       QStringLiteral("Save as SEG-Y File")},
      {&DUvova3DuruZuza::ToMatExportViewMenuClick, QStringLiteral(".dat"), QStringLiteral("Text files (*.dat)|*.dat"),
       QStringLiteral("Save as Text File")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.extension.toStdString());
    TDialogScript::Reset();
    const QString target = out + QStringLiteral("x") + c.extension;
    TDialogScript::QueueFiles({{}, std::vector<QString>{target}});
    (MainWindow->*c.command)();
    const auto shown = Shown(dkSaveFile);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Filter, c.filter);
    EXPECT_EQ(shown[0].Title, c.title);
    EXPECT_EQ(shown[0].DefaultExt, c.extension);
    EXPECT_EQ(shown[0].FileName, QStringLiteral("line") + c.extension);
    EXPECT_EQ(QDir::cleanPath(shown[0].InitialFolder), QDir::cleanPath(data));
    EXPECT_EQ(dialog->Filter(), QStringLiteral("Profiles|*.dezo"));
    EXPECT_EQ(dialog->DefaultExt(), QStringLiteral(".dezo"));
    EXPECT_EQ(dialog->Title(), QStringLiteral("Save"));
    ASSERT_TRUE(QFile::exists(target));
    const QByteArray companion = ReadAll(out + QStringLiteral("x.gps"));
    EXPECT_TRUE(companion.startsWith("Source File=" + first->Settings()->GetFileName().toLatin1() + "\r\n"));
    EXPECT_TRUE(companion.endsWith("\r\n3\t" + kGgaB + "\r\n"));
  }
  // The files hold the processed samples.
  const TExportChannel channel = ExportChannelOf(*first);
  ASSERT_EQ(channel.Traces, 4);
  ASSERT_GE(channel.SampleCount, 4 * 16);
  const QByteArray segy = ReadAll(out + QStringLiteral("x.seg"));
  ASSERT_EQ(segy.size(), 3600 + 4 * (240 + 16 * 4));
  const int64_t at = 3600 + 3 * (240 + 64) + 240 + 4 * 15;
  uint32_t last = 0;
  for (int64_t k = 0; k < 4; ++k) last = (last << 8) | static_cast<uint8_t>(segy.at(static_cast<qsizetype>(at + k)));
  EXPECT_EQ(static_cast<int32_t>(last), channel.Samples[4 * 16 - 1]);
  const QList<QByteArray> lines = ReadAll(out + QStringLiteral("x.dat")).split('\n');
  ASSERT_EQ(lines.size(), 7 + 4 * 16 + 1);
  EXPECT_EQ(lines[7 + 4 * 16 - 1], "4\t16\t" + QByteArray::number(channel.Samples[4 * 16 - 1]) + "\r");
}

TEST_F(MainExports, OneEnlargedChannelOfThreeIsExportedAloneUnderItsIndex) {
  TView2DForm* window = OpenThreeChannels();
  ASSERT_NE(window, nullptr);
  TDialogScript::QueueFiles({{}, std::vector<QString>{out + QStringLiteral("all.seg")}});
  MainWindow->ToSEGYExportViewMenuClick();
  EXPECT_EQ(OutFiles(), (QStringList{QStringLiteral("all_0.gps"), QStringLiteral("all_0.seg"),
                                     QStringLiteral("all_1.gps"), QStringLiteral("all_1.seg"),
                                     QStringLiteral("all_2.gps"), QStringLiteral("all_2.seg")}));
  QDir(out).removeRecursively();
  ASSERT_TRUE(QDir().mkpath(out));
  window->ChartViewDblClick(window->GetChartByIndx(1));
  ASSERT_EQ(window->NumChartSizeToWindow, 1);
  TDialogScript::QueueFiles({{}, std::vector<QString>{out + QStringLiteral("one.dat")}});
  MainWindow->ToMatExportViewMenuClick();
  EXPECT_EQ(OutFiles(), (QStringList{QStringLiteral("one_1.dat"), QStringLiteral("one_1.gps")}));
}

TEST_F(MainExports, AnExistingTargetIsReplacedOnlyWhenTheUserAgrees) {
  ASSERT_NE(Open(QStringLiteral("line.dezo"), Record(2, {})), nullptr);
  const QString target = out + QStringLiteral("kept.seg");
  {
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
  }
  for (int answer : {mrNo, mrYes}) {
    TDialogScript::Reset();
    TDialogScript::QueueFiles({{}, std::vector<QString>{target}});
    TDialogScript::QueueAnswer(answer);
    MainWindow->ToSEGYExportViewMenuClick();
    const auto boxes = Shown(dkMessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("File %1 already exists.\r\nDo you want to replace it?").arg(target));
    EXPECT_EQ(ReadAll(target) == "old", answer == mrNo);
    EXPECT_EQ(QFile::exists(out + QStringLiteral("kept.gps")), answer == mrYes);
  }
}

TEST_F(MainExports, BitmapExportNamesTheEnlargedChannelAndClearsTheDialogsName) {
  TView2DForm* window = OpenThreeChannels();
  ASSERT_NE(window, nullptr);
  // A channel is enlarged once it was drawn.
  window->Paint2D(1);
  window->ChartViewDblClick(window->GetChartByIndx(1));
  ASSERT_EQ(window->NumChartSizeToWindow, 1);
  TDialogScript::QueueFiles({{}, std::vector<QString>{out + QStringLiteral("pic.bmp")}});
  MainWindow->ToBMPExportViewMenuClick();
  const auto shown = Shown(dkSaveFile);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Filter, QStringLiteral("Bitmaps (*.bmp)|*.bmp"));
  EXPECT_EQ(shown[0].Title, QStringLiteral("Save as Bitmap File"));
  EXPECT_EQ(shown[0].FileName, QStringLiteral("three.bmp"));
  EXPECT_EQ(OutFiles(), QStringList{QStringLiteral("pic_1.bmp")});
  EXPECT_TRUE(MainWindow->SavePictureDialog()->FileName().isEmpty());
  EXPECT_EQ(MainWindow->SavePictureDialog()->Title(), QStringLiteral("Save as Bitmap File")) << "kept";
}

TEST_F(MainExports, ImportingOurOwnExportGivesTheSamplesAndPositionsBack) {
  TView2DForm* source = Open(QStringLiteral("gps.dezo"), Record(5, "1=" + kGgaA + "\r\n4=" + kGgaB));
  ASSERT_NE(source, nullptr);
  TDialogScript::QueueFiles({{}, std::vector<QString>{out + QStringLiteral("gps.seg")}});
  MainWindow->ToSEGYExportViewMenuClick();
  const TExportChannel exported = ExportChannelOf(*source->GetView2DByIndx(0));
  const std::vector<int32_t> samples(exported.Samples, exported.Samples + 5 * 16);
  const auto positions = SegYPositions(exported);
  ASSERT_EQ(positions.size(), 5u);

  TDialogScript::Reset();
  TDialogScript::QueueFiles({{}, std::vector<QString>{out + QStringLiteral("gps.seg")}});
  TDialogScript::QueueModal([](TForm&) {});  // the trace-step question, cancelled
  MainWindow->OpenDialog()->SetFilter(QStringLiteral("Profiles|*.dezo"));
  ASSERT_TRUE(MainWindow->ImportSegY());
  const auto opened = Shown(dkOpenFile);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].Filter, QStringLiteral("SEG-Y files (*.*)|*.*"));
  EXPECT_EQ(opened[0].Title, QStringLiteral("Open SEG-Y File"));
  EXPECT_EQ(MainWindow->OpenDialog()->Filter(), QStringLiteral("Profiles|*.dezo"));

  auto* window = dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
  ASSERT_NE(window, nullptr);
  ASSERT_NE(window, source);
  T2Dview* imported = window->GetView2DByIndx(0);
  ASSERT_EQ(imported->NumTraces(), 5);
  ASSERT_EQ(imported->Settings()->GetLongTrace(), 16);
  EXPECT_TRUE(imported->WasOpen);
  EXPECT_EQ(std::vector<int32_t>(imported->RawData.Data(), imported->RawData.Data() + 5 * 16), samples);
  // One NMEA line per change of position, at the trace where it changes.
  const QStringList& lines = imported->Settings()->NMEIStrings;
  ASSERT_GE(lines.size(), 2);
  std::map<int, std::pair<int32_t, int32_t>> byTrace;
  for (const QString& line : lines) {
    const qsizetype equals = line.indexOf(u'=');
    int32_t lat = 0, lon = 0;
    QString text;
    NmeaToLatLonMs(line.mid(equals + 1), lat, lon, text);
    byTrace[line.left(equals).toInt()] = {lat, lon};
  }
  std::pair<int32_t, int32_t> current = byTrace.begin()->second;
  for (int t = 1; t <= 5; ++t) {
    if (byTrace.count(t)) current = byTrace[t];
    EXPECT_EQ(current, positions[static_cast<size_t>(t - 1)]) << t;
  }
  EXPECT_TRUE(window->TracesMenu == nullptr || window->TracesMenu->Checked());
}

}  // namespace main_exports_test
