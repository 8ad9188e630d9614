#pragma once
// A channel for channel-record tests, in one of the three settings a record is
// written and read in: the acquisition program with the channel in slot 2 of a
// radargram window, the acquisition program without a window, and the planning
// program (no main window, no window).

#include "platform/rtl/streams.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <QString>

#include <optional>

enum TRecordEnvMode { reWindow, reNoWindow, rePlanning };

class TRecordEnv {
public:
  explicit TRecordEnv(TRecordEnvMode mode) : mode_(mode), store(mode == reWindow ? &window : nullptr) {
    radar.type = Unit02;
    radar.serNum = 777;
    radar.calibration = {10, 20, 30, 40, 50, 60, 0.5, 0.75};
    shell.radar = &radar;
    shell.activeWindow = &window;
    if (mode != rePlanning) shellScope.emplace(&shell);
    window.AddChannel(&store, 2, true);
    settings = new TSettingData(&store);
    store.settings = settings;  // the marker lists read their record version here
  }
  ~TRecordEnv() { store.settings = nullptr; }
  TRecordEnv(const TRecordEnv&) = delete;
  TRecordEnv& operator=(const TRecordEnv&) = delete;

  TRecordEnvMode Mode() const { return mode_; }

  // Reads a record from bytes, the magic at `begin`.
  bool Read(const QByteArray& bytes, const QString& fileName = QStringLiteral("/data/line7.dezo"),
            int64_t begin = 0, int64_t addShift = 0) {
    TMemoryStream stream(bytes);
    stream.SetPosition(begin);
    recordEnd = stream.Size();
    const bool ok = settings->ReadSetValue(fileName, stream, addShift, recordEnd, begin);
    positionAfter = stream.Position();
    return ok;
  }
  // Writes the header of this channel and returns the stream's bytes.
  QByteArray Write(bool defaultMode, bool saveAsDezo = true, const QByteArray& prefix = {}) {
    TMemoryStream stream(prefix);
    settings->WriteSetValue(stream, defaultMode, saveAsDezo, prefix.size());
    positionAfter = stream.Position();
    return stream.Bytes();
  }

  FakeRadar radar;
  FakeShell shell;
  FakeWindow window;

private:
  TRecordEnvMode mode_;
  std::optional<ShellScope> shellScope;

public:
  FakeStore store;
  TSettingData* settings = nullptr;  // owned by the store
  int64_t recordEnd = 0;
  int64_t positionAfter = 0;
};

// The message boxes a test has seen so far, as their texts.
inline std::vector<QString> ShownTexts() {
  std::vector<QString> texts;
  for (const TShownDialog& d : TDialogScript::Shown()) texts.push_back(d.Text);
  return texts;
}
