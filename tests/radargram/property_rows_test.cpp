// The property list's rows: their order and conditions, the number formats,
// the distance-device names, the caption that follows the file kind, and the
// names of new and exported files.

#include "platform/rtl/sys_utils.h"
#include "profiledata/setting_data.h"
#include "radargram/profile_names.h"
#include "radargram/property_rows.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

namespace property_rows_test {

QStringList Keys(const std::vector<TPropertyRow>& rows) {
  QStringList keys;
  for (const TPropertyRow& row : rows) keys << row.Key;
  return keys;
}

// The first row with the key; "(none)" when there is none.
QString ValueOf(const std::vector<TPropertyRow>& rows, const QString& key) {
  for (const TPropertyRow& row : rows)
    if (row.Key == key) return row.Value;
  return QStringLiteral("(none)");
}

class PropertyList : public ::testing::Test {
protected:
  void SetUp() override {
    channel = std::make_unique<TSettingData>(nullptr);
    active = std::make_unique<TSettingData>(nullptr);
    source.Channel = channel.get();
    source.Active = active.get();
  }
  std::vector<TPropertyRow> Rows() const { return PropertyRows(source); }

  std::unique_ptr<TSettingData> channel;
  std::unique_ptr<TSettingData> active;
  TPropertySource source;
};

TEST_F(PropertyList, AWheelChannelShowsEveryRowInOrderWithItsFormat) {
  channel->SetRunMode(rmWheel);
  channel->SetTopoType(ttWheel);
  channel->SetWheelMult(2);
  channel->SetWheelStep(25.5);
  channel->RestoreSpanWidth(133.25);
  channel->RestoreSpeedLight(100);
  channel->SetAdvanceStacking(false);
  channel->SetStacking(12);
  source.NumTraces = 300;
  source.DeviceX = 150000;
  source.DeviceY = -2500;
  source.DeviceZ = 7;
  active->SetStartXShift(250000);
  active->SetStartYShift(-100000);
  active->SetStartZShift(1);
  active->SetAngle(4500000);

  const std::vector<TPropertyRow> rows = Rows();
  EXPECT_EQ(Keys(rows), (QStringList{"GPR Model", "s/n", "Shift by Course", "Shift Aside", "Shift by Height", " ",
                                     "Channel Model", "Channel s/n", "Format Version", "Window Depth",
                                     "Window Width", "Samples", "Stacking", "Trigger Mode", "Shift of Zero",
                                     "Topo Device", "Step of Measuring", "Trace Numbers", "Profile length",
                                     "Shift by Course", "Shift Aside", "Shift by Height", "Angle"}));
  EXPECT_EQ(rows[2].Value, "1.50, m") << "the device offsets";
  EXPECT_EQ(rows[3].Value, "-0.03, m");
  EXPECT_EQ(rows[4].Value, "0.00, m");
  EXPECT_EQ(rows[5].Value, "  ");
  EXPECT_EQ(ValueOf(rows, "Window Depth"), channel->GetSpanDepth() + ", m");
  EXPECT_EQ(ValueOf(rows, "Window Width"), "133.25, ns");
  EXPECT_EQ(ValueOf(rows, "Stacking"), "12");
  EXPECT_EQ(ValueOf(rows, "Trigger Mode"), "Ext");
  EXPECT_EQ(ValueOf(rows, "Topo Device"), "Measuring wheel");
  EXPECT_EQ(ValueOf(rows, "Step of Measuring"), "51 mm");
  EXPECT_EQ(ValueOf(rows, "Trace Numbers"), "300");
  EXPECT_EQ(ValueOf(rows, "Profile length"), "15.30, m");
  EXPECT_EQ(rows[19].Value, "2.50, m") << "the active channel's own shifts";
  EXPECT_EQ(rows[20].Value, "-1.00, m");
  EXPECT_EQ(rows[21].Value, "0.00, m");
  EXPECT_EQ(rows[22].Value, "45.00 \u00B0");
}

TEST_F(PropertyList, TheWindowWidthHasFiveSignificantDigits) {
  const struct {
    double width;
    const char* text;
  } cases[] = {{106.6, "106.6, ns"}, {66.63, "66.63, ns"}, {12.3456789, "12.346, ns"}, {240, "240, ns"}};
  for (const auto& c : cases) {
    channel->RestoreSpanWidth(c.width);
    EXPECT_EQ(ValueOf(Rows(), "Window Width"), c.text) << c.width;
  }
}

TEST_F(PropertyList, TheTriggerModeAndTheWheelRowsFollowTheRunMode) {
  const struct {
    TRunMode mode;
    const char* text;
    bool wheelRows;
  } cases[] = {{rmStep, "Single", false}, {rmCont, "Int", false}, {rmWheel, "Ext", true}};
  channel->SetTopoType(ttOdometerB);
  for (const auto& c : cases) {
    channel->SetRunMode(c.mode);
    const std::vector<TPropertyRow> rows = Rows();
    EXPECT_EQ(ValueOf(rows, "Trigger Mode"), c.text);
    for (const char* key : {"Topo Device", "Step of Measuring", "Profile length"})
      EXPECT_EQ(Keys(rows).contains(key), c.wheelRows) << c.text << " " << key;
  }
}

TEST_F(PropertyList, AGpsWheelChannelNamesGpsAndHasNoStep) {
  channel->SetRunMode(rmWheel);
  const struct {
    TTopoType topo;
    const char* name;
    bool step;
  } cases[] = {{ttGPS, "GPS", false}, {ttNil, "Not used", false}, {ttCustom, "Custom", true},
               {ttTrolleyA, "Cart A", true}, {ttUnitWheelB, "Built-in odometer B", true}};
  for (const auto& c : cases) {
    channel->SetTopoType(c.topo);
    const std::vector<TPropertyRow> rows = Rows();
    EXPECT_EQ(ValueOf(rows, "Topo Device"), c.name);
    EXPECT_EQ(Keys(rows).contains("Step of Measuring"), c.step) << c.name;
  }
  EXPECT_EQ(TopoDeviceName(200), "Not used") << "a value from a damaged file";
  EXPECT_EQ(TopoDeviceName(-1), "Not used");
}

TEST_F(PropertyList, WithoutDeviceOffsetsOnlyTheChannelOffsetsStay) {
  source.ShowDeviceOffsets = false;
  const QStringList keys = Keys(Rows());
  EXPECT_EQ(keys.mid(0, 3), (QStringList{"GPR Model", "s/n", " "}));
  EXPECT_EQ(keys.count("Shift by Course"), 1);
  EXPECT_EQ(keys.mid(keys.size() - 4), (QStringList{"Shift by Course", "Shift Aside", "Shift by Height", "Angle"}));
}

TEST(PropertyRowsOffsets, DeviceOffsetsNeedAMasterWithoutGps) {
  const struct {
    bool reportsGps;
    TTopoType topo;
    int64_t nmeaLines;
    bool shown;
  } cases[] = {{false, ttWheel, 0, true}, {false, ttNil, 1, true},   {true, ttWheel, 0, false},
               {false, ttGPS, 0, false},  {false, ttWheel, 2, false}};
  for (const auto& c : cases)
    EXPECT_EQ(DeviceOffsetRowsShown(c.reportsGps, c.topo, c.nmeaLines), c.shown)
        << c.reportsGps << " " << int{c.topo} << " " << c.nmeaLines;
}

TEST_F(PropertyList, TheModelRowsComeFromTheDeviceBoxWhenTheWindowHasOne) {
  channel->SetSerNum(321);
  source.TypeGPRDevice = tdBox03;
  source.SerNumDevice = 77;
  std::vector<TPropertyRow> rows = Rows();
  EXPECT_EQ(rows[0], (TPropertyRow{"GPR Model", "Box03"}));
  EXPECT_EQ(rows[1], (TPropertyRow{"s/n", "77"}));
  EXPECT_EQ(ValueOf(rows, "Channel s/n"), "321");
  source.TypeGPRDevice = 255;  // no box
  rows = Rows();
  EXPECT_EQ(rows[0], (TPropertyRow{"GPR Model", channel->GetRadarTypeStr()}));
  EXPECT_EQ(rows[1], (TPropertyRow{"s/n", "321"}));
}

TEST_F(PropertyList, AdvancedStackingShowsTheAverageStack) {
  channel->SetAdvanceStacking(true);
  const std::vector<TPropertyRow> rows = Rows();
  EXPECT_FALSE(Keys(rows).contains("Stacking"));
  EXPECT_EQ(ValueOf(rows, "Average Stacking"), FloatToStrF(channel->GetAverageStecking(), ffFixed, 15, 2));
}

TEST_F(PropertyList, TheZeroShiftUsesTheChannelsTimingWithoutAnActiveWindow) {
  channel->SetNullShift(50);
  channel->RestoreSpanWidth(100);
  channel->SetOverStep(2);
  channel->RestoreSpeedLight(100);
  source.HasActiveWindow = false;
  // 50 x 100 x 2 / 1000 = 10 ns; 10 x 100 / 2000 = 0.5 m.
  EXPECT_EQ(ValueOf(Rows(), "Shift of Zero"), "0.50, m");
  // With an active window the time comes from its channel 0; with none
  // registered that is the unknown unit's window of 106.6 ns at step 2.
  source.HasActiveWindow = true;
  EXPECT_EQ(ValueOf(Rows(), "Shift of Zero"), "0.53, m");
}

TEST(PropertyRowsGps, TheGpsListStartsWithoutAPosition) {
  EXPECT_EQ(EmptyGpsRows(), (std::vector<TPropertyRow>{{"Latitude", "0.00, m"},
                                                      {"Longitude", "0.00, m"},
                                                      {"Quality Indicator", "not available"},
                                                      {"Satellites", "0"},
                                                      {"Precision", "0"}}));
}

TEST(PropertyRowsCaption, OnlyTheExactEndingsOfTheTwoKindsChange) {
  const struct {
    const char* caption;
    bool single;
    const char* result;
  } cases[] = {
      {"data/GPR_7.dezo", false, "data/GPR_7.frn"}, {"data/GPR_7.frn", true, "data/GPR_7.dezo"},
      {"data/GPR_7.dezo", true, "data/GPR_7.dezo"}, {"data/GPR_7.frn", false, "data/GPR_7.frn"},
      {"data/GPR_7.FRN", true, "data/GPR_7.FRN"},   {"notes.txt", false, "notes.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(CaptionForFileKind(c.caption, c.single), c.result) << c.caption;
}

TEST(ProfileNames, NewFilesAndCaptions) {
  EXPECT_EQ(NewRecordFileName("data/", "GPR_", 7), "data/GPR_7.dezo");
  EXPECT_EQ(CaptionFromFileName("data/GPR_7.dezo", true), "data/GPR_7.frn");
  EXPECT_EQ(CaptionFromFileName("data/GPR_7.frn", false), "data/GPR_7.dezo");
}

TEST(ProfileNames, AnExportNamesOneFilePerExportedChannel) {
  const struct {
    int count;
    int alone;
    std::vector<QString> names;
  } cases[] = {
      {2, -1, {"out/a_0.bmp", "out/a_1.bmp"}},
      {1, -1, {"out/a.bmp"}},
      {3, 1, {"out/a_1.bmp"}},
      {0, -1, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExportFileNames("out/a.bmp", c.count, c.alone), c.names) << c.count << " " << c.alone;
  EXPECT_EQ(ExportFileNames("out/v1.2/a", 2, -1), (std::vector<QString>{"out/v1.2/a_0", "out/v1.2/a_1"}));
}

}  // namespace property_rows_test
