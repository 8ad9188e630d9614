#include "profiledata/segy_import.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/input_box.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/channel_store.h"
#include "profiledata/channel_store_messages.h"
#include "profiledata/record_format.h"
#include "profiledata/setting_data.h"
#include "profiledata/settings_files_hooks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace sl = segy_layout;

namespace {

constexpr int kProgressChannel = 0;
constexpr int64_t kProgressEvery = 20;
constexpr int32_t kMsPerDegree = 3600000;
constexpr int32_t kMsPerMinute = 60000;

void Report(const QString& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}, 0); }

// Fields in the file's byte order.
class TFieldOrder {
public:
  explicit TFieldOrder(bool bigEndian) : big_(bigEndian) {}
  uint16_t U16(const uint8_t* p) const {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return big_ ? __builtin_bswap16(v) : v;
  }
  int16_t I16(const uint8_t* p) const { return static_cast<int16_t>(U16(p)); }
  uint32_t U32(const uint8_t* p) const {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return big_ ? SwapInt32(v) : v;
  }
  int32_t I32(const uint8_t* p) const { return static_cast<int32_t>(U32(p)); }
  float F32(const uint8_t* p) const { return std::bit_cast<float>(U32(p)); }

private:
  bool big_;
};

int32_t RoundSample(double v) {
  if (std::isnan(v)) return 0;
  if (v >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(std::nearbyint(v));
}

// The binary header as the import uses it.
struct TSegyLayout {
  bool BigEndian = false;
  uint16_t Format = 0;
  int32_t Samples = 0;
  int32_t Interval = 0;
  int64_t TraceBytes = 0;
  int64_t Traces = 0;
};

bool FormatHasReader(uint16_t format) { return format >= 1 && format <= 5; }

// Reads and checks the binary header; a refusal is reported and gives nullopt.
std::optional<TSegyLayout> ReadLayout(TStream& stream) {
  const int64_t size = stream.Size();
  if (size < sl::FirstTraceOffset) {
    Report(LoadResString(SSegyNoWholeTrace));
    return std::nullopt;
  }
  uint8_t binary[sl::FirstTraceOffset - sl::IntervalOffset];
  stream.SetPosition(sl::IntervalOffset);
  stream.ReadBuffer(binary, sizeof binary);
  const auto field = [&](int64_t offset) { return binary + (offset - sl::IntervalOffset); };

  TSegyLayout layout;
  const uint16_t littleFormat = TFieldOrder(false).U16(field(sl::FormatOffset));
  layout.BigEndian = littleFormat < 1 || littleFormat > 6;
  const TFieldOrder order(layout.BigEndian);
  layout.Format = order.U16(field(sl::FormatOffset));
  layout.Samples = order.U16(field(sl::SamplesOffset));
  layout.Interval = order.U16(field(sl::IntervalOffset));
  if (layout.Samples < sl::MinSamples) {
    Report(Format(LoadResString(SSegyTooFewSamples), {layout.Samples}));
    return std::nullopt;
  }
  if (!FormatHasReader(layout.Format)) {
    Report(Format(LoadResString(SSegyFormatNotRead), {int32_t{layout.Format}}));
    return std::nullopt;
  }
  layout.TraceBytes = sl::TraceHeaderBytes + int64_t{layout.Samples} * (layout.Format == 3 ? 2 : 4);
  // A channel numbers its traces from 0 up to the end of the trace table.
  layout.Traces = std::min((size - sl::FirstTraceOffset) / layout.TraceBytes, channel_record::TraceEnd);
  if (layout.Traces < 1) {
    Report(LoadResString(SSegyNoWholeTrace));
    return std::nullopt;
  }
  return layout;
}

// The first `count` samples of a trace as 32-bit values.
void DecodeSamples(const uint8_t* p, int32_t count, const TSegyLayout& layout, int32_t* out) {
  const TFieldOrder order(layout.BigEndian);
  switch (layout.Format) {
    case 1:
      for (int32_t k = 0; k < count; ++k) out[k] = RoundSample(IbmFloatToDouble(order.U32(p + 4 * k)));
      break;
    case 2:
    case 4:
      for (int32_t k = 0; k < count; ++k) out[k] = order.I32(p + 4 * k);
      break;
    case 3:
      for (int32_t k = 0; k < count; ++k) out[k] = order.I16(p + 2 * k);
      break;
    case 5:
      for (int32_t k = 0; k < count; ++k) out[k] = RoundSample(order.F32(p + 4 * k));
      break;
    default:
      break;
  }
}

// The GGA sentence of a trace whose header holds a position; nullopt for lengths
// and units without a known meaning.
std::optional<QString> TraceSentence(const uint8_t* header, const TFieldOrder& order) {
  const int16_t units = order.I16(header + sl::TraceUnitsOffset);
  if (units < suArcMs || units > suDms) return std::nullopt;
  const uint8_t* x = header + sl::TraceXOffset;
  const uint8_t* y = header + sl::TraceYOffset;
  QString latitude, north, longitude, east;
  FormatCoordMs(order.I32(x), units, false, latitude, north, order.F32(x));
  FormatCoordMs(order.I32(y), units, true, longitude, east, order.F32(y));
  return QStringLiteral("$GPGGA,120526.00,") + latitude + u',' + north + u',' + longitude + u',' + east + u',' +
         QStringLiteral("1,06,2.48,-1574.0065,M,27.8589,M,,*48");
}

// The trace step the second trace's header gives: its X when the coordinates are
// lengths, else (or when that is no step) the default of the distance source.
double TraceStepFrom(const uint8_t* header, const TFieldOrder& order, const TSettingData& settings) {
  const double fallback = TopoWheelStep(settings.GetTopoType());
  if (order.I16(header + sl::TraceUnitsOffset) != suLength || settings.GetWheelMult() == 0) return fallback;
  const double step = static_cast<double>(order.I32(header + sl::TraceXOffset)) / settings.GetWheelMult();
  return step > 0 && step <= 1000 ? step : fallback;
}

void ApplySampling(TSettingData& settings, const TSegyLayout& layout) {
  settings.SetAngle(9000000);
  settings.SetSpeedLight(150);
  settings.SetRunMode(rmWheel);
  settings.SetTopoType(ttCustom);
  settings.SetWheelStep(TopoWheelStep(ttCustom));
  settings.SetWheelMult(1);
  settings.SetOverStep(4);
  settings.SetAdvanceStacking(false);
  settings.NMEIStrings.clear();
  uint8_t overStep = 1;
  const int32_t longTrace = SamplesToOverStep(layout.Samples, overStep);
  settings.RestoreOverStep(overStep);
  settings.RestoreLongTrace(longTrace);
  settings.RestoreSpanWidth(static_cast<double>(layout.Interval) * longTrace / 1000);
  settings.PrepareStacking();
}

void SetTraceRange(TSettingData& settings, T2Dview& store, int64_t traces) {
  store.SetMinNumTraces(0);
  store.SetMaxNumTraces(traces);
  store.SetSizeDat(traces * settings.GetLongTrace() * 4);
  settings.SetMinTrace(0);
  settings.SetMaxTrace(static_cast<int32_t>(traces));
}

// Keeps the first `traces` traces of both blocks.
void KeepTraces(TSettingData& settings, T2Dview& store, int64_t traces) {
  const int64_t bytes = traces * settings.GetLongTrace() * 4;
  TSampleBlock raw;
  TSampleBlock work;
  raw.Allocate(bytes);
  work.Allocate(bytes);
  if (bytes > 0) {
    std::memcpy(raw.Data(), store.RawData.Data(), static_cast<size_t>(bytes));
    std::memcpy(work.Data(), store.dezoData.Data(), static_cast<size_t>(bytes));
  }
  store.RawData = std::move(raw);
  store.dezoData = std::move(work);
  SetTraceRange(settings, store, traces);
}

void ShowProgress(ISettingsFilesWindow* window, int64_t done, int64_t total) {
  if (!window) return;
  const int64_t width = Round(static_cast<long double>(window->ProgressPanelWidth()) * done / total);
  window->SetProgressWidth(kProgressChannel, static_cast<int>(std::clamp<int64_t>(width, 1, 1 << 30)));
  if (Application) Application->ProcessMessages();
}

// Reads the traces into the blocks; the settings' NMEA list and trace step follow
// the trace headers.
void ReadTraces(TStream& stream, const TSegyLayout& layout, TSettingData& settings, T2Dview& store,
                ISettingsFilesWindow* window, int64_t& done) {
  const TFieldOrder order(layout.BigEndian);
  const int32_t longTrace = settings.GetLongTrace();
  const int32_t kept = std::min(layout.Samples, longTrace);
  std::vector<uint8_t> trace(static_cast<size_t>(layout.TraceBytes));
  QString previous;
  stream.SetPosition(sl::FirstTraceOffset);
  for (int64_t i = 0; i < layout.Traces; ++i) {
    stream.ReadBuffer(trace.data(), layout.TraceBytes);
    if (const std::optional<QString> sentence = TraceSentence(trace.data(), order); sentence && *sentence != previous) {
      settings.NMEIStrings.push_back(QString::number(i + 1) + u'=' + *sentence);
      previous = *sentence;
    }
    if (i == 1) settings.SetWheelStep(TraceStepFrom(trace.data(), order, settings));
    int32_t* raw = store.RawData.Data() + i * longTrace;
    DecodeSamples(trace.data() + sl::TraceHeaderBytes, kept, layout, raw);
    std::memcpy(store.dezoData.Data() + i * longTrace, raw, static_cast<size_t>(kept) * 4);
    done = i + 1;
    if (i % kProgressEvery == 0) ShowProgress(window, done, layout.Traces);
  }
}

void AskTraceStep(TSettingData& settings) {
  const QString shown = FloatToStrF(settings.GetWheelStep(), ffFixed, 15, 2);
  QString answer = shown;
  const QString caption = LoadResString(SStepOfMeasuring);
  if (!InputQuery(caption, caption + QStringLiteral(",") + QStringLiteral(" mm"), answer)) return;
  // The shown text is the step rounded to 2 decimals: taking it back unchanged
  // keeps the exact step.
  double step = 0;
  if (answer == shown || !TryStrToFloat(answer, step) || !(step > 0)) return;
  settings.SetWheelStep(step);
}

}  // namespace

uint32_t SwapInt32(uint32_t x) { return __builtin_bswap32(x); }

float SwapFloat32(uint32_t x) { return std::bit_cast<float>(SwapInt32(x)); }

double IbmFloatToDouble(uint32_t bits) {
  const uint32_t fraction = bits & 0x00FFFFFFu;
  const int exponent = static_cast<int>((bits >> 24) & 0x7F) - 64;
  // value = 0.fraction (24 bits) x 16^exponent
  const double magnitude = std::ldexp(static_cast<double>(fraction), 4 * exponent - 24);
  return (bits & 0x80000000u) ? -magnitude : magnitude;
}

int32_t SamplesToOverStep(int32_t n, uint8_t& OverStep) {
  const int32_t step = n < sl::MinSamples ? 255 : 1000 / n;
  OverStep = static_cast<uint8_t>(std::max(step, 1));
  return static_cast<int32_t>(Round(1000.0L / OverStep));
}

void FormatCoordMs(int32_t value, int units, bool isLongitude, QString& text, QString& hemisphere,
                   float floatValue) {
  int64_t ms = 0;
  bool negative = false;
  switch (units) {
    case suArcMs:
      ms = value;
      break;
    case suDecimalDegrees:
      ms = Round(static_cast<long double>(floatValue) * kMsPerDegree);
      break;
    case suDms: {
      const int64_t d = std::abs(int64_t{value});
      ms = ((d / 10000 * 60 + d / 100 % 100) * 60 + d % 100) * 1000;
      negative = value < 0;
      break;
    }
    default:
      text.clear();
      hemisphere.clear();
      return;
  }
  negative = negative || ms < 0;
  const int64_t d = std::abs(ms);
  int64_t degrees = d / kMsPerDegree;
  if (degrees > 270) degrees = 360 - degrees;
  const int64_t minutes = d % kMsPerDegree / kMsPerMinute;
  // Five decimals of the minute: (ms within the minute) / 60000 x 100000.
  const int64_t fraction = Round(static_cast<long double>(d % kMsPerMinute) * 100 / 60);
  text = QString::number(degrees) + (minutes < 10 ? QStringLiteral("0") : QString()) + QString::number(minutes) +
         u'.' + QStringLiteral("%1").arg(fraction, 5, 10, QChar(u'0'));
  if (isLongitude) {
    hemisphere = negative ? QStringLiteral("W") : QStringLiteral("E");
  } else {
    hemisphere = negative ? QStringLiteral("S") : QStringLiteral("N");
  }
}

TSegyImportResult ImportSegYStream(TStream& stream, TSettingData& settings, T2Dview& store,
                                   ISettingsFilesWindow* window) {
  std::optional<TSegyLayout> layout;
  try {
    layout = ReadLayout(stream);
  } catch (const EStreamError&) {
    Report(LoadResString(SSegyNoWholeTrace));
  }
  if (!layout) return {siRefused, 0};

  ApplySampling(settings, *layout);
  if (window) window->SetProgressWidth(kProgressChannel, 1);
  TSegyImportResult result{siImported, 0};
  int64_t done = 0;
  try {
    SetTraceRange(settings, store, layout->Traces);
    const int64_t bytes = store.SizeDat();
    store.RawData.Allocate(bytes);
    store.dezoData.Allocate(bytes);
    ReadTraces(stream, *layout, settings, store, window, done);
    result.Traces = done;
  } catch (const EStreamError&) {
    result = {siEndedEarly, done};
    KeepTraces(settings, store, done);
    Report(Format(LoadResString(SSegyEndedEarly), {done}));
  } catch (const std::bad_alloc&) {
    result = {siFailed, 0};
    store.RawData.Reset();
    store.dezoData.Reset();
    SetTraceRange(settings, store, 0);
    Report(LoadResString(SSegyNoMemory));
  }
  if (window) window->HideProgress(kProgressChannel);
  return result;
}

bool TSettingData::ImportFromSEGA(const QString& fileName) {
  if (!AcquisitionShell()) return false;
  auto* store = dynamic_cast<T2Dview*>(Owner());
  if (!store) return false;
  TSegyImportResult result;
  {
    const std::unique_ptr<TFileStream> stream = OpenFileForReading(fileName);
    if (!stream) return false;
    result = ImportSegYStream(*stream, *this, *store, dynamic_cast<ISettingsFilesWindow*>(OwnerWindow()));
  }  // the file is closed before the step question
  if (result.Status == siRefused) return false;
  AskTraceStep(*this);
  return result.Traces > 0;
}
