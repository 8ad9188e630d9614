// The radar set's rules on radars that answer every command at once: control and
// queries, device-box kinds, the status text, the consistency test, the channel set
// with its multi-radar mode and announcement, the start, stop and resume sequences,
// the inclinometer calibration and what the set writes into the radargram window.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/setting_data.h"
#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/radar_set.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

using TCodes = std::vector<uint8_t>;

class RadarSetRules : public ::testing::Test {
protected:
  void SetUp() override { shell.curChildWindow = &window; }
  void TearDown() override { Application->ProcessMessages(); }
  QString ShownText(size_t before) {
    const auto shown = TDialogScript::Shown();
    return shown.size() == before + 1 ? shown.back().Text : QStringLiteral("<%1 boxes>").arg(shown.size() - before);
  }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  THooksScope hooks{&shell, nullptr};
  TFakeSetWindow window;
  TRadarSet set;  // registers itself; destroyed (radars freed) before the hooks go
};

TEST_F(RadarSetRules, SlotsQueriesAndTheMainWindowsDeviceCheck) {
  TControlRadar& control = set.ControlRadar;
  std::unique_ptr<TFakeRadar> a(NewAnsweringRadar(QStringLiteral("a"))), b(NewAnsweringRadar(QStringLiteral("b"))),
      c(NewAnsweringRadar(QStringLiteral("c")));
  EXPECT_FALSE(control.Active());
  control.RadarAdd(a.get());
  control.RadarAdd(a.get());
  control.RadarAdd(b.get());
  EXPECT_EQ(control.GetCountPluginRadars(), 2) << "a radar is added once";
  EXPECT_EQ(control.GetIndexRadar(b.get()), 1) << "into the first empty slot";
  control.AddRadarToChanal(3, c.get());
  control.AddRadarToChanal(5, a.get());
  EXPECT_EQ(control.SlotRadar(3), c.get());
  EXPECT_EQ(control.GetIndexRadar(a.get()), 0) << "no slot 5";
  EXPECT_TRUE(control.Active());
  EXPECT_TRUE(control.isPresentComNumber(QStringLiteral("c")));
  EXPECT_FALSE(control.isPresentComNumber(QStringLiteral("C")));
  c->SetSerNum(4242);
  control.AddRadarToChanal(3, c.get());
  EXPECT_TRUE(LogContains(c->Log().FileName(), QStringLiteral("Add USBRadar : 4242 channal: 3")));

  c->TimerId = 77;
  EXPECT_EQ(control.GetRadarByIdTimer(77), c.get());
  EXPECT_EQ(control.GetRadarByIdTimer(0), nullptr);
  c->TimerId = 0;
  EXPECT_EQ(control.GetRadarByIndex(1), b.get());
  EXPECT_EQ(control.GetRadarByIndex(5), nullptr);
  EXPECT_EQ(control.GetRadarByIndex(-1), nullptr);
  shell.checkDeviceRunning = true;
  EXPECT_EQ(control.GetRadarByIndex(1), nullptr) << "no radar while a device is re-checked";
  shell.checkDeviceRunning = false;
  shell.deleteDeviceRunning = true;
  EXPECT_EQ(control.GetRadarByIndex(1), nullptr) << "no radar while a device is removed";
  shell.deleteDeviceRunning = false;

  control.SetMasterChannal(1);
  EXPECT_EQ(control.GetMasterRadar(), b.get());
  control.SetMasterChannal(7);
  EXPECT_EQ(control.GetMasterRadar(), nullptr);

  b->SetModeRadar(TRadarRole::slave);
  c->SetModeRadar(TRadarRole::slave);
  EXPECT_TRUE(control.isSlaveRunEnded());
  c->FRun = true;
  EXPECT_FALSE(control.isSlaveRunEnded());
  c->SetModeRadar(TRadarRole::master);
  EXPECT_TRUE(control.isSlaveRunEnded()) << "only slaves count";

  control.RadarNil();
  EXPECT_FALSE(control.Active());
  EXPECT_EQ(control.GetPresentRadarNotNil(), nullptr);
}

TEST_F(RadarSetRules, DeviceBoxKinds) {
  struct TCase {
    uint8_t type;
    bool multi, dual;
  };
  const TCase cases[] = {{0, false, false},    {1, true, false},     {2, true, true},  {7, true, false},
                         {8, false, false},    {16, false, false},   {17, true, false}, {0x81, true, false},
                         {0x82, true, false},  {0x88, false, false}, {0x91, true, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(IsMultiChannelGPRDevice(c.type), c.multi);
    EXPECT_EQ(TControlRadar::isGPRDeviceReverseInclinometr(static_cast<TTypeGPRDevice>(c.type)), c.multi);
    EXPECT_EQ(TControlRadar::isDualFrequenceGPRDevice(static_cast<TTypeGPRDevice>(c.type)), c.dual);
  }
}

TEST_F(RadarSetRules, StatusTextOfTheSet) {
  struct TCase {
    const char* what;
    bool complete;
    uint8_t device;
    std::vector<int> occupied;  // slots with a radar
    uint16_t serial;         // of every radar
    QString expected;
  };
  const TCase cases[] = {
      {"not complete", false, 2, {0}, 5, QString()},
      {"box, slot 0 empty", true, 2, {1, 2}, 5, QString()},
      {"box, slot 0 with a serial", true, 2, {0, 1}, 5, QStringLiteral("Box02")},
      {"box, slot 0 without a serial", true, 0x81, {0, 1}, 0, QStringLiteral("Unit03")},
      {"other box, two radars", true, 9, {0, 3}, 5, QStringLiteral("Box09")},
      {"other box, one radar in slot 0", true, 9, {0}, 5, QStringLiteral("Unit03")},
      {"other box, one radar elsewhere", true, 9, {2}, 5, QString()},
      {"no box, no radar", true, 0, {}, 5, QStringLiteral("Unknown")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TControlRadar control;
    std::vector<std::unique_ptr<TFakeRadar>> radars;
    for (int slot : c.occupied) {
      radars.emplace_back(NewAnsweringRadar(QStringLiteral("s%1").arg(slot), 0, c.serial));
      radars.back()->SetRadarType(Unit03);
      control.AddRadarToChanal(slot, radars.back().get());
    }
    control.SetCompleteList(c.complete);
    control.SetTypeGPRDevice(static_cast<TTypeGPRDevice>(c.device));
    EXPECT_EQ(control.GetListRadar(), c.expected);
  }
}

// The stop of one radar by its mode: what goes on the wire.
TEST_F(RadarSetRules, StopSequencesByModeAndTheBidirectionalWheelRule) {
  struct TCase {
    const char* what;
    TCurMode mode;
    uint16_t firmware;
    bool simple;
    TtypeGPSstate masterGps;
    bool settingsVisible;
    TCodes expected;
  };
  const TCase cases[] = {
      {"step", cmStep, 19, false, gpsNone, false, {bcpStop, bcpPing2}},
      {"continuous", cmCont, 19, false, gpsNone, false, {bcpStop, bcpPing2}},
      {"wheel", cmWheel, 19, false, gpsNone, false, {bcpStop, bcpPing2}},
      {"GPS", cmGPS, 19, false, gpsPos, false, {bcpStop, bcpPing2}},
      {"stopped", cmStop, 19, false, gpsNone, false, {}},
      {"cursor", cmCursor, 19, false, gpsNone, false, {}},
      {"bidirectional, simple mode, firmware 5", cmBiDirectionalWheel, 5, true, gpsPos, false,
       {bcpStop, bcpWheelRotate_Start, bcpPing2}},
      {"bidirectional, no GPS", cmBiDirectionalWheel, 19, false, gpsNone, false,
       {bcpStop, bcpWheelRotate_Start, bcpPing2}},
      {"bidirectional, GPS position", cmBiDirectionalWheel, 19, false, gpsPos, false, {bcpStop, bcpPing2}},
      {"bidirectional, firmware 4", cmBiDirectionalWheel, 4, true, gpsNone, false, {bcpStop, bcpPing2}},
      {"bidirectional, settings window shown", cmBiDirectionalWheel, 19, true, gpsNone, true, {bcpStop, bcpPing2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TControlRadar control;
    std::unique_ptr<TFakeRadar> master(NewAnsweringRadar(QStringLiteral("m"), 1)), radar(NewAnsweringRadar(QStringLiteral("r"), 2));
    control.AddRadarToChanal(0, master.get());
    control.AddRadarToChanal(1, radar.get());
    master->SetGPSstate(c.masterGps);
    radar->SetFirmwareVer(c.firmware);
    radar->SetCurMode(c.mode);
    shell.simpleMode = c.simple;
    shell.settingsVisible = c.settingsVisible;
    control.StopRadarGetData(1);
    EXPECT_EQ(radar->SentCodes(), c.expected);
    EXPECT_TRUE(master->SentCodes().empty());
  }
}

TEST_F(RadarSetRules, StartSequencesByRoleChannelAndFirmware) {
  struct TCase {
    const char* what;
    uint8_t role;
    uint16_t firmware;
    bool holdsTraces;
    TCurMode mode;
    bool withWindow;
    TCodes expected;
    uint8_t runMode;
  };
  const TCodes full = {bcpWheelRotate_Stop, bcpLoadData, bcpLoad_Steck_Curve, bcpPing2, bcpStart};
  const TCase cases[] = {
      {"master, new channel", 1, 19, false, cmStop, true, full, rmWheel},
      {"slave runs continuously", 2, 19, false, cmStop, true, full, rmCont},
      {"a channel with traces keeps its parameters", 0, 19, true, cmStop, true,
       {bcpWheelRotate_Stop, bcpLoad_Steck_Curve, bcpPing2, bcpStart}, rmWheel},
      {"firmware 6 has no stacking curve", 0, 6, false, cmStop, true,
       {bcpWheelRotate_Stop, bcpLoadData, bcpPing2, bcpStart}, rmWheel},
      {"no window, cursor mode", 0, 5, false, cmCursor, false,
       {bcpWheelRotate_Stop, bcpPing2, bcpStart}, rmStep},
      {"no window, firmware 4 in cursor mode", 0, 4, false, cmCursor, false, {bcpPing2, bcpStart}, rmStep},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetWindow view;
    view.AddChannel(0).SetStackingVolume(12);
    view.AddChannel(1).SetRunMode(rmWheel);
    view.holdsTraces[1] = c.holdsTraces;
    shell.curChildWindow = c.withWindow ? &view : nullptr;
    TControlRadar control;
    std::unique_ptr<TFakeRadar> radar(NewAnsweringRadar(QStringLiteral("r"), c.role));
    radar->SetFirmwareVer(c.firmware);
    radar->onQueued = [r = radar.get()](const TBytes& packet) {
      // The wheel-rotation stop reply puts the unit out of cursor mode.
      if (packet[6] == bcpWheelRotate_Stop) r->SetCurMode(cmStop);
      r->EndReplyWait(static_cast<uint8_t>(packet[6] + 1));
    };
    radar->SetCurMode(c.mode);
    control.AddRadarToChanal(1, radar.get());
    control.StartRadarGetData(1);
    EXPECT_EQ(radar->SentCodes(), c.expected);
    ASSERT_FALSE(radar->Sent().empty());
    EXPECT_EQ(radar->Sent().back(), Frame(bcpStart, {c.runMode}));
    if (c.withWindow) {
      EXPECT_EQ(view.ChannelSettings(1)->GetStackingVolume(), 12) << "channel 0's stacking volume";
      EXPECT_EQ(view.firstTraces, std::vector<int>{1});
    }
    shell.curChildWindow = &window;
  }
}

TEST_F(RadarSetRules, StartAndResumeReportMissingRadarsAndViews) {
  TControlRadar control;
  std::unique_ptr<TFakeRadar> a(NewAnsweringRadar(QStringLiteral("a"))), b(NewAnsweringRadar(QStringLiteral("b"))),
      c(NewAnsweringRadar(QStringLiteral("c")));
  window.AddChannel(0);
  window.AddChannel(3);

  size_t shown = TDialogScript::Shown().size();
  TDialogScript::QueueAnswer(mrOk);
  control.StartAllRadarGetData();
  EXPECT_EQ(ShownText(shown), QStringLiteral("GPR is not available\r\nRadar 0 not found"));
  control.AddRadarToChanal(0, a.get());
  control.AddRadarToChanal(1, b.get());
  control.AddRadarToChanal(3, c.get());

  shown = TDialogScript::Shown().size();
  TDialogScript::QueueAnswer(mrOk);
  control.StartAllRadarGetData();
  EXPECT_EQ(ShownText(shown), QStringLiteral("View 1 not create"));
  EXPECT_EQ(a->SentCodes().back(), bcpStart);
  EXPECT_TRUE(b->SentCodes().empty());
  EXPECT_EQ(c->SentCodes().back(), bcpStart) << "the start goes on past the missing view and the empty slot";

  const size_t sentToA = a->Sent().size();
  const size_t sentToC = c->Sent().size();
  shown = TDialogScript::Shown().size();
  TDialogScript::QueueAnswer(mrOk);
  control.ResumeAllRadarGetData();
  EXPECT_EQ(ShownText(shown), QStringLiteral("View 1 not create"));
  EXPECT_EQ(a->Sent().size(), sentToA + 1);
  EXPECT_EQ(a->SentCodes().back(), bcpResumeTransfer);
  EXPECT_EQ(c->Sent().size(), sentToC) << "the resume stops at the missing view";

  window.AddChannel(1);
  shown = TDialogScript::Shown().size();
  control.ResumeAllRadarGetData();
  EXPECT_EQ(TDialogScript::Shown().size(), shown) << "the resume stops quietly at the empty slot 2";
  EXPECT_EQ(b->SentCodes(), TCodes{bcpResumeTransfer});
  EXPECT_EQ(c->Sent().size(), sentToC);
}

TEST_F(RadarSetRules, TheSetTestByRolesWithItsLogLines) {
  struct TCase {
    const char* what;
    std::vector<uint8_t> roles;  // radar k in slot k
    int countFromMaster;
    bool passes;
    QString counts, error;
    int remaining;
  };
  const TCase cases[] = {
      {"one single", {0}, 1, true, QStringLiteral("Single  : 1 Master  : 0 Slave   : 0 Unknown : 0"), QString(), 1},
      {"unknown role", {1, 7}, 2, false, QStringLiteral("Single  : 0 Master  : 1 Slave   : 0 Unknown : 1"),
       QStringLiteral("Error : Unknown Radar"), 2},
      {"two singles", {0, 0}, 1, false, QString(), QStringLiteral("Error : Count Single Radar > 1"), 2},
      {"single beside a master and a slave", {0, 1, 2}, 3, true, QString(),
       QStringLiteral("Error : Single Radar + No single Radar"), 1},
      {"two masters", {1, 1}, 2, false, QString(), QStringLiteral("Error :  Count Master Radar > 1"), 2},
      {"count differs", {1, 2}, 3, false, QString(), QStringLiteral("Error :  CountActiveRadar=2<> CountRadarFromMaster=3"), 2},
      {"master and two slaves", {1, 2, 2}, 3, true, QStringLiteral("Single  : 0 Master  : 1 Slave   : 2 Unknown : 0"),
       QString(), 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TActiveRadar active;
    std::vector<std::shared_ptr<const std::atomic<bool>>> alive;
    for (size_t k = 0; k < c.roles.size(); ++k) {
      TRadar* radar = NewAnsweringRadar(QStringLiteral("t%1").arg(k), c.roles[k], static_cast<uint16_t>(100 + k),
                               static_cast<uint8_t>(k));
      alive.push_back(radar->LifeToken());
      active.RadarAddToChannal(radar);
    }
    const QString log = active.SlotRadar(0)->Log().FileName();
    shell.countRadarFromMaster = c.countFromMaster;
    EXPECT_EQ(active.TestErrorActiveRadar(), c.passes);
    const QStringList lines = ReadLogLines(log);
    for (const QString& expected : {c.counts, c.error}) {
      if (!expected.isEmpty()) {
        EXPECT_EQ(lines.filter(expected).size(), 1) << lines.join(u'\n').toStdString();
      }
    }
    EXPECT_EQ(active.GetCountPluginRadars(), c.remaining);
    for (size_t k = 0; k < c.roles.size(); ++k) {
      const bool kept = active.SlotRadar(static_cast<int>(k)) != nullptr;
      EXPECT_EQ(*alive[k], kept) << "radar " << k << " is freed exactly when it leaves its slot";
    }
    QFile::remove(log);
  }
}

TEST_F(RadarSetRules, DuplicateOrForeignChannelNumbersFreeTheLaterRadar) {
  TActiveRadar active(&set.ControlRadar);
  TRadar* first = NewAnsweringRadar(QStringLiteral("d0"), 1, 1, 1);
  active.RadarAddToChannal(first);
  set.ControlRadar.AddRadarToChanal(4, first);
  for (uint8_t channel : {uint8_t{1}, uint8_t{5}, uint8_t{255}}) {
    SCOPED_TRACE(channel);
    TRadar* later = NewAnsweringRadar(QStringLiteral("d1"), 2, 2, channel);
    const auto alive = later->LifeToken();
    shell.SetCurrentRadar(later);
    active.RadarAddToChannal(later);
    EXPECT_EQ(later, nullptr);
    EXPECT_FALSE(*alive);
    EXPECT_EQ(shell.currentRadar, nullptr) << "the current radar moves to slot 0's (empty here)";
  }
  EXPECT_EQ(active.SlotRadar(1), first);
  active.RadarFree();
  EXPECT_EQ(set.ControlRadar.SlotRadar(4), nullptr) << "the channel set forgets what the owner frees";
}

}  // namespace
