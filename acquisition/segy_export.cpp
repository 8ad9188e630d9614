// The SEG-Y export of one channel and the view of a channel store the exports read.

#include "acquisition/channel_export.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/channel_store.h"
#include "profiledata/nmea.h"
#include "profiledata/setting_data.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <map>
#include <optional>

namespace {

using namespace segy_export;

void PutBE16(char* at, uint16_t value) {
  at[0] = static_cast<char>(value >> 8);
  at[1] = static_cast<char>(value);
}

void PutBE32(char* at, uint32_t value) {
  at[0] = static_cast<char>(value >> 24);
  at[1] = static_cast<char>(value >> 16);
  at[2] = static_cast<char>(value >> 8);
  at[3] = static_cast<char>(value);
}

// The first sentence of each trace number, by number.
std::map<int64_t, QString> SentencesByTrace(const QStringList& entries) {
  std::map<int64_t, QString> byTrace;
  for (const QString& entry : entries) {
    const qsizetype equals = entry.indexOf(u'=');
    if (equals <= 0) continue;
    bool ok = false;
    const int64_t trace = entry.left(equals).trimmed().toLongLong(&ok);
    if (ok) byTrace.try_emplace(trace, entry.mid(equals + 1));
  }
  return byTrace;
}

}  // namespace

TExportChannel ExportChannelOf(const T2Dview& store) {
  TExportChannel channel;
  const TSettingData& settings = *store.Settings();
  channel.FileName = settings.GetFileName();
  channel.LongTrace = settings.GetLongTrace();
  channel.Stacking = settings.GetStacking();
  channel.SpanWidth = settings.GetSpanWidth();
  channel.SpeedLight = settings.GetSpeedLight();
  channel.SpanDepth = settings.GetSpanDepth();
  channel.StepDistance = settings.GetStepDistance();
  channel.NMEIStrings = settings.NMEIStrings;
  channel.Traces = std::max<int64_t>(store.NumTraces(), 0);
  channel.Samples = store.dezoData.Data();
  channel.SampleCount = store.dezoData.Empty() ? 0 : store.dezoData.Bytes() / 4;
  return channel;
}

int64_t SegYIntervalPs(double spanWidth, int32_t longTrace) {
  if (longTrace <= 0) return -1;
  return Round(static_cast<long double>(spanWidth) * 1000.0L / longTrace);
}

std::vector<std::pair<int32_t, int32_t>> SegYPositions(const TExportChannel& channel) {
  std::vector<std::pair<int32_t, int32_t>> positions;
  if (channel.NMEIStrings.size() < 2 || channel.Traces <= 0) return positions;
  const std::map<int64_t, QString> byTrace = SentencesByTrace(channel.NMEIStrings);
  // Traces before the first sentence have no earlier position: they take the
  // first one, so a track does not start at the equator's zero meridian.
  std::pair<int32_t, int32_t> current{0, 0};
  for (const auto& [trace, sentence] : byTrace) {
    if (trace < 1) continue;
    QString text;
    NmeaToLatLonMs(sentence, current.first, current.second, text);
    break;
  }
  positions.reserve(static_cast<size_t>(channel.Traces));
  for (int64_t i = 0; i < channel.Traces; ++i) {
    const auto found = byTrace.find(i + 1);
    if (found != byTrace.end()) {
      QString text;
      NmeaToLatLonMs(found->second, current.first, current.second, text);
    }
    positions.push_back(current);
  }
  return positions;
}

QString SegYRefusal(const TExportChannel& channel) {
  if (channel.LongTrace <= 0 || channel.Traces <= 0) return LoadResString(SExportNoData);
  if (channel.Traces > MaxField) return Format(LoadResString(SSegyTooManyTraces), {channel.Traces});
  if (channel.LongTrace > MaxField) return Format(LoadResString(SSegyTooManySamples), {channel.LongTrace});
  const int64_t interval = SegYIntervalPs(channel.SpanWidth, channel.LongTrace);
  if (interval < 0 || interval > MaxField) return Format(LoadResString(SSegyIntervalTooLarge), {interval});
  return {};
}

bool WriteSegYFile(const TExportChannel& channel, const QString& fileName, QString* error) {
  const QString refusal = SegYRefusal(channel);
  if (!refusal.isEmpty()) {
    if (error) *error = refusal;
    return false;
  }
  QFile file(fileName);
  const auto failed = [&] {
    if (error) *error = Format(LoadResString(SExportNotWritten), {fileName, file.errorString()});
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return failed();

  const auto interval = static_cast<uint16_t>(SegYIntervalPs(channel.SpanWidth, channel.LongTrace));
  const auto samples = static_cast<uint16_t>(channel.LongTrace);
  QByteArray header(TracesOffset, '\0');
  PutBE16(header.data() + TraceCountOffset, static_cast<uint16_t>(channel.Traces));
  PutBE16(header.data() + IntervalOffset, interval);
  PutBE16(header.data() + SamplesOffset, samples);
  PutBE16(header.data() + FormatOffset, 2);
  PutBE16(header.data() + MeasurementOffset, 1);
  if (file.write(header) != header.size()) return failed();

  const std::vector<std::pair<int32_t, int32_t>> positions = SegYPositions(channel);
  const bool gps = !positions.empty();
  const int64_t traceBytes = TraceHeaderBytes + 4 * int64_t{channel.LongTrace};
  // Several traces per write keep the system calls few.
  const int64_t perBlock = std::max<int64_t>(1, (1 << 20) / traceBytes);
  QByteArray block;
  for (int64_t first = 0; first < channel.Traces; first += perBlock) {
    const int64_t count = std::min(perBlock, channel.Traces - first);
    block.resize(static_cast<qsizetype>(count * traceBytes));
    block.fill('\0');
    for (int64_t k = 0; k < count; ++k) {
      const int64_t i = first + k;
      char* trace = block.data() + k * traceBytes;
      const int32_t x = SaturateToInt32(i * int64_t{channel.StepDistance});
      PutBE32(trace + TraceSequenceOffset, static_cast<uint32_t>(i + 1));
      PutBE16(trace + TraceIdOffset, 9);
      PutBE16(trace + ScalarOffset, static_cast<uint16_t>(CoordinateScalar));
      PutBE32(trace + SourceXOffset, static_cast<uint32_t>(gps ? positions[static_cast<size_t>(i)].first : x));
      PutBE32(trace + SourceYOffset, static_cast<uint32_t>(gps ? positions[static_cast<size_t>(i)].second : 0));
      PutBE32(trace + GroupXOffset, static_cast<uint32_t>(x));
      PutBE16(trace + UnitsOffset, gps ? 2 : 1);
      PutBE16(trace + TraceSamplesOffset, samples);
      PutBE16(trace + TraceIntervalOffset, interval);
      const int64_t start = i * channel.LongTrace;
      const int64_t present = channel.Samples ? std::clamp<int64_t>(channel.SampleCount - start, 0, channel.LongTrace) : 0;
      // The byte swap of a whole trace at once (the zeros after a short block stay).
      if (present > 0) qToBigEndian<int32_t>(channel.Samples + start, static_cast<qsizetype>(present), trace + TraceHeaderBytes);
    }
    if (file.write(block) != block.size()) return failed();
  }
  if (!file.flush()) return failed();
  file.close();
  if (file.error() != QFileDevice::NoError) return failed();
  return true;
}
