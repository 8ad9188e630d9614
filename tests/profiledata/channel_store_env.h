#pragma once
// Channel stores for tests: a main window (or none: the planning program), a
// radargram window that is a component and so can own stores, a temporary folder,
// and traces numbered so that any mix-up shows.

#include "platform/ui/component.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

// A radargram window that owns its channel stores.
class TWindowOwner : public TComponent, public FakeWindow {
public:
  TWindowOwner() : TComponent(nullptr) {}
};

class TStoreEnv {
public:
  // acquisition: a main window is registered; otherwise the planning program.
  explicit TStoreEnv(bool acquisition = true) {
    radar.type = Unit02;
    radar.serNum = 777;
    shell.radar = &radar;
    shell.lastFolder = dir.path() + QStringLiteral("/");
    if (acquisition) scope.emplace(&shell);
  }

  QString Path(const QString& name) const { return dir.filePath(name); }

  FakeRadar radar;
  FakeShell shell;
  QTemporaryDir dir;

private:
  std::optional<ShellScope> scope;
};

// Sample k of trace t: distinct per trace and sample, negative for some.
inline int32_t SampleOf(int64_t t, int k) { return static_cast<int32_t>(t * 1000 + k * 7 - 50); }

// Stores traces first .. end - 1 into an empty store as a recording does: it
// starts at trace 0 (or the range's end nearest to it), moves forwards to the end,
// then backwards to the first; trace t gets the inclinometer record (t, t + 1,
// t + 2, t + 3).
inline void RecordTraces(T2Dview& store, int64_t first, int64_t end) {
  const int64_t start = std::clamp<int64_t>(0, first, end);
  store.SetMinNumTraces(start);
  store.SetMaxNumTraces(start);
  const int longTrace = store.Settings()->GetLongTrace();
  std::vector<int32_t> samples(static_cast<size_t>(longTrace));
  const auto store1 = [&](int64_t t, bool forward) {
    for (int k = 0; k < longTrace; ++k) samples[static_cast<size_t>(k)] = SampleOf(t, k);
    const auto v = static_cast<int16_t>(t);
    const TInclRecord record{{v, static_cast<int16_t>(v + 1), static_cast<int16_t>(v + 2), static_cast<int16_t>(v + 3)}};
    if (forward) {
      store.AppendTrace(samples.data(), longTrace, record);
    } else {
      store.PrependTrace(samples.data(), longTrace, record);
    }
  };
  for (int64_t t = start; t < end; ++t) store1(t, true);
  for (int64_t t = start - 1; t >= first; --t) store1(t, false);
}

// The raw block of traces first .. end - 1 as the record layout stores it.
inline QByteArray ExpectedRaw(int64_t first, int64_t end, int longTrace) {
  QByteArray bytes;
  for (int64_t t = first; t < end; ++t)
    for (int k = 0; k < longTrace; ++k) {
      const int32_t v = SampleOf(t, k);
      bytes.append(reinterpret_cast<const char*>(&v), 4);
    }
  return bytes;
}

inline QByteArray RawBytes(const T2Dview& store) {
  return QByteArray(reinterpret_cast<const char*>(store.RawData.Data()), static_cast<qsizetype>(store.RawData.Bytes()));
}

inline QByteArray ReadFileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}
