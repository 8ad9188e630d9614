#pragma once
// A radargram window that also answers what the settings files and the SEG-Y
// import ask (its default-settings flag, its settings container, the progress bar
// of a channel panel), with a channel store in slot 0, a main window and a
// temporary program folder.

#include "platform/rtl/paths.h"
#include "profiledata/settings_files_hooks.h"
#include "tests/profiledata/channel_store_env.h"

#include <functional>
#include <utility>
#include <vector>

class TFilesWindow : public TWindowOwner, public ISettingsFilesWindow {
public:
  std::vector<QString> containersSaved;  // SaveBSTT calls, in order
  bool saveBsttWorks = true;
  int panelWidth = 300;
  std::vector<std::pair<int, int>> progress;  // (channel, width) of every SetProgressWidth
  std::vector<int> progressHidden;            // channel of every HideProgress
  std::function<void()> onProgress;           // runs on every SetProgressWidth

  // FakeWindow::SetSaveDefault sets the flag, as the window's container reader does.
  bool IsSaveDefault() const override { return saveDefault; }
  bool SaveBSTT(const QString& fileName) override {
    containersSaved.push_back(fileName);
    if (saveBsttWorks) WriteFileBytes(fileName, "container");
    return saveBsttWorks;
  }
  int ProgressPanelWidth() const override { return panelWidth; }
  void SetProgressWidth(int channel, int width) override {
    progress.emplace_back(channel, width);
    if (onProgress) onProgress();
  }
  void HideProgress(int channel) override { progressHidden.push_back(channel); }
};

class TFilesEnv : public TStoreEnv {
public:
  explicit TFilesEnv(bool acquisition = true) : TStoreEnv(acquisition) {
    SetProgramFolder(dir.path() + u'/');
    window = new TFilesWindow();
    store = new T2Dview(window);
  }
  ~TFilesEnv() {
    window->Free();
    SetProgramFolder(QString());
  }
  TFilesEnv(const TFilesEnv&) = delete;
  TFilesEnv& operator=(const TFilesEnv&) = delete;

  TSettingData& Settings() const { return *store->Settings(); }

  TFilesWindow* window = nullptr;  // owns the store
  T2Dview* store = nullptr;
};
