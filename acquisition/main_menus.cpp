// The main window's command states: which commands may run for the open
// windows, the active one and the current radar.

#include "acquisition/main_form.h"

#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_set.h"
#include "radargram/view2d_form.h"

void DUvova3DuruZuza::Updatemenu() {
  const bool anyWindow = !RadargramWindows().empty();
  // The language changes only while no profile is shown.
  Commands.LanguageVisible = !anyWindow;
  Commands.SaveEnabled = Commands.SaveAsEnabled = Commands.PrintEnabled = anyWindow;
  Commands.DirectionEnabled = Commands.ExportEnabled = Commands.ZoomEnabled = anyWindow;

  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  T2Dview* first = active ? active->GetView2DByIndx(0) : nullptr;
  // A window made for recording, not one opened from a file.
  const bool recording = first && !first->WasOpen;
  TRadar* current = radar_;
  const bool typesMatch = radarSet_ && radarSet_->ControlRadar.isEqualRadarTypeAndView();
  const bool typeUnknown = first && first->Settings()->GetTypeGPR() == unknown;
  const bool settings = recording && current && (typesMatch || typeUnknown);
  const bool presets = recording && !first->HoldsTraces() && current && typesMatch;
  if (Commands.ToolDialogShown) {
    // The dialog gives them back when it closes.
    Commands.GprPresetsBeforeToolDialog = presets;
  } else {
    Commands.GprSettingsEnabled = settings;
    Commands.GprPresetsEnabled = presets;
  }
  BindingActionEnabled = recording && current && !active->AutOfRange;
  if (SnapMenuItem) SnapMenuItem->SetEnabled(BindingActionEnabled && !Commands.ToolDialogShown);
  // The direction of a profile with traces is fixed.
  if (first && first->HoldsTraces()) Commands.DirectionEnabled = false;
  if (active) SetButtonDirect();
}

RESOURCESTRING(SFileMenu, "&File");
RESOURCESTRING(SCreateItem, "Create");
RESOURCESTRING(SOpenItem, "Open");
RESOURCESTRING(SCreateAutoItem, "Create automatically");
RESOURCESTRING(SOpenRecentItem, "Open Recent");
RESOURCESTRING(SCloseItem, "Close");
RESOURCESTRING(SSaveItem, "Save");
RESOURCESTRING(SSaveAsItem, "Save As");
RESOURCESTRING(SExportItem, "Export");
RESOURCESTRING(SExportBitmapItem, "to bitmap");
RESOURCESTRING(SExportTextItem, "to text");
RESOURCESTRING(SExportSegYItem, "to SEG-Y");
RESOURCESTRING(SImportItem, "Import");
RESOURCESTRING(SImportSegYItem, "from SEG-Y");
RESOURCESTRING(SPrintItem, "Print");
RESOURCESTRING(SExitItem, "Exit");

void DUvova3DuruZuza::CreateFileMenu() {
  if (!MainMenu) MainMenu = TComponent::Create<TMainMenu>(this);
  FileMenu = TComponent::Create<TMenuItem>(this);
  FileMenu->SetCaption(LoadResString(SFileMenu));
  MainMenu->Items()->Add(FileMenu);
  auto add = [this](TMenuItem* parent, const QString& caption, TShortCut shortCut, std::function<void()> run) {
    auto* item = TComponent::Create<TMenuItem>(this);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    if (run) item->OnClick = [run](TObject*) { run(); };
    parent->Add(item);
    return item;
  };
  const QString line = QStringLiteral("-");
  add(FileMenu, LoadResString(SCreateItem), ShortCut('N', {ssCtrl}), [this] { CreateActionExecute(); });
  add(FileMenu, LoadResString(SOpenItem), ShortCut('O', {ssCtrl}), [this] { OpenActionExecute(); });
  OpenRecentMenu = add(FileMenu, LoadResString(SOpenRecentItem), scNone, nullptr);
  for (int i = 0; i < RecentFilesCount; ++i) {
    TMenuItem* item = add(OpenRecentMenu, RecentFileCaption(i + 1, QString()), scNone, nullptr);
    item->OnClick = [this, item](TObject*) { ReopenMenu1Click(item->Caption()); };
    item->SetVisible(false);
  }
  add(FileMenu, line, scNone, nullptr);
  add(FileMenu, LoadResString(SCloseItem), scNone, [this] { CloseActionExecute(); });
  add(FileMenu, LoadResString(SSaveItem), ShortCut('S', {ssCtrl}), [this] { SaveActionExecute(this); });
  add(FileMenu, LoadResString(SSaveAsItem), scNone, [this] { SaveAsActionExecute(); });
  TMenuItem* exportMenu = add(FileMenu, LoadResString(SExportItem), scNone, nullptr);
  add(exportMenu, LoadResString(SExportBitmapItem), scNone, [this] { ToBMPExportViewMenuClick(); });
  add(exportMenu, LoadResString(SExportTextItem), scNone, [this] { ToMatExportViewMenuClick(); });
  add(exportMenu, LoadResString(SExportSegYItem), scNone, [this] { ToSEGYExportViewMenuClick(); });
  TMenuItem* importMenu = add(FileMenu, LoadResString(SImportItem), scNone, nullptr);
  add(importMenu, LoadResString(SImportSegYItem), scNone, [this] { ImportFromSEGActionExecute(); });
  add(FileMenu, line, scNone, nullptr);
  add(FileMenu, LoadResString(SPrintItem), scNone, [this] { PrintActionExecute(); });
  add(FileMenu, line, scNone, nullptr);
  add(FileMenu, LoadResString(SExitItem), scNone, [this] { ExitActionExecute(); });
  // The automatic create (Shift+F10): a menu key works on a shown item only.
  add(FileMenu, LoadResString(SCreateAutoItem), ShortCut(VK_F1 + 9, {ssShift}), [this] { CreateAutoActionExecute(); });
}

void DUvova3DuruZuza::ShowRecentFiles() {
  if (!OpenRecentMenu) return;
  for (int i = 0; i < OpenRecentMenu->Count(); ++i) {
    TMenuItem* item = OpenRecentMenu->Items(i);
    const bool used = i < Settings.History.size();
    item->SetCaption(RecentFileCaption(i + 1, used ? Settings.History[i] : QString()));
    item->SetVisible(used);
  }
}
