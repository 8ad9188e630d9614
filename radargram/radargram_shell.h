#pragma once
// What a radargram window asks of the acquisition program's main window, in
// small interfaces by concern; the main window implements them together and
// hands them to each window it creates (TRadargramShell). Tests use fakes.
//
// All calls run on the user-interface thread (one exception is marked).

#include "platform/ui/control_types.h"
#include "profiledata/gpr_constants.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class ISettingsRadar;
class TControlRadar;
class TImageList;
class TRadar;
class TView2DForm;

// Layout and state: the main window's flags around creating, resizing and
// closing its radargram windows, and the room it gives them.
class IRadargramLayoutShell {
public:
  virtual ~IRadargramLayoutShell() = default;
  // A radargram window is being closed (isCloseChild); the windows' layout
  // operations wait meanwhile.
  virtual bool isCloseChild() const = 0;
  virtual void SetCloseChild(bool value) = 0;
  // The last remembered child window is being closed (isActivatedClosed).
  virtual bool isActivatedClosed() const = 0;
  // Resize handling is suspended (StartResize).
  virtual bool StartResize() const = 0;
  virtual void SetStartResize(bool value) = 0;
  // The window being created is for a new recording (flNewCreate).
  virtual bool flNewCreate() const = 0;
  // Creating a window failed (ErrorNewCreate); the main window checks it after
  // creating one.
  virtual void SetErrorNewCreate(bool value) = 0;
  // The main window's client area less its tool bar and its status bar: the
  // room a maximised radargram window fills.
  virtual int ChildAreaWidth() const = 0;
  virtual int ChildAreaHeight() const = 0;
  // The colour of the windows' pages (FColor).
  virtual TColor PageColor() const = 0;
  // The program shows its simple display mode.
  virtual bool SimpleMode() const = 0;
  // The depth slice follows the strongest reflection while recording.
  virtual bool AutoDepthOnline() const = 0;
  // The radar set has a radar in channel slot 0..4.
  virtual bool SlotHasRadar(int slot) const = 0;
};

// Files and names: where a new window's file names come from.
class IRadargramFilesShell {
public:
  virtual ~IRadargramFilesShell() = default;
  // Prefix and counter of new file names (GlobalPrefixFiles, GlobalCountFiles).
  virtual QString GlobalPrefixFiles() const = 0;
  virtual int32_t GlobalCountFiles() const = 0;
  // A new recording's window moves the counter past the name it took.
  virtual void SetGlobalCountFiles(int32_t value) = 0;
  // Opens the file again from the main window's reopen list (the name goes
  // first into it).
  virtual void AddToReopenList(const QString& fileName) = 0;
  // The recording folder, ending in a path separator (LastFolder).
  virtual QString LastFolder() const = 0;
  // The name without folder of the last new file (LastFile).
  virtual QString LastFile() const = 0;
  virtual void SetLastFile(const QString& value) = 0;
  // A load reported an error (ErrorLoadFile): the window being opened recomputes
  // its displays instead of trusting the stored pictures.
  virtual bool ErrorLoadFile() const = 0;
  virtual void SetErrorLoadFile(bool value) = 0;
};

// What the main window keeps for the next window it creates, and the modes the
// window's pages follow.
class IRadargramNextWindowShell {
public:
  virtual ~IRadargramNextWindowShell() = default;
  // Straight or arc profile of the next window (GlobalTypeProfiles); a window
  // takes it and resets it to tpLinear.
  virtual TTypeProfiles GlobalTypeProfiles() const = 0;
  virtual void SetGlobalTypeProfiles(TTypeProfiles value) = 0;
  // Aspect mode of the next window (GlobalProportional).
  virtual TProportional GlobalProportional() const = 0;
  // A started recording shows the depth slice (GlobalViewSectOfDeep).
  virtual bool GlobalViewSectOfDeep() const = 0;
  // Background removal of the simple mode (SimpleBackgroundRemoval).
  virtual bool SimpleBackgroundRemoval() const = 0;
  // The interface language's locale id (Language); the window's font takes
  // its character set.
  virtual int Language() const = 0;
};

// The recording state and the windows the main window remembers.
class IRadargramRecordingShell {
public:
  virtual ~IRadargramRecordingShell() = default;
  // A recording runs (RadarStarted).
  virtual bool RadarStarted() const = 0;
  // The Run button is down.
  virtual bool RunButtonDown() const = 0;
  // The recording window (RunChild) and the current window (CurChild); nullptr
  // when there is none.
  virtual TView2DForm* RunChild() const = 0;
  virtual void SetRunChild(TView2DForm* window) = 0;
  virtual TView2DForm* CurChild() const = 0;
  virtual void SetCurChild(TView2DForm* window) = 0;
  // The recording was paused to show the GPS data (RadarPausedWithGPS).
  virtual void SetRadarPausedWithGPS(bool value) = 0;
  // The main window itself is closing (isClosedMain).
  virtual bool isClosedMain() const = 0;
  // A trace has arrived since the Wi-Fi link was lost; a new window clears it.
  virtual void ClearTraceSinceWiFiLoss() = 0;
};

// The main window's commands and displays a window runs.
class IRadargramActionsShell {
public:
  virtual ~IRadargramActionsShell() = default;
  // Runs the Save action for the active window; true only when the file was
  // written.
  virtual bool SaveActionExecute() = 0;
  // The Create, Open and General Preferences actions.
  virtual void SetFileActionsEnabled(bool enabled) = 0;
  // The direction buttons show the active window's direction (SetButtonDirect).
  virtual void SetButtonDirect() = 0;
  // The GPR status text of the status bar.
  virtual void RefreshGprStatus() = 0;
  // The MDI child count remembered at the last activation (MDIChildCountOld).
  virtual void SetMDIChildCountOld(int value) = 0;
  // Run, "GPR settings", "Binding to the baseline" and "GPR Presets": disabled
  // while a tool dialog is shown.
  virtual void SetToolDialogActionsEnabled(bool enabled) = 0;
};


// The radar set: the radars of the main window's ControlRadar by channel slot,
// which a channel without a radar takes when the window aligns its channels.
class IRadargramRadarsShell {
public:
  virtual ~IRadargramRadarsShell() = default;
  // The main window is re-checking a device (isCheckDeviceRunned); the slot
  // lookup answers nullptr while it is set.
  virtual bool isCheckDeviceRunned() const = 0;
  virtual void SetCheckDeviceRunned(bool value) = 0;
  // The radar in channel slot 0..4 (GetRadarByIndex); nullptr when the slot is
  // empty. Not owned.
  virtual ISettingsRadar* GetRadarByIndex(int slot) const = 0;
  // The main window's radar set by channel (ControlRadar); nullptr when it has
  // none. Not owned.
  virtual TControlRadar* ControlRadar() const = 0;
  // The main window's current radar (its `radar` field): a channel store
  // created meanwhile takes it as its radar.
  virtual TRadar* CurrentRadar() const = 0;
  virtual void SetCurrentRadar(TRadar* radar) = 0;
  // Radars of the set as the master reported (CountRadarFromMaster).
  virtual int CountRadarFromMaster() const = 0;
};

// What the main window tells of its active MDI child.
class IRadargramActiveChildShell {
public:
  virtual ~IRadargramActiveChildShell() = default;
  // The main window has an active MDI child.
  virtual bool HasActiveMDIChild() const = 0;
  // The active window is of the single-record kind (isActiveMDIChild_OneChannal):
  // it (or, when no channel holds traces, the radar set) has at most one
  // channel and its caption does not end in ".frn".
  virtual bool isActiveMDIChild_OneChannal() const = 0;
};

// What the display takes from the main window's settings.
class IRadargramDisplayShell {
public:
  virtual ~IRadargramDisplayShell() = default;
  // The quantile of the per-trace maxima shown as the display maximum
  // (KoefArrMax, 0 < value <= 1).
  virtual float KoefArrMax() const = 0;
};

// What the axes, the zoom and the wave-speed media take from the main window.
class IRadargramAxesShell {
public:
  virtual ~IRadargramAxesShell() = default;
  // The left axis is titled in time (true) or in samples (DataLeftLabelIsTime);
  // its values are times either way.
  virtual bool DataLeftLabelIsTime() const = 0;
  // The wave-speed media of the medium menu (ListOfMedium), speeds in m/us.
  virtual std::vector<TMediumProperty> GetListOfMedium() const = 0;
  // The main window's two unit labels (", m" or " trace").
  virtual void SetUnitLabels(const QString& text) = 0;
  // The proportion mode the next window starts in (GlobalProportional).
  virtual void SetGlobalProportional(TProportional value) = 0;
};

// The GPS page: the main window's pause with a position and the track chart's
// range it keeps between windows.
class IRadargramGpsShell {
public:
  virtual ~IRadargramGpsShell() = default;
  // A recording was stopped while the master radar reported a position
  // (RadarPausedWithGPS): the current point moves, the track does not grow.
  virtual bool RadarPausedWithGPS() const = 0;
  // The track chart's range in metres (GPSTrekChart_X1, _X2 east; _Y1, _Y2
  // north).
  virtual void SetGPSTrekRange(long double x1, long double x2, long double y1, long double y2) = 0;
};

// The read-out of the cursor on a radargram chart in the main window's info boxes.
class IRadargramReadoutShell {
public:
  virtual ~IRadargramReadoutShell() = default;
  // Time (ns), depth (m), trace and distance (m) under the cursor, as texts.
  virtual void DispInfo(const QString& time, const QString& depth, const QString& trace,
                        const QString& distance) = 0;
};

// The Run command and what the online display shows through the main window
// while a recording runs.
class IRadargramRunShell {
public:
  virtual ~IRadargramRunShell() = default;
  // The Run action (RunAction): checked while recording; unchecking and then
  // executing it stops the recording (RunActionExecute). RunActionChecked is
  // also asked on the radars' reader threads: answer from an atomic.
  virtual bool RunActionChecked() const = 0;
  virtual void SetRunActionChecked(bool checked) = 0;
  virtual void RunActionExecute() = 0;
  virtual bool RunActionEnabled() const = 0;
  virtual void SetRunActionEnabled(bool enabled) = 0;
  // The image of the Run tool button and menu item, and the menu item's caption
  // (image 6 and "Start" when stopped).
  virtual void SetRunImage(int imageIndex, const QString& menuCaption) = 0;
  // RadarStarted := value (RadarStarted() is the recording shell's).
  virtual void SetRadarStarted(bool value) = 0;
  // The "Binding to the baseline" action.
  virtual void SetBindingActionEnabled(bool enabled) = 0;
  // Re-evaluates the main window's menus and actions.
  virtual void Updatemenu() = 0;
  // The cursor position text in the main window's info boxes.
  virtual void DispCmCursor(const QString& text) = 0;
  // The online strip is stretched plainly instead of resampled.
  virtual bool SimpleStretchPaint() const = 0;
  // The main window's stop actions (ActionsInStop).
  virtual void ActionsInStop() = 0;
};

// The depth slice's options kept by the main window.
class IRadargramSliceShell {
public:
  virtual ~IRadargramSliceShell() = default;
  // The slice takes the strongest of five depths (AlphaScanDepth).
  virtual bool AlphaScanDepthOn() const = 0;
  // The slice follows the strongest reflection while recording (AutoDepthOnline;
  // the layout shell reads it).
  virtual void SetAutoDepthOnline(bool value) = 0;
  // The online gain normalises all channels' traces together
  // (NormalizationOnlineAllTraces): the slice of the recording window then
  // scales every channel by the common normalisation instead of its own.
  virtual bool NormalizationOnlineAllTraces() const = 0;
};

// The recording a Wi-Fi loss interrupted, which the recovery of a radar's
// backup replaces.
class IRadargramWiFiLossShell {
public:
  virtual ~IRadargramWiFiLossShell() = default;
  // Forgets the name of the recording a Wi-Fi loss interrupted.
  virtual void ClearWiFiInterruptedRecording() = 0;
  // Forgets that name unless a trace arrived since the loss
  // (SaveWIFIDisconnection).
  virtual void SaveWIFIDisconnection() = 0;
};

// The palette library as the main window keeps it: where each palette of the
// file "palset" starts and a 180 x 16 preview of each.
class IRadargramPalettesShell {
public:
  virtual ~IRadargramPalettesShell() = default;
  // The start of every palette of the library, in file order (PalArray).
  virtual std::vector<int64_t> PaletteOffsets() const = 0;
  // One preview per palette, in the same order (PalImageList); not owned.
  virtual TImageList* PalettePreviews() const = 0;
  // Reads the library again into both, then refreshes every radargram
  // window's palette buttons (PalReadAll).
  virtual void PalReadAll() = 0;
};

// The tool sets of the simple mode and the channels' online stages, which a
// window's tool chain feeds.
class IRadargramToolSetsShell {
public:
  virtual ~IRadargramToolSetsShell() = default;
  // The simple-mode tool sets of the set folder, by name (ListOfDSTCL), and the
  // one in use (SimpleDSTCL).
  virtual QStringList GetListOfDSTCL() const = 0;
  virtual QString GetSimpleDSTCL() const = 0;
  virtual void SetSimpleDSTCL(const QString& value) = 0;
  // The simple mode's background removal (read through the next-window part).
  virtual void SetSimpleBackgroundRemoval(bool value) = 0;
  // The window's chain gives its wavelet, windowed background-removal and gain
  // tools' parameters to its channels' online stages, and the stages' switches
  // follow (OnAll: the settings window shows all three switched as the tools
  // say) (Sinchronize3ToolsToOnline).
  virtual void Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll) = 0;
};

// The main window's parts a radargram window holds; all outlive the window and
// none may be nullptr except Display (then KoefArrMax is its default, 0.75)
// and Axes.
struct TRadargramShell {
  IRadargramLayoutShell* Layout = nullptr;
  IRadargramFilesShell* Files = nullptr;
  IRadargramRadarsShell* Radars = nullptr;
  IRadargramNextWindowShell* NextWindow = nullptr;
  IRadargramRecordingShell* Recording = nullptr;
  IRadargramActionsShell* Actions = nullptr;
  IRadargramActiveChildShell* ActiveChild = nullptr;
  IRadargramDisplayShell* Display = nullptr;
  // nullptr: time on the left axis, no media, nothing remembered for the next
  // window.
  IRadargramAxesShell* Axes = nullptr;
  // nullptr: never paused with a position, the range kept by the window alone.
  IRadargramGpsShell* Gps = nullptr;
  // nullptr: the cursor read-out goes nowhere.
  IRadargramReadoutShell* Readout = nullptr;
  // nullptr: no Run command (never checked, nothing shown).
  IRadargramRunShell* Run = nullptr;
  // nullptr: one depth only, "Auto" is not kept.
  IRadargramSliceShell* Slice = nullptr;
  // nullptr: no interrupted recording is remembered.
  IRadargramWiFiLossShell* WiFiLoss = nullptr;
  // nullptr: no palette library (no palette buttons; nothing saved or deleted).
  IRadargramPalettesShell* Palettes = nullptr;
  // nullptr: no simple-mode tool sets; the online stages take nothing from the
  // chain.
  IRadargramToolSetsShell* ToolSets = nullptr;
};
