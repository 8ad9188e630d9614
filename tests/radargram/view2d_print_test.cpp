// The radargram window's printing (one landscape PDF job per channel with data,
// read back with poppler's pdfinfo and pdftotext) and bitmap export, with the
// window's layout, zoom and scroll positions restored afterwards.

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/printers.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <set>

namespace view2d_print_test {

void Fill(T2Dview& store, int traces, int longTrace, const QString& fileName) {
  TSettingData& s = *store.Settings();
  s.SetOverStep(2);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(longTrace);
  s.SetSpeedLight(100);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  s.SetFileName(fileName);
  s.SetComments(QStringLiteral("north side"));
  FillRawSums(store, traces, longTrace, [longTrace](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * longTrace + j) % 97) - 48;
  });
}

// A poppler tool's output for a file; empty when it fails.
QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString Simplified(const QString& text) { return text.simplified(); }

class View2DPrint : public ::testing::Test {
protected:
  // channels with data (the others stay empty), 1500 traces of 100 samples.
  TView2DForm* Window(int count, std::initializer_list<int> withData) {
    TView2DForm* window = env.Create(count);
    for (int c : withData) Fill(*window->GetView2DByIndx(c), 1500, 100, env.dir.filePath(QStringLiteral("line.dezo")));
    window->Paint2D(0);
    return window;
  }
  static void ExpectLayoutBack(TView2DForm& w, int alone) {
    EXPECT_EQ(w.NumChartSizeToWindow, alone);
    for (TChart* chart : w.Chart_)
      if (chart) EXPECT_EQ(chart->Align(), alClient) << chart->Name().toStdString();
  }

  TRadargramEnv env;
};

TEST_F(View2DPrint, EachChannelWithDataIsALandscapeJobWithTheSettingsFooter) {
  TView2DForm* w = Window(3, {0, 2});
  ASSERT_GT(w->Bmp_[0]->Width(), 0);
  ASSERT_EQ(w->Bmp_[1]->Width(), 0);
  w->ZoomFactor = 800;
  TPrinter printer;
  printer.SetPdfFolder(env.dir.filePath(QStringLiteral("pdf")));
  ASSERT_TRUE(QDir().mkpath(printer.PdfFolder()));
  w->PrintView2D(printer);

  ASSERT_EQ(printer.PdfFiles().size(), 2);
  const TSettingData& s = *w->GetView2DByIndx(0)->Settings();
  const QString file = s.GetFileName();
  const int channels[] = {0, 2};
  for (int k = 0; k < 2; ++k) {
    const QString pdf = printer.PdfFiles()[k];
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_FALSE(info.isEmpty()) << pdf.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Title:\\s+") + QRegularExpression::escape(file) + u' ' +
                                   QString::number(channels[k]) + u'\n')
                    .match(info)
                    .hasMatch())
        << info.toStdString();
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "landscape";
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));

    const QString text = Simplified(RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    EXPECT_TRUE(text.contains(QStringLiteral("File: ") + file + u' ' + QString::number(channels[k])))
        << text.toStdString();
    const QString settings = QStringLiteral("GPR Model=%1, Window Depth=%2 m, Window Width=100.00 ns, Samples= 100, "
                                            "Stacking=1, Wave Speed=100 m/\u00B5s")
                                 .arg(s.GetRadarTypeStr(), s.GetSpanDepth());
    EXPECT_TRUE(text.contains(Simplified(settings))) << text.toStdString() << "\n" << settings.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Comments: north side"))) << text.toStdString();
  }
  ExpectLayoutBack(*w, -1);
  EXPECT_EQ(w->ZoomFactor, 800);
}

TEST_F(View2DPrint, APrinterThatCannotStartLeavesTheWindowAsItWasAndPassesTheErrorOn) {
  TView2DForm* w = Window(2, {0, 1});
  w->ZoomFactor = 800;
  TPrinter printer;
  printer.SetPdfFolder(env.dir.filePath(QStringLiteral("missing/folder")));
  EXPECT_THROW(w->PrintView2D(printer), EPrinter);
  EXPECT_FALSE(printer.Printing());
  EXPECT_TRUE(printer.PdfFiles().isEmpty());
  ExpectLayoutBack(*w, -1);
  EXPECT_EQ(w->ZoomFactor, 800);
}

TEST_F(View2DPrint, ExportWritesEveryChannelWithItsAxesAndKeepsTheScrollPositions) {
  TView2DForm* w = Window(3, {0, 1, 2});
  w->SetScrollBars();
  ASSERT_GT(w->HorScrollBar->Max(), 0) << "a profile wider than the window";
  w->HorScrollBar->SetPosition(w->HorScrollBar->Max() / 2);
  const int position = w->HorScrollBar->Position();
  const QString name = env.dir.filePath(QStringLiteral("a.bmp"));
  ASSERT_TRUE(w->isPresentFileIndex(name));
  EXPECT_TRUE(w->SaveToBmp(name));
  for (int i = 0; i < 3; ++i) {
    const QString path = env.dir.filePath(QStringLiteral("a_%1.bmp").arg(i));
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    TBitmap bmp;
    TFileStream stream(path, fmOpenRead);
    bmp.LoadFromStream(stream);
    // The whole profile at 1:1 and the axes around it, the radargram drawn.
    EXPECT_GT(bmp.Width(), 1500) << i;
    EXPECT_GT(bmp.Height(), 100) << i;
    std::set<TColor> colours;
    for (int x = bmp.Width() / 4; x < bmp.Width() * 3 / 4; ++x) colours.insert(bmp.Canvas()->Pixels(x, bmp.Height() / 2));
    EXPECT_GT(colours.size(), 10u) << i;
  }
  EXPECT_FALSE(QFileInfo::exists(name));
  ExpectLayoutBack(*w, -1);
  EXPECT_EQ(w->HorScrollBar->Position(), position);
}

TEST_F(View2DPrint, AChannelShownAloneIsExportedAloneAndStaysAlone) {
  TView2DForm* w = Window(3, {0, 1, 2});
  w->ChartViewDblClick(w->Chart_[1]);
  ASSERT_EQ(w->NumChartSizeToWindow, 1);
  const QString name = env.dir.filePath(QStringLiteral("a.bmp"));
  EXPECT_TRUE(w->SaveToBmp(name));
  EXPECT_TRUE(QFileInfo::exists(env.dir.filePath(QStringLiteral("a_1.bmp"))));
  EXPECT_FALSE(QFileInfo::exists(env.dir.filePath(QStringLiteral("a_0.bmp"))));
  EXPECT_FALSE(QFileInfo::exists(env.dir.filePath(QStringLiteral("a_2.bmp"))));
  EXPECT_EQ(w->NumChartSizeToWindow, 1);
}

TEST_F(View2DPrint, AFileThatCannotBeWrittenIsReportedAndTheWindowComesBack) {
  TView2DForm* w = Window(2, {0, 1});
  w->ChartViewDblClick(w->Chart_[0]);
  w->SetScrollBars();
  w->HorScrollBar->SetPosition(w->HorScrollBar->Max() / 3);
  const int position = w->HorScrollBar->Position();
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(w->SaveToBmp(env.dir.filePath(QStringLiteral("missing/a.bmp"))));
  const auto shown = TDialogScript::Shown();
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(shown.back().Text.contains(QStringLiteral("missing/a_0.bmp"))) << shown.back().Text.toStdString();
  ExpectLayoutBack(*w, 0);
  EXPECT_EQ(w->HorScrollBar->Position(), position);
}

}  // namespace view2d_print_test
