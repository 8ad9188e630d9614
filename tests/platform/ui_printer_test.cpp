// The toolkit's printer printing into PDF files: page sizes by orientation,
// one file per job with its title, text at the printer's resolution, and an
// aborted job that leaves nothing. The files are read back with poppler.

#include "platform/ui/canvas.h"
#include "platform/ui/printers.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ui_printer_test {

QString Poppler(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(UiPrinter, LandscapeTurnsThePageAndEachJobIsAFileWithItsTitleAndText) {
  QTemporaryDir dir;
  TPrinter printer;
  printer.SetPdfFolder(dir.path());
  const int portraitWidth = printer.PageWidth(), portraitHeight = printer.PageHeight();
  EXPECT_GT(portraitHeight, portraitWidth);
  printer.SetOrientation(poLandscape);
  EXPECT_EQ(printer.PageWidth(), portraitHeight);
  EXPECT_EQ(printer.PageHeight(), portraitWidth);
  EXPECT_GT(printer.PageWidth(), 3000) << "device pixels, not points";
  EXPECT_EQ(printer.Canvas(), nullptr);

  for (const QString& title : {QStringLiteral("first job"), QStringLiteral("second job")}) {
    printer.SetTitle(title);
    printer.BeginDoc();
    ASSERT_TRUE(printer.Printing());
    TCanvas& canvas = *printer.Canvas();
    EXPECT_EQ(printer.PageWidth(), portraitHeight) << "the running job's page";
    canvas.Font()->SetName(QStringLiteral("Arial"));
    canvas.Font()->SetSize(10);
    // 10 points at 300 dots per inch are about 42 pixels.
    const int height = canvas.TextHeight(QStringLiteral("S"));
    EXPECT_GT(height, 35);
    EXPECT_LT(height, 70);
    canvas.TextOut(printer.PageWidth() / 15, 50, QStringLiteral("Samples= 512 on ") + title);
    canvas.TextOut(printer.PageWidth() / 15, 50 + height, QStringLiteral("Wave Speed=100 m/\u00B5s"));
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
  }

  ASSERT_EQ(printer.PdfFiles(), (QStringList{QDir(dir.path()).filePath(QStringLiteral("job1.pdf")),
                                             QDir(dir.path()).filePath(QStringLiteral("job2.pdf"))}));
  const QString info = Poppler(QStringLiteral("pdfinfo"), {printer.PdfFiles()[1]});
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+second job\\n")))) << info.toStdString();
  const QString text = Poppler(QStringLiteral("pdftotext"), {printer.PdfFiles()[1], QStringLiteral("-")});
  EXPECT_TRUE(text.contains(QStringLiteral("Samples= 512 on second job"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Wave Speed=100 m/\u00B5s"))) << text.toStdString();
}

TEST(UiPrinter, AnAbortedJobLeavesNoFileAndAPrinterThatCannotOpenThrows) {
  QTemporaryDir dir;
  TPrinter printer;
  printer.SetPdfFolder(dir.path());
  printer.BeginDoc();
  printer.Canvas()->TextOut(10, 10, QStringLiteral("dropped"));
  printer.Abort();
  EXPECT_TRUE(printer.Aborted());
  EXPECT_FALSE(printer.Printing());
  EXPECT_TRUE(printer.PdfFiles().isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

  printer.SetPdfFolder(dir.filePath(QStringLiteral("no/such/folder")));
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.Canvas(), nullptr);
}

}  // namespace ui_printer_test
