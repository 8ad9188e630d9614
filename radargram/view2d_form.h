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
// The display pipeline (recomputing a channel through the tool chain, the palette
// bitmap, the zoom bitmap, painting into the charts) is in view2d_paint.cpp around
// display_pipeline.h (its arithmetic) and chain_runner.h (one chain run at a time
// for all windows, with the requests that arrive meanwhile).
//
// The multi-channel container (".frn"), the settings containers ("bstt",
// "dstt", ".bstt" presets) and a radar backup's container (".trc") are written
// and read in view2d_frn.cpp around the header unit profiledata/frn_header.h.
// The Properties page is view2d_properties.cpp (its rows: property_rows.h); the
// names of new and exported files and the packing of a recording are
// view2d_naming.cpp (the names: profile_names.h). The GPS page is
// view2d_gps.cpp (the track arithmetic: gps_track.h); printing and the bitmap
// export are view2d_print.cpp.
//
// The Objects page (marker trees, tool bar, property frames) is view2d_markers.cpp
// with marker_frames.h and marker_texts.h; the mouse on the charts (read-out,
// markers, polylines, hand tool, wiggle trace, tool-dialog clicks) is
// view2d_mouse.cpp around mouse_arithmetic.h; the time zero is view2d_null.cpp
// with its dialog null_form.h and its search time_zero.h.
//
// The online display of a recording is view2d_online.cpp around
// online_recording.h (storing a radar's trace) and online_strip.h (the strips
// and their stretch into the charts).
//
// Ownership: the window owns every control, series, bitmap and store it
// creates; they go with it. The main window's parts (TRadargramShell) are not
// owned and must outlive the window.
//
// Threads: user-interface thread only, except PaintLastTrace and
// Channel0LongTrace (IRecordingWindow), which the radars' reader threads call.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "platform/ui/value_list_editor.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/frn_header.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/settings_files_hooks.h"
#include "radar/online_paint_thread.h"
#include "radar/radar_hooks.h"
#include "radargram/chain_runner.h"
#include "radargram/chain_tool.h"
#include "radargram/channel_layout.h"
#include "radargram/display_pipeline.h"
#include "radargram/mouse_arithmetic.h"
#include "radargram/post_proc_overlays.h"
#include "radargram/radargram_shell.h"
#include "radargram/topo_correction.h"

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class T2Dview;
class TBitBtn;
class TButtonGroup;
class TBitmap;
class TBitmap32;
class TCanvas;
class TChart;
class TChartSeries;
class TComboBox;
class TGroupBox;
class TCheckBox;
class TCheckListBox;
class TImageList;
class TScrollBar;
class TScrollBox;
class TMarkerFrame;
class TTreeNode;
class IChainTool;
class TDigitEdit;
class TImage;
class TLabel;
class TLineSeries;
class TFastLineSeries;
class TPointSeries;
class TPrinter;
class TRadarW;
class TMemo;
class TMainMenu;
class TMenuItem;
class TPageControl;
class TPopupMenu;
class TPalMaker;
class TPanel;
class TSpeedButton;
class TTabSheet;
class TTrackBar;
class TTreeView;
enum TDragState : uint8_t;

RESOURCESTRING(SProfileProperties, "Profile Properties");
RESOURCESTRING(SViewPage, "View");
RESOURCESTRING(SToolsPage, "Tools ");
RESOURCESTRING(SPalettesPage, "Palettes");
RESOURCESTRING(SObjectsPage, "Objects");
RESOURCESTRING(SGPSPage, "GPS");
RESOURCESTRING(SCancel, "Cancel");
RESOURCESTRING(SDownloadingOfBackup, "Downloading of backup");
RESOURCESTRING(SProfileOffset, "Profile Offset");
RESOURCESTRING(SProfileMenu, "Profile");
RESOURCESTRING(SLeftAxisTitle0, "#0 Time, ns");
RESOURCESTRING(SDepthAxisTitle, "Depth, m");
RESOURCESTRING(SChannalAxisTitle, "Channal");
RESOURCESTRING(SAuto, "Auto");
RESOURCESTRING(SOneColumn, "One column");
RESOURCESTRING(STwoColumns, "Two columns");
RESOURCESTRING(SExpandPages, ">");
RESOURCESTRING(SCollapsePages, "<");
RESOURCESTRING(SOK, "OK");
RESOURCESTRING(SProp21, "2:1");
RESOURCESTRING(SProp11, "1:1");
RESOURCESTRING(SProp12, "1:2");
RESOURCESTRING(SHyperbola, "Hyperbola");
RESOURCESTRING(SDepth, "Depth");
RESOURCESTRING(STopographicCorrection, "Topographic correction");
RESOURCESTRING(SFlipHorisontally, "Flip horisontally");
RESOURCESTRING(SDistance, "Distance");
RESOURCESTRING(STraces, "Traces");
RESOURCESTRING(SGPSdata, "GPS data");
RESOURCESTRING(SShowGPSData, "Show GPS Data");
RESOURCESTRING(SAddMarker, "Add Marker");
RESOURCESTRING(SDeleteMarker, "Delete Marker");
RESOURCESTRING(SByCourse, "By course, m");
RESOURCESTRING(SAside, "Aside, m");
RESOURCESTRING(SByHeight, "By height, m");
RESOURCESTRING(SAngle, "Angle, \u00B0");
RESOURCESTRING(SSaveFileBeforeClosed, "Save the %s file before closed?");
RESOURCESTRING(SSaveToolsBeforeClosed, "Save tools for the %s file before closed?");
// A data container holds the channels up to the first one without traces.
RESOURCESTRING(SFileAlreadyExistsReplace, "File %s already exists.\r\nDo you want to replace it?");
// A channel whose recorded traces could not be packed keeps them as recorded.
RESOURCESTRING(SChannelNotPacked, "Not enough memory to pack the traces of channel %d; they stay as recorded.");
RESOURCESTRING(SFrnChannelsNotSaved,
               "Channels %s hold traces after a channel without traces and are not saved in \"%s\".");

// A depth pick at the zero level gives no wave speed.
RESOURCESTRING(SDepthPickAtZero, "The depth cannot be picked at the zero level or above it. Click a reflection below it.");
RESOURCESTRING(STopoLowQualityCalibration,
               "The operation is impossible.\r\nProfile was obtained with low-quality calibration of inclinometer.");
// A corrected image whose buffers cannot be had: the channel shows its plain image.
RESOURCESTRING(STopoNoMemory, "Not enough memory for the topographic correction of channel %d.");

RESOURCESTRING(SToolRunFailed, "The tool %s stopped with an error: %s");
RESOURCESTRING(SToolNotAvailable, "Tool %s is not available");
RESOURCESTRING(SToolChainNotWritten, "The set of tools could not be written to %s.");
RESOURCESTRING(SToolChainCut, "The set of tools %s is damaged: the tools after the damage are not read.");
RESOURCESTRING(SAddToolHint, "Add a tool from the proposed list of tools");
RESOURCESTRING(SRemoveToolHint, "Delete tool from the tools tree");
RESOURCESTRING(SPropertyToolHint, "Edit settings of current tool");
RESOURCESTRING(SExecuteToolsHint, "Execute set of tools");
RESOURCESTRING(SToolOptions, "Options");
RESOURCESTRING(SToolPropertiesItem, "Properties");
RESOURCESTRING(SToolRemoveItem, "Remove");
RESOURCESTRING(SCopyPropertiesToAll, "Copy properties to All channels");
RESOURCESTRING(SCopyToOnlineTools, "Copy to online tools");
RESOURCESTRING(SSimpleBackgroundRemoval, "Background Removal");
RESOURCESTRING(SSimpleGain, "Gain");
RESOURCESTRING(SToolApplyItem, "Apply");
RESOURCESTRING(SSetsOfTools, "Sets of Tools");
RESOURCESTRING(SClearSetItem, "Clear Set");
RESOURCESTRING(SSaveSetItem, "Save Set");
RESOURCESTRING(SSaveSetOfTools, "Save Set of Tools");
RESOURCESTRING(SPostProcBase, "BMP dezo");
RESOURCESTRING(SPostProcComparator, "Comparator");
RESOURCESTRING(SPostProcHilbert, "Hilbert");
RESOURCESTRING(SPostProcFrequency, "Frequency");

// ---- Unit-wide state (one copy for all windows) ---------------------------------
// The number of channels the next created window shows; the main window (and the
// radar set, when it counts its radars) sets it before a window is created.
int NewViewChannalCount();
void SetNewViewChannalCount(int value);
// The channel visibility kept between windows.
std::array<bool, kChannelSlots>& GlobalChannalVisible();

// The overlays are intersected instead of blended (the post-processing page's
// intersection check box).
bool& IntersectionPostBmp();
// The overlays' base images are those of the last display bitmap.
bool& PostProcBaseValid();
// The largest zoom bitmap the window builds, in pixels; a zoom that would need
// more keeps the previous bitmap.
constexpr int64_t MaxZoomBitmapPixels = int64_t{1} << 28;

// True only for the device box type of value 1.
bool isType1GPRDevice(TTypeGPRDevice type);
// Fills rect of an 8-bit bitmap with the palette index, the rectangle clipped to
// the bitmap; a bitmap of another format gets the rectangle filled with its
// canvas brush; nothing for an empty bitmap.
void FillBitmapRect8(TBitmap& bitmap, const TRect& rect, uint8_t index);

class TView2DForm : public TForm,
                    public IChannelWindow,
                    public ISettingsFilesWindow,
                    public IBackupWindow,
                    public IRadarSetWindow,
                    public IRecordingWindow,
                    public IOnlinePainter {
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
  // View page: the aspect buttons in metres, the hyperbola and depth toggles, the
  // topographic correction and the flip.
  TSpeedButton* Prop21SpeedButton = nullptr;
  TSpeedButton* Prop11SpeedButton = nullptr;
  TSpeedButton* Prop12SpeedButton = nullptr;
  TCheckBox* HyperbolaCheckButton = nullptr;
  TCheckBox* DepthCheckButton = nullptr;
  TSpeedButton* TopoCorrSpeedButton = nullptr;
  TSpeedButton* FlipSpeedButton = nullptr;
  TSpeedButton* MeniumButton = nullptr;
  TDigitEdit* DepthDigitEdit = nullptr;
  // The top axis's unit menu.
  TPopupMenu* opAxis1 = nullptr;
  TMenuItem* DistanceMenu = nullptr;
  TMenuItem* TracesMenu = nullptr;
  TMenuItem* GPSdataMenu = nullptr;
  // GPS page.
  TSpeedButton* GetLocationDataButton = nullptr;
  // Simple page.
  TSpeedButton* SimpleBackgroundRemovalSpeedButton = nullptr;
  TSpeedButton* SimpleGainSpeedButton = nullptr;
  TSpeedButton* SimplePalettesSpeedButton = nullptr;
  TSpeedButton* SimpleZoomSpeedButton = nullptr;
  TSpeedButton* SimpleStretchSpeedButton = nullptr;
  TSpeedButton* SimpleSurfMarkerSpeedButton = nullptr;
  TSpeedButton* SimpleDelSurfMarkerSpeedButton = nullptr;
  TSpeedButton* SimpleMeniumButton = nullptr;
  TCheckBox* SimpleHyperbolaCheckBox = nullptr;
  TCheckBox* SimpleDepthCheckBox = nullptr;
  // The simple wave-speed group.
  TPanel* SimpleSpeedPanel = nullptr;
  TDigitEdit* SimpleSpeedDigitEdit = nullptr;
  TDigitEdit* SimpleDepthDigitEdit = nullptr;  // the depth pick's twin (view2d_hyperbola.cpp)
  // Profile Offset panel.
  TDigitEdit* XOffsetDigitEdit = nullptr;
  TDigitEdit* YOffsetDigitEdit = nullptr;
  TDigitEdit* ZOffsetDigitEdit = nullptr;
  TDigitEdit* AngleDigitEdit = nullptr;
  TImage* LinearProfileImage = nullptr;
  TImage* ArcProfileImage = nullptr;

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
  // Tool chain and analysis state the window keeps for its later parts.
  bool TlsNeedForSave = false;
  bool ToolUnabled = true;
  bool VisibleToolWnd = false;
  bool Br = false;
  bool ReadyTopo = false;
  bool TopoCorRun = false;
  long double ProportionalCoefic = 1.0L;
  double PosX = 0;
  bool WheelHandlerEnabled = true;
  // Set by a reader thread, played by the online painter.
  std::atomic<bool> PlayBOOM{false};
  int IdentXLeftPx = 0, IdentXrightPx = 0, IdentYtopPx = 0, IdentYBottomPx = 0;
  bool ShowSurfaceMarkers = true, ShowComentsSurfaceMarkers = true, ShowObjectMarkers = true,
       ShowComentsObjectMarkers = true, ShowPolyLineMarkers = true, ShowPolyLineComments = true;
  bool ShowPostProc = true;
  std::vector<double> xGPS, yGPS;
  // Simple mode.
  int SimpleIndexPal = 0;
  int SimpleIndexStretch = 1;
  int SimpleMultGain = 0;
  bool SimpleBackgroundRemoval = false;
  // Closing.
  bool StartClosing = false;
  bool flCloseAllChilds = false;

  // ---- Depth slice ---------------------------------------------------------------------
  TPanel* Panel_SectOfDeep = nullptr;
  TChart* Chart_SectOfDeep = nullptr;
  TTrackBar* SectOfDeepTrackBar = nullptr;
  TDigitEdit* SectOfDeepDigitEdit = nullptr;
  TCheckBox* AutoDepthOnlineCheck = nullptr;
  int SectOfDeep = 0;
  long double SectOfDeep_m = 0.51L;
  // Channel 0's top-axis minimum at the last depth-line update.
  long double oldTopAxis_Minimum = 0;
  // The first trace column the online slice shows.
  int PredScrollWidthOnline = 0;
  // Depth slice (view2d_slice.cpp; arithmetic: depth_slice.h). Nothing happens
  // while ViewSectOfDeep is false.
  // The slice of the shown channels' display bitmaps at the track bar's depth
  // (the strongest of five depths with the main window's option).
  void CreateBMPSectOfDeep();
  // One slice, row c = channel c, at SectOfDeep_m + depthOffset.
  std::vector<uint8_t> SliceRow(long double depthOffset) const;
  // Every shown channel's depth line at AValue m and its right-axis title.
  void SetSliceDepthLines(long double AValue);
  // cm; negative above the surface.
  int GetMin0forDeep() const;
  void SliceTrackBarChange(TObject* Sender);
  void SliceEditChangeFinish(TObject* Sender);
  void SliceAutoClick(TObject* Sender);
  // A new trace of a channel while recording (end flag 1, -1 or 0); every eight
  // traces the online slice is painted.
  void AddOnlineSliceTrace(int indx, const int32_t* trace, int length, int endFlag);
  void PaintOnlineSlice();
  // The online slice as palette indices, row c = channel c, one column per
  // recorded trace of channel 0 (empty without online data); each row scaled
  // by its own largest value or, while this window records with the channels
  // normalised together, by the common online normalisation.
  std::vector<uint8_t> OnlineSliceRows() const;

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

  // ---- Radars, activation and closing (view2d_life.cpp) --------------------------------
  // WM_RADARSLOADED: the set is complete; the channels take its radars.
  void WMRadarsLoaded();
  // Every channel bound to its slot's radar, taking its unit and serial number.
  void RefreshSettingsRadar();
  void FormShow();
  void FormActivate();
  void UpdateInterface();
  // The buttons that depend on the master channel's settings.
  void PrepareButtons();
  // Makes the chart's channel the active one; nothing for nullptr or a chart of
  // no channel.
  void SetActiveView(TChart* aChart);
  void ChartViewClick(TObject* Sender);
  void UpdateOffsetPanel();
  // Profile Offset panel: finishing an offset edit, and OK.
  void OffsetEditFinished(TDigitEdit* edit);
  void BitBtn2Click(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  // Asks to save a changed tool chain: false when the user cancels.
  bool CheckForTlsSave();
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  // The X shift of the slot's radar in 10^-5 m as a trace number at the master
  // channel's measuring step (mm): round(shift / 100000 x 1000 / step); 0 for a
  // step of 0.
  static int64_t StartTraceOfShift(int32_t xShift, double measureStepMm);
  // The offset an edit holds in m as the 10^-5 m field, limited to the field.
  static int32_t OffsetField(long double metres);

  // ---- Property list (view2d_properties.cpp) ---------------------------------------------
  // The Properties page: the channel's settings as key and value rows, its
  // comment, the wave speed; the GPS page's list.
  TValueListEditor* ValueListEditor = nullptr;
  TMemo* MemoComments = nullptr;
  TDigitEdit* SpeedDigitEdit = nullptr;
  TValueListEditor* GPSValueListEditor = nullptr;
  // The values that change while recording, for the active channel (0 when
  // none is active); the online painter calls it.
  void EditValueList();
  // The active channel's comment follows the memo (nothing without one).
  void MemoCommentsChange(TObject* Sender);
  // Both speed edits: every channel takes the wave speed.
  void SpeedDigitEditChangeFinish(TObject* Sender);
  // The aspect mode again, and the "Window Depth" row of the active channel.
  void UpdateWindowDepth();
  // The title row and the "Channel Model" row in bold on a filled background.
  void ValueListEditorDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);

  // ---- Names and packing (view2d_naming.cpp) ----------------------------------------------
  // Every channel's file: the main window's LastFolder + FilePrefix + FileCount +
  // ".dezo"; the main window's LastFile becomes channel 0's name without folder.
  void CreateNewFileName();
  // The caption: channel 0's file with ".frn" for several shown channels or a
  // multi-channel device box, else ".dezo".
  void GetCaptionFromView2D_0();
  // Before an export to S: true when none of the per-channel files exists or
  // the user agrees to replace the first one that does.
  bool isPresentFileIndex(const QString& S);
  // Packs each recorded channel's trace buffers into its data blocks. A channel
  // that cannot be packed is reported and keeps its traces as recorded; the
  // others are packed all the same; a channel without trace buffers (read from
  // a file) is left alone. Returns the channels not packed.
  std::vector<int> PackRecordedTraces();

  // ---- Opening a profile and finishing a recording (view2d_open.cpp) -----------------------
  // Opens the file in this window: exactly ".frn" is a multi-channel container,
  // anything else one single-channel record. A missing file ("File %s is not
  // present!") or one without a channel with traces ("File error") is reported.
  // While the main window lays its windows out (StartResize) nothing is read and
  // the window is laid out for no channel.
  void ReadFromFile(const QString& FileName);
  // After a recording: waits (bounded) for the online painter, packs the
  // channels, then one more online pass and the chain tools hear of the change.
  void PrepareDataAfterRun();
  // Set by the online painter while it paints; the recording's end waits for it.
  std::atomic<bool> PaintOnlineRunning{false};
  // How the window came to be: 102 reopened for the planning program, 103 reopened
  // to be saved and closed, 200 created on request; anything else none of these.
  int LastCopydataMessage = 0;

  // ---- IRadarSetWindow ------------------------------------------------------------------
  TSettingData* ChannelSettings(int slot) const override;
  bool ChannelHoldsTraces(int slot) const override;
  void SetChannelFirstTrace(int slot) override;
  void SetChannelVisible(int slot, bool visible) override;
  void SetCountChannalView(int32_t count) override { CountChannalView = count; }
  void SetDeviceBox(TTypeGPRDevice type, int32_t serNum) override;

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
  // Fills the Properties page for the channel (view2d_properties.cpp). The tool
  // chain and the topographic correction are not part of this window yet: the
  // two calls below change nothing.
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
  // The number and prefix of the window's next file name (the main window's
  // Create sets them).
  void SetFileCount(int32_t value) { fileCount_ = value; }
  void SetFilePrefix(const QString& value) { filePrefix_ = value; }
  void SetSaveDefault(bool value) override { isSaveDefault = value; }

  // ---- Display pipeline and tool chain runs (view2d_paint.cpp) ------------------------
  TTreeView* ToolsTreeView = nullptr;
  // State pictures of the chain's nodes: 1 marks the tool that runs.
  TImageList* ToolStateImages = nullptr;
  TTreeNode* CurrentItem = nullptr;
  // The tool whose dialog was opened last; not owned.
  IChainTool* CurTool = nullptr;
  TCheckListBox* PostProcCheckListBox = nullptr;
  TScrollBar* HorScrollBar = nullptr;
  TScrollBar* VertScrollBar = nullptr;
  // Per channel: 1, or a dual-frequency device's depth ratio to the master.
  std::array<long double, kChannelSlots> ZoomToMasterDistance_{1, 1, 1, 1, 1};
  // What the overlay composition takes from the overlays (alpha, mark colour).
  std::array<display_pipeline::TOverlayLook, 4> OverlayLook{};

  // Appends a chain node holding the tool, which the window then owns.
  TTreeNode* AppendToolNode(std::unique_ptr<IChainTool> tool);
  // The tool of a chain node; nullptr for none.
  static IChainTool* ToolOfNode(const TTreeNode* node);
  // Top-level node index; -1 for none.
  int IndexOfNode(const TTreeNode* node) const;
  // CurrentItem's text from its tool.
  void PaintTreeNode();

  // Recomputes all five channels from tool n.
  void Paint2D(int n);
  // Recomputes one channel from tool Index (0 or less: from the raw data).
  void Paint2D_Radar(int Index, int NumRadar);
  int32_t GetMaxDezoData(const T2Dview* View2D) const;
  void PrepareBmp(int indx);
  // False when the zoom bitmap could not be built (too large, no memory): the
  // previous one stays.
  bool MakeZoomBmp(int indx);
  long double GetStartXShiftSpan(int index) const;
  // Composes channel indx's overlay bitmaps into element [4] and returns it.
  TBitmap32* GetComposedPostProcByIndx(int indx);
  bool isPostProcCheckOn() const;
  void PaintToScreen(int NumRadar);
  void PaintAllScreen();
  void RefreshAxesAndScreen();
  // WM_TOOLSRUN.
  void WMToolsRun(WPARAM wParam);

  // ---- Editing the tool chain and its files (view2d_tools.cpp) ---------------------------
  // Names of chain records whose tool could not be created, each followed by CR LF.
  QString MissingTools;
  void AddToolsBitBtnClick(TObject* Sender);
  void RemoveBitBtnClick(TObject* Sender);
  void EditCurrentTool();
  void CopyCurrentToolToAll();
  void ExecutingMenuClick(TObject* Sender);
  void ExecuteBitBtnClick(TObject* Sender);
  void PaintTree();
  // The first chain tool whose tool name is ToolName; nullptr for none.
  IChainTool* GetToolsForNameInTree(const QString& ToolName) const;
  // Node IndxInTree's tool when its tool name begins with SearchToolName (an
  // empty name matches nothing); nullptr otherwise.
  IChainTool* GetToolInTreeIndx(const QString& SearchToolName, int IndxInTree) const;
  // Frees every chain tool and empties the tree.
  void ClearSetOfTools();
  // The chain with channel NumberView's parameters ("TLS3U"); false, with the
  // error shown and the file as it was, when it could not be written.
  bool SaveTools(const QString& FileName, int NumberView);
  // The chain with every channel's parameters ("BTLS5U"); 5 channels for the
  // last-used and named sets, else the channels with data; false for none or a
  // failed write.
  bool SaveToolsFRN(const QString& FileName);
  void SaveToolsSTCL();
  void OpenToolsSTCL();
  // Append a chain file's tools to the tree; a missing file adds nothing. A file
  // that ends inside a record keeps the tools read before it and says so.
  void OpenTools(const QString& FileName);
  void OpenToolsFrn(const QString& FileName);
  // The Tools page's buttons, pop-up menu and set box (view2d_tools.cpp).
  TPanel* ToolButtonsPanel = nullptr;
  TBitBtn* AddToolsBitBtn = nullptr;
  TBitBtn* RemoveBitBtn = nullptr;
  TBitBtn* PropertyBitBtn = nullptr;
  TBitBtn* ExecuteBitBtn = nullptr;
  TBitBtn* PopUpBitBtn = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* PropertiesMenu = nullptr;
  TMenuItem* RemoveMenu = nullptr;
  TMenuItem* CopyPropertiesToAllMenu = nullptr;
  TMenuItem* ExecutingMenu = nullptr;
  TGroupBox* SetsOfToolsGroupBox = nullptr;
  TComboBox* StencilComboBox = nullptr;
  // The tree's node pictures: each tool's two icons, the warning of a missing tool.
  TImageList* ToolImages = nullptr;
  void BuildToolChainControls();
  // The node's pictures from its tool's icons (the warning for none).
  void PrepareBmpForNode(TTreeNode* node);
  // The tree, the chain buttons and the set box, and the main window's actions
  // that must wait for a shown tool dialog.
  void EnableToolChainEditing(bool enabled);
  void AfterAppearToolWnd();
  void AfterDisappearToolWnd();
  // Moving a tool: the insertion line follows the pointer; the drop moves the
  // selected node in front of the node under the point (past it in its lower
  // half; to the end without one) and recomputes every channel.
  void ToolsTreeViewDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void ToolsTreeViewEndDrag(TObject* Sender, TObject* Target, int X, int Y);
  // Re-runs the chain from the node before `node` (from the top when the
  // window has not been painted since opening) with the overlays taking fresh
  // base images of the new display, then shows the overlays.
  void RerunWithFreshOverlays(TTreeNode* node);

  // ---- The chain and the online stages, the simple page's chain buttons
  // (view2d_simple_tools.cpp) ----------------------------------------------------------------
  TMenuItem* CopytoonlineTools1 = nullptr;
  // "Copy to online tools": the main window gives the chain's wavelet,
  // background-removal and gain tools to the online stages and switches them;
  // the settings container "bstt" of the program folder is written.
  void CopytoonlineTools1Click(TObject* Sender);
  // The wavelet, windowed background-removal and gain tools of the chain give
  // each channel's parameters to that channel's online stage; every channel
  // store then writes its online parameters.
  void CopyChainToOnlineStages();
  // Every channel's windowed background-removal stage and the chain's first
  // background tool are switched on or off, and the chain re-run.
  void SetSimpleBackgroundRemoval(bool on);
  // The "Background Removal" button shows the chain's first background tool's
  // Apply flag.
  void SetButtonSimpleBackgroundRemoval();
  // The index of the simple gain set in use in the main window's list.
  int GetSimpleGainIndex() const;
  void SimpleGainSpeedButtonClick(TObject* Sender);
  void SimpleBackgroundRemovalSpeedButtonClick(TObject* Sender);
  void BuildSimpleToolButtons();
  // Tool sets: Name in the folder "setoftools" of the program folder (PathAdd)
  // or the path Name replaces the chain; an empty Name empties it.
  void SetOfToolsChange(const QString& Name, bool PathAdd);
  void FreeToolSetBitBtnClick(TObject* Sender);
  void StencilComboBoxChange(TObject* Sender);
  void SaveSetToolsBitBtnClick(TObject* Sender);
  // Converts the old single-channel sets of the set folder (the window's chain
  // is left as it is) and lists the sets.
  void FillSetOfToolsList();
  TMenuItem* FreeToolSetMenu = nullptr;
  TMenuItem* SaveSetToolsMenu = nullptr;
  // The scale and scroll state a channel's marks are placed with.
  display_pipeline::TScreenScale ScreenScaleOf(int indx) const;
  // The along-track shift of a channel's marks in traces.
  long double MarkShiftTraces(int indx) const;
  // The screen point of a mark at trace and sample of a channel: on the plain
  // image at its trace and sample, on the corrected image where that image
  // shows them (topo_correction::TopoMarkPlace); a surface mark (no sample)
  // only moves along.
  TPoint MarkScreenPoint(int indx, int32_t trace, int32_t sample, bool surface) const;

  // ---- Axes, scroll bars, zoom and proportions (view2d_axes.cpp) -------------------------
  // The arithmetic is axes_arithmetic.h; these apply it to the charts and bars.
  TComboBox* ZoomComboBox = nullptr;
  TBitBtn* BitBtn1 = nullptr;        // "Zoom In"
  TBitBtn* ZoomOutBitBtn = nullptr;  // "Zoom Out"
  TSpeedButton* PropN11SpeedButton = nullptr;
  TSpeedButton* PropN13SpeedButton = nullptr;
  TSpeedButton* PropN15SpeedButton = nullptr;
  TSpeedButton* SpeedButtonShowVertGrid = nullptr;
  TSpeedButton* ShowHorGridSpeedButton = nullptr;
  // The corner of the two scroll strips, under the vertical one.
  TPanel* Panel3 = nullptr;
  TPopupMenu* MediumPopupMenu = nullptr;
  int AxisWidth = 108;

  // ProportionalCoefic from Proportional and the store; for a dual-frequency
  // box also every channel's ZoomToMasterDistance.
  void SetProportionalCoefic(const T2Dview* store);
  // The same factor from channel 0 (1 without it).
  long double GetWidthProportional() const;
  // Applies a new proportion mode; resetScroll puts the horizontal bar at 0.
  void ApplyProportional(bool resetScroll);
  void SetPropButtonAsProportional();
  void PropButtonClick(TProportional mode);
  void MeasureAxisSize();
  void ResizeAxis();
  void ResizeAxis_Radar(int NumRadar);
  // Dual-frequency boxes: every channel's top axis takes the range of channel
  // fromNumRadar (below 0: the one starting leftmost).
  void ResizeAxisForDualFrequence(int fromNumRadar);
  int GetViewMaxDepth() const;
  void SetLeftAxisCaption();
  void SetTitleTopAxes();
  void DistanceMenuClick(TMenuItem* item);
  // The GPS labels of channel 0's top axis; channels 1..4 copy its range.
  void Custom_DrowAxisLabels(TChart& chart);
  void ChartViewBeforeDrawAxes(TObject* Sender);
  void SizeSeriesBeforeDrawValues(TObject* Sender);
  void SetScrollBars();
  void MoveScrollBarPositionToPosTrace();
  void RunAfterChangeScrollBars();
  // One zoom step in or out.
  void Zooming(bool zoomIn);
  // The zoom list shows the factor as a percentage.
  void ShowInfo();
  // Rebuilds every channel's zoom bitmap at ZoomFactor; false (with the previous
  // factor back) when a bitmap could not be built.
  bool Zoom();
  enum TZoomingWH : uint8_t { ZoomToHeight, ZoomToWidth };
  void ZoomToWH(TZoomingWH z);
  void ZoomComboBoxChange();
  void ZoomComboBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void SpeedButtonShowVertGridClick(TObject* Sender);
  void ShowHorGridSpeedButtonClick(TObject* Sender);
  void FlipSpeedButtonClick(TObject* Sender);
  void MeniumButtonClick(TObject* Sender);
  // A medium of the list: every channel's SpeedLight.
  void N11Click(TObject* Sender);

  // ---- GPS page (view2d_gps.cpp; the arithmetic is gps_track.h) ----------------------
  // The track in metres east (X) and north (Y) of its start, the current
  // position, and the active channel's object and surface markers on the track.
  TImage* GPSReciveImage = nullptr;
  TChart* GPSTrekChart = nullptr;
  TFastLineSeries* FastLineSeries = nullptr;
  TPointSeries* PointSeries = nullptr;
  TPointSeries* ObjMarkSeries = nullptr;
  TPointSeries* SurfMarkSeries = nullptr;
  // The master channel holds a track (more than one NMEA line).
  bool isGPS = false;
  // The next live fix becomes the start point.
  bool isStartGetLocationData = false;
  // The live start point on the Gauss-Krueger plane: easting, northing (m).
  double StartGPSLatitude = 0;
  double StartGPSLongitude = 0;
  // WM_GPSDATA: the master radar's last sentence, shown under its SectPaint.
  void WMGPSData();
  // One NMEA GGA sentence on the page: the list, the current point, and while
  // recording or "Show GPS Data" is down the live track and the chart's range.
  void ShowGPSData(const QString& sentence);
  void GetLocationDataButtonClick(TObject* Sender);
  // Releases "Show GPS Data" when it is down (a recording starts or resumes).
  void StopLocationDataGPS();
  // The master channel's NMEA lines into xGPS / yGPS, for the traces added since
  // the last call; the first call also fits the chart and draws the track.
  // Called after opening, on a change of the active channel and after markers
  // were added or deleted.
  void GPSarrayToMetres();
  // The active channel's markers on the track; called after a marker moved or
  // a marker visibility switch changed.
  void AddMarkersAtGPSTrek();

  // ---- Printing and bitmap export (view2d_print.cpp) ----------------------------------
  // Prints each channel with data alone on a landscape page with a settings
  // footer, one job per channel. The layout is restored on every path; a print
  // error aborts the job and passes on.
  void PrintView2D(TPrinter& printer);
  // Writes each channel (only the one shown alone, if any) with its axes at the
  // current zoom as a bitmap file, named as isPresentFileIndex tests them. The
  // layout, zoom and scroll positions are restored also when a write fails; a
  // failure is reported and gives false.
  bool SaveToBmp(const QString& FileName);

  // ---- Backup recovery (view2d_backup.cpp) ----------------------------------------------
  // Fetches each Wi-Fi radar's backup of the recording and replays it into the
  // radar's channel through the online display, the earlier file kept beside it
  // with "_bak". A failed download ends the recovery with Run unchecked. The wait
  // for a replay is bounded (BackupWaitRounds rounds of 25 ms); past it the replay
  // is dropped, Run unchecked, the user told and the stop actions run.
  void GetFtpFile();
  int BackupWaitRounds = 2000;

  // ---- Time zero (view2d_null.cpp; the dialog is null_form.h) ---------------------------
  TBitBtn* SetNullSpeedButton = nullptr;  // "Set Zero Level"
  // The automatic time zero of a channel (time_zero.h): with the zero-level
  // dialog shown its track bar takes the zero, else NullShift does, the line is
  // redrawn and an active channel's property list refilled. Nothing for a
  // channel without traces or samples.
  void AutomaticNull(int iNumView);
  // The zero-level line of a channel across its top axis at the zero's time.
  void RepaintNull(int indx);
  // sample x SpanWidth x OverStep / 1000 of the channel's settings, ns.
  long double ZeroTimeOf(int indx, int32_t sample) const;
  // Releases the marker tools, runs the dialog modally, then the depth slice,
  // the axes and the default settings.
  void SetNullSpeedButtonClick(TObject* Sender);

  // ---- Markers in the window (view2d_markers.cpp; texts: marker_texts.h) ----------------
  // Images 0..6 fixed (2 surface marker, 6 polyline group), generated icons after.
  TImageList* ObjectsImageList = nullptr;
  // The default colour of new object markers and polylines (an owner-drawn box).
  TComboBox* cbMarkColor = nullptr;
  TSpeedButton* AddObjectMarkerToolButton = nullptr;
  TSpeedButton* AddsurfaceMarkerToolButton = nullptr;
  TSpeedButton* AddPoliLineToolButton = nullptr;
  TSpeedButton* DelMarkerToolButton = nullptr;
  // The last generated icon (a cache of one entry).
  int PredMarkerImageIndex = -1;
  // The channel whose tree changed last.
  int LastNumTreeView = 0;
  TTreeNode* CurrentObject = nullptr;
  // The tree's root titles, with " #" and the channel when several channels show.
  QString ObjectsRootTitle(int root, int indx) const;
  void PrepareObjectsTreeAll();
  void PrepareObjectsTree(int indx);
  void ObjectsTreeViewChange(TObject* Sender, TTreeNode* Node);
  // The Delete key on the Objects page: the selected child's item goes.
  void DeleteMarkerInTree();
  void AddObjectMarkerToolButtonClick(TObject* Sender);
  void AddsurfaceMarkerToolButtonClick(TObject* Sender);
  void AddPoliLineToolButtonClick(TObject* Sender);
  void DelMarkerToolButtonClick(TObject* Sender);
  // Every channel's object-marker list takes the chosen colour as its default.
  void cbMarkColorChange(TObject* Sender);
  // The zero-level, wiggle, hand and topographic-correction buttons release the
  // marker tools; adding object markers waits for the correction to end.
  // zeroLevel: called by the zero-level button, which always releases them.
  void SetNoActiveAddMarkers(bool zeroLevel = false);
  void MarkersTabSheetHide(TObject* Sender);
  // A new page: the simple page in simple mode; an open page control takes the
  // GPS page's width or the others', and the channels are laid out again.
  void LeftPageControlChange(TObject* Sender);
  // Selects a channel's marker in its tree (surface, object) and fires the change.
  void ShowObjMarkerFrame(int indxProfile, int NumMarker);
  void ShowSurfMarkerFrame(int indxProfile, int NumMarker);
  void ShowPolyLineFrame(int indxProfile, int NumInPolyLineMarkersArray);
  // The one property frame shown under the trees (marker_frames.h), owned by the
  // window; nullptr when none.
  TScrollBox* PropertyObjectsScrollBox = nullptr;
  TMarkerFrame* CurFrame = nullptr;
  // CurFrame as a component (nullptr when none), for ShownFrame.
  TComponent* FrameComponent() const;
  // Frees CurFrame when it is a marker frame.
  void FreeMarkerFrame();
  // CurFrame as the frame class, nullptr when it is another.
  template <typename T>
  T* ShownFrame() const {
    return dynamic_cast<T*>(static_cast<TComponent*>(FrameComponent()));
  }

  // ---- Mouse tools and wiggle trace (view2d_mouse.cpp; arithmetic: mouse_arithmetic.h) --
  TSpeedButton* HandSpeedButton = nullptr;    // "Hand Tool"
  TSpeedButton* WiggleSpeedButton = nullptr;  // "Wiggle"
  bool Dragging = false;
  int DragX = 0, DragY = 0;
  double PosXforWeegle = 0;
  double HyperbolaX = 0, HyperbolaY = 0;
  long double DepthTimeInCursorClick = 20;
  int X_tr_Move = 0, Y_sample_Move = 0;
  bool isSelectPoly = false;
  void ChartViewMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void ChartViewMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ChartViewMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The chart values under a chart pixel (XValue on the top axis, YValue on the
  // left); false for a channel without chart.
  bool ChartValues(int indx, int X, int Y, double& XValue, double& YValue) const;
  // Trace and sample of the chart values; false (nothing set) for a negative or
  // empty channel.
  bool CursorToTraceSample(int indx, double XValue, double YValue, int& trace, int& sample) const;
  // Distance mode of a channel: "Distance" chosen, traces placed by distance, a step.
  bool DistanceModeOf(int indx) const;
  // Keeps PosXforWeegle as the channel's wiggle position and draws the wiggle.
  void DrowSlice(int NumRadar);
  void PaintTrace(int indx);
  void HandSpeedButtonClick(TObject* Sender);
  void WiggleSpeedButtonClick(TObject* Sender);

  // ---- Online display during acquisition (view2d_online.cpp) ------------------------
  // The paint thread, created suspended with the window; the main window's start
  // and resume actions resume it, the close query suspends it.
  struct TThreadFree {
    void operator()(TThread* thread) const { thread->Free(); }
  };
  std::unique_ptr<TOnlinePaintThread, TThreadFree> OnlinePaintThread;
  // The strips: one column per trace from SizeOnRunBmpFull_begin, LongTrace rows
  // (8-bit palette indices); the visible part of each.
  std::array<std::unique_ptr<TBitmap>, kChannelSlots> OnRunBmpFull_;
  std::array<std::unique_ptr<TBitmap>, kChannelSlots> OnRunBmp_;
  int64_t SizeOnRunBmpFull_begin = -100;
  int64_t SizeOnRunBmpFull_end = 2000;
  // The trace of each strip's first column: a strip holds room beyond the
  // range to grow into.
  std::array<int64_t, kChannelSlots> OnRunBmpFullOrigin_{-100, -100, -100, -100, -100};
  // The strip column of a trace in a slot.
  int64_t OnlineStripColumn(int indx, int64_t trace) const {
    return trace - OnRunBmpFullOrigin_[static_cast<size_t>(indx)];
  }
  // A stored trace had no buffer yet: the pass ends and is retried.
  bool PresentEmptyIndexTrace = false;
  // The cursor is outside the recorded range.
  bool AutOfRange = false;
  // Top of the speed bar in the "<" strip (pixels from its top); -1: no bar.
  int IndicatorTop = -1;
  // Creates the paint thread (suspended) and the handlers of the reader
  // threads' messages; frees the thread (the window's destruction).
  void CreateOnlinePaint();
  void FreeOnlinePaint();
  // WM_SYSCOMMAND: nothing while a recording runs; minimise and maximise are
  // carried out (not while the main window suspends resizing) and the zoom
  // redone unless a window is being closed; other commands as by default.
  void WMSysCommand(TMessage& Message);
  // WM_MDIDESTROY: as by default, except while the main window suspends resizing.
  void WMMdiDestroy(TMessage& Message);

  // ---- IRecordingWindow ---------------------------------------------------------------
  // Stores the radar's trace in the channel of its slot (the radar's reader
  // thread, under the radar's SectPaint). What touches the user interface (the
  // end of a step, the NMEA lines) is carried out on the user-interface thread.
  TTraceStored PaintLastTrace(const TTraceHandOver& trace) override;
  int32_t Channel0LongTrace() const override;

  // ---- The painter (user-interface thread) ---------------------------------------------
  void PaintOnlineThread() override;
  void PaintOnlineThreadRadar(int indx);
  void PaintNewTraces(int LongTrace, int64_t count, int64_t a, TChart* chart, T2Dview* store, TRadar* radar, int indx,
                      int64_t s, bool backward);
  // The channel's online stages on a trace copy: wavelet, windowed background
  // removal, gain.
  void ExecuteOnlinePlugins(int32_t* trace, int32_t length, T2Dview* store);
  // The 8-bit source stretched into the target at x, to width x height: linear
  // resampling, or a plain stretch with the main window's SimpleStretchPaint.
  void StretchOnlineBmp(TBitmap& target, int x, int width, int height, TBitmap& source);
  // Markers over the online image of a channel: first is the first strip column
  // shown, scaleX and scaleY the stretch, top .. bottom the rows and right the
  // column past the last shown.
  void PaintMarkersOnline(int channel, int first, double scaleY, double scaleX, int bottom, int top, int right);
  void RefreshPositionSeries(int NumRadar, int numCollision, bool PaintOnline);
  void PaintIndicator(TRadar* Radar);
  void WheelHandler();
  void RefreshAndPaintWheelHandler();
  void ShiftLastPaint(int indx);
  void RefreshOnlineStrip();
  void PrepareForRunning();
  void InitOnlinePlugin();
  void GetOnlinePlaginsParameters();
  // round(m x 1000 / the master channel's trace step in mm); 0 without a step.
  int64_t DistToMasterTrace(long double m) const;
  long double TraceToDistView(int64_t trace, int channel, bool proportional) const;
  int64_t DistToTraceView(int channel, bool proportional, long double m) const;
  // Channel 0's Direction (0 without channel 0); every channel's, then SaveDefault.
  int GetDirection() const;
  void SetDirection(int NewDirection);
  void ProcessMessagesToolWnd();
  void SetWasPaintTrue() { WasPaint = false; }
  void FitLeftPageControl();

  // ---- Hyperbola overlay and wave-speed pick (view2d_hyperbola.cpp; arithmetic: hyperbola.h) ----
  // The medium buttons' pictures: the list of media, and the confirmation of a depth pick.
  static constexpr int kMediumListImage = 4;
  static constexpr int kMediumConfirmImage = 5;
  // Left edges in their group: the medium button at rest and during a pick (the
  // depth edit then takes its place), and the hidden depth edit.
  static constexpr int kMediumButtonLeft = 94;
  static constexpr int kPickedMediumButtonLeft = 178;
  static constexpr int kDepthEditRestLeft = 135;
  // On: "Depth" released, "Wiggle" released, the overlay at the initial apex.
  void HyperbolaCheckButtonClick(TObject* Sender);
  // Every channel's overlay with its apex apexTime ns below its own zero level.
  void DrawHyperbolaAll(double apexTime, double apexX);
  // apexTime counts from time 0; nothing in GPS units.
  void DrawHyperbola(int index, double apexTime, double apexX);
  // The horizontal bar to the end where the apex lies beyond the top axis.
  void HyperbolaScroll();
  // A chart click at YValue ns with "Hyperbola" or "Depth" checked (HyperbolaX and
  // HyperbolaY hold the click).
  void HyperbolaMouseDown(int indx, double YValue);
  void DepthCheckButtonClick(TObject* Sender);
  // Enter: the speed of the pick into the speed edit, then, as with Escape, the
  // pick ends and every channel takes the speed edit.
  void DepthDigitEditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  // The speed that puts the picked time at the typed depth, from the active
  // channel's zero time, into both speed edits; a pick at or above the zero
  // time is refused with a message (false), the speed kept.
  bool ConfirmDepthPick();
  void FinishDepthPick();
  // The simple page's "Hyperbola" and "Depth": the main box takes the twin's
  // state and runs its handler; the main handlers mirror their state back.
  void SimpleHyperbolaCheckBoxClick(TObject* Sender);
  void SimpleDepthCheckBoxClick(TObject* Sender);
  // The depth edit and medium button of the Properties page, then the simple page's.
  std::array<std::pair<TDigitEdit*, TSpeedButton*>, 2> DepthPickPairs() const;

  // ---- Topographic correction (view2d_topo.cpp; arithmetic: topo_correction.h) ----------
  // The path's extents in mm (the pixel margins are IdentXLeftPx .. above): the
  // vertical ones belong to the last channel prepared, the horizontal reach
  // spans the channels of one preparation.
  topo_correction::TTopoExtents TopoExtents;
  void TopoCorrSpeedButtonClick(TObject* Sender);
  // Every channel with traces: a channel without calibration (or every one with
  // RunAlways) but the master takes the master's calibration and inclinometer
  // records; then its flag follows the button and its path is built.
  void GetIdentForTopoCor(bool RunAlways);
  void GetIdentForTopoCor_Radar(int NumRadar);
  // The corrected image with the button down, the plain one with it up.
  void ApplyTopoCorrection(int NumRadar);
  // The corrected image into the channel's display bitmap, with progress and
  // Cancel; a cancelled or failed build (reported) releases the button and
  // restores the plain image.
  void BuildTopoImage(int indx);
  void DrawReliefLine(int indx);
  void RefreshTopoAfterFlip();
  // The main window's "Binding to the baseline": the current trace becomes the
  // origin of the device offset, the offset panel opens for the Y offset.
  void SetTopoZero();
  void ProfileOffsetMenuClick(TObject* Sender);
  // The window's menu (merged into the main window's bar while the window is
  // active): "Profile" with "Profile Offset".
  TMainMenu* ChildMainMenu = nullptr;
  TMenuItem* ProfileMenu = nullptr;
  TMenuItem* ProfileOffsetMenu = nullptr;
  void AngleDigitEditChangeFinish(TObject* Sender);
  // The progress panels' "Cancel": Br := true.
  void CanselClick(TObject* Sender);
  // The button is down.
  bool TopoCorrectionShown() const;

  // ---- Palettes and simple mode (view2d_palettes.cpp; palette_preview.h, simple_mode.h) ------
  // The library is the file "palset" in the program folder; the main window
  // keeps its offsets and previews (IRadargramPalettesShell).
  // The second palette control, hidden (library work).
  TPalMaker* PalMaker2 = nullptr;
  TImage* SampleImage = nullptr;  // the sample trace as a line
  TImage* ColorImage = nullptr;   // the same trace through the palette
  TBitBtn* BitBtn3 = nullptr;     // "Save Palette"
  TButtonGroup* PalButtonGroup = nullptr;
  TLabel* SimplePaletteLabel = nullptr;
  TLabel* SimpleStretchLabel = nullptr;
  TLabel* MultGainLabel = nullptr;
  TLabel* SimpleZoomLabel = nullptr;
  TImage* SimplePaletteImage = nullptr;
  // One button per library palette, from the main window's lists.
  void PalReadAll();
  // Chooses palette Index, or with Ctrl deletes it from the library. An index
  // outside the library, a palette that does not read or a library that cannot
  // be rewritten changes nothing and is reported.
  void PalButtonGroupButtonClicked(int Index, TShiftState Shift);
  // Cursor 9 over the buttons while Ctrl is held, else the default.
  void PalButtonGroupMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  // The palette control's paint: every display bitmap (and while recording every
  // online strip) takes the palette; the zoom bitmaps are rebuilt, nothing is
  // recomputed.
  void PalMaker1Paint(TObject* Sender);
  void PalMaker1Change(TObject* Sender);
  // Appends the current palette at the end of the library; false, reported,
  // when the library cannot be written.
  bool SavePaletteToLibrary();
  void BitBtn3Click(TObject* Sender);
  // The preview of the Palettes page, drawn once at creation.
  void DrawPalettePreview();
  void SimplePalettesSpeedButtonClick(TObject* Sender);
  void SimpleZoomSpeedButtonClick(TObject* Sender);
  void SimpleStretchSpeedButtonClick(TObject* Sender);
  // Both marker buttons.
  void SimpleSurfMarkerSpeedButtonClick(TObject* Sender);
  void ApplySimpleStretch();
  // The master channel's surface marker within one trace of PosTraces: found
  // (and with Delete removed); the buttons show "Add Marker" or "Delete Marker".
  bool UpdateSimpleMarkerButtons(bool Delete);
  void BuildPaletteControls();

  // ---- Post-processing overlays (view2d_postproc.cpp; post_proc_overlays.h) ----------------
  // The overlay objects by layer ([1] amplitude, [2] envelope, [3] frequency;
  // [0] unused), nullptr without a registered factory.
  std::array<std::unique_ptr<IPostProcOverlay>, 4> PostProc_;
  IPostProcOverlay* ComparatorPostProc() const { return PostProc_[ppComparator].get(); }
  IPostProcOverlay* HilbertPostProc() const { return PostProc_[ppHilbert].get(); }
  IPostProcOverlay* FreqHilbertPostProc() const { return PostProc_[ppFrequency].get(); }
  TScrollBox* PostProcPropertyScrollBox = nullptr;
  TCheckBox* chIntersectionPostBMP = nullptr;  // "Intersection select Bitmaps"
  // The frame of the selected overlay (nullptr when none) and its layer.
  std::unique_ptr<IPostProcFrame> PostProcCurFrame;
  int PostProcCurFrameKind = 0;
  // An overlay was checked at the last check change.
  bool PredProcCheckOn = false;
  void CreatePostProcObjects();
  // Recomputes the overlays of all shown channels; nothing while the main window
  // closes a child window.
  void RunPostProcess(TObject* Sender);
  // Overlay NumPostprocess (1..3; negative: every checked one) of one channel.
  void RunPostProcessRadar(int indx, int NumPostprocess);
  // Every channel's amplitude range for the amplitude overlay: 0 .. the largest
  // |value| of its working data (-1000000 for a channel without data).
  void GetMinMaxLevelPostProcComparator();
  void GetMinMaxLevelPostProcHilbert() {}
  void RunComparatorOverlay(int indx, int NumProcess);
  void RunHilbertOverlay(int indx, int NumProcess);
  void RunFreqOverlay(int indx, int NumProcess);
  void PostProcCheckListBoxClick(TObject* Sender);
  void PostProcCheckListBoxClickCheck(TObject* Sender);
  void chIntersectionPostBMPClick(TObject* Sender);
  // The shown frame's histogram again (window: the frequency one's half width).
  void DrawPostProcGodograph(int frequencyWindow);
  // The plain display bitmap of a channel again, when the last overlay went off.
  void RestorePlainImage(int indx);
  // After a recomputation of a channel: the envelope buffers and every level
  // are to be computed again.
  void MarkOverlaysForRecompute();
  void BuildPostProcControls();
  // False once the window is being destroyed: a run that processes messages
  // may see the window closed (the program ending) under it.
  std::shared_ptr<bool> WindowAlive = std::make_shared<bool>(true);

private:
  void BuildVisualTree();
  // The time-zero, marker and mouse-tool controls (view2d_markers.cpp, view2d_mouse.cpp).
  void BuildMarkerControls();
  void BuildMouseControls();
  bool handStepRunning_ = false;
  // Add-polyline mode: a click on nothing starts a polyline (without one shown)
  // and appends a node to the shown one; on a node of the shown polyline it
  // picks it for dragging; on its segment it inserts a node there.
  void AddPolyLineNodeAt(int indx, const mouse_arithmetic::TMarkerHit& hit, int trace, int sample);
  // Delete mode on polylines: a node goes (asking "Delete PolyLine ?" when it
  // leaves fewer than two), a segment takes the polyline after the question.
  void DeletePolyLineAt(int indx, int trace, int sample);
  // The controls of the pages and the Profile Offset panel.
  void BuildPageControls();
  // The Properties page's list, memo and speed edit and the GPS page's list.
  void BuildPropertyControls();
  void FormCreate();
  // The steps of creation that may fail; false ends creation early.
  bool CreateGuarded();
  // The steps that always run, after the guarded ones.
  void CreateAlways();
  // Every channel bound to a radar starts at the radar's offset along the track.
  void StartPositionsFromRadars();
  // Each slot's settings bound to the set's radar of that slot.
  void BindSlotsToRadars();
  ISettingsRadar* SlotRadar(int slot) const;
  // Work of the display, axes, palettes and tools that is not in this window yet:
  // the creation and activation steps call them where that work belongs.
  // Work of later parts the display pipeline calls where it belongs: the
  // topographically corrected image, the zero-level line, the overlays, the
  // wiggle trace, the depth slice and the online display.
  void CreateTopoCorrectedBmp(int indx) { ApplyTopoCorrection(indx); }
  void RedrawZeroLine(int indx) { RepaintNull(indx); }
  // The wiggle of a channel again at its kept position.
  void RedrawWiggleTrace(int indx);
  bool WiggleShown() const;
  // While recording, a shown channel is repainted by the online painter's next pass.
  void PaintOnlineChannel(int indx) { ShiftLastPaint(indx); }
  void BuildTopoControls();
  void BuildHyperbolaControls();
  void BuildPipelineControls();
  void BuildAxesControls();
  void BuildGpsControls();
  // ZoomFactor := factor and the bitmaps rebuilt; a factor whose bitmaps cannot
  // be built leaves the previous one.
  void SetZoomFactor(int factor);
  bool scrollBarsUpdating_ = false;
  void BuildZoomBitmaps();
  // Paint2D_Radar's work while the chain runner's run flag is held.
  void RecomputeChannel(int Index, int NumRadar);
  void FillToolSetList() { FillSetOfToolsList(); }

  // Online display helpers (view2d_online.cpp).
  bool RunChecked() const;
  // The end of a step-mode recording and the NMEA lines of the reader threads,
  // carried out on the user-interface thread.
  void OnlineStepEnded();
  void TakePendingNmea();
  void PostOnline(UINT msg);
  TRadar* SlotRadarOf(int indx) const;
  void FollowNewestTrace(int indx, TChart& chart, T2Dview& store, int64_t s, int64_t& first, int64_t& last);
  void DrawOnlineImage(int indx, TChart& chart, T2Dview& store, int64_t first, int64_t last);
  void AddOnlineSurfaceMarker(T2Dview& store, int64_t s);
  std::mutex onlineLock_;
  // NMEA lines by channel.
  std::vector<std::pair<int, QString>> pendingNmea_;
  // The recording was stopped for a full trace range (one message per recording).
  std::atomic<bool> storeStopPosted_{false};
  // Channels (bits) that took traces in this recording; their unsaved-changes
  // and recording-started flags are set on the user-interface thread.
  std::atomic<unsigned> storedChannels_{0};
  void MarkRecorded();
  std::unique_ptr<TBitmap32> onlineScratch_;
  std::unique_ptr<TBitmap32> onlineResampled_;
  // The chain beside channel 0's file (".tls" for one channel, else ".btls");
  // false when it could not be written.
  bool SaveToolChain();
  // Work of later parts around opening and recording: the objects trees, the
  // tool-chain file beside a profile (".tls", ".btls" beside a container), the
  // online painter's pass.
  void RebuildObjectsTrees() { PrepareObjectsTreeAll(); }
  void OpenSideToolChain(const QString& FileName, bool container);
  // ReadFromFile's steps (view2d_open.cpp).
  void ShowChannelAfterOpen(int indx);
  void LayoutAfterOpen(int count);
  bool GpsPageFor(const T2Dview* store) const;
  // Axes, hyperbola and GPS work the property list triggers that is not in this
  // window yet.
  void ResetDepthLine(int indx);
  void CreateSliceControls();
  void BindSliceControls();
  void PlaceSliceControls();
  // Track bar and edit limits from channel 0, SectOfDeep from its settings.
  void UpdateSliceLimits();
  // SectOfDeep_m from the track bar; the depth lines when it or the scroll changed.
  void SliceDepthFromTrackBar();
  // The slice shifted left by `shift` columns, stretched into the slice chart's back image.
  void ShowSliceImage(const std::vector<uint8_t>& slice, int width, int rows, int64_t shift);
  // Set while the slice limits are changed: the track bar's change waits.
  bool sliceUpdating_ = false;
  // The panel's height, keeping the height it had in its Tag while it is
  // collapsed to 1 pixel.
  static void PlacePanel(TPanel& panel, const TPanelPlace& place);
  void ShowTopAxis(int indx, bool visible);
  void ClearBackImage(int indx);
  // Stacks panels in column in the order given (bottom, then top again).
  static void StackInColumn(TPanel& column, TPanel& panel);
  bool LayoutSuspended() const;
  // One Wi-Fi radar's backup (GetFtpFile); false ends the recovery.
  bool RecoverBackupOfSlot(int slot, TRadarW& radar);

  TRadargramShell shell_;
  int32_t deviceX_ = 0;
  int32_t deviceY_ = 0;
  int32_t deviceZ_ = 0;
  TProportional proportional_ = PropInSamples11;
  QString filePrefix_;
  int32_t fileCount_ = 0;
  bool resizing_ = false;
  // Set while FilValueList writes the memo, so that showing a channel's comment
  // does not write it into the active channel.
  bool fillingProperties_ = false;
  // The chain's tools, owned here; the tree nodes point at them.
  std::vector<std::unique_ptr<IChainTool>> tools_;
  // Per chain node: the image indices of its tool's two icons.
  std::map<const TTreeNode*, std::pair<int, int>> nodeIcons_;
  // Deletes a chain node and frees its tool.
  void DeleteToolNode(TTreeNode* node);
  // The five channel stores the chain's tools are bound to.
  std::array<T2Dview*, 5> ChainViews() const;
  // The last-used sets unless channel 0 was opened from a file.
  void SaveToolsSTCLUnlessOpened();
  // A single-channel chain file's records in order: the tool (nullptr for one
  // the registry cannot create), the record's name, whether the file has the
  // oldest layout.
  void ReadSingleChain(const QString& FileName,
                       const std::function<void(std::unique_ptr<IChainTool>, const QString&, bool)>& add);
  // A five-or-fewer-channel chain file of the tools.
  QByteArray ChainBytesFrn(const std::vector<IChainTool*>& tools, IChainTool* last, int channels);
  // Writes data to FileName through a file beside it that then replaces it.
  bool WriteChainFile(const QString& FileName, const QByteArray& data);
  // A chain record's end offset and tool name; false (and the warning) when the
  // end lies not after the start or beyond the file.
  bool ReadChainRecordHead(TStream& stream, const QString& FileName, int64_t& end, QString& name);
  // The 32-bit copy of a display bitmap the zoom resamples from, kept between zooms.
  std::unique_ptr<TBitmap32> zoomSource_;
};
