// The channel store with its neighbours: window slots, file names and online stages
// at creation and release, Clear, the display-scale formulas and the tilt of the
// topographic correction.

#include "platform/rtl/paths.h"
#include "tests/profiledata/channel_store_env.h"
#include "tests/profiledata/fake_online_stages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ChannelStore, TakesTheFirstFreeWindowSlotNamesItsFileAndCreatesItsStages) {
  TStoreEnv env;
  env.shell.topoType = ttGPS;
  FakeStagesFactory factory;
  FactoryScope factoryScope(&factory);
  auto* window = new TWindowOwner();
  window->filePrefix = QStringLiteral("Line_");
  window->fileCount = 12;
  std::vector<const IChannelStore*> unregistered;
  window->unregisteredLog = &unregistered;

  auto* first = new T2Dview(window);
  EXPECT_EQ(window->ChannelIndex(first), 0);
  EXPECT_EQ(first->Window(), window);
  EXPECT_EQ(first->Settings()->GetFileName(), env.dir.path() + QStringLiteral("/Line_12.dezo"));
  EXPECT_FALSE(first->GetNeedForSave());
  EXPECT_EQ(env.shell.topoTypeSets, 1) << "slot 0 makes its distance source the program's";
  EXPECT_EQ(factory.log.created, 1);
  EXPECT_EQ(factory.log.lastStore, first);
  ASSERT_NE(first->OnlineStages(), nullptr);

  auto* second = new T2Dview(window);
  EXPECT_EQ(window->ChannelIndex(second), 1);
  EXPECT_EQ(env.shell.topoTypeSets, 1) << "other slots leave it";
  for (int i = 2; i < 5; ++i) new T2Dview(window);
  auto* sixth = new T2Dview(window);
  EXPECT_EQ(window->ChannelIndex(sixth), -1);
  EXPECT_EQ(env.shell.topoTypeSets, 2) << "no free slot counts as slot 0";

  second->Free();
  EXPECT_EQ(window->unregistered, std::vector<const IChannelStore*>{second});
  EXPECT_EQ(factory.log.destroyed, 1);
  window->Free();  // frees the other five without calling back into the going window
  EXPECT_EQ(factory.log.destroyed, 6);
  EXPECT_EQ(unregistered, std::vector<const IChannelStore*>{second});
}

TEST(ChannelStore, PlanningProgramHasNoSlotNoNameAndNoStages) {
  TStoreEnv env(/*acquisition=*/false);
  FakeStagesFactory factory;
  FactoryScope factoryScope(&factory);
  auto* window = new TWindowOwner();
  auto* store = new T2Dview(window);
  EXPECT_EQ(window->ChannelIndex(store), -1);
  EXPECT_EQ(store->Window(), nullptr);
  EXPECT_EQ(store->Settings()->GetFileName(), "DodavARA.dezo");
  EXPECT_EQ(store->OnlineStages(), nullptr);
  EXPECT_EQ(factory.log.created, 0);
  window->Free();
}

TEST(ChannelStore, ProjectProfileOwnerIsFoundThroughTheInterface) {
  class TProfileOwner : public TComponent, public FakeProjectProfile {
  public:
    TProfileOwner() : TComponent(nullptr) {}
  };
  TStoreEnv env(false);
  TProfileOwner owner;
  auto* store = new T2Dview(&owner);
  EXPECT_EQ(store->ProjectProfile(), static_cast<IProjectProfile*>(&owner));
  T2Dview alone(nullptr);
  EXPECT_EQ(alone.ProjectProfile(), nullptr);
}

TEST(ChannelStore, ClearReplacesSettingsAndTakesDefaultsBySlot) {
  TStoreEnv env;
  SetProgramFolder(env.dir.path());
  env.shell.topoType = ttTrolleyA;
  auto* window = new TWindowOwner();
  window->filePrefix = QStringLiteral("P");
  window->fileCount = 3;
  auto* slot0 = new T2Dview(window);
  auto* slot1 = new T2Dview(window);
  for (T2Dview* store : {slot0, slot1}) {
    store->Settings()->RestoreLongTrace(4);
    RecordTraces(*store, -2, 2);
    store->PackTraces();
    store->Settings()->SetSpeedLight(50);
    store->WasStarted = true;
  }

  slot1->Clear();
  EXPECT_EQ(slot1->NumTraces(), 0);
  EXPECT_EQ(slot1->SizeDat(), 0);
  EXPECT_TRUE(slot1->RawData.Empty());
  EXPECT_EQ(slot1->IndexTraces.Count(), 0);
  EXPECT_FALSE(slot1->WasStarted);
  EXPECT_EQ(slot1->Settings()->GetSpeedLight(), 299) << "new settings";
  EXPECT_EQ(slot1->Settings()->IndexIncl.RecordCount(), 0);
  EXPECT_EQ(slot1->Settings()->GetWheelStep(), TopoWheelStep(ttTrolleyA));
  EXPECT_EQ(env.shell.lastFile, "P3.dezo");
  EXPECT_EQ(slot1->Settings()->GetFileName(), env.dir.path() + QStringLiteral("/P3.dezo"));
  EXPECT_FALSE(slot1->GetNeedForSave());
  EXPECT_TRUE(window->containersRead.empty()) << "only slot 0 reads the defaults";

  slot0->Clear();
  EXPECT_TRUE(window->containersRead.empty()) << "no bstt in the program folder";
  WriteFileBytes(env.Path(QStringLiteral("bstt")), "x");
  slot0->Clear();
  EXPECT_EQ(window->containersRead, std::vector<QString>{ProgramFolder() + QStringLiteral("bstt")});
  EXPECT_TRUE(window->saveDefault);
  SetProgramFolder(QString());
  window->Free();
}

TEST(ChannelStore, DisplayScaleFormulas) {
  TStoreEnv env;
  T2Dview store(nullptr);
  TSettingData& s = *store.Settings();
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(500);
  s.SetSpeedLight(100);  // Depth = 100 x 100 / 2000 = 5 m
  s.SetOverStep(2);
  s.SetWheelStep(10);
  s.SetWheelMult(2);  // MeasureStep 20 mm
  s.RestoreLongTrace(500);
  // One sample: 100 mm/ns x 100 ns x 2 / 2000000 x 1000 = 10 mm.
  EXPECT_NEAR(static_cast<double>(store.GetProportionalCoefic()), 2.0, 1e-12);

  struct TCase {
    TProportional code;
    long double a;
  };
  for (const TCase& c : {TCase{PropInM21, 0.5L}, TCase{PropInM12, 2.0L}, TCase{PropInM11, 1.0L},
                         TCase{PropInSamples11, 1.0L}}) {
    SCOPED_TRACE(c.code);
    // Depth x (a x z) x i / LongTrace / 1000 with z = 2000, i = 50.
    EXPECT_NEAR(static_cast<double>(store.PxToLength(50, c.code, 2000)), static_cast<double>(5 * c.a * 2000 * 50 / 500 / 1000), 1e-12);
    // round(e x a x 1000 x LongTrace / Depth / z) with e = 1.3, z = 700.
    const long double exact = 1.3L * c.a * 1000 * 500 / 5 / 700;
    EXPECT_NEAR(static_cast<double>(store.LengthToPxExt(c.code, 700, 1.3L)), static_cast<double>(exact), 1e-9);
    EXPECT_EQ(store.LengthToPx(c.code, 700, 1.3L), std::lround(static_cast<double>(exact)));
  }
  // Both directions scale by a, so 2:1 and 1:2 do not invert each other.
  EXPECT_NEAR(static_cast<double>(store.PxToLength(store.LengthToPx(PropInM21, 1000, 1.0L), PropInM21, 1000)), 0.25, 1e-12);
  EXPECT_NEAR(static_cast<double>(store.PxToLength(store.LengthToPx(PropInM11, 1000, 1.0L), PropInM11, 1000)), 1.0, 1e-12);
  // i x z / 1000 x SpanWidth x OverStep / 1000 ns.
  EXPECT_NEAR(static_cast<double>(store.PxToTime(30, 1500)), 30 * 1.5 * 100 * 2 / 1000.0, 1e-12);

  s.SetWheelStep(0);
  EXPECT_EQ(store.GetProportionalCoefic(), 1) << "no trace step";
  s.SetWheelStep(10);
  s.RestoreSpanWidth(0);
  EXPECT_EQ(store.GetProportionalCoefic(), 0) << "no time window";
  EXPECT_EQ(store.LengthToPx(PropInM11, 1000, 1.0L), 0) << "no depth";
}

struct TTiltCase {
  const char* name;
  TTypeGPR unit;
  uint16_t serNum;
  bool reversedBox;
  int32_t serNumDevice;
  int slot;
  int k;  // the sign the reading gets
};

TEST(ChannelStore, TiltSignFollowsUnitSerialNumberAndDeviceBox) {
  const TTiltCase cases[] = {
      {"old serial, unit mounted reversed", Unit09, 61, false, 0, 0, -1},
      {"old serial, other unit", Unit02, 61, false, 0, 0, 1},
      {"unit reversed only for old serials", Unit31, 62, false, 0, 0, -1},
      {"new serial, unit mounted forward", Unit32, 62, false, 0, 0, 1},
      {"new serial, other unit", Unit02, 62, false, 0, 0, -1},
      {"reversed box 14", Unit31, 0, true, 14, 0, 1},
      {"reversed box, unit 34", Unit34, 0, true, 3, 1, -1},
      {"reversed box, slot 0", Unit02, 0, true, 3, 0, -1},
      {"reversed box, slot 1", Unit02, 0, true, 3, 1, 1},
  };
  for (const TTiltCase& c : cases) {
    SCOPED_TRACE(c.name);
    TStoreEnv env;
    env.shell.serNumDevice = c.serNumDevice;
    auto* window = new TWindowOwner();
    window->reversedInclinometer = c.reversedBox;
    T2Dview* store = nullptr;
    for (int slot = 0; slot <= c.slot; ++slot) store = new T2Dview(window);
    TSettingData& s = *store->Settings();
    s.SetTypeGPR(c.unit);
    s.SetSerNum(c.serNum);
    s.GXmin = 1000;
    s.GXmax = 3000;
    s.MinNumIncl = 10;
    s.MaxNumIncl = 13;
    s.IndexIncl.Set(10, TInclRecord{{0, 2500, 0, 0}});  // (2500 - 2000) x 2 / 2000 = 0.5
    EXPECT_NEAR(static_cast<double>(store->GetSinAngleForTopoCor(0)), 0.5 * c.k, 1e-15);
    s.SetDirection(back);
    EXPECT_NEAR(static_cast<double>(store->GetSinAngleForTopoCor(0)), -0.5 * c.k, 1e-15);
    window->Free();
  }
}

TEST(ChannelStore, TiltEdgeCases) {
  TStoreEnv env;
  T2Dview store(nullptr);
  TSettingData& s = *store.Settings();
  s.SetTypeGPR(Unit02);  // k = +2
  s.GXmin = 1000;
  s.GXmax = 3000;
  s.MinNumIncl = -5;
  s.MaxNumIncl = 0;
  s.IndexIncl.Set(-5, TInclRecord{{0, 2000, 0, 0}});
  s.IndexIncl.Set(-4, TInclRecord{{0, 5000, 0, 0}});
  s.IndexIncl.Set(-3, TInclRecord{{0, 10, 0, 0}});
  s.IndexIncl.Set(-2, TInclRecord{{0, static_cast<int16_t>(60000), 0, 0}});  // read unsigned: 60000
  EXPECT_EQ(store.GetSinAngleForTopoCor(0), 0) << "a reading at mid";
  EXPECT_EQ(store.GetSinAngleForTopoCor(1), 1) << "beyond GXmax";
  EXPECT_EQ(store.GetSinAngleForTopoCor(2), -1) << "below GXmin";
  EXPECT_EQ(store.GetSinAngleForTopoCor(3), 1) << "an unsigned reading";
  EXPECT_EQ(store.GetSinAngleForTopoCor(4), 0) << "no record";
  EXPECT_EQ(store.GetSinAngleForTopoCor(-1), 0);
  EXPECT_EQ(store.GetSinAngleForTopoCor(1000000), 0);
  s.MinNumIncl = 499999;
  EXPECT_EQ(store.GetSinAngleForTopoCor(999999), 0) << "beyond the inclinometer table";
  s.MinNumIncl = -5;
  s.GXmax = s.GXmin;
  EXPECT_EQ(store.GetSinAngleForTopoCor(1), 0) << "no calibration range";
}

}  // namespace
