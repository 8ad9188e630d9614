#pragma once
// T2Dview: one radargram channel. Its scan settings (TSettingData), its traces as
// 32-bit sample sums (RawData) with a second block for the processed samples the
// window shows (dezoData), the trace range, the per-trace buffers a recording fills
// (IndexTraces), the channel's online processing stages, and the reading and
// writing of profile files (one channel record: header, then the raw block).
//
// Ownership: the store owns its settings (created with it, freed with it), both
// sample blocks, the per-trace buffers, the topographic-correction buffers and the
// online stages (freed first). Its owner is the radargram window, the project
// profile of the planning program, or any other component.
//
// Two programs: with a main window registered (SetAcquisitionShell) the store
// takes a slot of its radargram window, names its file after the window's prefix
// and counter, creates its online stages through the registered factory and keeps
// their parameters in the main window's settings file. Without one (the planning
// program) it has none of these: Clear only frees the data and replaces the
// settings, LoadFromFile keeps only the data size and the trace range, and
// WriteToFile rewrites the file's header around the raw block the file holds.
//
// Threads: everything runs on the user-interface thread except the recording: the
// radar's reader thread stores traces (AppendTrace, PrependTrace) under the radar's
// paint lock while the user-interface thread reads the trace range and the
// buffers; the store takes no lock itself. The range, the position, SizeDat and
// FirstTrace are atomics for that hand-over; a stored buffer is complete before
// the range shows it.

#include "platform/ui/component.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/inclinometer_table.h"
#include "profiledata/sample_block.h"
#include "profiledata/trace_table.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class TStream;

class T2Dview : public TComponent, public IChannelStore {
public:
  // Creates the settings, takes the first free slot of the owning radargram
  // window (slot 0, or no free slot, makes the channel's distance source the
  // program's current one), names the file LastFolder + window prefix + counter +
  // ".dezo" and creates the online stages.
  explicit T2Dview(TComponent* AOwner);
  ~T2Dview() override;

  // ---- IChannelStore ---------------------------------------------------------------
  bool HoldsTraces() const override;
  IChannelWindow* Window() const override;
  // The store's own flag (markers and traces); GetNeedForSave adds the settings'.
  void SetNeedForSave(bool value) override { FNeedForSave = value; }
  TSettingData* Settings() const override { return FSettings; }
  int64_t MinNumTraces() const override { return FMinNumTraces.load(std::memory_order_acquire); }
  int64_t MaxNumTraces() const override { return FMaxNumTraces.load(std::memory_order_acquire); }
  // The settings' SaveDefault: the window's default settings files, while its
  // isSaveDefault flag is set.
  void SaveDefaultSettings() override;
  IProjectProfile* ProjectProfile() const override;

  // Unsaved changes of the markers, the traces or the settings.
  bool GetNeedForSave() const;

  // ---- Trace range ------------------------------------------------------------------
  void SetMinNumTraces(int64_t value) { FMinNumTraces.store(value, std::memory_order_release); }
  void SetMaxNumTraces(int64_t value) { FMaxNumTraces.store(value, std::memory_order_release); }
  // The device's current position along the profile while recording (a trace).
  int64_t PosTraces() const { return FPosTraces.load(std::memory_order_acquire); }
  void SetPosTraces(int64_t value) { FPosTraces.store(value, std::memory_order_release); }
  // Bytes of sample data: NumTraces x LongTrace x 4 for data recorded or read in
  // the current format. While recording it counts the stored traces; RawData
  // holds them only after PackTraces.
  int64_t SizeDat() const { return FSizeDat.load(std::memory_order_acquire); }
  void SetSizeDat(int64_t value) { FSizeDat.store(value, std::memory_order_release); }
  int64_t NumTraces() const { return MaxNumTraces() - MinNumTraces(); }
  // round(SizeDat / 4).
  int64_t NumSamples() const;
  // NumTraces x MeasureStep / 1000, metres (both names are used).
  long double ProfileLength() const;
  long double WidthinMeters() const { return ProfileLength(); }
  // The settings' depth of the whole time window, m.
  long double Depth() const;

  // ---- Samples ----------------------------------------------------------------------
  // Traces MinNumTraces .. MaxNumTraces - 1 in order, LongTrace raw sums each
  // (not divided by the stacking).
  TSampleBlock RawData;
  // The processed samples the window shows, same layout; allocated with RawData.
  TSampleBlock dezoData;
  // Antenna path of the topographic correction (mm per trace).
  std::vector<double> DYarray;
  std::vector<double> DXarray;
  bool WasOpen = false;     // loaded from a file
  bool WasStarted = false;  // a recording into the channel has run
  // The next stored trace is the first of a recording.
  std::atomic<bool> FirstTrace{false};

  // ---- Recording ----------------------------------------------------------------------
  // One buffer per stored trace, indexed by trace number.
  TTraceTable IndexTraces;
  // Stores a copy of one trace (count sums; missing samples up to LongTrace are
  // zero, extra ones dropped; samples nullptr: a zero trace) with its inclinometer
  // record as the new last trace (at MaxNumTraces) or, for a backward move, the
  // new first (at MinNumTraces - 1). SizeDat grows by one trace, the range and the
  // settings' inclinometer range follow. False, with nothing stored, at the end
  // of the trace numbers; std::bad_alloc when memory cannot be had.
  bool AppendTrace(const int32_t* samples, int32_t count, const TInclRecord& record);
  bool PrependTrace(const int32_t* samples, int32_t count, const TInclRecord& record);
  // Packs the buffers of a finished recording into RawData: SizeDat :=
  // NumTraces x LongTrace x 4, new RawData and dezoData of that size, trace j
  // from the buffer of trace MinNumTraces + j. A trace without a buffer, and the
  // part of a buffer shorter than LongTrace, are zeros. Nothing without traces.
  // std::bad_alloc when memory cannot be had (the store keeps its old blocks).
  void PackTraces();

  // ---- Files --------------------------------------------------------------------------
  // Frees the data, replaces the settings by new ones and empties the trace range.
  // In a window's slot 0 the new settings come from the program folder's "bstt"
  // (read by the window) or from the defaults; then the trace step of the
  // program's distance source and the window's next file name.
  void Clear();
  // Writes the channel as one record into the file. The record goes to a new file
  // beside it first, which then replaces the old one, so a failed write leaves
  // the old file as it was. A failure is reported to the user; false then, and
  // the channel's name and unsaved-changes flags stay as they were. In the
  // planning program the record takes the raw block of the existing file (false,
  // nothing written, when the file holds no record whose block fits the channel).
  bool WriteToFile(const QString& fileName);
  // Writes the record at streamBeginPos: the header (the settings' FileName
  // becomes fileName, their trace range the store's; a container's record when
  // the extension is ".frn"), then the raw block, then the record end is patched
  // and the stream left there. Throws EStreamError when the stream cannot be
  // written or the record end does not fit 32 bits.
  void WriteToFileToStream(const QString& fileName, TStream& stream, int64_t streamBeginPos);
  // Opens the file read-only and reads the record at its start. A file that
  // cannot be opened is reported; false then.
  bool LoadFromFile(const QString& fileName);
  // Reads the record at streamBeginPos (see channel_store_files.cpp); true when
  // a header was read. A stream without a known magic is taken as 16-bit samples.
  // Either way the unsaved-changes flags end false.
  bool LoadFromFileStream(const QString& fileName, TStream& stream, int64_t streamBeginPos);

  // ---- Online stages --------------------------------------------------------------------
  // nullptr when no factory was registered (the planning program).
  IOnlineStages* OnlineStages() const { return FOnlineStages.get(); }
  // The stages' parameters in the main window's settings file, one section per
  // stage and device serial number. Nothing (false) with serial number 0, without
  // stages or without a settings file. Writing flushes the file; false when that
  // fails.
  bool ReadOnlinePlaginsParameters();
  bool WriteOnlinePlaginsParameters();

  // ---- Tilt and conversions ---------------------------------------------------------------
  // Sine of the device's tilt at trace index i (0 .. 999999 from the first
  // inclinometer record) for the topographic correction, -1 .. 1; 0 without a
  // record or without a calibration range.
  long double GetSinAngleForTopoCor(int64_t i) const;

  long double TraceToDist(int64_t trace) const;
  int32_t DistToTrace(long double m) const;
  long double TraceToDistWithShift(int64_t trace) const;
  int32_t DistToTraceWithShift(long double m) const;
  long double SampleToDepth(int32_t sample) const;
  int32_t DepthToSample(long double m) const;

  // ---- Display scale (z = zoom in thousandths; the aspect code scales lengths:
  // a = 0.5 for PropInM21, 2 for PropInM12, else 1) -----------------------------------
  // Trace step over sample step in length:
  // MeasureStep / (SpeedLight x SpanWidth x OverStep / 2000000 x 1000); 1 when
  // MeasureStep is 0; 0 without settings or time window.
  long double GetProportionalCoefic() const;
  // The same at another wave speed (mm/ns), the channel's own left as it is.
  long double GetProportionalCoeficAtSpeed(int32_t speed) const;
  // Depth x (a x z) x i / LongTrace / 1000, metres.
  long double PxToLength(int32_t i, TProportional PropCf, int32_t z) const;
  // round(e x (a x 1000) x LongTrace / Depth / z); not the inverse of PxToLength
  // for PropInM21 and PropInM12, since both multiply by a.
  int32_t LengthToPx(TProportional PropCf, int32_t z, long double e) const;
  long double LengthToPxExt(TProportional PropCf, int32_t z, long double e) const;
  // i x z / 1000 x SpanWidth x OverStep / 1000, ns.
  long double PxToTime(int32_t i, int32_t z) const;

private:
  // Frees the inclinometer records, both blocks, the per-trace buffers and the
  // topographic-correction buffers.
  void FreeData();
  // Stores one trace at index i and moves the range end or start to include it.
  bool StoreTrace(int64_t i, const int32_t* samples, int32_t count, const TInclRecord& record, bool forward);
  // The window slot, -1 without window or slot.
  int Slot() const;

  // Reading (channel_store_files.cpp).
  // Old topography marks become surface markers.
  void TakeTopographyMarks();
  // The raw block of `bytes` bytes at the stream's position: i32 sums of the
  // header's range, or 16-bit samples from trace 0.
  void TakeRawBlock(TStream& stream, int64_t bytes);
  void TakeRawBlock16(TStream& stream, int64_t bytes);
  // The record with the given raw block behind the header.
  void WriteRecord(const QString& fileName, TStream& stream, int64_t streamBeginPos, const void* raw,
                   int64_t rawBytes);

  TSettingData* FSettings = nullptr;
  IChannelWindow* FWindow = nullptr;
  std::unique_ptr<IOnlineStages> FOnlineStages;
  bool FNeedForSave = false;
  std::atomic<int64_t> FMinNumTraces{0};
  std::atomic<int64_t> FMaxNumTraces{0};
  std::atomic<int64_t> FPosTraces{0};
  std::atomic<int64_t> FSizeDat{0};
};

// The main window's display quantile of the per-trace maxima (INI section
// "General", key "KoefArrMax", default 0.75), kept inside (0, 1]: above 1 is 1,
// and a value that is not positive (or no number) gives the default.
float ReadKoefArrMax(const TCustomIniFile& ini);
