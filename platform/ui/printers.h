#pragma once
// TPrinter: print jobs on the system's printer, or into PDF files.
//
// A job runs from BeginDoc to EndDoc (or Abort) on one page; between them
// Canvas() draws on the page in device pixels (PageWidth x PageHeight of the
// printable area), and fonts keep their point sizes at the printer's
// resolution. Orientation and Title are set before BeginDoc; the title names
// the job (the PDF's document title).
//
// PDF output (SetPdfFolder): each job becomes its own file in the folder,
// "job<n>.pdf" with n counting the jobs of this printer from 1; an aborted job
// leaves no file. Tests print this way, as does a program that prints to a file.
//
// Threads: user-interface thread only.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <stdexcept>

class TCanvas;

class EPrinter : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

class TPrinter {
public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  TPrinterOrientation Orientation() const { return orientation_; }
  // Ignored while a job runs.
  void SetOrientation(TPrinterOrientation value);
  const QString& Title() const { return title_; }
  void SetTitle(const QString& value) { title_ = value; }

  // The folder PDF jobs go to; empty prints on the system's printer.
  const QString& PdfFolder() const { return pdfFolder_; }
  void SetPdfFolder(const QString& folder) { pdfFolder_ = folder; }
  // The PDF files of the jobs ended so far, in order.
  const QStringList& PdfFiles() const { return pdfFiles_; }

  // The printable area in device pixels for the current orientation.
  int PageWidth() const;
  int PageHeight() const;

  // Starts a job; throws EPrinter when the printer or the file cannot be opened.
  void BeginDoc();
  // Ends the job and hands it to the printer (writes the file).
  void EndDoc();
  // Drops the running job; nothing is printed.
  void Abort();
  bool Printing() const;
  bool Aborted() const { return aborted_; }
  // The page of the running job; nullptr outside a job.
  TCanvas* Canvas();

private:
  class TJob;
  std::unique_ptr<TJob> job_;
  TPrinterOrientation orientation_ = poPortrait;
  QString title_;
  QString pdfFolder_;
  QStringList pdfFiles_;
  int jobCount_ = 0;
  bool aborted_ = false;
};

// The program's printer, as the print dialog leaves it.
TPrinter* Printer();
