#pragma once
// One fuzz input through TSettingData::ReadSetValue, shared by the libFuzzer
// target and the mutation test of the normal suite (so the harness cannot rot).
//
// Input: byte 0 picks the setting (acquisition program with a radargram window,
// without one, planning program) and the file name (data file, settings file,
// multi-channel container); the rest is the stream, the record at position 0.
// Besides "does not crash", the result is checked against what the channel store
// relies on after a successful read.

#include "tests/profiledata/record_test_env.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

struct TFuzzReadResult {
  bool ok = false;
  int messages = 0;
  std::string broken;  // the first guarantee that did not hold; empty when all did
};

inline TFuzzReadResult ReadRecordOnce(const uint8_t* data, size_t size) {
  TFuzzReadResult result;
  if (size == 0) return result;
  static const TRecordEnvMode kModes[] = {reWindow, reNoWindow, rePlanning};
  static const char* const kNames[] = {"/d/line.dezo", "/p/stt", "/d/set.frn"};
  const TRecordEnvMode mode = kModes[data[0] % 3];
  const QString name = QString::fromLatin1(kNames[(data[0] / 3) % 3]);
  const bool dataFile = !name.endsWith(QStringLiteral("stt"));
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  const size_t shownBefore = TDialogScript::Shown().size();
  TRecordEnv env(mode);
  result.ok = env.Read(bytes, name);
  result.messages = static_cast<int>(TDialogScript::Shown().size() - shownBefore);
  if (result.messages > 1) result.broken = "more than one message for one read";
  if (!result.ok || !result.broken.empty()) return result;

  const TSettingData& s = *env.settings;
  const int64_t headerEnd = env.positionAfter;
  if (env.recordEnd > bytes.size()) result.broken = "record end beyond the stream";
  if (headerEnd > env.recordEnd) result.broken = "header end beyond the record end";
  if (!dataFile) return result;
  const int64_t first = s.GetMinTrace();
  const int64_t end = s.GetMaxTrace();
  if (first < -500000 || end > 500001 || first > end) result.broken = "trace range outside the trace tables";
  const int64_t raw = env.recordEnd - headerEnd;
  const int64_t sampleBytes = s.GetVersion() <= 15 ? 2 : 4;  // the oldest records hold 16-bit samples
  if (raw > 4 && end > first && (s.GetLongTrace() < 1 || (end - first) * s.GetLongTrace() * sampleBytes > raw))
    result.broken = "traces beyond the raw block";
  if (s.IndexIncl.RecordCount() > end - first) result.broken = "inclinometer records outside the trace range";
  return result;
}
