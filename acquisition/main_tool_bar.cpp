// The main window's tool bar, its pictures, "Many buttons" and the presets
// popup.

#include "acquisition/main_tool_bar.h"

#include "acquisition/main_form.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"
#include "platform/ui/menus.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace main_tool_bar_pictures {

constexpr TColor kInk = 0x00303030;
constexpr TColor kWhite = 0x00FFFFFF;
constexpr TColor kPaper = 0x00F8F8F8;
constexpr TColor kGreen = 0x0020A020;
constexpr TColor kRed = 0x002020D8;
constexpr TColor kBlue = 0x00B05818;
constexpr TColor kYellow = 0x0040C8F0;
constexpr TColor kOrange = 0x000080F0;
constexpr TColor kTeal = 0x00909000;

void Fill(TCanvas& canvas, TColor color) {
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(color);
  canvas.Pen()->SetColor(color);
}

// Filled with color, outlined in ink.
void Outlined(TCanvas& canvas, TColor color) {
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(color);
  canvas.Pen()->SetColor(kInk);
  canvas.Pen()->SetWidth(2);
}

// An arrow along the x axis at height y from x1 to x2 (the head at x2).
void Arrow(TCanvas& canvas, int x1, int x2, int y, TColor color) {
  Fill(canvas, color);
  const int dir = x2 > x1 ? 1 : -1;
  const int shaftEnd = x2 - dir * 16;
  canvas.FillRect({std::min(x1, shaftEnd), y - 5, std::max(x1, shaftEnd), y + 5});
  canvas.Polygon({{shaftEnd, y - 14}, {x2, y}, {shaftEnd, y + 14}});
}

void Floppy(TCanvas& canvas) {
  Outlined(canvas, kBlue);
  canvas.Rectangle(10, 8, 54, 56);
  Fill(canvas, kPaper);
  canvas.FillRect({18, 10, 46, 26});
  Fill(canvas, kInk);
  canvas.FillRect({36, 13, 42, 23});
  Fill(canvas, kWhite);
  canvas.FillRect({16, 34, 48, 54});
}

void Sheet(TCanvas& canvas) {
  Outlined(canvas, kPaper);
  canvas.Polygon({{14, 6}, {40, 6}, {52, 18}, {52, 58}, {14, 58}});
  Fill(canvas, kInk);
  for (int y = 26; y <= 46; y += 8) canvas.FillRect({20, y, 46, y + 2});
}

// The radar unit: an antenna box with its two antennas and waves below.
void RadarUnit(TCanvas& canvas) {
  Outlined(canvas, kOrange);
  canvas.RoundRect(6, 14, 58, 38, 10, 10);
  Fill(canvas, kInk);
  canvas.Ellipse(14, 20, 26, 32);
  canvas.Ellipse(38, 20, 50, 32);
  Fill(canvas, kTeal);
  for (int r = 0; r < 3; ++r) canvas.FillRect({14 + r * 4, 44 + r * 5, 50 - r * 4, 46 + r * 5});
}

// A card of settings with three sliders.
void PresetCard(TCanvas& canvas) {
  Outlined(canvas, kPaper);
  canvas.Rectangle(8, 6, 56, 58);
  for (int i = 0; i < 3; ++i) {
    const int y = 18 + i * 14;
    Fill(canvas, kInk);
    canvas.FillRect({14, y, 50, y + 2});
    Fill(canvas, i == 1 ? kRed : kGreen);
    const int x = 18 + i * 11;
    canvas.FillRect({x, y - 5, x + 6, y + 7});
  }
}

void DrawPicture(int index, TCanvas& canvas) {
  switch (index) {
    case ToolPictureCreate:
      Sheet(canvas);
      Fill(canvas, kGreen);
      canvas.FillRect({34, 38, 60, 46});
      canvas.FillRect({43, 29, 51, 55});
      break;
    case ToolPictureOpen:
      Outlined(canvas, kYellow);
      canvas.Polygon({{6, 14}, {24, 14}, {30, 20}, {56, 20}, {56, 52}, {6, 52}});
      Outlined(canvas, 0x0070E0FF);
      canvas.Polygon({{6, 52}, {16, 28}, {62, 28}, {56, 52}});
      break;
    case ToolPictureSave: Floppy(canvas); break;
    case ToolPictureBinding:
      Fill(canvas, kInk);
      canvas.FillRect({4, 46, 60, 50});
      Fill(canvas, kRed);
      canvas.Polygon({{22, 14}, {42, 14}, {32, 44}});
      canvas.Ellipse(24, 6, 40, 22);
      break;
    case ToolPictureSaveToVandrel:
      Floppy(canvas);
      Arrow(canvas, 22, 62, 44, kGreen);
      break;
    case RunPictureStart:
      Outlined(canvas, kGreen);
      canvas.Polygon({{16, 8}, {56, 32}, {16, 56}});
      break;
    case RunPictureStop:
      Outlined(canvas, kRed);
      canvas.Rectangle(12, 12, 52, 52);
      break;
    case ToolPictureGprSettings:
      // A gear until the radar resource takes its place.
      Outlined(canvas, kTeal);
      canvas.Ellipse(10, 10, 54, 54);
      Fill(canvas, kInk);
      canvas.FillRect({28, 2, 36, 12});
      canvas.FillRect({28, 52, 36, 62});
      canvas.FillRect({2, 28, 12, 36});
      canvas.FillRect({52, 28, 62, 36});
      Fill(canvas, kPaper);
      canvas.Ellipse(24, 24, 40, 40);
      break;
    case DirectionPictureBackward: Arrow(canvas, 58, 6, 32, kBlue); break;
    case DirectionPictureForward: Arrow(canvas, 6, 58, 32, kBlue); break;
    case ToolPicturePresets:
      // A list until the preset resource takes its place.
      Sheet(canvas);
      Fill(canvas, kBlue);
      for (int y = 24; y <= 44; y += 10) canvas.FillRect({18, y, 22, y + 4});
      break;
    case ToolPictureManyButtons:
      Outlined(canvas, kPaper);
      for (int i = 0; i < 4; ++i) canvas.Rectangle(8 + (i % 2) * 26, 8 + (i / 2) * 26, 30 + (i % 2) * 26, 30 + (i / 2) * 26);
      break;
    default: break;
  }
}

void StartPicture(TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(ToolPictureSize, ToolPictureSize);
  TCanvas& canvas = *bitmap.Canvas();
  Fill(canvas, ToolPictureMask);
  canvas.FillRect({0, 0, ToolPictureSize, ToolPictureSize});
}

}  // namespace main_tool_bar_pictures

void DrawToolPicture(int index, TBitmap& bitmap) {
  main_tool_bar_pictures::StartPicture(bitmap);
  main_tool_bar_pictures::DrawPicture(index, *bitmap.Canvas());
  bitmap.Canvas()->Flush();
}

void GreyToolPicture(TBitmap& bitmap) {
  bitmap.Canvas()->Flush();
  bitmap.SetPixelFormat(pf24bit);
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      uint8_t* p = row + 3 * x;
      // Rec. 601 weights; a grey pixel (silver too) keeps its value.
      const auto grey = static_cast<uint8_t>((p[2] * 77 + p[1] * 151 + p[0] * 28) >> 8);
      p[0] = p[1] = p[2] = grey;
    }
  }
}

bool LoadToolBitmapResource(const QString& name, TBitmap& bitmap) {
  const bool grey = name.endsWith(QStringLiteral("_GRAY"));
  const QString base = grey ? name.chopped(5) : name;
  void (*draw)(TCanvas&) = nullptr;
  if (base == QStringLiteral("RADAR_QEL")) draw = main_tool_bar_pictures::RadarUnit;
  if (base == QStringLiteral("PRESET_QEL")) draw = main_tool_bar_pictures::PresetCard;
  if (!draw) return false;
  main_tool_bar_pictures::StartPicture(bitmap);
  draw(*bitmap.Canvas());
  bitmap.Canvas()->Flush();
  if (grey) GreyToolPicture(bitmap);
  return true;
}

void FillToolPictures(TImageList& normal, TImageList& grey) {
  normal.SetSize(ToolPictureSize, ToolPictureSize);
  grey.SetSize(ToolPictureSize, ToolPictureSize);
  normal.Clear();
  grey.Clear();
  for (int i = 0; i < ToolPictureCount; ++i) {
    TBitmap picture;
    DrawToolPicture(i, picture);
    normal.AddMasked(picture, ToolPictureMask);
    GreyToolPicture(picture);
    grey.AddMasked(picture, ToolPictureMask);
  }
}

void ChangeByttonIcons(TImageList& normal, TImageList& grey) {
  const std::pair<int, QString> replaced[] = {{ToolPictureGprSettings, QStringLiteral("RADAR_QEL")},
                                              {ToolPicturePresets, QStringLiteral("PRESET_QEL")}};
  for (const auto& [index, name] : replaced) {
    TBitmap picture;
    if (LoadToolBitmapResource(name, picture)) normal.ReplaceMasked(index, picture, ToolPictureMask);
    if (LoadToolBitmapResource(name + QStringLiteral("_GRAY"), picture)) grey.ReplaceMasked(index, picture, ToolPictureMask);
  }
}

// ---- TMainToolBar -------------------------------------------------------------------

TMainToolBar::TMainToolBar(TComponent* owner, TWinControl* parent, TMainToolBarCommands commands) {
  Images = TComponent::Create<TImageList>(owner);
  GreyImages = TComponent::Create<TImageList>(owner);
  FillToolPictures(*Images, *GreyImages);
  Bar = TComponent::Create<TToolBar>(owner);
  Bar->SetAlign(alTop);
  Bar->SetHeight(ToolButtonHeight);
  Bar->SetButtonSize(ToolButtonWidth, ToolButtonHeight);
  Bar->SetImages(Images);
  Bar->SetDisabledImages(GreyImages);
  Bar->SetParent(parent);
  CreateButton = AddButton(owner, ToolPictureCreate, std::move(commands.Create));
  OpenButton = AddButton(owner, ToolPictureOpen, std::move(commands.Open));
  SaveButton = AddButton(owner, ToolPictureSave, std::move(commands.Save));
  AddSeparator(owner);
  DirectionButton = AddButton(owner, DirectionPictureForward, std::move(commands.Direction));
  GprSettingsButton = AddButton(owner, ToolPictureGprSettings, std::move(commands.GprSettings));
  PresetsButton = AddButton(owner, ToolPicturePresets, std::move(commands.Presets));
  AddSeparator(owner);
  RunButton = AddButton(owner, RunPictureStart, std::move(commands.Run));
  RunButton->SetStyle(tbsCheck);
  AddSeparator(owner);
  BindingButton = AddButton(owner, ToolPictureBinding, std::move(commands.Binding));
  SaveToVandrelButton = AddButton(owner, ToolPictureSaveToVandrel, std::move(commands.SaveToVandrel));
  SaveToVandrelButton->SetVisible(false);
  ReloadTexts();
}

TToolButton* TMainToolBar::AddButton(TComponent* owner, int picture, std::function<void()> run) {
  auto* button = TComponent::Create<TToolButton>(owner);
  button->SetImageIndex(picture);
  if (run) button->OnClick = [run = std::move(run)](TObject*) { run(); };
  button->SetParent(Bar);
  return button;
}

void TMainToolBar::AddSeparator(TComponent* owner) {
  auto* separator = TComponent::Create<TToolButton>(owner);
  separator->SetStyle(tbsSeparator);
  separator->SetParent(Bar);
}

void TMainToolBar::ReloadTexts() {
  CreateButton->SetHint(LoadResString(SCreateHint));
  OpenButton->SetHint(LoadResString(SOpenHint));
  SaveButton->SetHint(LoadResString(SSaveHint));
  GprSettingsButton->SetHint(LoadResString(SGprSettingsHint));
  PresetsButton->SetHint(LoadResString(SGprPresetsHint));
  BindingButton->SetHint(LoadResString(SBindingHint));
  SaveToVandrelButton->SetHint(LoadResString(SSaveToVandrelHint));
  if (!directionHint_.isEmpty()) DirectionButton->SetHint(directionHint_);
  if (!runHint_.isEmpty()) RunButton->SetHint(runHint_);
}

void TMainToolBar::ShowStates(const TMainCommands& commands, bool bindingEnabled, bool simpleMode) {
  SaveButton->SetEnabled(commands.SaveEnabled);
  SaveToVandrelButton->SetEnabled(commands.SaveEnabled);
  DirectionButton->SetEnabled(commands.DirectionEnabled);
  DirectionButton->SetImageIndex(commands.DirectionPicture);
  directionHint_ = commands.DirectionHint;
  DirectionButton->SetHint(directionHint_);
  GprSettingsButton->SetEnabled(commands.GprSettingsEnabled);
  PresetsButton->SetEnabled(commands.GprPresetsEnabled);
  RunButton->SetEnabled(commands.RunEnabled);
  RunButton->SetDown(commands.RunChecked);
  RunButton->SetImageIndex(commands.RunPicture);
  runHint_ = commands.RunCaption;
  RunButton->SetHint(runHint_);
  BindingButton->SetEnabled(bindingEnabled && !commands.ToolDialogShown);
  DirectionButton->SetVisible(!simpleMode);
  GprSettingsButton->SetVisible(!simpleMode);
  BindingButton->SetVisible(!simpleMode);
}

void TMainToolBar::ShowManyButtons(bool checked) {
  OpenButton->SetVisible(checked);
  SaveButton->SetVisible(checked);
}

void TMainToolBar::PopupPresets(TAdvPopupMenu& menu) {
  const TPoint at = PresetsButton->ClientToScreen({20, 20});
  menu.SetPopupComponent(PresetsButton);
  menu.Popup(at.X, at.Y);
}

// ---- The main window's side ------------------------------------------------------------

void DUvova3DuruZuza::CreateToolBar() {
  TMainToolBarCommands commands;
  commands.Create = [this] { CreateActionExecute(); };
  commands.Open = [this] { OpenActionExecute(); };
  commands.Save = [this] { SaveActionExecute(this); };
  commands.Direction = [this] {
    ActionDirectExecute();
    ShowToolBarStates();
  };
  commands.GprSettings = [this] { ActionViewSettingsExecute(); };
  commands.Presets = [this] { ActionPresetsExecute(); };
  commands.Run = [this] {
    RunActionClick();
    // A refused start leaves the button up again.
    ShowToolBarStates();
  };
  commands.Binding = [this] { SnaptoPrincipalAxisActionExecute(); };
  commands.SaveToVandrel = [this] { SaveToVandrelExecute(); };
  ToolBar = std::make_unique<TMainToolBar>(this, this, std::move(commands));
  ChangeByttonIcons();

  PresetsPopupMenu = TComponent::Create<TAdvPopupMenu>(this);
}

void DUvova3DuruZuza::CreateToolBarSizeItem() {
  // "Many buttons", checked by default, after General Preferences.
  ToolBarSizeMenuItem = TComponent::Create<TMenuItem>(this);
  ToolBarSizeMenuItem->SetAutoCheck(true);
  ToolBarSizeMenuItem->SetChecked(true);
  ToolBarSizeMenuItem->SetImageIndex(ToolPictureManyButtons);
  ToolBarSizeMenuItem->OnClick = [this](TObject*) { ToolBarSizeActionExecute(); };
  if (PreferencesMenu) {
    const int general = GeneralPreferencesMenuItem ? PreferencesMenu->IndexOf(GeneralPreferencesMenuItem) : -1;
    PreferencesMenu->Insert(general + 1, ToolBarSizeMenuItem);
  }
  ShowToolBarSize();
  ShowToolBarStates();
}

void DUvova3DuruZuza::ToolBarSizeActionExecute() {
  Settings.BitToolbar = ToolBarSizeMenuItem->Checked();
  ShowToolBarSize();
  UpdateInfoPanel();
}

void DUvova3DuruZuza::ShowToolBarSize() {
  if (!ToolBar) return;
  const bool checked = Settings.BitToolbar;
  ToolBarSizeMenuItem->SetChecked(checked);
  ToolBarSizeMenuItem->SetCaption(LoadResString(checked ? SStandardButtonPanel : SEnlargedButtonPanel));
  ToolBar->Bar->SetButtonSize(ToolButtonWidth, ToolButtonHeight);
  ToolBar->ShowManyButtons(checked);
  ToolBar->ReloadTexts();
}

void DUvova3DuruZuza::ShowToolBarStates() {
  if (ToolBar) ToolBar->ShowStates(Commands, BindingActionEnabled, Settings.SimpleMode);
}

void DUvova3DuruZuza::ChangeByttonIcons() {
  if (ToolBar) ::ChangeByttonIcons(*ToolBar->Images, *ToolBar->GreyImages);
}

void DUvova3DuruZuza::ActionPresetsExecute() {
  if (!ToolBar) return;
  const QStringList titles = BuildPresetsMenu();
  PresetsPopupMenu->Items()->Clear();
  for (const QString& title : titles) {
    auto* item = TComponent::Create<TMenuItem>(PresetsPopupMenu);
    item->SetCaption(title);
    item->OnClick = [this, title](TObject*) { PresetsItemsClick(title); };
    PresetsPopupMenu->Items()->Add(item);
  }
  ToolBar->PopupPresets(*PresetsPopupMenu);
}
