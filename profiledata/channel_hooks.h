#pragma once
// What the scan settings, the marker lists and the channel store of a channel ask of
// their neighbours: the channel's radar, the channel store that owns them, the
// radargram window or the planning program's project profile that owns the store,
// the acquisition program's main window and the radar library's online stages. The
// real radar, channel store (T2Dview), radargram window, project profile, main
// window and stages implement these; the profile data never see more of them.
//
// The main window is process-wide: the acquisition program registers it at start and
// unregisters it (nullptr) before it goes. The planning program never registers one,
// and the settings take that absence as "planning program": no radar, no window
// hooks, zero distance defaults (see setting_data.h). "No window" is a nullptr
// window: the channel record then keeps the picture, palette and zero-level line
// with the settings themselves.
//
// All calls run on the user-interface thread.

#include "platform/ui/control_types.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class IChannelStore;
class T2Dview;
class TBitmap;
class TCustomIniFile;
class TListOfDots;
class TPalMaker;
class TSettingData;

// Inclinometer calibration of a radar per axis, with the zero angle and the
// quality of the calibration.
struct TInclCalibration {
  double GXmin = 0, GXmax = 0, GYmin = 0, GYmax = 0, GZmin = 0, GZmax = 0;
  double ZeroAngle = 0;
  double CalibrationQuality = 0;
};

// One point of a channel's zero-level line: X a trace, Y a sample.
struct TZeroLevelPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TZeroLevelPoint&) const = default;
};

// The planning program's project profile that owns a channel store. Positions along
// it count the project's own device offset, so the marker lists convert metres with
// offset through it instead of through the channel settings.
class IProjectProfile {
public:
  virtual ~IProjectProfile() = default;
  // Trace number of a distance in m along the profile:
  // round((m x 100000 - shift) / (MeasureStep x 100)), numerator (-shift - m x 100000)
  // on a profile recorded flipped; shift = the profile's device X offset (10^-5 m).
  virtual int32_t ProfileDistToTraceWithShift(long double distance) const = 0;
};

// The channel's radar unit.
class ISettingsRadar {
public:
  virtual ~ISettingsRadar() = default;
  // The unit model the radar reports.
  virtual TTypeGPR RadarType() const = 0;
  virtual uint16_t FirmwareVer() const = 0;
  // The radar's PcLoading writer. The settings pass 1.0 (parameters not loaded):
  // the radar then restarts a running acquisition with the current settings, or
  // only marks its parameters stale when it is stopped.
  virtual void SetPcLoading(double pcLoading) = 0;
  // What reading a settings file takes from the channel's radar: the device's
  // serial number and its inclinometer calibration. A radar that does not know
  // them answers 0 and a zero calibration.
  virtual uint16_t DeviceSerNum() const { return 0; }
  virtual TInclCalibration InclinometerCalibration() const { return {}; }
};

// A radargram window as its channels' settings see it.
class IChannelWindow {
public:
  virtual ~IChannelWindow() = default;
  virtual bool Visible() const = 0;
  // True when the store is the window's active (selected) channel.
  virtual bool IsActiveChannel(const IChannelStore* store) const = 0;
  // Slot 0..4 of the store in the window, -1 when the store is not one of its channels.
  virtual int ChannelIndex(const IChannelStore* store) const = 0;
  // Refills the window's property list for that channel.
  virtual void FilValueList(int channel) = 0;
  // Tells the window's tool chain that the unit model of a channel changed.
  virtual void ChangeRadarInTools() = 0;
  // Offsets of the device, in 0.01 mm (units of 10^-5 m).
  virtual int32_t DeviceX() const = 0;
  virtual int32_t DeviceY() const = 0;
  virtual int32_t DeviceZ() const = 0;

  // ---- What a channel record is written from and read into ------------------
  // The channel stores of a window share its device offsets.
  virtual void SetDeviceOffsets(int32_t x, int32_t y, int32_t z) = 0;
  // The window's palette control (owned by the window, never nullptr).
  virtual TPalMaker* PaletteControl() = 0;
  // The window's aspect mode.
  virtual TProportional Proportional() const = 0;
  virtual void SetProportional(TProportional value) = 0;
  // The 8-bit display picture of a channel, owned by the window; nullptr when the
  // channel has none.
  virtual TBitmap* DisplayBitmap(int channel) = 0;
  // The points of a channel's zero-level series, in series order.
  virtual std::vector<TZeroLevelPoint> ZeroLevelPoints(int channel) const = 0;
  virtual void ClearZeroLevel(int channel) = 0;
  virtual void AddZeroLevelPoint(int channel, TZeroLevelPoint point, TColor color) = 0;
  // Set by opening a file: the next paint rebuilds the display from the data.
  virtual void SetFirstPaintAfterOpen(bool value) = 0;
  // Releases the topographic-correction button (correction off in the display).
  virtual void ReleaseTopoCorrectionButton() = 0;

  // ---- What a channel store asks of the window that owns it ------------------
  // The defaults describe a window that has none of these (no free slot, no file
  // naming, a device box without tilt sensor reversal).
  // Puts a new store into the window's first free channel slot 0..4 and returns
  // the slot; -1 when every slot is taken.
  virtual int RegisterChannel(IChannelStore* /*store*/) { return -1; }
  // Empties the slot of a store that goes; nothing when it has none.
  virtual void UnregisterChannel(IChannelStore* /*store*/) {}
  // Prefix and counter of the window's new file names.
  virtual QString FilePrefix() const { return {}; }
  virtual int32_t FileCount() const { return 0; }
  // Reads a multi-channel settings container into the window's channels.
  virtual void ReadFromFileToFRNChannals(const QString& /*fileName*/) {}
  // The flag that lets the window write its default settings files.
  virtual void SetSaveDefault(bool /*value*/) {}
  // True when the window's device box mounts its inclinometer reversed (the
  // multi-channel boxes): the tilt of its channels is then signed per channel.
  virtual bool ReversedInclinometer() const { return false; }
};

// The channel store that owns the settings. The settings find it as
// dynamic_cast<IChannelStore*>(Owner()), so a store class derives from TComponent
// and from this interface.
class IChannelStore {
public:
  virtual ~IChannelStore() = default;
  // True while the store holds recorded or loaded traces; the unit model, serial
  // number and advanced stacking of the channel cannot change then.
  virtual bool HoldsTraces() const = 0;
  // The radargram window that owns the store, or nullptr.
  virtual IChannelWindow* Window() const = 0;

  // What the marker lists ask of the store that owns them.
  // Writes the store's own unsaved-changes flag (markers and traces), never the
  // settings' flag.
  virtual void SetNeedForSave(bool value) = 0;
  // The channel's scan settings, owned by the store; nullptr only while it has none.
  virtual TSettingData* Settings() const = 0;
  // First trace and end of the traces (exclusive), in the store's trace numbering.
  virtual int64_t MinNumTraces() const = 0;
  virtual int64_t MaxNumTraces() const = 0;
  // Writes the file of default settings, so that a colour or pen width chosen for
  // markers becomes the default of new channels.
  virtual void SaveDefaultSettings() = 0;
  // The project profile that owns the store in the planning program; nullptr in the
  // acquisition program.
  virtual IProjectProfile* ProjectProfile() const = 0;
};

// The acquisition program's main window.
class IAcquisitionShell {
public:
  virtual ~IAcquisitionShell() = default;
  // The current radar; a new channel takes it as its radar. nullptr when none.
  virtual ISettingsRadar* CurrentRadar() const = 0;
  // The program's current distance source and odometer multiplier (INI section
  // "General", keys "TopoType" and "OdometerMult").
  virtual TTopoType CurrentTopoType() const = 0;
  virtual uint16_t OdometerMult() const = 0;
  // The active radargram window, or nullptr.
  virtual IChannelWindow* ActiveChannelWindow() const = 0;
  // Raised when a stored picture could not be read: the window being opened then
  // recomputes every channel's display instead of trusting the stored pictures.
  virtual void SetErrorLoadFile(bool value) = 0;

  // ---- What the channel stores ask of the main window -------------------------
  // The defaults describe a main window that keeps none of these.
  // The first channel of a new radargram window makes its distance source the
  // program's current one.
  virtual void SetCurrentTopoType(TTopoType /*value*/) {}
  // Folder of new data files, with a trailing separator.
  virtual QString LastFolder() const { return {}; }
  // Name (without folder) of the current or last new data file.
  virtual void SetLastFile(const QString& /*value*/) {}
  // The program's settings file (MainIni); the channel stores keep their online
  // stage parameters there. nullptr when there is none. Not owned.
  virtual TCustomIniFile* MainIni() const { return nullptr; }
  // Serial number of the device box the radar set reports (SerNumDevice).
  virtual int32_t RadarSetSerNumDevice() const { return 0; }
  // The program runs in simple mode: default settings go to the program folder's
  // "dstt" instead of its "bstt".
  virtual bool SimpleMode() const { return false; }
};

// Registers the main window (nullptr: none, the planning program). Not owned.
void SetAcquisitionShell(IAcquisitionShell* shell);
IAcquisitionShell* AcquisitionShell();

// ---- Online processing stages --------------------------------------------------
// Every channel of the acquisition program owns one set of online stages (wavelet
// filter, windowed background removal, gain, comparator, device zero offset, gain
// calibration and the online depth-slice store). They belong to the radar library;
// the channel store only creates and frees them and keeps the parameters below in
// the main window's settings file. The acquisition program registers a factory at
// start; the planning program registers none, and its channels have no stages.

// What the channel store reads and writes of a channel's stages. The real set
// holds the stage objects; the code that runs them reaches them through it.
class IOnlineStages {
public:
  virtual ~IOnlineStages() = default;
  // Comparator: threshold and on/off.
  virtual int32_t ComparatorThreshold() const = 0;
  virtual void SetComparatorThreshold(int32_t value) = 0;
  virtual bool ComparatorApplay() const = 0;
  virtual void SetComparatorApplay(bool value) = 0;
  // Windowed background removal: window width in traces and on/off.
  virtual int32_t WidthWindow() const = 0;
  virtual void SetWidthWindow(int32_t value) = 0;
  virtual bool WindowedBackgroundRemovalApplay() const = 0;
  virtual void SetWindowedBackgroundRemovalApplay(bool value) = 0;
  // Wavelet filter: time scale in ns and on/off.
  virtual long double WaveletTimescale() const = 0;
  virtual void SetWaveletTimescale(long double value) = 0;
  virtual bool WaveletApplay() const = 0;
  virtual void SetWaveletApplay(bool value) = 0;
  // Runs the wavelet stage's Init after its parameters were read.
  virtual void InitWavelet() = 0;
  // Gain: on/off and the gain curve (owned by the gain stage).
  virtual bool TVGCApplay() const = 0;
  virtual void SetTVGCApplay(bool value) = 0;
  virtual TListOfDots& ListofBaseDots() = 0;
};

class IOnlineStagesFactory {
public:
  virtual ~IOnlineStagesFactory() = default;
  // Creates the stages of a channel whose store is being created (its settings
  // exist, its window slot is taken); the wavelet stage is initialised. The
  // store owns the result and frees it before its settings.
  virtual std::unique_ptr<IOnlineStages> CreateOnlineStages(T2Dview& store) = 0;
};

// Registers the factory (nullptr: none). Not owned. User-interface thread.
void SetOnlineStagesFactory(IOnlineStagesFactory* factory);
IOnlineStagesFactory* OnlineStagesFactory();
