// The main window's command states: which commands may run for the open
// windows, the active one and the current radar.

#include "acquisition/main_form.h"

#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_set.h"
#include "acquisition/settings_form.h"
#include "acquisition/splash_form.h"
#include "radargram/view2d_form.h"

#include <functional>
#include <iterator>
#include <tuple>
#include <typeinfo>
#include <utility>
#include <vector>

void DUvova3DuruZuza::Updatemenu() {
  // 1. The current radar is the master radar of the set (none once it left it).
  if (radarSet_) {
    const TControlRadar& set = radarSet_->ControlRadar;
    if (!set.isPresentRadar(radar_)) radar_ = set.GetMasterRadar();
    if (radar_) radar_ = set.GetMasterRadar();
  }
  // 2. The windows may change their layout meanwhile without closing.
  StartResize_ = true;
  const bool anyWindow = !RadargramWindows().empty();
  // 3. The language changes only while no profile is shown.
  Commands.LanguageVisible = !anyWindow;
  if (!anyWindow) {
    if (TSettingsForm* settings = SettingsForm) settings->st = nullptr;
  }
  // 4.
  Commands.SaveEnabled = Commands.SaveAsEnabled = Commands.PrintEnabled = anyWindow;
  Commands.DirectionEnabled = Commands.ExportEnabled = Commands.ZoomEnabled = anyWindow;

  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  // 8. Only a radargram window itself is the current one (set first: the type
  // check below reads the current window).
  CurChild_ = active && typeid(*active) == typeid(TView2DForm) ? active : nullptr;
  T2Dview* first = active ? active->GetView2DByIndx(0) : nullptr;
  // A window made for recording, not one opened from a file.
  const bool recording = first && !first->WasOpen;
  TRadar* current = radar_;
  const bool ready = current && current->ready;
  const bool typesMatch = radarSet_ && radarSet_->ControlRadar.isEqualRadarTypeAndView();
  const bool typeUnknown = first && first->Settings()->GetTypeGPR() == unknown;
  // 5. and 6.
  const bool settings = recording && current && (typesMatch || typeUnknown);
  const bool presets = recording && !first->HoldsTraces() && current && typesMatch;
  // 7. A running recording can always be stopped, whichever window is active.
  const bool start = Commands.RunChecked || (ready && recording && !active->AutOfRange && (typesMatch || typeUnknown));
  if (Commands.ToolDialogShown) {
    // The dialog gives them back when it closes.
    Commands.GprPresetsBeforeToolDialog = presets;
  } else {
    Commands.GprSettingsEnabled = settings;
    Commands.GprPresetsEnabled = presets;
    Commands.RunEnabled = start;
  }
  // 10.
  BindingActionEnabled = ready && recording && !active->AutOfRange;
  // The direction of a profile with traces is fixed.
  if (first && first->HoldsTraces()) Commands.DirectionEnabled = false;
  // 9. and 11. The info boxes follow the windows; the Direction button the active one.
  UpdateInfoPanel();
  if (active) SetButtonDirect();
  ShowCommandStates();
  StartResize_ = false;
}

void DUvova3DuruZuza::ShowCommandStates() {
  const bool simple = Settings.SimpleMode;
  auto show = [](TMenuItem* item, bool enabled) {
    if (item) item->SetEnabled(enabled);
  };
  show(SaveMenuItem, Commands.SaveEnabled);
  show(SaveAsMenuItem, Commands.SaveAsEnabled);
  show(PrintMenuItem, Commands.PrintEnabled);
  show(ExportMenu, Commands.ExportEnabled);
  show(ZoomInMenuItem, Commands.ZoomEnabled);
  show(ZoomOutMenuItem, Commands.ZoomEnabled);
  show(GprSettingsMenuItem, Commands.GprSettingsEnabled);
  show(RunMenuItem, Commands.RunEnabled);
  show(SnapMenuItem, BindingActionEnabled && !Commands.ToolDialogShown);
  // 12. Simple mode offers neither the settings nor the binding.
  if (GprSettingsMenuItem) GprSettingsMenuItem->SetVisible(!simple);
  if (SnapMenuItem) SnapMenuItem->SetVisible(!simple);
  if (LanguageMenu) LanguageMenu->SetVisible(Commands.LanguageVisible);
  ShowLanguageChecks();
  ShowWindowList();
  ShowToolBarStates();
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

TMenuItem* DUvova3DuruZuza::AddMenuItem(TMenuItem* parent, const TResourceString* caption, WORD shortCut,
                                        std::function<void()> run) {
  auto* item = TComponent::Create<TMenuItem>(this);
  item->SetCaption(caption ? LoadResString(*caption) : QStringLiteral("-"));
  if (caption) MenuTexts.emplace_back(item, caption);
  item->SetShortCut(shortCut);
  if (run) item->OnClick = [run](TObject*) { run(); };
  parent->Add(item);
  return item;
}

void DUvova3DuruZuza::CreateFileMenu() {
  if (!MainMenu) MainMenu = TComponent::Create<TMainMenu>(this);
  FileMenu = TComponent::Create<TMenuItem>(this);
  FileMenu->SetCaption(LoadResString(SFileMenu));
  MenuTexts.emplace_back(FileMenu, &SFileMenu);
  MainMenu->Items()->Add(FileMenu);
  auto add = [this](TMenuItem* parent, const TResourceString* caption, TShortCut shortCut, std::function<void()> run) {
    return AddMenuItem(parent, caption, shortCut, std::move(run));
  };
  add(FileMenu, &SCreateItem, ShortCut('N', {ssCtrl}), [this] { CreateActionExecute(); });
  add(FileMenu, &SOpenItem, ShortCut('O', {ssCtrl}), [this] { OpenActionExecute(); });
  OpenRecentMenu = add(FileMenu, &SOpenRecentItem, scNone, nullptr);
  for (int i = 0; i < RecentFilesCount; ++i) {
    auto* item = TComponent::Create<TMenuItem>(this);
    item->SetCaption(RecentFileCaption(i + 1, QString()));
    item->OnClick = [this, item](TObject*) { ReopenMenu1Click(item->Caption()); };
    item->SetVisible(false);
    OpenRecentMenu->Add(item);
  }
  add(FileMenu, nullptr, scNone, nullptr);
  add(FileMenu, &SCloseItem, scNone, [this] { CloseActionExecute(); });
  SaveMenuItem = add(FileMenu, &SSaveItem, ShortCut('S', {ssCtrl}), [this] { SaveActionExecute(this); });
  SaveAsMenuItem = add(FileMenu, &SSaveAsItem, scNone, [this] { SaveAsActionExecute(); });
  ExportMenu = add(FileMenu, &SExportItem, scNone, nullptr);
  add(ExportMenu, &SExportBitmapItem, scNone, [this] { ToBMPExportViewMenuClick(); });
  add(ExportMenu, &SExportTextItem, scNone, [this] { ToMatExportViewMenuClick(); });
  add(ExportMenu, &SExportSegYItem, scNone, [this] { ToSEGYExportViewMenuClick(); });
  TMenuItem* importMenu = add(FileMenu, &SImportItem, scNone, nullptr);
  add(importMenu, &SImportSegYItem, scNone, [this] { ImportFromSEGActionExecute(); });
  add(FileMenu, nullptr, scNone, nullptr);
  PrintMenuItem = add(FileMenu, &SPrintItem, scNone, [this] { PrintActionExecute(); });
  add(FileMenu, nullptr, scNone, nullptr);
  add(FileMenu, &SExitItem, scNone, [this] { ExitActionExecute(); });
  // The automatic create (Shift+F10): a menu key works on a shown item only.
  add(FileMenu, &SCreateAutoItem, ShortCut(VK_F1 + 9, {ssShift}), [this] { CreateAutoActionExecute(); });
}

RESOURCESTRING(SPreferencesMenu, "Preferences");
RESOURCESTRING(SGeneralPreferencesItem, "General Preferences");
RESOURCESTRING(SLanguageMenu, "Language");
RESOURCESTRING(SEnglishItem, "English");
RESOURCESTRING(SItalianItem, "Italian");
RESOURCESTRING(SGermanItem, "German");
RESOURCESTRING(SFrenchItem, "French");
RESOURCESTRING(SUkrainianItem, "Ukrainian");
RESOURCESTRING(SPolishItem, "Polish");
RESOURCESTRING(SSpanishItem, "Spanish");
RESOURCESTRING(SChineseItem, "Chinese");
RESOURCESTRING(STurkishItem, "Turkish");
RESOURCESTRING(SRussianItem, "Russian");
RESOURCESTRING(SWindowMenu, "Window");
RESOURCESTRING(SCascadeItem, "Cascade");
RESOURCESTRING(SArrangeIconsItem, "Arrange Icons");
RESOURCESTRING(SMinimizeAllItem, "Minimize All");
RESOURCESTRING(STiledVerticallyItem, "Tiled Vertically");
RESOURCESTRING(STiledHorizontallyItem, "Tiled Horizontally");
RESOURCESTRING(SZoomInItem, "Zoom In");
RESOURCESTRING(SZoomOutItem, "Zoom Out");
RESOURCESTRING(SHelpMenu, "Help");
RESOURCESTRING(SAboutItem, "About");

namespace {

struct TLanguageItem {
  const TResourceString* caption;
  int localeId;
};

// The Language menu in its order, each item with the locale it switches to.
constexpr TLanguageItem kLanguageMenu[] = {
    {&SEnglishItem, 1033}, {&SItalianItem, 16}, {&SGermanItem, 7},  {&SFrenchItem, 12},   {&SUkrainianItem, 34},
    {&SPolishItem, 21},    {&SSpanishItem, 1034}, {&SChineseItem, 2052}, {&STurkishItem, 1055}, {&SRussianItem, 25}};
static_assert(std::size(kLanguageMenu) == std::tuple_size_v<decltype(DUvova3DuruZuza::LanguageItems)>);

}  // namespace

void DUvova3DuruZuza::CreateMainMenus() {
  auto menu = [this](const TResourceString& caption) {
    auto* item = TComponent::Create<TMenuItem>(this);
    item->SetCaption(LoadResString(caption));
    MenuTexts.emplace_back(item, &caption);
    MainMenu->Items()->Add(item);
    return item;
  };
  PreferencesMenu = menu(SPreferencesMenu);
  GeneralPreferencesMenuItem =
      AddMenuItem(PreferencesMenu, &SGeneralPreferencesItem, scNone, [this] { GeneralPreferencesActionExecute(); });
  LanguageMenu = AddMenuItem(PreferencesMenu, &SLanguageMenu, scNone, nullptr);
  for (size_t i = 0; i < std::size(kLanguageMenu); ++i) {
    const int localeId = kLanguageMenu[i].localeId;
    TMenuItem* item = AddMenuItem(LanguageMenu, kLanguageMenu[i].caption, scNone, [this, localeId] {
      SwitchLanguage(localeId);
      ShowLanguageChecks();
    });
    item->SetTag(localeId);
    item->SetRadioItem(true);
    LanguageItems[i] = item;
  }

  WindowMenu = menu(SWindowMenu);
  AddMenuItem(WindowMenu, &SCascadeItem, scNone, [this] { CascadeActionExecute(); });
  AddMenuItem(WindowMenu, &SArrangeIconsItem, scNone, [this] { ArrangeIconsActionExecute(); });
  AddMenuItem(WindowMenu, &SMinimizeAllItem, scNone, [this] { MinimizeAllActionExecute(); });
  AddMenuItem(WindowMenu, &STiledVerticallyItem, scNone, [this] { TiledVerticalActionExecute(); });
  AddMenuItem(WindowMenu, &STiledHorizontallyItem, scNone, [this] { TiledHorizontalActionExecute(); });
  AddMenuItem(WindowMenu, nullptr, scNone, nullptr);
  ZoomInMenuItem = AddMenuItem(WindowMenu, &SZoomInItem, scNone, [this] { ZoomInActionExecute(); });
  ZoomOutMenuItem = AddMenuItem(WindowMenu, &SZoomOutItem, scNone, [this] { ZoomOutActionExecute(); });
  AddMenuItem(WindowMenu, nullptr, scNone, nullptr);

  HelpMenu = menu(SHelpMenu);
  AddMenuItem(HelpMenu, &SAboutItem, scNone, [this] { About1Click(); });

  OnActiveMDIChildChange = [this](TObject*) { Updatemenu(); };
  ShowCommandStates();
}

void DUvova3DuruZuza::ShowLanguageChecks() {
  for (TMenuItem* item : LanguageItems)
    if (item) item->SetChecked(item->Tag() == FLanguage);
}

void DUvova3DuruZuza::ShowWindowList() {
  if (!WindowMenu) return;
  for (TMenuItem* item : WindowListItems) {
    WindowMenu->Remove(item);
    item->Free();
  }
  WindowListItems.clear();
  const TForm* active = ActiveMDIChild();
  for (TView2DForm* window : RadargramWindows()) {
    auto* item = TComponent::Create<TMenuItem>(this);
    item->SetCaption(window->Caption());
    item->SetChecked(window == active);
    item->OnClick = [window](TObject*) { window->Show(); };
    WindowMenu->Add(item);
    WindowListItems.push_back(item);
  }
}

void DUvova3DuruZuza::ReloadMenuTexts() {
  for (const auto& [item, caption] : MenuTexts) item->SetCaption(LoadResString(*caption));
}

void DUvova3DuruZuza::CascadeActionExecute() { Cascade(); }

void DUvova3DuruZuza::ArrangeIconsActionExecute() { ArrangeIcons(); }

void DUvova3DuruZuza::MinimizeAllActionExecute() {
  // The order changes as each minimised window passes the activation on: the
  // windows are taken as they are now.
  std::vector<TForm*> children;
  for (int i = 0; i < MDIChildCount(); ++i) children.push_back(MDIChildren(i));
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->SetWindowState(wsMinimized);
}

void DUvova3DuruZuza::TiledVerticalActionExecute() { Tile(tbVertical); }

void DUvova3DuruZuza::TiledHorizontalActionExecute() { Tile(tbHorizontal); }

void DUvova3DuruZuza::ZoomInActionExecute() {
  if (auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild())) window->Zooming(true);
}

void DUvova3DuruZuza::ZoomOutActionExecute() {
  if (auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild())) window->Zooming(false);
}

void DUvova3DuruZuza::About1Click() { ShowAbout(); }

void DUvova3DuruZuza::ShowRecentFiles() {
  if (!OpenRecentMenu) return;
  for (int i = 0; i < OpenRecentMenu->Count(); ++i) {
    TMenuItem* item = OpenRecentMenu->Items(i);
    const bool used = i < Settings.History.size();
    item->SetCaption(RecentFileCaption(i + 1, used ? Settings.History[i] : QString()));
    item->SetVisible(used);
  }
}
