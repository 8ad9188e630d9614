// The text export of one channel's samples and the GPS companion of both exports.

#include "acquisition/channel_export.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/sys_utils.h"

#include <QFile>

#include <algorithm>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
constexpr qsizetype kFlushBytes = 1 << 20;

QByteArray AnsiLines(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) bytes += StringToAnsi(line) + kLineEnd;
  return bytes;
}

bool Failed(const QFile& file, const QString& fileName, QString* error) {
  if (error) *error = Format(LoadResString(SExportNotWritten), {fileName, file.errorString()});
  return false;
}

bool Finish(QFile& file, const QString& fileName, QString* error) {
  if (!file.flush()) return Failed(file, fileName, error);
  file.close();
  if (file.error() != QFileDevice::NoError) return Failed(file, fileName, error);
  return true;
}

}  // namespace

QStringList GpsCompanionLines(const TExportChannel& channel) {
  QStringList lines{QStringLiteral("Source File=") + channel.FileName, QStringLiteral("################"),
                    QStringLiteral("Trace No=\tNMEI")};
  for (const QString& entry : channel.NMEIStrings) {
    const qsizetype equals = entry.indexOf(u'=');
    lines << (equals < 0 ? entry : entry.left(equals) + u'\t' + entry.mid(equals + 1));
  }
  return lines;
}

QStringList TextExportHeaderLines(const TExportChannel& channel) {
  return {QStringLiteral("Source File=") + channel.FileName,
          Format(QStringLiteral("Samples= %d"), {channel.LongTrace}),
          Format(QStringLiteral("Stacking=%d"), {channel.Stacking}),
          Format(QStringLiteral("Window Width=%5.2f ns"), {channel.SpanWidth}),
          Format(QStringLiteral("Wave Speed=%d m/\u00B5s"), {channel.SpeedLight}),
          Format(QStringLiteral("Window Depth=%s m"), {channel.SpanDepth}),
          QStringLiteral("################")};
}

bool WriteGpsCompanionFile(const TExportChannel& channel, const QString& fileName, QString* error) {
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return Failed(file, fileName, error);
  const QByteArray bytes = AnsiLines(GpsCompanionLines(channel));
  if (file.write(bytes) != bytes.size()) return Failed(file, fileName, error);
  return Finish(file, fileName, error);
}

bool WriteTextExportFile(const TExportChannel& channel, const QString& fileName,
                         const std::function<void()>& afterTrace, QString* error) {
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return Failed(file, fileName, error);
  QByteArray bytes = AnsiLines(TextExportHeaderLines(channel));
  const int64_t longTrace = std::max(channel.LongTrace, 0);
  for (int64_t t = 0; t < channel.Traces; ++t) {
    const QByteArray prefix = QByteArray::number(t + 1) + '\t';
    for (int64_t s = 0; s < longTrace; ++s) {
      const int64_t index = t * longTrace + s;
      const int32_t value = channel.Samples && index < channel.SampleCount ? channel.Samples[index] : 0;
      bytes += prefix;
      bytes += QByteArray::number(s + 1);
      bytes += '\t';
      bytes += QByteArray::number(value);
      bytes += kLineEnd;
    }
    if (bytes.size() >= kFlushBytes) {
      if (file.write(bytes) != bytes.size()) return Failed(file, fileName, error);
      bytes.clear();
    }
    // Per trace: a call per sample would cost more than the writing.
    if (afterTrace) afterTrace();
  }
  if (file.write(bytes) != bytes.size()) return Failed(file, fileName, error);
  return Finish(file, fileName, error);
}
