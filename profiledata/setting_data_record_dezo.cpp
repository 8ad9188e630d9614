// The old channel record format, magic "DEZO" (little-endian):
//
// Versions 16..18: "DEZO", u32 record end (the file size), u32 header end, byte
// version, byte TypeGPR, short 8-bit comment, i32 SpeedLight, byte SpanIndex, f64
// SpanWidth, i32 LongTrace, byte OverStep, byte Stacking, byte WasFlip, byte
// RunMode, f64 WheelStep, u16 WheelMult, byte TopoType, i32 NullShift, i32 x3
// device offsets; from 17: f64 x6 inclinometer calibration, then (data files
// only) int64 n and n x 8-byte inclinometer records; from 18: f64 ZeroAngle, f64
// CalibrationQuality. Raw block: i32 samples from header end to record end.
//
// Versions 2..15: "DEZO", u32 record end, u32 header end (from the record's
// start), byte version, short 8-bit comment, byte SpanIndex, i32 Start, i32 Stop,
// i32 LongTrace, i32 OverStep, i32 Stacking, i32 SpeedLight, i32 w + w x u16 time
// windows (ns), i32 byte length of a skipped block, i32 count of topography marks
// (version 2: i16 value; 3: i16 value, short 8-bit title; from 4: i16 value, i16
// ShiftHor, i16 ShiftVer, short 8-bit title); from 5: byte unit model - 1; 6: i32
// trace step in cm; from 7: i32 trace step in mm; from 8: i32 NullShift, byte
// WasFlip; from 9: i32 X and Y device offsets, and Z when the channel has a window
// and the file is neither ".frn" nor ".trc". Raw block: i16 samples.

#include "platform/rtl/ansi.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/record_format.h"
#include "profiledata/record_messages.h"
#include "profiledata/record_reader.h"
#include "profiledata/stream_strings.h"
#include "profiledata/topo_data.h"

#include <algorithm>
#include <limits>

namespace cr = channel_record;

namespace {

// A counted block must fit what the header still holds.
void CheckCount(TStream& in, int64_t count, int64_t bytesEach) {
  if (count < 0 || (bytesEach > 0 && count > (in.Size() - in.Position()) / bytesEach)) throw EReadError();
}

}  // namespace

bool TSettingRecordReader::ReadDezo() {
  const uint32_t recordEnd = stream_.ReadValue<uint32_t>();
  recordEnd_ = recordEnd;
  if (recordEnd != stream_.Size()) {
    MessageDlg(LoadResString(SRecordFileSizeNotCorrect), mtError, TMsgDlgButtons{mbCancel}, 0);
    return false;
  }
  s_.FWasOpen = true;
  const uint32_t headerEnd = stream_.ReadValue<uint32_t>();
  const uint8_t version = stream_.ReadValue<uint8_t>();
  // Versions before 16 count the header end from the record's start.
  headerEnd_ = version < 16 ? streamBeginPos_ + headerEnd : int64_t{headerEnd};
  if (version < cr::OldestDezoVersion || headerEnd_ > recordEnd_ || headerEnd_ < stream_.Position())
    throw EReadError();
  version_ = std::min(version, cr::NewestDezoVersion);
  s_.FVersion = version_;
  cr::TRecordFieldStream in(stream_, headerEnd_);
  if (version_ >= 16) {
    ReadDezo16Fields(in);
    // These records store no trace range: the raw block holds whole traces from 0.
    TraceRangeFromRawBlock(4);
    return settingsFile_ ? FinishDezoSettingsFile() : FinishDataFile();
  }
  ReadDezo2Fields(in);
  stream_.SetPosition(headerEnd_);
  s_.FWheelMult = 1;
  if (s_.GetMeasureStep() > 0) {
    s_.FTopoType = ttWheel;
    s_.FRunMode = rmWheel;
    s_.FWheelMult = 1;
  } else {
    s_.FTopoType = ttNil;
  }
  TraceRangeFromRawBlock(2);
  return FinishDataFile();
}

void TSettingRecordReader::ReadDezo16Fields(TStream& in) {
  s_.FTypeGPR = static_cast<TTypeGPR>(in.ReadValue<uint8_t>());
  s_.FComments = AnsiToString(ReadShortAnsiString(in));
  s_.FSpeedLight = in.ReadValue<int32_t>();
  const auto spanIndex = in.ReadValue<uint8_t>();
  const auto spanWidth = in.ReadValue<double>();
  const auto longTrace = in.ReadValue<int32_t>();
  const auto overStep = in.ReadValue<uint8_t>();
  ApplySpanAndSampling(spanIndex, spanWidth, longTrace, overStep);
  s_.FStacking = in.ReadValue<uint8_t>();
  s_.SetWasFlip(in.ReadValue<uint8_t>() != 0);
  s_.FRunMode = static_cast<TRunMode>(in.ReadValue<uint8_t>());
  s_.FWheelStep = in.ReadValue<double>();
  s_.SetWheelMult(in.ReadValue<uint16_t>());
  s_.FTopoType = static_cast<TTopoType>(in.ReadValue<uint8_t>());
  s_.FNullShift = in.ReadValue<int32_t>();
  const auto x = in.ReadValue<int32_t>();
  const auto y = in.ReadValue<int32_t>();
  const auto z = in.ReadValue<int32_t>();
  PlaceDeviceOffsets(x, y, z);
  if (version_ >= 17) {
    for (double* g : {&s_.GXmin, &s_.GXmax, &s_.GYmin, &s_.GYmax, &s_.GZmin, &s_.GZmax}) *g = in.ReadValue<double>();
    if (!settingsFile_) ReadInclinometer(in);
  }
  if (version_ >= 18) {
    s_.ZeroAngle = in.ReadValue<double>();
    s_.CalibrationQuality = in.ReadValue<double>();
  }
}

void TSettingRecordReader::ReadDezo2Fields(TStream& in) {
  s_.FComments = AnsiToString(ReadShortAnsiString(in));
  const auto spanIndex = in.ReadValue<uint8_t>();
  // The index picks one of the unit's four windows elsewhere; the record's own
  // window table may be longer.
  s_.FSpanIndex = std::min<uint8_t>(spanIndex, 3);
  s_.FStart = in.ReadValue<int32_t>();
  s_.FStop = in.ReadValue<int32_t>();
  s_.FLongTrace = in.ReadValue<int32_t>();
  // OverStep and Stacking were stored as 32-bit integers and read over the one-byte
  // fields, so the bytes behind each (Stacking, WasFlip, WasFlipVert) take its upper
  // bytes; the last byte of Stacking lands behind WasFlipVert and is not kept.
  const auto overStep = static_cast<uint32_t>(in.ReadValue<int32_t>());
  s_.FOverStep = static_cast<uint8_t>(overStep);
  s_.FStacking = static_cast<uint8_t>(overStep >> 8);
  s_.FWasFlip = static_cast<uint8_t>(overStep >> 16) != 0;
  s_.FWasFlipVert = static_cast<uint8_t>(overStep >> 24) != 0;
  const auto stacking = static_cast<uint32_t>(in.ReadValue<int32_t>());
  s_.FStacking = static_cast<uint8_t>(stacking);
  s_.FWasFlip = static_cast<uint8_t>(stacking >> 8) != 0;
  s_.FWasFlipVert = static_cast<uint8_t>(stacking >> 16) != 0;
  s_.FSpeedLight = in.ReadValue<int32_t>();

  const int32_t windows = in.ReadValue<int32_t>();
  CheckCount(in, windows, 2);
  std::vector<uint16_t> widths(static_cast<size_t>(windows));
  in.ReadBuffer(widths.data(), int64_t{windows} * 2);
  if (spanIndex >= widths.size()) throw EReadError();
  s_.FSpanWidth = widths[spanIndex];

  const int32_t skipped = in.ReadValue<int32_t>();
  CheckCount(in, skipped, 1);
  in.Seek(skipped, soCurrent);

  const int32_t marks = in.ReadValue<int32_t>();
  // Shortest marks: i16 value; and a title length byte from version 3; and two
  // shifts from version 4.
  CheckCount(in, marks, version_ == 2 ? 2 : version_ == 3 ? 3 : 7);
  s_.TopoArray->Clear();
  for (int32_t i = 0; i < marks; ++i) {
    const int16_t value = in.ReadValue<int16_t>();
    int16_t shiftHor = 0;
    int16_t shiftVer = 0;
    QString title;
    if (version_ >= 4) {
      shiftHor = in.ReadValue<int16_t>();
      shiftVer = in.ReadValue<int16_t>();
    }
    if (version_ >= 3) title = AnsiToString(ReadShortAnsiString(in));
    s_.TopoArray->Add(value, shiftHor, title, shiftVer);
  }

  if (version_ >= 5) s_.FTypeGPR = static_cast<TTypeGPR>(static_cast<uint8_t>(in.ReadValue<uint8_t>() + 1));
  if (version_ == 6) s_.FWheelStep = in.ReadValue<int32_t>() * 10.0;
  if (version_ >= 7) s_.FWheelStep = in.ReadValue<int32_t>();
  if (version_ >= 8) {
    s_.FNullShift = in.ReadValue<int32_t>();
    s_.FWasFlip = in.ReadValue<uint8_t>() != 0;
  }
  if (version_ >= 9) {
    const auto x = in.ReadValue<int32_t>();
    const auto y = in.ReadValue<int32_t>();
    const auto z = OffsetsGoToWindow() ? in.ReadValue<int32_t>() : 0;
    PlaceDeviceOffsets(x, y, z);
  }
  if (s_.FLongTrace < 1 && s_.FOverStep != 0) {
    const long double samples = (static_cast<long double>(s_.FStop) - s_.FStart) / s_.FOverStep;
    s_.FLongTrace = static_cast<int32_t>(
        std::clamp<int64_t>(Round(samples), std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  }
  CheckLongTrace(s_.FLongTrace);
}

bool TSettingRecordReader::FinishDezoSettingsFile() {
  FinishSettingsFile();
  s_.FSerNum = 0;
  s_.FMinTrace = 0;
  s_.FMaxTrace = 0;
  s_.SetWheelStep(TopoWheelStep(s_.FTopoType));
  s_.PrepareStacking();
  return true;
}
