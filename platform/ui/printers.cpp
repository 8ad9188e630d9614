#include "platform/ui/printers.h"

#include "platform/ui/canvas.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {

// PDF pages are drawn at this resolution; the system's printer keeps its own.
constexpr int kPdfDotsPerInch = 300;

void Configure(QPrinter& printer, TPrinterOrientation orientation, const QString& title, bool pdf,
               const QString& pdfFile) {
  if (pdf) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
    printer.setResolution(kPdfDotsPerInch);
  }
  printer.setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setDocName(title);
  printer.setCreator(QStringLiteral("Talvorn3"));
}

}  // namespace

// One running job: the printer device, the painter that stays open for the whole
// page, and the canvas that draws through it.
class TPrinter::TJob final : public TCanvasSurface {
public:
  TJob(TPrinterOrientation orientation, const QString& title, const QString& pdfFile)
      : printer_(QPrinter::HighResolution), pdfFile_(pdfFile) {
    Configure(printer_, orientation, title, !pdfFile.isEmpty(), pdfFile);
  }
  ~TJob() {
    canvas_.reset();
    if (painter_.isActive()) painter_.end();
  }

  void Begin() {
    if (!painter_.begin(&printer_)) throw EPrinter("The printer could not be opened.");
    canvas_ = std::make_unique<TCanvas>(*this);
  }
  void End() {
    canvas_.reset();
    if (painter_.isActive() && !painter_.end()) throw EPrinter("The print job could not be finished.");
  }
  void Drop() {
    canvas_.reset();
    if (painter_.isActive()) {
      printer_.abort();
      painter_.end();
    }
    if (!pdfFile_.isEmpty()) QFile::remove(pdfFile_);
  }
  bool Active() const { return painter_.isActive(); }
  int Width() const { return printer_.width(); }
  int Height() const { return printer_.height(); }
  TCanvas* Canvas() const { return canvas_.get(); }
  const QString& PdfFile() const { return pdfFile_; }

  QImage* BeginPaint() override { return nullptr; }
  void EndPaint() override {}
  const QImage* PixelImage() override { return nullptr; }
  QPainter* DevicePainter() override { return painter_.isActive() ? &painter_ : nullptr; }

private:
  QPrinter printer_;
  QPainter painter_;
  QString pdfFile_;
  std::unique_ptr<TCanvas> canvas_;
};

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() {
  if (job_) job_->Drop();
}

void TPrinter::SetOrientation(TPrinterOrientation value) {
  if (!Printing()) orientation_ = value;
}

int TPrinter::PageWidth() const {
  if (job_) return job_->Width();
  QPrinter probe(QPrinter::HighResolution);
  Configure(probe, orientation_, title_, !pdfFolder_.isEmpty(), QString());
  return probe.width();
}

int TPrinter::PageHeight() const {
  if (job_) return job_->Height();
  QPrinter probe(QPrinter::HighResolution);
  Configure(probe, orientation_, title_, !pdfFolder_.isEmpty(), QString());
  return probe.height();
}

void TPrinter::BeginDoc() {
  if (Printing()) throw EPrinter("Printing is already in progress.");
  aborted_ = false;
  QString file;
  if (!pdfFolder_.isEmpty()) file = QDir(pdfFolder_).filePath(QStringLiteral("job%1.pdf").arg(jobCount_ + 1));
  auto job = std::make_unique<TJob>(orientation_, title_, file);
  job->Begin();
  ++jobCount_;
  job_ = std::move(job);
}

void TPrinter::EndDoc() {
  if (!job_) return;
  std::unique_ptr<TJob> job = std::move(job_);
  job->End();
  if (!job->PdfFile().isEmpty()) pdfFiles_.append(job->PdfFile());
}

void TPrinter::Abort() {
  if (!job_) return;
  job_->Drop();
  job_.reset();
  aborted_ = true;
}

bool TPrinter::Printing() const { return job_ && job_->Active(); }

TCanvas* TPrinter::Canvas() { return job_ ? job_->Canvas() : nullptr; }

TPrinter* Printer() {
  static TPrinter printer;
  return &printer;
}
