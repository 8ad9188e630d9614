#pragma once
// The main window's tool bar: buttons 71 x 70 with 64-pixel pictures in the
// order Create, Open, Save | Direction, GPR settings, GPR presets | Run (a check
// button) | Binding to the baseline, and the hidden "Save To Vandrel" button.
// A disabled button shows its picture from the grey list. The buttons follow
// the command states the main window computes (TMainCommands); "Many buttons"
// shows or hides Open and Save.
//
// The pictures are drawn by the program on silver ($C0C0C0), the colour that
// shows the button face. Both lists are indexed alike; the Run and Direction
// pictures are those named in main_commands.h.
//
// Threads: user-interface thread only.

#include "acquisition/main_commands.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/control_types.h"

#include <QString>

#include <functional>

class TAdvPopupMenu;
class TBitmap;
class TComponent;
class TImageList;
class TToolBar;
class TToolButton;
class TWinControl;

RESOURCESTRING(SManyButtons, "Many buttons");
RESOURCESTRING(SStandardButtonPanel, "Standard button panel");
RESOURCESTRING(SEnlargedButtonPanel, "Enlarged button panel");
RESOURCESTRING(SCreateHint, "Create");
RESOURCESTRING(SOpenHint, "Open");
RESOURCESTRING(SSaveHint, "Save");
RESOURCESTRING(SGprSettingsHint, "GPR settings");
RESOURCESTRING(SGprPresetsHint, "GPR presets");
RESOURCESTRING(SBindingHint, "Binding to the baseline");
RESOURCESTRING(SSaveToVandrelHint, "Save To Vandrel");

inline constexpr int ToolButtonWidth = 71;
inline constexpr int ToolButtonHeight = 70;
inline constexpr int ToolPictureSize = 64;
inline constexpr TColor ToolPictureMask = 0x00C0C0C0;

// Pictures of the two lists (Run 6 and 7, Direction 10 and 11 in main_commands.h).
inline constexpr int ToolPictureCreate = 0;
inline constexpr int ToolPictureOpen = 1;
inline constexpr int ToolPictureSave = 2;
inline constexpr int ToolPictureBinding = 3;
inline constexpr int ToolPictureSaveToVandrel = 4;
inline constexpr int ToolPictureGprSettings = 8;
inline constexpr int ToolPicturePresets = 12;
inline constexpr int ToolPictureManyButtons = 14;
inline constexpr int ToolPictureCount = 15;

// The picture of the normal list at index, ToolPictureSize square on silver
// (the unused places 5, 9 and 13 are plain silver).
void DrawToolPicture(int index, TBitmap& bitmap);
// The grey list's form of a picture: every pixel its brightness; silver stays.
void GreyToolPicture(TBitmap& bitmap);
// The bitmap resources of the radar and preset pictures: "RADAR_QEL",
// "PRESET_QEL" and their "_GRAY" forms; false (bitmap unchanged) for another name.
bool LoadToolBitmapResource(const QString& name, TBitmap& bitmap);

// Fills both lists (64 x 64) with the pictures in their order.
void FillToolPictures(TImageList& normal, TImageList& grey);
// Pictures 8 and 12 of both lists become the radar and preset resources,
// silver transparent.
void ChangeByttonIcons(TImageList& normal, TImageList& grey);

// What the buttons run.
struct TMainToolBarCommands {
  std::function<void()> Create, Open, Save, Direction, GprSettings, Presets, Run, Binding, SaveToVandrel;
};

class TMainToolBar {
public:
  // The bar, its buttons and lists are owned by owner; the bar sits at the top
  // of parent.
  TMainToolBar(TComponent* owner, TWinControl* parent, TMainToolBarCommands commands);

  // The buttons show the command states: enabled, Run down and its picture, the
  // Direction picture, the hints; in simple mode Direction, GPR settings and
  // Binding are hidden.
  void ShowStates(const TMainCommands& commands, bool bindingEnabled, bool simpleMode);
  // "Many buttons": Open and Save shown (checked) or hidden.
  void ShowManyButtons(bool checked);
  // The hints again from the resource strings.
  void ReloadTexts();
  // The presets menu at (20, 20) of the GPR presets button.
  void PopupPresets(TAdvPopupMenu& menu);

  TToolBar* Bar = nullptr;
  TImageList* Images = nullptr;      // 64-pixel pictures
  TImageList* GreyImages = nullptr;  // their disabled forms
  TToolButton* CreateButton = nullptr;
  TToolButton* OpenButton = nullptr;
  TToolButton* SaveButton = nullptr;
  TToolButton* DirectionButton = nullptr;
  TToolButton* GprSettingsButton = nullptr;
  TToolButton* PresetsButton = nullptr;
  TToolButton* RunButton = nullptr;
  TToolButton* BindingButton = nullptr;
  TToolButton* SaveToVandrelButton = nullptr;

private:
  TToolButton* AddButton(TComponent* owner, int picture, std::function<void()> run);
  void AddSeparator(TComponent* owner);
  QString directionHint_;
  QString runHint_;
};
