// TSettingData::WriteSetValue: the header of the current channel record format
// (layout in record_format.h).

#include "platform/rtl/ansi.h"
#include "platform/rtl/extended.h"
#include "platform/ui/bitmap.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/palette_stream.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/record_format.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"

#include <algorithm>
#include <limits>

namespace cr = channel_record;

namespace {

void WriteBool(TStream& stream, bool value) { stream.WriteValue<uint8_t>(value ? 1 : 0); }

// One 8-byte record per trace first .. end - 1, zeros where a trace has none.
void WriteInclinometerRecords(TStream& stream, const TInclinometerTable& table, int64_t first, int64_t end) {
  constexpr int64_t kChunk = 4096;
  std::vector<TInclRecord> chunk;
  chunk.reserve(kChunk);
  for (int64_t trace = first; trace < end;) {
    chunk.clear();
    for (; trace < end && static_cast<int64_t>(chunk.size()) < kChunk; ++trace) {
      const TInclRecord* record = table.Entry(trace);
      chunk.push_back(record ? *record : TInclRecord{});
    }
    stream.WriteBuffer(chunk.data(), static_cast<int64_t>(chunk.size()) * cr::InclRecordBytes);
  }
}

void WriteZeroLevel(TStream& stream, const std::vector<TZeroLevelPoint>& points) {
  if (points.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw EWriteError();
  stream.WriteValue<int32_t>(static_cast<int32_t>(points.size()));
  for (const TZeroLevelPoint& p : points) {
    stream.WriteValue<double>(p.X);
    stream.WriteValue<double>(p.Y);
  }
}

}  // namespace

void TSettingData::WriteSetValue(TStream& stream, bool defaultMode, bool saveAsDezo, int64_t streamBeginPos) {
  // The inclinometer range written is exactly the trace range.
  MinNumIncl = FMinTrace;
  MaxNumIncl = FMaxTrace;
  IChannelWindow* window = RecordWindow();
  const int channel = window ? window->ChannelIndex(ChannelStore()) : -1;

  stream.SetPosition(streamBeginPos);
  stream.WriteBuffer(cr::MagicWgpr, 4);
  stream.WriteValue<uint32_t>(0);  // record end, patched below
  stream.WriteValue<uint32_t>(0);  // header end, patched below
  FVersion = SettingDataVersion;
  stream.WriteValue<uint8_t>(FVersion);
  stream.WriteValue<uint8_t>(FTypeGPR);
  WriteShortWideString(stream, defaultMode ? QStringLiteral(" ") : FComments);
  stream.WriteValue<int32_t>(FSpeedLight);
  stream.WriteValue<uint8_t>(FSpanIndex);
  stream.WriteValue<double>(FSpanWidth);
  stream.WriteValue<int32_t>(FLongTrace);
  stream.WriteValue<uint8_t>(FOverStep);
  stream.WriteValue<uint8_t>(FStacking);
  WriteBool(stream, FWasFlip);
  WriteBool(stream, FWasFlipVert);
  stream.WriteValue<uint8_t>(FRunMode);
  // Without a distance source the trace step means nothing; 10 mm keeps distance
  // axes usable, and the channel takes the same value so that what it shows
  // matches what was saved.
  if (FTopoType == ttNil || FTopoType == ttGPS) FWheelStep = 10.0;
  stream.WriteValue<double>(FWheelStep);
  stream.WriteValue<uint16_t>(FWheelMult);
  stream.WriteValue<uint8_t>(FTopoType);
  stream.WriteValue<int32_t>(FNullShift);
  if (saveAsDezo && window) {
    stream.WriteValue<int32_t>(window->DeviceX());
    stream.WriteValue<int32_t>(window->DeviceY());
    stream.WriteValue<int32_t>(window->DeviceZ());
  } else {
    stream.WriteValue<int32_t>(FStartXShift);
    stream.WriteValue<int32_t>(FStartYShift);
    stream.WriteValue<int32_t>(FStartZShift);
  }
  for (double g : {GXmin, GXmax, GYmin, GYmax, GZmin, GZmax}) stream.WriteValue<double>(g);
  stream.WriteValue<uint8_t>(FDirection);

  const int64_t inclCount = defaultMode ? 0 : std::max<int64_t>(0, int64_t{FMaxTrace} - FMinTrace);
  stream.WriteValue<int64_t>(inclCount);
  WriteInclinometerRecords(stream, IndexIncl, FMinTrace, FMinTrace + inclCount);
  stream.WriteValue<double>(ZeroAngle);
  stream.WriteValue<double>(CalibrationQuality);
  stream.WriteValue<uint32_t>(0);  // topography marks live on as surface markers

  WriteLongAnsiString(stream, defaultMode ? QByteArray(" ") : StringToAnsi(NMEIStrings.join(QStringLiteral("\r\n"))));

  TPalMaker* palette = window ? window->PaletteControl() : nullptr;
  if (palette) {
    palette->SaveToStream(stream);
  } else {
    WritePaletteStream(stream, DefaultPalettePoints());
  }

  if (window) {
    stream.WriteValue<uint8_t>(window->Proportional());
    WriteBool(stream, !defaultMode && Topocorrection);
    TBitmap* picture = defaultMode ? nullptr : window->DisplayBitmap(channel);
    const bool withPicture = picture && picture->Width() > 0;
    WriteBool(stream, withPicture);
    if (withPicture) picture->SaveToStream(stream);
    WriteZeroLevel(stream, defaultMode ? std::vector<TZeroLevelPoint>{} : window->ZeroLevelPoints(channel));
  } else {
    stream.WriteValue<uint8_t>(PropInSamples11);
    WriteBool(stream, !defaultMode && Topocorrection);
    WriteBool(stream, !defaultMode);
    if (!defaultMode) Bmp->SaveToStream(stream);
    // A window-less channel always stores two points; a list that never had them
    // (a channel that never had a window nor read a record) gives (0, 0).
    std::vector<TZeroLevelPoint> points(2);
    for (size_t i = 0; i < 2; ++i) {
      if (i < ZeroLevelX.size()) points[i].X = ZeroLevelX[i];
      if (i < ZeroLevelY.size()) points[i].Y = ZeroLevelY[i];
    }
    WriteZeroLevel(stream, points);
  }

  stream.WriteValue<int32_t>(FMinTrace);
  stream.WriteValue<int32_t>(FMaxTrace);
  stream.WriteValue<uint16_t>(FSerNum);
  stream.WriteValue<int32_t>(FAzimuth);
  stream.WriteValue<int32_t>(FAngle);
  WriteBool(stream, FAdvanceStacking);
  stream.WriteValue<int32_t>(FStackingCurve);
  stream.WriteValue<int32_t>(FStackingVolume);
  if (defaultMode) {
    TSurfeMarkersData::SaveNilToStream(stream);
    ObjectMarkersArray->SaveNilToStream(stream);
    TPolyLineMarkersArray::SaveNilToStream(stream);
  } else {
    SurfaceMarkersArray->SaveToStream(stream);
    ObjectMarkersArray->SaveToStream(stream);
    PolyLineMarkersArray->SaveToStream(stream);
  }
  WriteExtended(stream, NrmCoef);

  const int64_t headerEnd = stream.Position();
  if (headerEnd > std::numeric_limits<uint32_t>::max()) throw EWriteError();
  stream.SetPosition(streamBeginPos + 4);
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(headerEnd));
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(headerEnd));
  stream.SetPosition(headerEnd);

  FNeedForSave = false;
  NewFile = false;
  if (!defaultMode) FWasOpen = true;
}
