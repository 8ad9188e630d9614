// Finishing a radar set on radars that answer at once: the channel serial numbers
// and the fresh window's channels, the hand-over to the channel set with the
// multi-radar mode, the announcement (or its absence), and what the registered set
// does for the radars: inclinometer calibration, unit types and offsets into the
// radargram window, freeing.

#include "platform/ui/application.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/radar_set.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

using TCodes = std::vector<uint8_t>;

class RadarSetChannels : public ::testing::Test {
protected:
  void SetUp() override {
    shell.curChildWindow = &window;
    shell.hasCurrentChild = true;
    window.AddChannel(0);
  }
  // A radar of the set in the slot of its channel.
  TFakeRadar* Add(uint8_t mode, uint8_t channel, TTypeGPR type = Unit02) {
    TFakeRadar* radar = NewAnsweringRadar(QStringLiteral("ch%1").arg(channel), mode,
                                          static_cast<uint16_t>(700 + channel), channel);
    radar->SetRadarType(type);
    TRadar* placed = radar;
    set.ActiveRadar.RadarAddToChannal(placed);
    EXPECT_EQ(placed, radar);
    return radar;
  }
  static std::vector<UINT> Codes(const std::vector<TMessage>& messages) {
    std::vector<UINT> codes;
    for (const TMessage& m : messages) codes.push_back(m.Msg);
    return codes;
  }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  THooksScope hooks{&shell, nullptr};
  TFakeSetWindow window;
  TRadarSet set;
};

TEST_F(RadarSetChannels, ModeOfTheSetAndItsAnnouncement) {
  struct TCase {
    const char* what;
    std::vector<std::pair<uint8_t, TTypeGPR>> radars;  // (role, unit) of channel k
    int countFromMaster;
    TModeSystemRadars modeBefore, modeAfter;
    bool announced;
  };
  const TCase cases[] = {
      {"a single radar", {{0, Unit02}}, 1, msrSingle, msrSingle, true},
      {"a single radar after an array", {{0, Unit02}}, 1, msrArrayRadar, msrArrayRadar, false},
      {"two time windows: dual frequency", {{1, Unit02}, {2, Unit03}}, 2, msrSingle, msrDualFreqience, true},
      {"one time window: array", {{1, Unit02}, {2, Unit05}}, 2, msrSingle, msrArrayRadar, true},
      {"three radars: array whatever the windows", {{1, Unit02}, {2, Unit03}, {2, Unit01}}, 3, msrDualFreqience,
       msrArrayRadar, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    set.ActiveRadar.RadarFree();
    shell.messages.clear();
    shell.currentChild.messages.clear();
    shell.settings.messages.clear();
    shell.preferences.messages.clear();
    window.containersRead.clear();
    shell.modeSystemRadars = c.modeBefore;
    shell.countRadarFromMaster = c.countFromMaster;
    shell.settingsVisible = true;
    shell.preferencesExist = true;
    NewViewChannalCount = 1;
    for (size_t k = 0; k < c.radars.size(); ++k) Add(c.radars[k].first, static_cast<uint8_t>(k), c.radars[k].second);

    set.FinishSet();
    Application->ProcessMessages();
    const int k = static_cast<int>(c.radars.size());
    EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), k);
    for (int slot = 0; slot < k; ++slot) {
      EXPECT_EQ(set.ControlRadar.SlotRadar(slot), set.ActiveRadar.SlotRadar(slot));
      EXPECT_EQ(ArChannalSerNum[static_cast<size_t>(slot)], 700 + slot);
    }
    EXPECT_EQ(NewViewChannalCount, k);
    EXPECT_EQ(shell.modeSystemRadars, c.modeAfter);
    EXPECT_EQ(shell.strErrorCreateRadar, QString());
    EXPECT_EQ(Codes(shell.messages), c.announced ? std::vector<UINT>{WM_GPRSTATUS} : std::vector<UINT>{});
    const std::vector<UINT> loaded = c.announced ? std::vector<UINT>{WM_RADARSLOADED} : std::vector<UINT>{};
    EXPECT_EQ(Codes(shell.currentChild.messages), loaded);
    EXPECT_EQ(Codes(shell.settings.messages), loaded);
    EXPECT_EQ(Codes(shell.preferences.messages), loaded);
    // A set of several radars brings the settings of its box into a new window.
    const std::vector<QString> read = c.announced && k > 1 ? std::vector<QString>{folder.Path(QStringLiteral("bstt"))}
                                                           : std::vector<QString>{};
    EXPECT_EQ(window.containersRead, read);
  }
}

TEST_F(RadarSetChannels, ASetThatFailsItsTestIsNotAnnounced) {
  shell.countRadarFromMaster = 3;
  shell.settingsVisible = true;
  NewViewChannalCount = 1;
  TFakeRadar* master = Add(1, 0);
  Add(2, 1);
  set.ControlRadar.AddRadarToChanal(4, master);  // left from an earlier set

  set.FinishSet();
  Application->ProcessMessages();
  EXPECT_EQ(shell.strErrorCreateRadar, QStringLiteral(" Error"));
  EXPECT_EQ(Codes(shell.messages), std::vector<UINT>{WM_GPRSTATUS}) << "the status shows the error";
  EXPECT_TRUE(shell.currentChild.messages.empty());
  EXPECT_TRUE(shell.settings.messages.empty());
  EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), 0);
  EXPECT_EQ(NewViewChannalCount, 1);
  const QStringList log = ReadLogLines(master->Log().FileName());
  EXPECT_EQ(log.filter(QStringLiteral("CreateArControlRadar:  CountActiveRadar=5 CountRadarFromMaster=3")).size(), 1);
  EXPECT_EQ(log.filter(QStringLiteral("Error :  CountActiveRadar=2<> CountRadarFromMaster=3")).size(), 1);

  // The third radar joins: the same set is now complete.
  shell.messages.clear();
  Add(2, 2);
  set.FinishSet();
  Application->ProcessMessages();
  EXPECT_EQ(shell.strErrorCreateRadar, QString());
  EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), 3);
  EXPECT_EQ(shell.modeSystemRadars, msrArrayRadar);
  EXPECT_EQ(Codes(shell.currentChild.messages), std::vector<UINT>{WM_RADARSLOADED});
}

TEST_F(RadarSetChannels, SerialNumbersByChannelShowTheChannelsOfAFreshWindowOnly) {
  Add(1, 0);
  Add(2, 3);
  set.ActiveRadar.CreateArChannalSerNum();
  EXPECT_EQ(ArChannalSerNum, (std::array<uint16_t, 5>{700, 0, 0, 703, 0}));
  EXPECT_EQ(window.channelVisible,
            (std::array<std::optional<bool>, 5>{true, false, false, true, false}));

  for (const bool opened : {true, false}) {
    TFakeSetWindow used;
    TSettingData& first = used.AddChannel(0);
    first.SetWasOpen(opened);
    first.WasStarted = !opened;
    shell.curChildWindow = &used;
    set.ActiveRadar.CreateArChannalSerNum();
    EXPECT_EQ(used.channelVisible, (std::array<std::optional<bool>, 5>{})) << "opened " << opened;
  }
  shell.curChildWindow = &window;
}

TEST_F(RadarSetChannels, TheMasterSlotFollowsTheMastersChannel) {
  shell.countRadarFromMaster = 2;
  Add(2, 0);
  TFakeRadar* master = Add(1, 1);
  set.FinishSet();
  EXPECT_EQ(set.ControlRadar.GetMasterRadar(), master);
  EXPECT_EQ(set.ActiveRadar.GetMasterRadar(), master);
}

TEST_F(RadarSetChannels, InclinometerCalibrationOfEveryRadar) {
  TFakeRadar* normal = Add(1, 0);
  TFakeRadar* reversed = Add(2, 1);
  TFakeRadar* running = Add(2, 2);
  reversed->SetInclinometersSett(isReverce);
  running->SetCurMode(cmCont);
  normal->ZeroAngle = 12;
  shell.SetCurrentRadar(normal);

  set.ActiveRadar.StartAllRadarsForInclinometr(true);
  EXPECT_EQ(std::make_pair(normal->GXmin, normal->GXmax), std::make_pair(1000.0, 0.0));
  EXPECT_EQ(std::make_pair(reversed->GXmin, reversed->GXmax), std::make_pair(0.0, 1000.0));
  for (const TFakeRadar* r : {normal, reversed}) {
    EXPECT_EQ(std::make_pair(r->GYmin, r->GYmax), std::make_pair(1000.0, 0.0));
    EXPECT_EQ(std::make_pair(r->GZmin, r->GZmax), std::make_pair(1000.0, 0.0));
    for (int k = 0; k < CalibrationHistoryLength; ++k) {
      EXPECT_EQ(r->GXminArray[k], static_cast<int32_t>(r->GXmin));
      EXPECT_EQ(r->GXmaxArray[k], static_cast<int32_t>(r->GXmax));
      EXPECT_EQ(r->GZminArray[k], 1000);
    }
  }
  EXPECT_EQ(normal->ZeroAngle, 0);
  EXPECT_EQ(normal->SentCodes(), (TCodes{bcpLoadData, bcpStart}));
  EXPECT_EQ(normal->Sent().back(), Frame(bcpStart, {rmCont}));
  EXPECT_TRUE(running->SentCodes().empty()) << "a running radar is left alone";
  EXPECT_NE(normal->PcLoading(), PcLoadingNotLoaded);

  set.ActiveRadar.StopAllRadarsForInclinometr();
  for (const TFakeRadar* r : {normal, reversed, running}) {
    EXPECT_EQ(r->SentCodes().back(), bcpStop);
    EXPECT_EQ(r->PcLoading(), PcLoadingNotLoaded);
  }

  reversed->ZeroAngle = 3.5;
  reversed->CalibrationQuality = 0.9;
  set.ActiveRadar.SetMasterChannal(1);
  set.ActiveRadar.CopyAllRadarsInclinometrFromMaster();
  for (const TFakeRadar* r : {normal, running}) {
    EXPECT_EQ(r->ZeroAngle, 3.5);
    EXPECT_EQ(r->CalibrationQuality, 0.9);
  }
}

TEST_F(RadarSetChannels, UnitTypesAndOffsetsGoIntoTheWindow) {
  TSettingData& first = window.AddChannel(0);
  TSettingData& second = window.AddChannel(1);
  first.SetAngle(4500000);
  first.SetTypeGPR(Unit02);
  second.SetTypeGPR(Unit02);
  TFakeRadar* a = Add(1, 0, Unit02);
  a->SetXshift(1500);
  a->SetYshift(-200);
  set.ControlRadar.AddRadarToChanal(0, a);
  set.ControlRadar.SetTypeGPRDevice(tdBox09);
  set.ControlRadar.SetSerNumDevice(31);

  set.ControlRadar.CreateXYZOffsetFromRadar();
  EXPECT_EQ(window.deviceType, -1) << "one radar of a one-channel box: nothing to place";
  EXPECT_EQ(first.GetStartXShift(), 0);

  TFakeRadar* b = Add(2, 1, Unit03);
  b->SetXshift(-30000);
  b->SetYshift(700);
  set.ControlRadar.AddRadarToChanal(1, b);
  EXPECT_FALSE(set.ControlRadar.isEqualRadarTypeAndView());
  set.ControlRadar.SetEqualRadarTypeAndView();
  EXPECT_EQ(second.GetTypeGPR(), Unit03);
  EXPECT_TRUE(set.ControlRadar.isEqualRadarTypeAndView());

  set.ControlRadar.CreateXYZOffsetFromRadar();
  EXPECT_EQ(window.deviceType, tdBox09);
  EXPECT_EQ(window.deviceSerial, 31);
  EXPECT_EQ(std::make_pair(first.GetStartXShift(), first.GetStartYShift()), std::make_pair(1500, -200));
  EXPECT_EQ(std::make_pair(second.GetStartXShift(), second.GetStartYShift()), std::make_pair(-30000, 700));
  EXPECT_EQ(second.GetAngle(), 4500000);

  set.ControlRadar.RemoveRadar(b);
  window.deviceType = -1;
  set.ControlRadar.SetTypeGPRDevice(static_cast<TTypeGPRDevice>(0x81));
  set.ControlRadar.CreateXYZOffsetFromRadar();
  EXPECT_EQ(window.deviceType, 0x81) << "a multi-channel box places even one radar";
}

TEST_F(RadarSetChannels, TheRegisteredSetServesTheReadersAndFreesItsRadars) {
  ASSERT_EQ(RadarSetView(), &set);
  TFakeRadar* master = Add(1, 0);
  TFakeRadar* slave = Add(2, 2);
  set.ControlRadar.AddRadarToChanal(2, slave);
  EXPECT_EQ(set.SlotRadar(2), slave);
  EXPECT_TRUE(set.InChannelSet(*slave));
  EXPECT_FALSE(set.InChannelSet(*master));
  EXPECT_EQ(&set.RadarSect(), &set.ActiveRadar.RadarSect);
  slave->FRun = true;
  EXPECT_FALSE(set.isSlaveRunEnded());
  slave->FRun = false;

  set.SetDeviceBox(0x82, 4321);
  for (const TControlRadar* s : {static_cast<TControlRadar*>(&set.ActiveRadar), &set.ControlRadar}) {
    EXPECT_EQ(s->TypeGPRDevice(), 0x82);
    EXPECT_EQ(s->SerNumDevice(), 4321);
  }
  EXPECT_EQ(master->PresetRadarTypeStr(), QStringLiteral("Unknown")) << "0x82 is not box 2 for the presets";

  const auto masterAlive = master->LifeToken();
  shell.SetCurrentRadar(master);
  set.ActiveRadar.RadarFree();
  EXPECT_FALSE(*masterAlive);
  EXPECT_EQ(shell.currentRadar, nullptr);
  EXPECT_FALSE(set.ControlRadar.Active());
  EXPECT_EQ(set.SlotRadar(0), nullptr);
}

}  // namespace
