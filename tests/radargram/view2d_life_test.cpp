// The radargram window's creation, its radars (a real radar set of two simulated
// units on pseudo-terminals), the active channel, the buttons that follow the
// master's settings, the Profile Offset panel, the keys and the close query.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/packet_codes.h"
#include "radar/radar_messages.h"
#include "radar/radar_set.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

namespace {

constexpr std::chrono::milliseconds kBound{20000};

// Fills channel 0 with one trace that is not saved yet.
void GiveUnsavedTraces(TView2DForm& window) {
  T2Dview* store = window.GetView2DByIndx(0);
  const std::vector<int32_t> samples(static_cast<size_t>(store->Settings()->GetLongTrace()), 7);
  ASSERT_TRUE(store->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {}));
  store->SetNeedForSave(true);
}

class View2DLife : public ::testing::Test {
protected:
  TRadargramEnv env;
};

// ---- Creation ------------------------------------------------------------------------------

// Steps of creation that fail leave the later, always-run steps to run.
class ThrowingShell : public FakeRadargramShell {
public:
  TTypeProfiles GlobalTypeProfiles() const override { throw std::runtime_error("no profile type"); }
};

TEST_F(View2DLife, AFailingCreationStepIsReportedAndTheLastStepsStillRun) {
  ThrowingShell shell;
  shell.acquisition = &env.acquisition;
  shell.globalProportional = PropInSamples13;
  SetNewViewChannalCount(2);
  auto* window = TComponent::Create<TView2DForm>(env.frame, shell.Parts());
  EXPECT_TRUE(shell.errorNewCreate);
  EXPECT_EQ(window->Proportional(), PropInSamples13) << "the aspect mode of the next window";
  EXPECT_EQ(window->SimpleIndexStretch, 2);
  EXPECT_NE(window->GetView2DByIndx(0), nullptr) << "the steps before the failure ran";
  window->Free();
}

TEST_F(View2DLife, ANewRecordingTakesTheNextWindowsSettingsAndMovesTheFileCounter) {
  env.shell.globalTypeProfiles = tpArc;
  env.shell.globalProportional = PropInM21;
  env.shell.count = 41;
  env.shell.countRadarFromMaster = 2;
  env.shell.simpleBackgroundRemoval = true;
  env.shell.language = 25;
  TView2DForm* window = env.Create(2);
  EXPECT_FALSE(env.shell.errorNewCreate);
  EXPECT_FALSE(env.shell.traceSinceWiFiLoss);
  EXPECT_TRUE(window->SimpleBackgroundRemoval);
  EXPECT_EQ(window->Font()->Charset(), 204) << "the character set of the interface language";
  EXPECT_EQ(window->TypeProfiles, tpArc);
  EXPECT_EQ(env.shell.globalTypeProfiles, tpLinear) << "reset for the next window";
  EXPECT_EQ(window->Proportional(), PropInM21);
  EXPECT_EQ(window->SimpleIndexStretch, 1);
  EXPECT_EQ(env.shell.count, 42);
  for (int i = 0; i < kChannelSlots; ++i)
    EXPECT_EQ(window->GetView2DByIndx(i)->Settings()->GetFileName(), env.acquisition.lastFolder + "Prof41.frn") << i;
  EXPECT_EQ(env.acquisition.lastFile, QStringLiteral("Prof41.frn"));
  EXPECT_GE(env.shell.buttonDirectCalls, 1);
  for (TCheckBox* box : {window->HyperbolaCheckButton, window->DepthCheckButton, window->SimpleHyperbolaCheckBox,
                         window->SimpleDepthCheckBox})
    EXPECT_TRUE(box->PushLike()) << box->Name().toStdString();
  EXPECT_FALSE(window->FlipSpeedButton->Enabled());
  EXPECT_FALSE(window->TopoCorrSpeedButton->Enabled());
  // Without a radar every channel stacks adaptively.
  EXPECT_TRUE(window->GetView2DByIndx(1)->Settings()->GetAdvanceStacking());
}

TEST_F(View2DLife, AStartTraceIsTheRadarsShiftInStepsOfTheMaster) {
  struct TCase {
    int32_t shift;  // 10^-5 m
    double step;    // mm
    int64_t trace;
  } const cases[] = {
      {100000, 50, 20}, {-100000, 50, -20}, {12500, 50, 2}, {37500, 50, 8}, {100000, 0, 0}, {100000, -25, -40},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TView2DForm::StartTraceOfShift(c.shift, c.step), c.trace) << c.shift << " at " << c.step;
}

// ---- Radars -------------------------------------------------------------------------------

// The radar set posts to the real window and finds its channels there.
class TWindowRadarShell : public TFakeRadarShell {
public:
  HWND CurrentChildHandle() const override { return child ? child->Handle() : nullptr; }
  IRadarSetWindow* CurChildWindow() const override { return child; }
  TView2DForm* child = nullptr;
};

radarsim::TSimConfig Unit(uint8_t mode, uint8_t channel, uint16_t serial) {
  radarsim::TSimConfig c;
  c.MasterSlaveMode = mode;
  c.Channel = channel;
  c.RadarCount = 2;
  c.SerialNumber = serial;
  c.RadarType = Unit02;
  return c;
}

TEST_F(View2DLife, ANewRecordingWithTwoRadarsBindsEachChannelToItsRadar) {
  // The default settings give the master channel a trace step of 50 mm.
  {
    TView2DForm* defaults = env.Create(1);
    for (int i = 0; i < kChannelSlots; ++i) {
      TSettingData* settings = defaults->GetView2DByIndx(i)->Settings();
      settings->SetWheelMult(1);
      settings->SetWheelStep(50);
    }
    ASSERT_TRUE(defaults->SaveBSTT(ProgramFolder() + QStringLiteral("bstt")));
    defaults->Free();
  }

  TWindowRadarShell radarShell;
  THooksScope hooks{&radarShell, nullptr};
  radarsim::TPtyRadarSim master(Unit(1, 0, 501));
  radarsim::TPtyRadarSim slave(Unit(2, 1, 502));
  ASSERT_TRUE(master.Ok() && slave.Ok());
  {
    TRadarSet set;
    ASSERT_TRUE(set.ActiveRadar.CreateRadar(QString::fromStdString(master.SlavePath())));
    ASSERT_TRUE(set.ActiveRadar.CreateRadar(QString::fromStdString(slave.SlavePath())));
    set.FinishSet();
    Application->ProcessMessages();
    TRadar* masterRadar = set.ControlRadar.SlotRadar(0);
    TRadar* slaveRadar = set.ControlRadar.SlotRadar(1);
    ASSERT_NE(masterRadar, nullptr);
    ASSERT_NE(slaveRadar, nullptr);
    ASSERT_EQ(NewViewChannalCount(), 2) << "the set counts its radars";
    slaveRadar->SetXshift(100000);  // 1.0 m along the track

    env.shell.controlRadar = &set.ControlRadar;
    env.shell.countRadarFromMaster = 2;
    TView2DForm* window = env.Create(2);
    ASSERT_FALSE(env.shell.errorNewCreate);
    EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetMeasureStep(), 50.0f);
    EXPECT_EQ(window->ChannelSettings(0)->GetSettingRadar(), masterRadar);
    EXPECT_EQ(window->ChannelSettings(1)->GetSettingRadar(), slaveRadar);
    // Shown, the channels take their radars' serial numbers.
    EXPECT_EQ(window->ChannelSettings(0)->GetSerNum(), 501);
    EXPECT_EQ(window->ChannelSettings(1)->GetSerNum(), 502);
    const T2Dview* second = window->GetView2DByIndx(1);
    EXPECT_EQ(second->PosTraces(), 20);
    EXPECT_EQ(second->MinNumTraces(), 20);
    EXPECT_EQ(second->MaxNumTraces(), 20);
    EXPECT_EQ(slaveRadar->LastPaint.load(), 20);
    EXPECT_EQ(slaveRadar->LastRecived.load(), 20);
    EXPECT_EQ(window->GetView2DByIndx(0)->PosTraces(), 0);
    EXPECT_EQ(env.shell.currentRadar, masterRadar);

    // The set announces itself again to the window, now the current one; the
    // binding runs also while the main window re-checks a device.
    window->ChannelSettings(0)->SetSettingRadar(nullptr);
    window->ChannelSettings(1)->SetSettingRadar(nullptr);
    window->MasterChannal = 3;
    env.shell.SetCurrentRadar(nullptr);
    env.shell.checkDeviceRunned = true;
    radarShell.child = window;
    radarShell.hasCurrentChild = true;
    set.FinishSet();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return window->MasterChannal == 0; }, kBound));
    EXPECT_TRUE(env.shell.checkDeviceRunned) << "restored after the binding";
    EXPECT_EQ(window->ChannelSettings(0)->GetSettingRadar(), masterRadar);
    EXPECT_EQ(window->ChannelSettings(1)->GetSettingRadar(), slaveRadar);
    EXPECT_EQ(env.shell.currentRadar, masterRadar);
    EXPECT_FALSE(window->ViewSectOfDeep) << "two channels show no depth slice";
    EXPECT_EQ(window->CountChannalView, 2);
    EXPECT_GE(env.shell.gprStatusRefreshes, 1);

    window->Free();
    env.shell.controlRadar = nullptr;
    set.ActiveRadar.RadarFree();
  }
}

TEST_F(View2DLife, TheDepthSliceShowsOnlyForThreeChannelsOrMore) {
  struct TCase {
    int created, counted;
    bool slice;
  } const cases[] = {{3, 3, true}, {2, 3, false}, {3, 2, false}, {5, 4, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.created << " created, " << c.counted << " counted");
    TView2DForm* window = env.Create(c.created);
    SetNewViewChannalCount(c.counted);
    window->Perform(WM_RADARSLOADED, 0, 0);
    EXPECT_EQ(window->ViewSectOfDeep, c.slice);
    EXPECT_EQ(window->CountChannalView, c.counted) << "a fresh window takes the set's count";
    window->Free();
  }
}

TEST_F(View2DLife, TheSimpleModeShowsOnlyItsPageAndLocksItsButtonsWhileRecording) {
  struct TCase {
    bool simple, recording;
  } const cases[] = {{true, false}, {true, true}, {false, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "simple " << c.simple << ", recording " << c.recording);
    env.shell.simpleMode = c.simple;
    env.shell.radarStarted = c.recording;
    TView2DForm* window = env.Create(1);
    window->UpdateInterface();
    for (TTabSheet* sheet : {window->PropertyTabSheet, window->GPSTabSheet, window->MarkersTabSheet,
                             window->OperationsTabSheet, window->PalTabSheet, window->ToolsTabSheet})
      EXPECT_EQ(sheet->TabVisible(), !c.simple) << sheet->Name().toStdString();
    EXPECT_FALSE(window->SimpleTabSheet->TabVisible());
    if (c.simple) {
      EXPECT_EQ(window->LeftPageControl->ActivePageIndex(), 7);
      EXPECT_EQ(window->LeftPageControl->Width(), 236) << "the pages open";
    }
    for (TControl* control : std::initializer_list<TControl*>{
             window->SimpleBackgroundRemovalSpeedButton, window->SimpleGainSpeedButton, window->SimplePalettesSpeedButton,
             window->SimpleZoomSpeedButton, window->SimpleStretchSpeedButton, window->SimpleSpeedPanel})
      EXPECT_EQ(control->Enabled(), !c.recording) << control->Name().toStdString();
    window->Free();
  }
}

// ---- Active channel -------------------------------------------------------------------------

TEST_F(View2DLife, TheActiveChannelIsMarkedShowsItsMarkersAndBringsItsRadar) {
  TView2DForm* window = env.Create(3);
  TFakeRadar radar0, radar2;
  window->ChannelSettings(0)->SetSettingRadar(&radar0);
  window->ChannelSettings(2)->SetSettingRadar(&radar2);
  TChart* chart0 = window->GetChartByIndx(0);
  TChart* chart2 = window->GetChartByIndx(2);

  window->ChartViewClick(chart2);
  EXPECT_EQ(window->NumActiveView, 2);
  EXPECT_EQ(chart2->Color(), static_cast<TColor>(0xD1D1FF));
  EXPECT_EQ(chart0->Color(), clBtnFace);
  EXPECT_EQ(env.shell.currentRadar, &radar2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(window->GetObjectsTreeViewByIndx(i)->Visible(), i == 2) << i;

  // Nothing for no chart or a chart of no channel.
  auto* stranger = new TChart(window);
  window->SetActiveView(nullptr);
  window->SetActiveView(stranger);
  EXPECT_EQ(window->NumActiveView, 2);
  EXPECT_EQ(env.shell.currentRadar, &radar2);

  window->SetActiveView(chart0);
  EXPECT_EQ(chart2->Color(), clBtnFace);
  EXPECT_EQ(chart0->Color(), static_cast<TColor>(0xD1D1FF));
  EXPECT_EQ(env.shell.currentRadar, &radar0);
  EXPECT_TRUE(window->GetObjectsTreeViewByIndx(0)->Visible());
  EXPECT_FALSE(window->GetObjectsTreeViewByIndx(2)->Visible());
  window->ChannelSettings(0)->SetSettingRadar(nullptr);
  window->ChannelSettings(2)->SetSettingRadar(nullptr);
}

// ---- Buttons that follow the master's settings ----------------------------------------------

TEST_F(View2DLife, ButtonsFollowTheMastersDistanceSettings) {
  struct TCase {
    const char* what;
    TRunMode mode;
    TTopoType topo;
    double step;
    double calibration;
    bool opened;
    int nmeaLines;
    bool proportion, hyperbola, topoCorrection, flip, distance;
  } const cases[] = {
      {"wheel with a step", rmWheel, ttWheel, 20, 1.05, false, 0, true, true, true, false, true},
      {"wheel without a step", rmWheel, ttWheel, 0, 1.0, false, 0, false, false, false, false, true},
      {"GPS places no trace by distance", rmWheel, ttGPS, 20, 0.5, false, 0, true, false, false, false, true},
      {"no distance source", rmWheel, ttNil, 20, 1.0, false, 0, false, false, false, false, true},
      {"time mode", rmCont, ttOdometerA, 20, 1.0, true, 5, true, false, true, true, false},
      {"a long GPS track cannot flip", rmStep, ttWheel, 20, 1.2, true, 6, true, false, false, false, false},
  };
  TView2DForm* window = env.Create(2);
  window->MasterChannal = 1;
  T2Dview* master = window->GetView2DByIndx(1);
  T2Dview* first = window->GetView2DByIndx(0);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TSettingData& settings = *master->Settings();
    settings.SetRunMode(c.mode);
    settings.SetTopoType(c.topo);
    settings.SetWheelMult(1);
    settings.SetWheelStep(c.step);
    settings.CalibrationQuality = c.calibration;
    first->WasOpen = c.opened;
    first->Settings()->NMEIStrings = QStringList();
    for (int k = 0; k < c.nmeaLines; ++k) first->Settings()->NMEIStrings.append(QStringLiteral("$GPGGA"));

    window->PrepareButtons();
    for (TSpeedButton* button : {window->Prop21SpeedButton, window->Prop11SpeedButton, window->Prop12SpeedButton})
      EXPECT_EQ(button->Enabled(), c.proportion);
    EXPECT_EQ(window->HyperbolaCheckButton->Enabled(), c.hyperbola);
    EXPECT_EQ(window->DepthCheckButton->Enabled(), c.hyperbola);
    EXPECT_EQ(window->SimpleSpeedPanel->Visible(), c.hyperbola);
    EXPECT_EQ(window->TopoCorrSpeedButton->Enabled(), c.topoCorrection);
    EXPECT_EQ(window->FlipSpeedButton->Enabled(), c.flip);
    EXPECT_EQ(window->DistanceMenu->Checked(), c.distance);
    EXPECT_EQ(window->TracesMenu->Checked(), !c.distance);
    EXPECT_EQ(window->SimpleSurfMarkerSpeedButton->Visible(), !c.opened);
    EXPECT_FALSE(window->SimpleDelSurfMarkerSpeedButton->Visible());
  }
}

// ---- Profile Offset panel and keys -----------------------------------------------------------

TEST_F(View2DLife, OffsetEditsStoreTheFieldInHundredThousandthsOfAMetreWithinItsRange) {
  TView2DForm* window = env.Create(1);
  struct TCase {
    TDigitEdit* edit;
    long double metres;
    int32_t field;
  } const cases[] = {
      {window->XOffsetDigitEdit, 2.5L, 250000},
      {window->YOffsetDigitEdit, 0.000004L, 0},
      {window->ZOffsetDigitEdit, -1.25L, -125000},
      {window->XOffsetDigitEdit, 2000000.0L, 2147483647},
      {window->ZOffsetDigitEdit, -2000000.0L, -2147483647},
  };
  for (const TCase& c : cases) {
    c.edit->SetValueReal(c.metres);
    c.edit->OnChangeFinish(c.edit);
  }
  EXPECT_EQ(window->DeviceX(), 2147483647);
  EXPECT_EQ(window->DeviceY(), 0);
  EXPECT_EQ(window->DeviceZ(), -2147483647);
  window->XOffsetDigitEdit->SetValueReal(2.5L);
  window->XOffsetDigitEdit->OnChangeFinish(window->XOffsetDigitEdit);
  EXPECT_EQ(window->DeviceX(), 250000);
  EXPECT_EQ(TView2DForm::OffsetField(-1.25L), -125000);

  window->SetDeviceBox(static_cast<TTypeGPRDevice>(7), 1);
  window->UpdateOffsetPanel();
  for (TDigitEdit* edit : {window->XOffsetDigitEdit, window->YOffsetDigitEdit, window->ZOffsetDigitEdit})
    EXPECT_EQ(edit->Step(), 0.01L);
  window->SetDeviceBox(tdBox02, 1);
  window->TypeProfiles = tpArc;
  window->UpdateOffsetPanel();
  for (TDigitEdit* edit : {window->XOffsetDigitEdit, window->YOffsetDigitEdit, window->ZOffsetDigitEdit})
    EXPECT_EQ(edit->Step(), 0.1L);
  EXPECT_TRUE(window->ArcProfileImage->Visible());
  EXPECT_FALSE(window->LinearProfileImage->Visible());
}

TEST_F(View2DLife, EscapeBreaksAndSpaceMarksTopographyOnlyWhileTheRadarRuns) {
  TView2DForm* window = env.Create(1);
  TFakeRadar radar;
  const auto press = [&](WORD key) { window->OnKeyDown(window, key, TShiftState{}); };
  press(VK_ESCAPE);
  EXPECT_TRUE(window->Br);

  press(VK_SPACE);
  EXPECT_FALSE(window->ReadyTopo) << "no current radar";
  env.shell.currentRadar = &radar;
  press(VK_SPACE);
  EXPECT_FALSE(window->ReadyTopo) << "the radar is stopped";
  radar.SetCurMode(cmWheel);
  press(VK_SPACE);
  EXPECT_TRUE(window->ReadyTopo);
  env.shell.currentRadar = nullptr;
}

TEST_F(View2DLife, EnterInTheAsideEditTakesItAndClosesTheOffsetPanel) {
  TView2DForm* window = env.Create(1);
  window->OffsetPanel->Show();
  window->YOffsetDigitEdit->SetValueReal(1.5L);
  WORD key = VK_RETURN;
  window->OnKeyDown(window, key, TShiftState{});
  EXPECT_TRUE(window->OffsetPanel->Visible()) << "Enter elsewhere is no OK";
  EXPECT_EQ(window->DeviceY(), 0);

  window->YOffsetDigitEdit->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window->YOffsetDigitEdit->Focused(); }, kBound));
  window->OnKeyDown(window, key, TShiftState{});
  EXPECT_EQ(window->DeviceY(), 150000);
  EXPECT_FALSE(window->OffsetPanel->Visible());
}

TEST_F(View2DLife, ActivationAfterAClosedWindowRelaysAndCountsTheChildren) {
  TView2DForm* window = env.Create(2);
  env.shell.closeChild = true;
  env.shell.buttonDirectCalls = 0;
  env.shell.mdiChildCountOld = -1;
  window->OnActivate(window);
  EXPECT_FALSE(env.shell.closeChild);
  EXPECT_EQ(env.shell.buttonDirectCalls, 1);
  EXPECT_EQ(env.shell.mdiChildCountOld, 1);
}

// ---- Closing ----------------------------------------------------------------------------------

TEST_F(View2DLife, TheRecordingWindowIsNotClosedWhileTheMasterRecords) {
  TControlRadar set;
  TFakeRadar master;
  set.AddRadarToChanal(0, &master);
  env.shell.controlRadar = &set;
  TView2DForm* window = env.Create(1);
  GiveUnsavedTraces(*window);
  env.shell.runChild = window;
  for (TCurMode mode : {cmWheel, cmCont, cmGPS}) {
    master.SetCurMode(mode);
    EXPECT_FALSE(window->CloseQuery()) << int{mode};
  }
  EXPECT_TRUE(TDialogScript::Shown().empty()) << "refused without a question";

  // A radar at the cursor is stopped and pinged; then the window asks about its
  // data as any other, and a shown GPS display is released first.
  master.SetCurMode(cmCursor);
  window->GetLocationDataButton->SetDown(true);
  env.shell.radarPausedWithGPS = true;
  TDialogScript::QueueAnswer(mrNo);
  EXPECT_TRUE(window->CloseQuery());
  EXPECT_EQ(master.SentCodes(), (std::vector<uint8_t>{bcpWheelRotate_Stop, bcpPing2}));
  EXPECT_FALSE(window->GetLocationDataButton->Down());
  EXPECT_FALSE(env.shell.radarPausedWithGPS);
  EXPECT_EQ(env.shell.runChild, nullptr);
  env.shell.controlRadar = nullptr;
  set.RadarNil();
}

TEST_F(View2DLife, TheDataQuestionClosesOnlyWhatIsSavedOrGivenUp) {
  struct TCase {
    const char* what;
    int answer;
    bool saveSucceeds;
    bool closes;
    int saves;
  } const cases[] = {
      {"Cancel keeps the window", mrCancel, true, false, 0},
      {"No closes without saving", mrNo, true, true, 0},
      {"Yes with a failing save keeps the window", mrYes, false, false, 1},
      {"Yes with a save closes", mrYes, true, true, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TView2DForm* window = env.Create(1);
    GiveUnsavedTraces(*window);
    const QString file = window->ChannelSettings(0)->GetFileName();
    env.shell.saves = 0;
    env.shell.saveSucceeds = c.saveSucceeds;
    env.shell.reopenList.clear();
    env.shell.closeChild = false;
    const size_t shown = TDialogScript::Shown().size();
    TDialogScript::QueueAnswer(c.answer);
    EXPECT_EQ(window->CloseQuery(), c.closes);
    ASSERT_EQ(TDialogScript::Shown().size(), shown + 1);
    EXPECT_EQ(TDialogScript::Shown().back().Text,
              QStringLiteral("Save the %1 file before closed?").arg(ExtractFileName(file)));
    EXPECT_EQ(env.shell.saves, c.saves);
    EXPECT_EQ(env.shell.closeChild, c.closes) << "a refused close is no closing child";
    EXPECT_EQ(env.shell.reopenList, c.closes ? std::vector<QString>{file} : std::vector<QString>{});
    EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 1) << "the data stay";
    window->GetView2DByIndx(0)->SetNeedForSave(false);
    window->Free();
  }
}

TEST_F(View2DLife, TheToolsQuestionAndTheMainWindowsStateDecideAWindowWithoutData) {
  TView2DForm* window = env.Create(1);
  window->TlsNeedForSave = true;
  TDialogScript::QueueAnswer(mrCancel);
  EXPECT_FALSE(window->CloseQuery());
  ASSERT_FALSE(TDialogScript::Shown().empty());
  EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("Save tools for the %1 file before closed?").arg(window->Caption()));
  EXPECT_FALSE(env.shell.closeChild);
  EXPECT_FALSE(env.shell.startResize);

  // No: the window goes, and the main window re-lays the others first.
  TDialogScript::QueueAnswer(mrNo);
  EXPECT_TRUE(window->CloseQuery());
  EXPECT_TRUE(env.shell.startResize);
  EXPECT_TRUE(env.shell.closeChild);
  EXPECT_TRUE(env.shell.reopenList.empty()) << "no data, nothing to reopen";

  // While the main window resizes, a window waits for it without a question.
  const size_t shown = TDialogScript::Shown().size();
  EXPECT_FALSE(window->CloseQuery());
  EXPECT_EQ(TDialogScript::Shown().size(), shown);
  // A closing main window closes it all the same.
  env.shell.closedMain = true;
  TDialogScript::QueueAnswer(mrNo);
  EXPECT_TRUE(window->CloseQuery());

  // Nothing closes while the Run button is down or a tool dialog is open.
  window->TlsNeedForSave = false;
  env.shell.runButtonDown = true;
  EXPECT_FALSE(window->CloseQuery());
  env.shell.runButtonDown = false;
  window->VisibleToolWnd = true;
  EXPECT_FALSE(window->CloseQuery());
  window->VisibleToolWnd = false;
  EXPECT_TRUE(window->CloseQuery());
}

TEST_F(View2DLife, ClosingTellsTheMainWindowAndFreesTheWindow) {
  TView2DForm* window = env.Create(1);
  env.shell.curChild = window;
  env.shell.runChild = window;
  env.shell.closeChild = false;
  window->Close();
  Application->ProcessMessages();
  EXPECT_EQ(env.shell.curChild, nullptr);
  EXPECT_EQ(env.shell.runChild, nullptr);
  EXPECT_FALSE(env.shell.radarPausedWithGPS);
  EXPECT_TRUE(env.shell.closeChild);
  EXPECT_EQ(env.frame->MDIChildCount(), 0) << "the window went";
  EXPECT_GE(env.shell.mdiChildCountOld, 0) << "the main window counted its children";
}

}  // namespace
