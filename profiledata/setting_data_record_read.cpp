// TSettingData::ReadSetValue and ReadRawValue, and the "WGPR" header versions
// 32..42 (layout in record_format.h; what each version adds):
//   32  up to ZeroAngle and CalibrationQuality, without WasFlipVert and Direction
//   33  the topography list behind CalibrationQuality
//   34  NMEA text (short 8-bit string), palette, Proportional, Topocorrection,
//       picture, zero-level points
//   35  the NMEA text becomes a long 8-bit string
//   36  MinTrace, MaxTrace, SerNum (before: the whole traces of the raw block)
//   37  WasFlipVert behind WasFlip, Direction behind GZmax
//   38  Azimuth, Angle
//   39  AdvanceStacking, StackingCurve, StackingVolume, surface and object
//       markers; the trace step of ttNil and ttGPS is read as 10 mm
//   40  the markers gain their group fields
//   41  the polyline list
//   42  NrmCoef
// The old "DEZO" format is in setting_data_record_dezo.cpp.

#include "platform/rtl/ansi.h"
#include "platform/rtl/extended.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/graphics.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/pal_maker_tables.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/record_format.h"
#include "profiledata/record_messages.h"
#include "profiledata/record_reader.h"
#include "profiledata/stream_strings.h"
#include "profiledata/topo_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

namespace cr = channel_record;

static_assert(sizeof(TZeroLevelPoint) == cr::ZeroLevelPointBytes, "zero-level points are read in place");

namespace {

bool IsSettingsFileName(const QString& fileName) {
  const QString name = ExtractFileName(fileName);
  return name == u"stt" || name == u"bstt" || name == u"dstt";
}

bool ReadBool(TStream& in) { return in.ReadValue<uint8_t>() != 0; }

// The NMEA text holds one "trace=sentence" line per trace; lines end with CR LF,
// CR or LF, and a line break at the very end opens no further line.
QStringList SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c != u'\r' && c != u'\n') continue;
    lines.push_back(text.mid(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.mid(start));
  return lines;
}

}  // namespace

// ---- TSettingData ------------------------------------------------------------------

bool TSettingData::ReadSetValue(const QString& fileName, TStream& stream, int64_t addShift, int64_t& recordEnd,
                                int64_t streamBeginPos) {
  return TSettingRecordReader(*this, fileName, stream, addShift, recordEnd, streamBeginPos).Run();
}

bool TSettingData::ReadRawValue(const QString& /*fileName*/, TStream& stream, int64_t& size, QByteArray& block,
                                int64_t& recordEnd, int64_t streamBeginPos) {
  stream.SetPosition(streamBeginPos);
  char magic[4] = {};
  uint32_t storedRecordEnd = 0;
  uint32_t storedHeaderEnd = 0;
  uint8_t version = 0;
  if (stream.Read(magic, 4) != 4 ||
      (std::memcmp(magic, cr::MagicWgpr, 4) != 0 && std::memcmp(magic, cr::MagicDezo, 4) != 0) ||
      stream.Read(&storedRecordEnd, 4) != 4 || stream.Read(&storedHeaderEnd, 4) != 4 ||
      stream.Read(&version, 1) != 1) {
    stream.SetPosition(streamBeginPos);
    return false;
  }
  int64_t headerEnd = storedHeaderEnd;
  // The oldest format counts its header end from the record's start.
  if (std::memcmp(magic, cr::MagicDezo, 4) == 0 && version < 16) headerEnd += streamBeginPos;
  if (storedRecordEnd > stream.Size() || headerEnd > storedRecordEnd ||
      headerEnd < streamBeginPos + cr::FixedPrefixBytes) {
    stream.SetPosition(streamBeginPos);
    return false;
  }
  QByteArray bytes;
  try {
    bytes.resize(storedRecordEnd - headerEnd);
    stream.SetPosition(headerEnd);
    stream.ReadBuffer(bytes.data(), bytes.size());
  } catch (const std::exception&) {
    stream.SetPosition(streamBeginPos);
    return false;
  }
  recordEnd = storedRecordEnd;
  size = bytes.size();
  block = std::move(bytes);
  return true;
}

// ---- TSettingRecordReader: entry, shared steps -------------------------------------

TSettingRecordReader::TSettingRecordReader(TSettingData& settings, const QString& fileName, TStream& stream,
                                           int64_t addShift, int64_t& recordEnd, int64_t streamBeginPos)
    : s_(settings),
      fileName_(fileName),
      stream_(stream),
      addShift_(addShift),
      recordEnd_(recordEnd),
      streamBeginPos_(streamBeginPos),
      settingsFile_(IsSettingsFileName(fileName)),
      window_(settings.RecordWindow()),
      channel_(window_ ? window_->ChannelIndex(settings.ChannelStore()) : -1) {}

bool TSettingRecordReader::Run() {
  bool ok = false;
  try {
    ok = ReadRecord();
  } catch (const std::exception&) {
    // A stream that ended early, a count or size the record cannot hold, a picture
    // that could not be stepped over, memory that could not be had.
    ReportDestroyed();
    ok = false;
  }
  PlaceInclinometer();
  stream_.SetPosition(headerEnd_ + addShift_);
  return ok;
}

bool TSettingRecordReader::ReadRecord() {
  char magic[4] = {};
  const bool whole = stream_.Read(magic, 4) == 4;
  if (whole && std::memcmp(magic, cr::MagicWgpr, 4) == 0) return ReadWgpr();
  if (whole && std::memcmp(magic, cr::MagicDezo, 4) == 0) return ReadDezo();
  s_.SetComments(QStringLiteral("Not Valid"));
  MessageDlg(LoadResString(SRecordFormatNotCorrect), mtError, TMsgDlgButtons{mbCancel}, 0);
  return false;
}

void TSettingRecordReader::ReportDestroyed() const {
  MessageDlg(LoadResString(SRecordFileDestroyed), mtError, TMsgDlgButtons{mbCancel}, 0);
}

bool TSettingRecordReader::FinishDataFile() {
  s_.SetFileName(fileName_);
  s_.FWasOpen = true;
  s_.NewFile = false;
  // The stacking table follows the record's trace length and stacking curve.
  s_.PrepareStacking();
  return true;
}

void TSettingRecordReader::FinishSettingsFile() {
  s_.SetFileName(DefaultProfileFileName);
  s_.FWasOpen = false;
  s_.NewFile = true;
  s_.FVersion = SettingDataVersion;
  s_.NMEIStrings.clear();
  if (window_) {
    window_->SetFirstPaintAfterOpen(false);
    window_->ReleaseTopoCorrectionButton();
  }
  // Settings describe how to record with the radar at hand, so the unit and the
  // calibration are the radar's, not those of the radar the file was made with.
  if (ISettingsRadar* radar = s_.Radar) {
    s_.SetTypeGPR(radar->RadarType());
    const TInclCalibration c = radar->InclinometerCalibration();
    s_.GXmin = c.GXmin;
    s_.GXmax = c.GXmax;
    s_.GYmin = c.GYmin;
    s_.GYmax = c.GYmax;
    s_.GZmin = c.GZmin;
    s_.GZmax = c.GZmax;
    s_.ZeroAngle = c.ZeroAngle;
    s_.CalibrationQuality = c.CalibrationQuality;
  } else {
    s_.SetTypeGPR(unknown);
  }
}

void TSettingRecordReader::ApplySpanAndSampling(uint8_t spanIndex, double spanWidth, int32_t longTrace,
                                                uint8_t overStep) {
  CheckLongTrace(longTrace);
  s_.SetSpanIndex(spanIndex);
  s_.FSpanWidth = spanWidth;
  s_.SetOverStep(overStep);
  // A SEG-Y import of fewer than 167 samples per trace keeps LongTrace x OverStep
  // at about 1000 with an OverStep above 5; the time axis needs it as stored.
  if (overStep > 5 && longTrace == Round(1000.0L / overStep)) s_.FOverStep = overStep;
  s_.FLongTrace = longTrace;
}

void TSettingRecordReader::CheckLongTrace(int64_t longTrace) {
  if (longTrace < 0 || longTrace > cr::MaxLongTrace) throw EReadError();
}

bool TSettingRecordReader::OffsetsGoToWindow() const {
  const QString ext = ExtractFileExt(fileName_).toLower();
  return window_ && ext != u".frn" && ext != u".trc";
}

void TSettingRecordReader::PlaceDeviceOffsets(int32_t x, int32_t y, int32_t z) {
  if (OffsetsGoToWindow()) {
    // The multi-channel settings file keeps the window's device where it is.
    if (ExtractFileName(fileName_) != u"bstt") window_->SetDeviceOffsets(x, y, z);
    x = y = z = 0;
  }
  s_.SetStartXShift(x);
  s_.SetStartYShift(y);
  s_.SetStartZShift(z);
}

void TSettingRecordReader::ReadInclinometer(TStream& in) {
  const int64_t n = in.ReadValue<int64_t>();
  const int64_t left = in.Size() - in.Position();
  if (n < 0 || n > cr::MaxTraceCount || n > left / cr::InclRecordBytes) throw EReadError();
  if (settingsFile_) {
    in.Seek(n * cr::InclRecordBytes, soCurrent);
    return;
  }
  incl_.resize(static_cast<size_t>(n));
  in.ReadBuffer(incl_.data(), n * cr::InclRecordBytes);
  inclLoaded_ = true;
  s_.MinNumIncl = 0;
  s_.MaxNumIncl = n;
  s_.SetFileName(fileName_);
}

void TSettingRecordReader::PlaceInclinometer() {
  if (!inclLoaded_) {
    s_.CompactInclinometer();
    return;
  }
  // The records were read as traces 0 .. n - 1; they move, in order, to MinTrace,
  // MinTrace + 1, ... below MaxTrace.
  s_.IndexIncl.Clear();
  const int64_t n = static_cast<int64_t>(incl_.size());
  if (n == 0) {
    s_.MinNumIncl = s_.MaxNumIncl = 0;
    return;
  }
  const int64_t first = s_.FMinTrace;
  const int64_t end = s_.FMaxTrace;
  for (int64_t k = 0; k < n && first + k < end; ++k) s_.IndexIncl.Set(first + k, incl_[static_cast<size_t>(k)]);
  s_.MinNumIncl = first;
  s_.MaxNumIncl = end;
}

void TSettingRecordReader::ReadPalette(TStream& in) {
  if (TPalMaker* control = window_ ? window_->PaletteControl() : nullptr) {
    control->LoadFromStream(in);
    return;
  }
  std::optional<std::vector<TPalettePoint>> points = ReadPaletteStream(in);
  palette_ = points ? std::move(*points) : DefaultPalettePoints();
}

void TSettingRecordReader::ReadPicture(TStream& in) {
  const int64_t start = in.Position();
  try {
    s_.Bmp->LoadFromStream(in);
    return;
  } catch (const EReadError&) {
  } catch (const EInvalidGraphic&) {
  }
  // The window recomputes its display from the data instead.
  if (IAcquisitionShell* shell = AcquisitionShell()) shell->SetErrorLoadFile(true);
  // A picture this code cannot decode is stepped over by its own size, so that the
  // fields behind it (and the traces) are still read. Without a believable size
  // the record cannot be read on.
  in.SetPosition(start);
  const std::optional<uint32_t> size = PeekBmpFileSize(in);
  if (!size || *size < BmpFileHeaderSize + BmpInfoHeaderSize || *size > in.Size() - start) throw EReadError();
  in.SetPosition(start + *size);
}

void TSettingRecordReader::ApplyPaletteToPicture() {
  if (window_) {
    if (TPalMaker* control = window_->PaletteControl()) {
      // A picture without pixels (0 x 2 when new) has no rows to carry over.
      if (s_.Bmp->Empty()) {
        s_.Bmp->SetPixelFormat(pf8bit);
        s_.Bmp->SetPalette(control->GetPal());
      } else {
        control->SetPal(s_.Bmp.get());
      }
    }
    window_->SetFirstPaintAfterOpen(true);
    return;
  }
  if (s_.Bmp->Empty()) return;
  std::vector<TPalettePoint> rgb = palette_;
  for (TPalettePoint& p : rgb) p.cl = ColorToRGB(p.cl);
  TPaletteTables tables;
  if (!RasterisePaletteTables(rgb, tables)) return;
  TMaxLogPalette log;
  log.palNumEntries = 256;
  for (size_t i = 0; i < 256; ++i) log.palPalEntry[i] = {tables.Red[i], tables.Green[i], tables.Blue[i], PC_RESERVED};
  // As the palette control colours a picture: 8 bits, indices kept, new colours.
  s_.Bmp->SetPixelFormat(pf8bit);
  s_.Bmp->SetPalette(CreatePalette(log));
}

void TSettingRecordReader::ReadZeroLevel(TStream& in) {
  const int32_t m = in.ReadValue<int32_t>();
  if (m < 0 || m > (in.Size() - in.Position()) / cr::ZeroLevelPointBytes) throw EReadError();
  std::vector<TZeroLevelPoint> points(static_cast<size_t>(m));
  in.ReadBuffer(points.data(), int64_t{m} * cr::ZeroLevelPointBytes);
  s_.ZeroLevelX.resize(points.size());
  s_.ZeroLevelY.resize(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    s_.ZeroLevelX[i] = points[i].X;
    s_.ZeroLevelY[i] = points[i].Y;
  }
  if (!window_ || (settingsFile_ && version_ != 37 && version_ != 38)) return;
  // Records before 39 kept one zero level for the whole window, in channel 0.
  const int channel = version_ <= 38 ? 0 : channel_;
  if (channel < 0) return;
  if (m > 1) window_->ClearZeroLevel(channel);
  for (const TZeroLevelPoint& p : points) window_->AddZeroLevelPoint(channel, p, clBlue);
}

void TSettingRecordReader::TraceRangeFromRawBlock(int bytesPerSample) {
  s_.FMinTrace = 0;
  s_.FMaxTrace = 0;
  const int64_t raw = RawBlockBytes();
  if (s_.FLongTrace < 1) {
    // Samples without a trace length cannot be cut into traces.
    if (!settingsFile_ && raw > 4) throw EReadError();
    return;
  }
  const int64_t traces = raw / (int64_t{s_.FLongTrace} * bytesPerSample);
  if (traces > cr::TraceEnd) {
    if (!settingsFile_) throw EReadError();
    return;
  }
  s_.FMaxTrace = static_cast<int32_t>(traces);
}

void TSettingRecordReader::CheckTraceRange() const {
  const int64_t first = s_.FMinTrace;
  const int64_t end = s_.FMaxTrace;
  if (first < cr::FirstTrace || end > cr::TraceEnd || first > end) throw EReadError();
  // The channel store takes no traces from a block of 4 bytes or fewer.
  const int64_t raw = RawBlockBytes();
  if (end == first || raw <= 4) return;
  if (s_.FLongTrace < 1 || (end - first) * s_.FLongTrace * 4 > raw) throw EReadError();
}

// ---- "WGPR" ----------------------------------------------------------------------------

bool TSettingRecordReader::ReadWgpr() {
  const uint32_t recordEnd = stream_.ReadValue<uint32_t>();
  recordEnd_ = recordEnd;
  // A record cut short (a copy that stopped early) is reported, not opened empty.
  if (recordEnd > stream_.Size()) throw EReadError();
  if (ExtractFileExt(fileName_) == u".bstt" && !settingsFile_) s_.FWasOpen = true;
  const uint32_t headerEnd = stream_.ReadValue<uint32_t>();
  const uint8_t version = stream_.ReadValue<uint8_t>();
  headerEnd_ = headerEnd;
  if (version < cr::OldestWgprVersion) return false;
  // A backup's record offsets count from the byte after its prefix (addShift).
  if (headerEnd > recordEnd || headerEnd + addShift_ < stream_.Position()) throw EReadError();
  // A newer version is read as the newest this code knows.
  version_ = std::min(version, cr::NewestWgprVersion);
  s_.FVersion = version_;
  cr::TRecordFieldStream in(stream_, headerEnd_ + addShift_);
  ReadWgprFields(in);
  return settingsFile_ ? FinishWgprSettingsFile() : FinishDataFile();
}

void TSettingRecordReader::ReadWgprFields(TStream& in) {
  s_.FTypeGPR = static_cast<TTypeGPR>(in.ReadValue<uint8_t>());
  s_.FComments = ReadShortWideString(in);
  s_.FSpeedLight = in.ReadValue<int32_t>();
  const auto spanIndex = in.ReadValue<uint8_t>();
  const auto spanWidth = in.ReadValue<double>();
  const auto longTrace = in.ReadValue<int32_t>();
  const auto overStep = in.ReadValue<uint8_t>();
  ApplySpanAndSampling(spanIndex, spanWidth, longTrace, overStep);
  s_.FStacking = in.ReadValue<uint8_t>();
  s_.SetWasFlip(ReadBool(in));
  if (version_ >= 37) s_.SetWasFlipVert(ReadBool(in));
  s_.FRunMode = static_cast<TRunMode>(in.ReadValue<uint8_t>());
  s_.FWheelStep = in.ReadValue<double>();
  s_.SetWheelMult(in.ReadValue<uint16_t>());
  s_.FTopoType = static_cast<TTopoType>(in.ReadValue<uint8_t>());
  s_.FNullShift = in.ReadValue<int32_t>();
  const auto x = in.ReadValue<int32_t>();
  const auto y = in.ReadValue<int32_t>();
  const auto z = in.ReadValue<int32_t>();
  PlaceDeviceOffsets(x, y, z);
  for (double* g : {&s_.GXmin, &s_.GXmax, &s_.GYmin, &s_.GYmax, &s_.GZmin, &s_.GZmax}) *g = in.ReadValue<double>();
  if (version_ >= 37) s_.FDirection = static_cast<TDirection>(in.ReadValue<uint8_t>());
  ReadInclinometer(in);
  s_.ZeroAngle = in.ReadValue<double>();
  s_.CalibrationQuality = in.ReadValue<double>();
  if (version_ >= 33) s_.TopoArray->LoadFromFile(in);
  if (version_ >= 34) ReadWgprDisplay(in);
  ReadWgprTail(in);
}

void TSettingRecordReader::ReadWgprDisplay(TStream& in) {
  const QByteArray nmea = version_ >= 35 ? ReadLongAnsiString(in) : ReadShortAnsiString(in);
  s_.NMEIStrings = SplitLines(AnsiToString(nmea));
  ReadPalette(in);
  const auto proportional = in.ReadValue<uint8_t>();
  if (window_) window_->SetProportional(static_cast<TProportional>(proportional));
  const bool topocorrection = ReadBool(in);
  if (window_) s_.Topocorrection = topocorrection;
  if (in.ReadValue<uint8_t>() == 1) ReadPicture(in);
  ApplyPaletteToPicture();
  ReadZeroLevel(in);
}

void TSettingRecordReader::ReadWgprTail(TStream& in) {
  if (version_ >= 36) {
    s_.FMinTrace = in.ReadValue<int32_t>();
    s_.FMaxTrace = in.ReadValue<int32_t>();
    s_.FSerNum = in.ReadValue<uint16_t>();
    if (!settingsFile_) CheckTraceRange();
  } else {
    TraceRangeFromRawBlock(4);
  }
  if (version_ >= 38) {
    const auto azimuth = in.ReadValue<int32_t>();
    const auto angle = in.ReadValue<int32_t>();
    s_.SetAzimuth(azimuth);
    s_.SetAngle(angle);
  }
  if (version_ >= 39) {
    s_.FAdvanceStacking = ReadBool(in);
    const auto curve = in.ReadValue<int32_t>();
    const auto volume = in.ReadValue<int32_t>();
    s_.SetStackingCurve(curve);
    s_.SetStackingVolume(volume);
    s_.SurfaceMarkersArray->LoadFromStream(in);
    s_.ObjectMarkersArray->LoadFromStream(in);
    if (s_.FTopoType == ttNil || s_.FTopoType == ttGPS) s_.FWheelStep = 10.0;
  }
  if (version_ >= 41) s_.PolyLineMarkersArray->LoadFromStream(in);
  if (version_ >= 42) {
    const long double coef = ReadExtended(in);
    // The display multiplies every sample by it; a value that is no number would
    // poison the whole picture.
    s_.NrmCoef = std::isfinite(coef) ? coef : 0.015L;
  }
}

bool TSettingRecordReader::FinishWgprSettingsFile() {
  FinishSettingsFile();
  if (version_ <= 38) {
    s_.SetWheelStep(TopoWheelStep(s_.FTopoType));
    if (window_) window_->SetProportional(PropInSamples11);
  }
  if (version_ >= 37) {
    s_.SetWasFlip(false);
    s_.SetWasFlipVert(false);
  }
  if (version_ >= 39) s_.SetSerNum(s_.Radar ? s_.Radar->DeviceSerNum() : 0);
  s_.PrepareStacking();
  return true;
}
