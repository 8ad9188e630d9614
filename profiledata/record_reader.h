#pragma once
// Reading one channel record header into TSettingData (internal to
// setting_data_record_read.cpp and setting_data_record_dezo.cpp).
//
// Every size the record states (record end, header end, counts, string lengths,
// the picture, the trace range) is checked against the stream before it is used;
// a record that fails a check is damaged and takes the same path as a stream that
// ends early: EReadError, caught in Run and reported as "File is destroyed or
// format is not correct". Fields are read through a view that ends at the header
// end, so no field is ever taken from the raw block.

#include "profiledata/palette_stream.h"
#include "profiledata/setting_data.h"

#include <QString>

#include <cstdint>
#include <vector>

class TSettingRecordReader {
public:
  TSettingRecordReader(TSettingData& settings, const QString& fileName, TStream& stream, int64_t addShift,
                       int64_t& recordEnd, int64_t streamBeginPos);
  bool Run();

private:
  bool ReadRecord();
  // "WGPR" 32..42.
  bool ReadWgpr();
  void ReadWgprFields(TStream& in);
  void ReadWgprDisplay(TStream& in);
  void ReadWgprTail(TStream& in);
  bool FinishWgprSettingsFile();
  // "DEZO" 2..18 (setting_data_record_dezo.cpp).
  bool ReadDezo();
  void ReadDezo16Fields(TStream& in);
  void ReadDezo2Fields(TStream& in);
  bool FinishDezoSettingsFile();

  // Shared steps.
  bool FinishDataFile();
  void FinishSettingsFile();
  // Fields through the setters with side effects; the setters re-pick the time
  // window and trace length, so the record's own values are put back after them.
  void ApplySpanAndSampling(uint8_t spanIndex, double spanWidth, int32_t longTrace, uint8_t overStep);
  // A trace length no record can have: negative, or beyond what the stacking
  // table can address.
  static void CheckLongTrace(int64_t longTrace);
  // The device offsets to the window or to the channel's Start shifts.
  void PlaceDeviceOffsets(int32_t x, int32_t y, int32_t z);
  bool OffsetsGoToWindow() const;
  // Reads the count n and the 8-byte records (kept for data files, skipped in
  // settings files).
  void ReadInclinometer(TStream& in);
  void ReadPalette(TStream& in);
  void ReadPicture(TStream& in);
  void ApplyPaletteToPicture();
  void ReadZeroLevel(TStream& in);
  // The trace range of a record that stores none: whole traces of
  // bytesPerSample-byte samples in the raw block.
  void TraceRangeFromRawBlock(int bytesPerSample);
  // A data record's trace range must lie in the trace tables and its traces must
  // fit the raw block.
  void CheckTraceRange() const;
  int64_t RawBlockBytes() const { return recordEnd_ - headerEnd_; }
  // Moves the loaded inclinometer records to the channel's trace range.
  void PlaceInclinometer();
  void ReportDestroyed() const;

  TSettingData& s_;
  const QString fileName_;
  TStream& stream_;
  const int64_t addShift_;
  int64_t& recordEnd_;
  const int64_t streamBeginPos_;

  const bool settingsFile_;
  IChannelWindow* const window_;
  const int channel_;

  uint8_t version_ = 0;
  // Absolute; 0 until read, so a failure before it leaves the stream at addShift.
  int64_t headerEnd_ = 0;
  bool inclLoaded_ = false;
  std::vector<TInclRecord> incl_;
  // The palette of a channel without window, applied to its picture.
  std::vector<TPalettePoint> palette_;
};
