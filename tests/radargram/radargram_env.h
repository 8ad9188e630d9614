#pragma once
// Radargram windows for tests: an MDI frame as the main window, fakes of what a
// window asks of the main window, and a main window for the channel stores, with
// their files in a temporary folder.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "radargram/radargram_shell.h"
#include "radargram/view2d_form.h"
#include "tests/profiledata/fake_hooks.h"

#include <QTemporaryDir>

#include <array>
#include <vector>

class FakeRadargramShell : public IRadargramLayoutShell, public IRadargramFilesShell, public IRadargramRadarsShell {
public:
  bool closeChild = false;
  bool activatedClosed = false;
  bool startResize = false;
  bool newCreate = true;
  bool errorNewCreate = false;
  int childAreaWidth = 900;
  int childAreaHeight = 640;
  TColor pageColor = RGB(0xE0, 0xF0, 0xE0);
  bool simpleMode = false;
  bool autoDepthOnline = true;
  bool radars[kChannelSlots] = {};
  QString prefix = QStringLiteral("Prof");
  int32_t count = 7;

  bool isCloseChild() const override { return closeChild; }
  void SetCloseChild(bool value) override { closeChild = value; }
  bool isActivatedClosed() const override { return activatedClosed; }
  bool StartResize() const override { return startResize; }
  void SetStartResize(bool value) override { startResize = value; }
  bool flNewCreate() const override { return newCreate; }
  void SetErrorNewCreate(bool value) override { errorNewCreate = value; }
  int ChildAreaWidth() const override { return childAreaWidth; }
  int ChildAreaHeight() const override { return childAreaHeight; }
  TColor PageColor() const override { return pageColor; }
  bool SimpleMode() const override { return simpleMode; }
  bool AutoDepthOnline() const override { return autoDepthOnline; }
  bool SlotHasRadar(int slot) const override { return slot >= 0 && slot < kChannelSlots && radars[slot]; }
  QString GlobalPrefixFiles() const override { return prefix; }
  int32_t GlobalCountFiles() const override { return count; }

  // The radar set: radars by slot, found only while no device is being re-checked.
  bool checkDeviceRunned = false;
  std::array<ISettingsRadar*, kChannelSlots> slotRadars{};
  mutable std::vector<int> radarLookups;  // slots looked up, in order
  bool isCheckDeviceRunned() const override { return checkDeviceRunned; }
  void SetCheckDeviceRunned(bool value) override { checkDeviceRunned = value; }
  ISettingsRadar* GetRadarByIndex(int slot) const override {
    radarLookups.push_back(slot);
    return checkDeviceRunned || slot < 0 || slot >= kChannelSlots ? nullptr : slotRadars[static_cast<size_t>(slot)];
  }

  TRadargramShell Parts() { return TRadargramShell{this, this, this}; }
};

class TMainFrame : public TForm {
public:
  explicit TMainFrame(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};

// A main window (an MDI frame with the acquisition shell registered) that
// creates radargram windows.
class TRadargramEnv {
public:
  TRadargramEnv() {
    Application->CreateForm(frame);
    frame->SetBounds(0, 0, 1000, 720);
    frame->Show();
    acquisition.lastFolder = dir.path() + QStringLiteral("/");
  }
  ~TRadargramEnv() {
    frame->Free();
    SetNewViewChannalCount(1);
  }
  TRadargramEnv(const TRadargramEnv&) = delete;
  TRadargramEnv& operator=(const TRadargramEnv&) = delete;

  // A window for channels, as the main window creates it.
  TView2DForm* Create(int channels) {
    SetNewViewChannalCount(channels);
    return TComponent::Create<TView2DForm>(frame, shell.Parts());
  }

  QTemporaryDir dir;
  FakeRadargramShell shell;
  FakeShell acquisition;
  ShellScope scope{&acquisition};
  TMainFrame* frame = nullptr;
};
