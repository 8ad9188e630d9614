#pragma once
// TSettingData: the acquisition parameters of one radar channel, which are also the
// header of its profile record. Unit model and time window, samples per trace,
// stacking, wave speed, distance source and trace step, offsets of the channel on the
// device, inclinometer calibration and per-trace inclinometer records, GPS sentences
// and the depth-dependent stacking table. It converts between samples, time and depth
// and between traces and distance.
//
// Ownership: a channel store creates exactly one TSettingData with itself as owner
// and frees it with itself; the settings reach the store as
// dynamic_cast<IChannelStore*>(Owner()). The topography marks and the three marker
// lists are components of the store too (their changes mark the store for saving)
// but the settings create and free them; whichever of store and settings goes
// first, each list is freed once. The settings never outlive their store. The
// picture and everything else they own is held by value.
//
// The channel record (WriteSetValue, ReadSetValue, ReadRawValue) is in
// setting_data_record_*.cpp; its layout is in record_format.h.
//
// Two programs: with a main window registered (SetAcquisitionShell) the setters
// re-send the parameters to the channel's radar and refresh the radargram window's
// property list. Without one (the planning program) there is no radar and no window:
// the distance defaults stay zero, nothing is re-sent or refreshed, and the unit
// model, serial number and advanced stacking are stored without the traces check.
//
// Conventions: time in ns, SpeedLight in mm/ns (= m/us), trace steps in mm, depth and
// distance in m, channel and device offsets in 0.01 mm, Angle 90 degrees = 9000000.
// Every conversion is done in extended precision; "round" is half-to-even. Values
// read from damaged files (a time window, trace length, wave speed or trace step of
// 0, or not finite) give defined results: a conversion that would divide by zero
// returns 0 and integer results saturate.
//
// User-interface thread only.

#include "platform/ui/component.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/inclinometer_table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class TObjectMarkersData;
class TPolyLineMarkersArray;
class TSettingRecordReader;
class TStream;
class TSurfeMarkersData;
class TTopoData;

// One run of the depth-dependent stacking table: from sample Start on, each sample
// of a trace is the sum of Count soundings.
struct TSteckingRun {
  uint16_t Start = 1000;
  uint16_t Count = 1;
  bool operator==(const TSteckingRun&) const = default;
};

inline constexpr int SteckingRunCount = 1000;
inline constexpr uint8_t SettingDataVersion = 42;  // record format written by this code
inline const QString DefaultProfileFileName = QStringLiteral("DodavARA.dezo");

class TSettingData : public TComponent {
public:
  // Takes the main window's current radar as the channel's radar, sets the defaults
  // (initial) and, with a main window, switches advanced stacking on for radars with
  // firmware 7 or newer.
  explicit TSettingData(TComponent* AOwner);
  ~TSettingData() override;

  // Resets the acquisition parameters to the defaults of a new recording.
  void initial();
  // SpanWidth := the time window of the radar's unit at SpanIndex (row 0 without radar).
  void InitSettingsByRadar();
  // Rebuilds SteckingArray, SteckingLength, AverageStecking and PRF from
  // StackingCurve, StackingVolume, OverStep, LongTrace and TypeGPR.
  void PrepareStacking();
  // Moves the inclinometer records loaded at MinNumIncl .. MaxNumIncl - 1 to start at
  // MinTrace and makes the range MinTrace .. MaxTrace (run after every header read).
  void CompactInclinometer();

  // ---- Record identity -------------------------------------------------------
  uint8_t GetVersion() const { return FVersion; }
  void SetVersion(uint8_t value) { FVersion = value; }
  const QString& GetFileName() const { return FFileName; }
  void SetFileName(const QString& value);
  const QString& GetComments() const { return FComments; }
  void SetComments(const QString& value);
  bool GetNeedForSave() const { return FNeedForSave; }
  void SetNeedForSave(bool value) { FNeedForSave = value; }
  bool GetWasOpen() const { return FWasOpen; }
  void SetWasOpen(bool value) { FWasOpen = value; }
  uint16_t GetSerNum() const { return FSerNum; }
  void SetSerNum(uint16_t value);

  // ---- Unit model, time window and sampling ---------------------------------
  TTypeGPR GetTypeGPR() const { return FTypeGPR; }
  void SetTypeGPR(TTypeGPR value);
  QString GetRadarTypeStr() const;
  uint8_t GetSpanIndex() const { return FSpanIndex; }
  // 0..3 select the unit's time window; above 3 is 3, except 4, which keeps the
  // index and only picks the window again (also when nothing changed).
  void SetSpanIndex(uint8_t value);
  double GetSpanWidth() const { return FSpanWidth; }
  uint8_t GetOverStep() const { return FOverStep; }
  void SetOverStep(uint8_t value);  // 1..5; LongTrace := round(1000 / OverStep)
  int32_t GetLongTrace() const { return FLongTrace; }
  uint8_t GetStacking() const { return FStacking; }
  void SetStacking(uint8_t value);  // 1..64
  int32_t GetNullShift() const { return FNullShift; }
  void SetNullShift(int32_t value);
  int32_t GetSpeedLight() const { return FSpeedLight; }
  void SetSpeedLight(int32_t value);  // 10..299 mm/ns
  // Values of a record, restored after the field setters ran; no side effects.
  void RestoreSpanWidth(double value) { FSpanWidth = value; }
  void RestoreLongTrace(int32_t value) { FLongTrace = value; }
  void RestoreSpeedLight(int32_t value) { FSpeedLight = value; }

  // ---- Depth-dependent stacking ----------------------------------------------
  int32_t GetStackingCurve() const { return FStackingCurve; }
  void SetStackingCurve(int32_t value);
  int32_t GetStackingVolume() const { return FStackingVolume; }
  void SetStackingVolume(int32_t value);
  bool GetAdvanceStacking() const { return FAdvanceStacking; }
  void SetAdvanceStacking(bool value);
  long double GetAverageStecking() const { return FAverageStecking; }
  long double GetPRF() const { return FPRF; }
  uint16_t GetSteckingLength() const { return FSteckingLength; }
  // Trace rate estimate for a mean stack count:
  // 1 / (stack x LongTrace x 1.18215327807e-5 + LongTrace x 2.49583623828e-5);
  // 0 when the denominator is 0 (LongTrace 0) or the result is not finite.
  static long double TraceRate(long double stackCount, int32_t longTrace);

  // ---- Distance ----------------------------------------------------------------
  TRunMode GetRunMode() const { return FRunMode; }
  void SetRunMode(TRunMode value);
  TTopoType GetTopoType() const { return FTopoType; }
  void SetTopoType(TTopoType value) { FTopoType = value; }
  double GetWheelStep() const { return FWheelStep; }
  void SetWheelStep(double value);  // mm, negative (or NaN) becomes 0
  uint16_t GetWheelMult() const { return FWheelMult; }
  void SetWheelMult(uint16_t value);
  // Trace step in mm: WheelMult x WheelStep, as a single-precision value.
  float GetMeasureStep() const;
  // round(WheelMult x WheelStep).
  int32_t GetStepDistance() const;
  bool GetWasFlip() const { return FWasFlip; }
  void SetWasFlip(bool value);
  bool GetWasFlipVert() const { return FWasFlipVert; }
  void SetWasFlipVert(bool value);
  TDirection GetDirection() const { return FDirection; }
  void SetDirection(TDirection value);
  int32_t GetMinTrace() const { return FMinTrace; }
  void SetMinTrace(int32_t value) { FMinTrace = value; }
  int32_t GetMaxTrace() const { return FMaxTrace; }
  void SetMaxTrace(int32_t value) { FMaxTrace = value; }

  // ---- Position and orientation on the device --------------------------------
  int32_t GetStartXShift() const { return FStartXShift; }
  void SetStartXShift(int32_t value);
  int32_t GetStartYShift() const { return FStartYShift; }
  void SetStartYShift(int32_t value);
  int32_t GetStartZShift() const { return FStartZShift; }
  void SetStartZShift(int32_t value);
  // The owning radargram window's device offset + the channel's shift; 0 without a
  // window or a main window.
  int32_t GetStartDeviceXShift() const;
  int32_t GetStartDeviceYShift() const;
  int32_t GetStartDeviceZShift() const;
  int32_t GetAzimuth() const { return FAzimuth; }
  void SetAzimuth(int32_t value);
  int32_t GetAngle() const { return FAngle; }
  void SetAngle(int32_t value);

  // ---- Radar -----------------------------------------------------------------
  ISettingsRadar* GetSettingRadar() const { return Radar; }
  void SetSettingRadar(ISettingsRadar* value) { Radar = value; }

  // ---- Depth and conversions -------------------------------------------------
  // SpeedLight x SpanWidth / 2000: the depth of the whole time window in m.
  long double GetDepth() const;
  // Depth as fixed text, precision 5, one decimal.
  QString GetSpanDepth() const;
  // Depth in m at the end of the time window, counted from time zero:
  // (SpanWidth - SampleToTime(NullShift)) x SpeedLight / 2000, with or without a
  // main window. Nothing in the system reads it.
  long double GetDepthInM() const;

  long double SampleToTime(int32_t sample) const;   // sample x SpanWidth / LongTrace
  int32_t TimeToSample(long double ns) const;        // round(ns x LongTrace / SpanWidth)
  long double SampleToDepth(int32_t sample) const;  // (sample - NullShift) x dt x SpeedLight / 2000
  // The same at another wave speed (mm/ns), the channel's own left as it is.
  long double SampleToDepthAtSpeed(int32_t sample, int32_t speed) const;
  int32_t DepthToSample(long double m) const;
  long double TimeToDepth(long double ns) const;    // (ns - SampleToTime(NullShift)) x SpeedLight / 2000
  // Distance of a trace from MinTrace in m; DistToTrace does not add MinTrace back.
  long double TraceToDist(int64_t trace) const;
  int32_t DistToTrace(long double m) const;
  // The same with the channel's device X offset added (positions along the device).
  long double TraceToDistWithShift(int64_t trace) const;
  int32_t DistToTraceWithShift(long double m) const;

  // ---- Inclinometer ------------------------------------------------------------
  int64_t GetNumIncl() const { return MaxNumIncl - MinNumIncl; }

  // ---- Channel record -----------------------------------------------------------
  // Writes the header of the current format at streamBeginPos and leaves the stream
  // behind it; both offset fields (record end and header end) hold that position
  // until the channel store appends its raw block and patches the record end.
  // defaultMode: a settings file (no traces, NMEA, picture or markers). saveAsDezo:
  // the record is not part of a multi-channel container, so the window's device
  // offsets are stored. A stream that cannot be written throws EWriteError.
  void WriteSetValue(TStream& stream, bool defaultMode, bool saveAsDezo, int64_t streamBeginPos);
  // Reads the header whose magic is at the stream's position, either format. The
  // file name decides the settings-file handling ("stt", "bstt", "dstt") and where
  // the device offsets go (".frn", ".trc"). recordEnd receives the record's end
  // (it keeps what the caller put there when the magic is not recognised). On
  // return the stream is at header end + addShift. False after a failure, which is
  // reported to the user unless the record is of a version this code never wrote.
  // A true result for a data record guarantees a trace range inside the trace
  // tables whose traces fit the raw block between header end and record end. The
  // marker lists read their records in the version being read, which they find
  // through the store's Settings(): the store must answer with these settings.
  bool ReadSetValue(const QString& fileName, TStream& stream, int64_t addShift, int64_t& recordEnd,
                    int64_t streamBeginPos);
  // The raw block of the record at streamBeginPos (either format): block receives
  // record end - header end bytes, size their count, and the stream is left at the
  // record end. False, with nothing read, when there is no record or its end lies
  // beyond the stream.
  bool ReadRawValue(const QString& fileName, TStream& stream, int64_t& size, QByteArray& block, int64_t& recordEnd,
                    int64_t streamBeginPos);

  // ---- Public fields -------------------------------------------------------------
  // The channel's radar; with a main window, its current radar at create. Not owned.
  ISettingsRadar* Radar = nullptr;
  bool NewFile = true;      // from initial until a data record is written or read
  bool WasStarted = false;  // a recording into this channel has run
  bool Topocorrection = false;
  long double NrmCoef = 0.015L;  // display normalisation, 127 / largest shown |sample|
  // The name of the channel's palette: written into the header of the tool-chain
  // files and taken from it when a chain is read.
  QString PalName;

  // Per-trace inclinometer records; MinNumIncl .. MaxNumIncl - 1 is the range that
  // holds records.
  TInclinometerTable IndexIncl;
  int64_t MinNumIncl = 0;
  int64_t MaxNumIncl = 0;
  // Inclinometer calibration per axis.
  double GXmin = 0, GXmax = 0, GYmin = 0, GYmax = 0, GZmin = 0, GZmax = 0;
  double ZeroAngle = 0;
  double CalibrationQuality = 0;

  // GPS sentences, one "trace=sentence" line per trace that has one.
  QStringList NMEIStrings;

  // The first SteckingLength runs are valid; every later run is (1000, 1).
  std::array<TSteckingRun, SteckingRunCount> SteckingArray{};

  // Points of the zero-level line (traces, samples) while the channel has no window.
  std::vector<double> ZeroLevelX;
  std::vector<double> ZeroLevelY;

  // Topography marks of old records; the store turns them into surface markers.
  TTopoData* TopoArray = nullptr;
  // The channel's 8-bit picture, kept with the record while the channel has no
  // window; 0 x 2 pixels when new.
  std::unique_ptr<TBitmap> Bmp;
  TSurfeMarkersData* SurfaceMarkersArray = nullptr;
  TObjectMarkersData* ObjectMarkersArray = nullptr;
  TPolyLineMarkersArray* PolyLineMarkersArray = nullptr;

  // ---- Settings files (setting_data_files.cpp) ------------------------------------
  // Every file is written beside the old one and then put in its place, so a
  // failed write keeps what was there; a failure is reported to the user.
  //
  // Writes one settings header (default mode, with the window's device offsets) at
  // the start of the file. NewFile and the unsaved-changes flag keep their values:
  // the defaults file is no save of the channel. False after a failure.
  bool SaveSTT(const QString& fileName);
  // Saves the default settings of the channel's radargram window, only while the
  // window's isSaveDefault flag is set and the channel holds neither an opened
  // file nor the settings file "stt" itself: the program folder's "stt" (SaveSTT),
  // then the window's settings container there, "dstt" in simple mode, else
  // "bstt". Nothing without a window and in the planning program.
  void SaveDefault();
  // Reads the settings header at the start of the file, opened read-only (how a
  // ".stt" preset is opened). The names "bstt" and "dstt" are multi-channel
  // containers: they go to the window's container reader, and nowhere without a
  // window. False when the file cannot be opened (reported), its header could not
  // be read, or nothing took the container.
  bool LoadFromFile(const QString& fileName);
  // Writes the full header (not default mode) at the start of the file, without
  // the raw block; the window's device offsets are stored unless the channel's
  // previous file was a ".frn" container. FileName becomes fileName and the
  // unsaved-changes flag is cleared. After a failure (false) both stay as they were.
  bool WriteToFile(const QString& fileName);

  // ---- SEG-Y import (segy_import.cpp) -------------------------------------------------
  // Imports a SEG-Y file into the channel store that owns the settings (a T2Dview),
  // showing progress in channel 0's panel of its window, then asks for the trace
  // step. A file that cannot be opened or read is reported. True when traces were
  // imported (also when the file ended early: the traces read are kept). Nothing,
  // false, in the planning program or without a channel store.
  bool ImportFromSEGA(const QString& fileName);
  // A sampling step above the setter's 1..5, as an import of fewer than 167
  // samples per trace needs so that LongTrace x OverStep stays about 1000 and the
  // time axis (SpanWidth x OverStep / 1000 per sample) right. No side effects.
  void RestoreOverStep(uint8_t value) { FOverStep = value; }

  // What writing a record changes in the settings, to put back after a failed write.
  struct TRecordWriteState {
    QString FileName;
    bool NeedForSave = false;
    bool NewFile = false;
    bool WasOpen = false;
    uint8_t Version = 0;
  };
  TRecordWriteState RecordWriteState() const;
  void RestoreRecordWriteState(const TRecordWriteState& state);

private:
  friend class TSettingRecordReader;
  // The radargram window the record is written from and read into: the store's
  // window in the acquisition program, none in the planning program.
  IChannelWindow* RecordWindow() const;
  // Frees a list the settings created unless the store already freed it.
  void FreeStoreComponent(TComponent* component);

  IChannelStore* ChannelStore() const;
  // The radargram window owning the channel store, or nullptr.
  IChannelWindow* OwnerWindow() const;
  // True when the acquisition program must refuse a change of the unit model,
  // serial number or advanced stacking: the store holds traces.
  bool RefusedWhileTracesHeld() const;
  // Marks the radar's parameters as not loaded, which restarts a running acquisition.
  void Resend();
  // The window refills its property list for this channel when it is the visible
  // window's active channel.
  void RefreshViewProperties();
  // The active window refills its property list for channel 0 when this channel's
  // window is visible.
  void ListRefresh();
  // Setters of the channel's position and orientation share their side effects.
  void SetPlacement(int32_t& field, int32_t value);

  uint8_t FVersion = SettingDataVersion;
  QString FFileName;
  QString FComments;
  bool FNeedForSave = false;
  bool FWasOpen = false;
  uint16_t FSerNum = 0;

  TTypeGPR FTypeGPR = unknown;
  uint8_t FSpanIndex = 0;
  double FSpanWidth = 0;
  uint8_t FOverStep = 0;
  int32_t FLongTrace = 0;
  uint8_t FStacking = 0;
  int32_t FNullShift = 0;
  int32_t FSpeedLight = 0;
  // First and last sample of the oldest record format.
  int32_t FStart = 0;
  int32_t FStop = 1000;

  int32_t FStackingCurve = 0;
  int32_t FStackingVolume = 0;
  bool FAdvanceStacking = false;
  long double FAverageStecking = 0;
  long double FPRF = 0;
  uint16_t FSteckingLength = 0;

  TRunMode FRunMode = rmStep;
  TTopoType FTopoType = ttNil;
  double FWheelStep = 0;
  uint16_t FWheelMult = 0;
  bool FWasFlip = false;
  bool FWasFlipVert = false;
  TDirection FDirection = forth;
  int32_t FMinTrace = 0;
  int32_t FMaxTrace = 0;

  int32_t FStartXShift = 0;
  int32_t FStartYShift = 0;
  int32_t FStartZShift = 0;
  int32_t FAzimuth = 0;
  int32_t FAngle = 0;

  // The store the lists were created in (their owner), nullptr without one.
  TComponent* FListOwner = nullptr;
};
