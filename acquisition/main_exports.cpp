// The main window's Export and Import commands: the active radargram window's
// channels as SEG-Y files, text files (each with its ".gps" companion) or
// bitmaps, and a SEG-Y file imported into a new recording window. The writing
// itself is in channel_export.h.

#include "acquisition/main_form.h"

#include "acquisition/channel_export.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/profile_names.h"
#include "radargram/view2d_form.h"

RESOURCESTRING(SSaveAsSegYFile, "Save as SEG-Y File");
RESOURCESTRING(SSaveAsTextFile, "Save as Text File");
RESOURCESTRING(SSaveAsBitmapFile, "Save as Bitmap File");
RESOURCESTRING(SOpenSegYFile, "Open SEG-Y File");

namespace {

// A dialog's filter, default extension and title, put back when a command ends.
class TDialogSettingsKeeper {
public:
  explicit TDialogSettingsKeeper(TOpenDialog& dialog)
      : dialog_(dialog), filter_(dialog.Filter()), defaultExt_(dialog.DefaultExt()), title_(dialog.Title()) {}
  ~TDialogSettingsKeeper() {
    dialog_.SetFilter(filter_);
    dialog_.SetDefaultExt(defaultExt_);
    dialog_.SetTitle(title_);
  }
  TDialogSettingsKeeper(const TDialogSettingsKeeper&) = delete;
  TDialogSettingsKeeper& operator=(const TDialogSettingsKeeper&) = delete;

private:
  TOpenDialog& dialog_;
  QString filter_, defaultExt_, title_;
};

// The dialog starts in the folder of the window's caption and proposes its
// name with the command's extension.
void ProposeFromCaption(TOpenDialog& dialog, const QString& caption, const QString& extension) {
  dialog.SetInitialDir(ExtractFilePath(caption));
  dialog.SetFileName(ChangeFileExt(ExtractFileName(caption), extension));
}

void ReportFailure(const QString& error) { MessageDlg(error, mtError, TMsgDlgButtons{mbOK}, 0); }

}  // namespace

TSaveDialog* DUvova3DuruZuza::SaveDialog() {
  if (!saveDialog_) saveDialog_ = TComponent::Create<TSaveDialog>(this);
  return saveDialog_;
}

TOpenDialog* DUvova3DuruZuza::OpenDialog() {
  if (!openDialog_) openDialog_ = TComponent::Create<TOpenDialog>(this);
  return openDialog_;
}

TSaveDialog* DUvova3DuruZuza::SavePictureDialog() {
  if (!savePictureDialog_) savePictureDialog_ = TComponent::Create<TSaveDialog>(this);
  return savePictureDialog_;
}

bool DUvova3DuruZuza::WriteSegY(T2Dview& store, const QString& fileName) {
  QString error;
  if (WriteSegYFile(ExportChannelOf(store), fileName, &error)) return true;
  ReportFailure(error);
  return false;
}

bool DUvova3DuruZuza::WriteGpsCompanion(T2Dview& store, const QString& fileName) {
  QString error;
  if (WriteGpsCompanionFile(ExportChannelOf(store), fileName, &error)) return true;
  ReportFailure(error);
  return false;
}

void DUvova3DuruZuza::ToSEGYExportViewMenuClick() { ExportActiveWindow(TExportKind::SegY); }

void DUvova3DuruZuza::ToMatExportViewMenuClick() { ExportActiveWindow(TExportKind::Text); }

void DUvova3DuruZuza::ExportActiveWindow(TExportKind kind) {
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (!window) return;
  // The processed samples exist once channel 0 was painted.
  if (window->FirstPaintAfterOpen) window->Paint2D(0);
  const bool segy = kind == TExportKind::SegY;
  const QString extension = segy ? QStringLiteral(".seg") : QStringLiteral(".dat");
  TSaveDialog& dialog = *SaveDialog();
  QString chosen;
  {
    const TDialogSettingsKeeper keep(dialog);
    dialog.SetFilter(segy ? QStringLiteral("SEG-Y files (*.seg)|*.seg") : QStringLiteral("Text files (*.dat)|*.dat"));
    dialog.SetDefaultExt(extension);
    dialog.SetTitle(LoadResString(segy ? SSaveAsSegYFile : SSaveAsTextFile));
    ProposeFromCaption(dialog, window->Caption(), extension);
    if (!dialog.Execute()) return;
    chosen = dialog.FileName();
  }
  if (!window->isPresentFileIndex(chosen)) return;

  const std::shared_ptr<const bool> alive = window->WindowAlive;
  const std::vector<QString> targets = ExportFileNames(chosen, window->CountChannalView, window->NumChartSizeToWindow);
  size_t next = 0;
  for (int i = 0; i < window->CountChannalView && next < targets.size(); ++i) {
    if (window->NumChartSizeToWindow >= 0 && window->NumChartSizeToWindow != i) continue;
    const QString& target = targets[next++];
    T2Dview* store = window->GetView2DByIndx(i);
    if (!store) continue;
    QString error;
    const TExportChannel channel = ExportChannelOf(*store);
    const bool written =
        segy ? WriteSegYFile(channel, target, &error)
             : WriteTextExportFile(channel, target, [] { if (Application) Application->ProcessMessages(); }, &error);
    if (!written) {
      ReportFailure(error);
      return;
    }
    if (!WriteGpsCompanion(*store, ChangeFileExt(target, QStringLiteral(".gps")))) return;
    // The message loop ran: the window may have gone.
    if (!*alive) return;
  }
}

void DUvova3DuruZuza::ToBMPExportViewMenuClick() {
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (!window) return;
  TSaveDialog& dialog = *SavePictureDialog();
  dialog.SetFilter(QStringLiteral("Bitmaps (*.bmp)|*.bmp"));
  dialog.SetDefaultExt(QStringLiteral(".bmp"));
  dialog.SetTitle(LoadResString(SSaveAsBitmapFile));
  ProposeFromCaption(dialog, window->Caption(), QStringLiteral(".bmp"));
  if (dialog.Execute() && window->isPresentFileIndex(dialog.FileName())) window->SaveToBmp(dialog.FileName());
  dialog.SetFileName(QString());
}

bool DUvova3DuruZuza::ImportSegY() {
  TOpenDialog& dialog = *OpenDialog();
  QString fileName;
  {
    const TDialogSettingsKeeper keep(dialog);
    dialog.SetFilter(QStringLiteral("SEG-Y files (*.*)|*.*"));
    dialog.SetDefaultExt(QStringLiteral("*.*"));
    dialog.SetTitle(LoadResString(SOpenSegYFile));
    dialog.SetFileName(QString());
    if (!dialog.Execute()) return false;
    fileName = dialog.FileName();
  }
  GlobalTypeProfiles_ = tpLinear;
  CreateActionExecute();
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (!window) window = CurChild_;
  T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (!first) return false;
  window->CountChannalVisible = 1;
  window->ChartResizeAndVisible();
  const std::shared_ptr<const bool> alive = window->WindowAlive;
  const bool imported = first->Settings()->ImportFromSEGA(fileName);
  if (!*alive) return imported;
  first->WasOpen = true;
  first->Settings()->SetWasOpen(true);
  const bool track = first->Settings()->NMEIStrings.size() >= 2;
  if (window->DistanceMenu) window->DistanceMenu->SetChecked(!track);
  if (window->TracesMenu) window->TracesMenu->SetChecked(track);
  window->FilValueList(0);
  window->FirstPaintAfterOpen = true;
  window->ZoomFactor = 1000;
  window->Zoom();
  window->Paint2D(0);
  window->PaintAllScreen();
  if (window->Prop11SpeedButton) window->Prop11SpeedButton->SetDown(true);
  window->SetPropButtonAsProportional();
  window->GPSarrayToMetres();
  return imported;
}
