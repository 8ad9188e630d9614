#pragma once
// TView2DForm: the radargram window of the acquisition program, an MDI child
// of the main window that shows up to five channels of one profile.
//
// This unit holds the window's visual tree, its per-channel slots and their
// bookkeeping, and the channel panels with their layout (one or two columns,
// the depth-slice panel, one channel shown alone, the collapsible page
// control). The window owns its five channel stores (T2Dview, created with the
// window and registered in its slots) and is the IChannelWindow they see. The
// layout arithmetic lives in channel_layout.h; this file places the controls.
//
// Slots: every per-channel object sits in a five-element array indexed by the
// channel 0..4. A window opened for a file with fewer channels has no panel,
// chart, series, progress panel or marker tree in the slots beyond them (those
// elements are nullptr while the stores exist); every per-channel loop skips
// them.
//
// The multi-channel container (".frn"), the settings containers ("bstt",
// "dstt", ".bstt" presets) and a radar backup's container (".trc") are written
// and read in view2d_frn.cpp around the header unit profiledata/frn_header.h.
//
// Ownership: the window owns every control, series, bitmap and store it
// creates; they go with it. The main window's parts (TRadargramShell) are not
// owned and must outlive the window.
//
// Threads: user-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/frn_header.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/settings_files_hooks.h"
#include "radar/radar_hooks.h"
#include "radargram/channel_layout.h"
#include "radargram/radargram_shell.h"

#include <array>
#include <memory>

class T2Dview;
class TBitBtn;
class TBitmap;
class TBitmap32;
class TChart;
class TChartSeries;
class TCheckBox;
class TDigitEdit;
class TImage;
class TLabel;
class TLineSeries;
class TPageControl;
class TPalMaker;
class TPanel;
class TSpeedButton;
class TTabSheet;
class TTrackBar;
class TTreeView;

RESOURCESTRING(SProfileProperties, "Profile Properties");
RESOURCESTRING(SViewPage, "View");
RESOURCESTRING(SToolsPage, "Tools ");
RESOURCESTRING(SPalettesPage, "Palettes");
RESOURCESTRING(SObjectsPage, "Objects");
RESOURCESTRING(SGPSPage, "GPS");
RESOURCESTRING(SCancel, "Cancel");
RESOURCESTRING(SDownloadingOfBackup, "Downloading of backup");
RESOURCESTRING(SProfileOffset, "Profile Offset");
RESOURCESTRING(SLeftAxisTitle0, "#0 Time, ns");
RESOURCESTRING(SDepthAxisTitle, "Depth, m");
RESOURCESTRING(SChannalAxisTitle, "Channal");
RESOURCESTRING(SAuto, "Auto");
RESOURCESTRING(SOneColumn, "One column");
RESOURCESTRING(STwoColumns, "Two columns");
RESOURCESTRING(SExpandPages, ">");
RESOURCESTRING(SCollapsePages, "<");
RESOURCESTRING(SOK, "OK");
// A data container holds the channels up to the first one without traces.
RESOURCESTRING(SFrnChannelsNotSaved,
               "Channels %s hold traces after a channel without traces and are not saved in \"%s\".");

// ---- Unit-wide state (one copy for all windows) ---------------------------------
// The number of channels the next created window shows; the main window sets it
// before it creates a window.
int NewViewChannalCount();
void SetNewViewChannalCount(int value);
// The channel visibility kept between windows.
std::array<bool, kChannelSlots>& GlobalChannalVisible();

// True only for the device box type of value 1.
bool isType1GPRDevice(TTypeGPRDevice type);
// Fills rect of an 8-bit bitmap with the palette index, the rectangle clipped to
// the bitmap; a bitmap of another format gets the rectangle filled with its
// canvas brush; nothing for an empty bitmap.
void FillBitmapRect8(TBitmap& bitmap, const TRect& rect, uint8_t index);

class TView2DForm : public TForm, public IChannelWindow, public ISettingsFilesWindow, public IBackupWindow {
public:
  // The main window must be an MDI frame. Creation (FormCreate) runs once the
  // object exists; a failure sets the shell's ErrorNewCreate.
  TView2DForm(TComponent* AOwner, const TRadargramShell& shell);
  ~TView2DForm() override;

  QString WindowClassName() const override { return QStringLiteral("TView2DForm"); }

  // ---- Visual tree ------------------------------------------------------------------
  TPageControl* LeftPageControl = nullptr;
  TTabSheet* PropertyTabSheet = nullptr;
  TTabSheet* OperationsTabSheet = nullptr;
  TTabSheet* ToolsTabSheet = nullptr;
  TTabSheet* PalTabSheet = nullptr;
  TTabSheet* MarkersTabSheet = nullptr;
  TTabSheet* GPSTabSheet = nullptr;
  TTabSheet* PostProcessTabSheet = nullptr;
  TTabSheet* SimpleTabSheet = nullptr;
  TPanel* ButtonPanel = nullptr;
  TPanel* Panel6 = nullptr;
  TPanel* Panel4 = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel5 = nullptr;
  TPanel* Panel5_1 = nullptr;
  TPanel* Panel = nullptr;
  TChart* ChartView = nullptr;
  TLineSeries* SizeSeries = nullptr;
  TLineSeries* SeriesNull = nullptr;
  TLineSeries* HyperbolaSeries = nullptr;
  TLineSeries* SliceSeries = nullptr;
  TLineSeries* PositionSeries = nullptr;
  TLineSeries* SeriesDepth = nullptr;
  TPanel* ProgressPanel = nullptr;
  TImage* ProgressImage = nullptr;
  TBitBtn* Cansel = nullptr;
  TPanel* PanelProgressFtp = nullptr;
  TImage* FTPProgressImage = nullptr;
  TLabel* LabelFtpLoad = nullptr;
  TPanel* OffsetPanel = nullptr;
  TBitBtn* BitBtn2 = nullptr;
  TTreeView* ObjectsTreeView = nullptr;
  TSpeedButton* View2ColSpeedButton = nullptr;
  TPalMaker* PalMaker1 = nullptr;

  // ---- Channel slots -------------------------------------------------------------------
  std::array<T2Dview*, kChannelSlots> View2D_{};
  std::array<std::unique_ptr<TBitmap>, kChannelSlots> Bmp_;
  std::array<std::unique_ptr<TBitmap32>, kChannelSlots> BmpAfterZoom_;
  std::array<std::unique_ptr<TBitmap32>, kChannelSlots * 5> BmpPostProc_;
  std::array<TPanel*, kChannelSlots> Panel_{};
  std::array<TChart*, kChannelSlots> Chart_{};
  std::array<TLineSeries*, kChannelSlots> HyperbolaSeries_{};
  std::array<TLineSeries*, kChannelSlots> SeriesNull_{};
  std::array<TLineSeries*, kChannelSlots> SizeSeries_{};
  std::array<TLineSeries*, kChannelSlots> SliceSeries_{};
  std::array<TLineSeries*, kChannelSlots> SeriesDepth_{};
  std::array<TLineSeries*, kChannelSlots> PositionSeries_{};
  std::array<TTreeView*, kChannelSlots> ObjectsTreeView_{};
  std::array<TPanel*, kChannelSlots> ProgressPanel_{};
  std::array<TImage*, kChannelSlots> ProgressImage_{};
  std::array<int, kChannelSlots> AxisHeight_{};
  std::array<double, kChannelSlots> PosXforWeegle_{};
  std::array<bool, kChannelSlots> arChannalVisible{};

  // ---- Channel bookkeeping and display state ----------------------------------------
  int CountChannalView = 0;
  int CountChannalVisible = 0;
  int MasterChannal = 0;
  int NumActiveView = 0;
  int NumChartSizeToWindow = -1;
  bool ViewTo2Col = false;
  bool ViewSectOfDeep = false;
  int ZoomFactor = 1000;
  bool WasPaint = false;
  int WidthChartAxis = 108;
  int HeightChartAxis = 0;
  bool FirstPaintAfterOpen = false;
  bool wait2D = true;
  bool isSaveDefault = true;
  int predPosTraces = -1;
  int View2DForm_HeightPred = 100000;
  TTypeMarker MoveObj = tmNoObject;
  int MoveIndxProfObj = -1;
  int MoveIndxSelObj = -1;
  int TpCursorAction = 0;
  TColor PredMarkerColor = 0xFFFFFF;
  int NumNullStartTrace = -10000;
  TTypeGPRDevice TypeGPRDevice = tdUnknown;
  int SerNumDevice = 0;
  TTypeProfiles TypeProfiles = tpLinear;

  // ---- Depth slice ---------------------------------------------------------------------
  TPanel* Panel_SectOfDeep = nullptr;
  TChart* Chart_SectOfDeep = nullptr;
  TTrackBar* SectOfDeepTrackBar = nullptr;
  TDigitEdit* SectOfDeepDigitEdit = nullptr;
  TCheckBox* AutoDepthOnlineCheck = nullptr;
  int SectOfDeep = 0;
  long double SectOfDeep_m = 0.51L;

  // ---- Bookkeeping -----------------------------------------------------------------------
  // nullptr outside 0..4.
  T2Dview* GetView2DByIndx(int indx) const;
  // The first slot that holds the store; 0 when none.
  int GetIndxByView2D(const T2Dview* aView2D) const;
  // The slot of the store, or the first empty slot, which then takes it; 0 when
  // every slot holds another store.
  int GetNextFreeIndxByView2D(T2Dview* aView2D);
  TBitmap* GetBmpByView2D(const T2Dview* aView2D) const;
  TChart* GetChartByIndx(int indx) const;
  TPanel* GetPanelByIndx(int indx) const;
  TPanel* GetProgressPanelByIndx(int indx) const;
  TImage* GetProgressImageByIndx(int indx) const;
  TTreeView* GetObjectsTreeViewByIndx(int indx) const;
  // -1 when none.
  int GetIndxByChart(const TChart* aChart) const;
  int GetIndxBySizeSeries(const TChartSeries* aSizeSeries) const;
  // 0 when none.
  int GetIndxByObjectsTreeView(const TTreeView* aObjectsTreeView) const;
  int GetAxisHeightByIndx(int indx) const;
  TLineSeries* GetPositionSeriesByIndx(int indx) const;
  TLineSeries* GetSizeSeriesByIndx(int indx) const;
  TLineSeries* GetSeriesNullByIndx(int indx) const;
  TLineSeries* GetSeriesDepthByIndx(int indx) const;
  TLineSeries* GetSliceSeriesByIndx(int indx) const;
  // Element indx x 5 + NumProcess of the overlay bitmaps; Set gives the window
  // the bitmap (the one it replaces goes).
  TBitmap32* GetBmpPostProcByIndx(int indx, int NumProcess) const;
  void SetBmpPostProcByIndx(int indx, int NumProcess, std::unique_ptr<TBitmap32> Bmp);
  // Shown channels among 0..NumChartWindow, minus 1.
  int GetNumAtWin(int NumChartWindow) const;
  // Recounts the shown channels; none shown shows channel 0.
  int GetCountChannalVisible();
  void SetAllChannalVisible();
  void AllProgressPanelOff();
  void AssignHyperbolaSeries();
  void AssignSizeSeries();
  void AssignSeriesNull();
  void AssignSliceSeries();
  void SetPosXforWeegleAll(double pos);
  void CopyChannalVisibleToGlobal();
  void CopyGlobalChannalVisibleToLocal();

  // ---- Channel panels and their layout ---------------------------------------------
  bool CreateChannelControls();
  void ResizePanelsChart();
  void ReCreateViewInterface();
  void ChartResizeAndVisible();
  void ChartViewDblClick(TObject* Sender);
  void View2ColSpeedButtonClick(TObject* Sender);
  // Sender nullptr: called by the window itself rather than by a resize.
  void FormResize(TObject* Sender);
  void ButtonPanelClick(TObject* Sender);

  // ---- Multi-channel container and settings containers (view2d_frn.cpp) ----------
  // Writes the data container of the channels up to the first one without traces
  // (channels with traces beyond it are named in a warning). Channels that differ
  // from the master are aligned to it first; a master with one short NMEA line
  // loses it, one with a track of two lines or more zeroes the device offsets.
  // The file is written beside the old one and then put in its place: false,
  // reported, with the old file kept, when that fails.
  bool WriteToFileToFRNChannals(const QString& FileName);
  // Reads the container file into the channels (settings containers by their
  // names "bstt", "dstt" or the extension ".bstt"); nothing for a missing file.
  void ReadFromFileToFRNChannals(const QString& FileName) override;
  // The same, telling what was found: fhOk when the container header was read;
  // a file that cannot be opened is reported and gives fhNoMagic.
  TFrnHeaderStatus ReadFrnContainerFile(const QString& FileName);
  // Reads a container from the stream's position; the file name decides its kind
  // (a ".trc" backup skips its 2-byte prefix and shifts the record offsets).
  // Throws EReadError, with nothing read, when the stream holds no container
  // header ("FRN05") or ends inside it.
  void ReadFromStreamToFRNChannals(const QString& FileName, TStream& Stream) override;
  // The same without throwing: the header's status, channels read only for fhOk.
  // Records are read one after the other, up to the stored count (0..5) and the
  // end of the stream; a record that cannot be read ends the reading.
  TFrnHeaderStatus ReadFrnContainer(const QString& FileName, TStream& Stream);
  // 5 for a settings container name or a missing file, else the stored count.
  int GetCountChannalInReadFileFRN(const QString& FileName) const;
  // Channels from slot 0 up to the first one without traces.
  int GetCountChannalWithData() const;
  // True when a type-1 device box's channels with data differ from the master in
  // a setting the container must hold alike.
  bool isSettingsAllChannalsNoEqual() const;
  // Aligns every channel's settings to the master's (through the setters, with
  // their side effects); a channel without a radar takes its slot's radar.
  void NormalizeNotEqualChannal(const QString& FileName);
  // Writes the settings container of the five channel slots, beside the old file
  // and then in its place; false, reported, with the old file kept, on failure.
  bool SaveBSTT(const QString& FileName) override;
  // Channel 0's default settings files (TSettingData::SaveDefault).
  void SaveDefault();
  void SaveSTT();
  // The header fields the window holds, and putting them back.
  TFrnWindowFields FrnFields() const;
  void SetFrnFields(const TFrnWindowFields& fields);

  // ---- ISettingsFilesWindow, IBackupWindow: progress in the channel panels ------------
  bool IsSaveDefault() const override { return isSaveDefault; }
  int ProgressPanelWidth() const override;
  void SetProgressWidth(int channel, int width) override;
  void HideProgress(int channel) override;
  bool ProgressPanelVisible(int channel) const override;
  void SetProgressImageWidth(int channel, int width) override;
  void HideProgressPanel(int channel) override { HideProgress(channel); }

  // ---- IChannelWindow -----------------------------------------------------------------
  bool Visible() const override { return TForm::Visible(); }
  bool IsActiveChannel(const IChannelStore* store) const override;
  int ChannelIndex(const IChannelStore* store) const override;
  // The property list, the tool chain and the topographic correction are not
  // part of this window yet: these three change nothing.
  void FilValueList(int channel) override;
  void ChangeRadarInTools() override;
  void ReleaseTopoCorrectionButton() override;
  int32_t DeviceX() const override { return deviceX_; }
  int32_t DeviceY() const override { return deviceY_; }
  int32_t DeviceZ() const override { return deviceZ_; }
  void SetDeviceOffsets(int32_t x, int32_t y, int32_t z) override;
  TPalMaker* PaletteControl() override { return PalMaker1; }
  TProportional Proportional() const override { return proportional_; }
  void SetProportional(TProportional value) override { proportional_ = value; }
  TBitmap* DisplayBitmap(int channel) override;
  std::vector<TZeroLevelPoint> ZeroLevelPoints(int channel) const override;
  void ClearZeroLevel(int channel) override;
  void AddZeroLevelPoint(int channel, TZeroLevelPoint point, TColor color) override;
  void SetFirstPaintAfterOpen(bool value) override { FirstPaintAfterOpen = value; }
  int RegisterChannel(IChannelStore* store) override;
  void UnregisterChannel(IChannelStore* store) override;
  QString FilePrefix() const override { return filePrefix_; }
  int32_t FileCount() const override { return fileCount_; }
  void SetSaveDefault(bool value) override { isSaveDefault = value; }

private:
  void BuildVisualTree();
  void FormCreate();
  // The steps of creation that may fail; false ends creation early.
  bool CreateGuarded();
  void ResetDepthLine(int indx);
  void CreateSliceControls();
  // The panel's height, keeping the height it had in its Tag while it is
  // collapsed to 1 pixel.
  static void PlacePanel(TPanel& panel, const TPanelPlace& place);
  void ShowTopAxis(int indx, bool visible);
  void ClearBackImage(int indx);
  // Stacks panels in column in the order given (bottom, then top again).
  static void StackInColumn(TPanel& column, TPanel& panel);
  bool LayoutSuspended() const;

  TRadargramShell shell_;
  int32_t deviceX_ = 0;
  int32_t deviceY_ = 0;
  int32_t deviceZ_ = 0;
  TProportional proportional_ = PropInSamples11;
  QString filePrefix_;
  int32_t fileCount_ = 0;
  bool resizing_ = false;
};
