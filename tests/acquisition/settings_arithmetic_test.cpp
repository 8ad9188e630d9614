// The settings window's arithmetic without the window: stacking and amplitude
// range, samples, trace rate, the wheel multiplier's limits, stored offsets, the
// preview gain from a stacking table, the stacking mode of a radar set, the
// survey-window captions and the wheel calibrations of the settings file.

#include "acquisition/settings_arithmetic.h"

#include "platform/rtl/ini_files.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <limits>

namespace settings_arithmetic_test {

using namespace settings_window;

TEST(SettingsArithmetic, TrackBarPositionGivesStackingAndAmplitudeRange) {
  const struct {
    int position;
    int stacking;
    int64_t range;
  } cases[] = {{1, 64, 8388544}, {64, 1, 131071}, {33, 32, 32 * 131071}, {0, 64, 8388544}, {99, 1, 131071}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(StackingFromTrackPosition(c.position), c.stacking);
    EXPECT_EQ(AmplitudeRange(StackingFromTrackPosition(c.position)), c.range);
  }
  for (int stacking = 1; stacking <= 64; ++stacking)
    EXPECT_EQ(StackingFromTrackPosition(TrackPositionFromStacking(stacking)), stacking);
}

TEST(SettingsArithmetic, SamplesFollowOverStepWithinOneToFive) {
  const int samples[] = {0, 1000, 500, 333, 250, 200};
  for (int overStep = 1; overStep <= 5; ++overStep) EXPECT_EQ(SamplesFromOverStep(overStep), samples[overStep]);
  EXPECT_EQ(OverStepAfterSamplesDown(5), 5);
  EXPECT_EQ(OverStepAfterSamplesDown(4), 5);
  EXPECT_EQ(OverStepAfterSamplesUp(1), 1);
  EXPECT_EQ(OverStepAfterSamplesUp(2), 1);
}

TEST(SettingsArithmetic, FlatStackingTraceRateAndSpeedTexts) {
  EXPECT_EQ(LimitText(FlatStackingPRF(1000, 1)), QStringLiteral("27.19"));
  // 64 soundings of 200 samples: 1 / (200 x 64 x 1.182e-5 + 200 x 2.496e-5).
  EXPECT_EQ(LimitText(FlatStackingPRF(200, 64)), QStringLiteral("6.40"));
  EXPECT_EQ(StepDistanceMm(3, 31.47), 94);
  EXPECT_EQ(MaxSpeedText(27.188, 100), QStringLiteral("2.72 m/s"));
}

TEST(SettingsArithmetic, WheelMultiplierStaysWithinOneToNinetyNine) {
  const struct {
    uint16_t mult;
    bool shift;
    std::optional<uint16_t> up, down;
  } cases[] = {
      {99, false, std::nullopt, 98}, {99, true, std::nullopt, 89}, {98, false, 99, 97},
      {89, true, 99, 79},  {90, true, std::nullopt, 80},           {1, false, 2, std::nullopt},
      {10, true, 20, std::nullopt},  {11, true, 21, 1},            {10, false, 11, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mult << (c.shift ? " shift" : ""));
    EXPECT_EQ(WheelMultUp(c.mult, c.shift), c.up);
    EXPECT_EQ(WheelMultDown(c.mult, c.shift), c.down);
  }
}

TEST(SettingsArithmetic, OffsetsStayInsideTheStoredSigned32BitField) {
  EXPECT_EQ(OffsetToStored(1.5), 150000);
  EXPECT_EQ(OffsetToStored(-0.00001), -1);
  EXPECT_EQ(OffsetToStored(21474.83647), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(OffsetToStored(2000000), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(OffsetToStored(-2000000), -std::numeric_limits<int32_t>::max());
  EXPECT_EQ(OffsetToStored(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_DOUBLE_EQ(StoredToOffset(150000), 1.5);
  EXPECT_EQ(StackingEditValue(0), 1);
  EXPECT_EQ(StackingEditValue(-5), 1);
  EXPECT_EQ(StackingEditValue(130), 130);
}

TEST(SettingsArithmetic, AdvancedGainDividesStackingByTheRunHoldingEachSample) {
  // Runs start at 0 (count 1), 3 (count 2), 6 (count 4); sample j is looked
  // up as sample j + 1.
  const TSteckingRun table[] = {{0, 1}, {3, 2}, {6, 4}, {1000, 1}};
  TGainArray gain;
  gain.fill(7);
  FillGain(gain, true, 4, table, 3, 10);
  const double expected[] = {4, 4, 2, 2, 2, 1, 1, 1, 1, 1};
  for (int j = 0; j < 10; ++j) EXPECT_DOUBLE_EQ(gain[j], expected[j]) << j;
  EXPECT_DOUBLE_EQ(gain[10], 1) << "past the samples";
  FillGain(gain, false, 4, table, 3, 10);
  for (double g : gain) ASSERT_DOUBLE_EQ(g, 1);
}

TEST(SettingsArithmetic, AdvancedGainFromTheSettingsOwnTable) {
  TSettingData settings(nullptr);
  settings.SetOverStep(2);
  settings.SetStackingCurve(130);
  settings.SetStackingVolume(20);
  settings.PrepareStacking();
  ASSERT_GT(settings.GetSteckingLength(), 1);
  TGainArray gain;
  FillGain(gain, true, 20, settings.SteckingArray, settings.GetSteckingLength(), 500);
  // The table rises from one sounding: the gain falls from 20 towards 1.
  EXPECT_DOUBLE_EQ(gain[0], 20.0 / settings.SteckingArray[0].Count);
  EXPECT_DOUBLE_EQ(gain[499], 20.0 / settings.SteckingArray[settings.GetSteckingLength() - 1].Count);
  for (int j = 1; j < 500; ++j) ASSERT_LE(gain[j], gain[j - 1]) << j;
}

TEST(SettingsArithmetic, StackingModeFollowsTheConnectedRadarsOnly) {
  const std::vector<uint16_t> none, old{6}, fresh{7, 19}, mixed{19, 6};
  EXPECT_TRUE(UseAdvancedStacking(none));
  EXPECT_FALSE(UseAdvancedStacking(old)) << "one firmware-6 radar stacks flat whatever the empty slots";
  EXPECT_TRUE(UseAdvancedStacking(fresh));
  EXPECT_FALSE(UseAdvancedStacking(mixed));
}

TEST(SettingsArithmetic, SurveyWindowCaptions) {
  EXPECT_EQ(SurveyWindowCaption(16, 100), QStringLiteral("0.8 m (16 ns)"));
  EXPECT_EQ(SurveyWindowCaption(30, 100), QStringLiteral("1.5 m (30 ns)"));
  EXPECT_EQ(DualSurveyWindowCaption(16, 30, 100, true), QStringLiteral("0.8 m/1.5 m"));
  EXPECT_EQ(DualSurveyWindowCaption(16, 30, 100, false), QStringLiteral("16 ns/30 ns"));
}

TEST(SettingsArithmetic, WheelCalibrationsFromTheSettingsFile) {
  QTemporaryDir dir;
  TMemIniFile ini(dir.path() + QStringLiteral("/main.ini"));
  EXPECT_EQ(WheelCalibrations(&ini, ttWheel).size(), 1u);
  EXPECT_EQ(WheelCalibrations(&ini, ttWheel)[0].Text, QStringLiteral("Default"));
  EXPECT_DOUBLE_EQ(WheelCalibrations(&ini, ttWheel)[0].Step, 31.47);
  ini.WriteInteger(QStringLiteral("Odometer_1"), QStringLiteral("CountMeasur"), 2);
  ini.WriteString(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_0"), QStringLiteral("grass"));
  ini.WriteFloat(QStringLiteral("Odometer_1"), QStringLiteral("Measure_0"), 30.12549);
  ini.WriteString(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_1"), QStringLiteral("road"));
  const auto entries = WheelCalibrations(&ini, ttWheel);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Text, QStringLiteral("30.125 grass"));
  EXPECT_DOUBLE_EQ(entries[0].Step, 30.12549);
  EXPECT_EQ(entries[1].Text, QStringLiteral("1 road"));
  EXPECT_DOUBLE_EQ(entries[1].Step, 1);
  ini.WriteInteger(QStringLiteral("Odometer_2"), QStringLiteral("CountMeasur"), 2);
  EXPECT_EQ(WheelCalibrations(&ini, ttGPS)[0].Text, QStringLiteral("Default")) << "GPS has no calibrations";
}

TEST(SettingsArithmetic, PreviewTakesAtMostTheTraceLengthAndAThousandSamples) {
  EXPECT_EQ(PreviewSampleCount(1026, 1000), 1000);
  EXPECT_EQ(PreviewSampleCount(1026, 1026), 1000);
  EXPECT_EQ(PreviewSampleCount(500, 1000), 500);
  EXPECT_EQ(PreviewSampleCount(1000, 200), 200);
  EXPECT_EQ(PreviewSampleCount(-3, 200), 0);
  const int32_t trace[] = {3, -3, 5, 7};
  TGainArray gain;
  gain.fill(1);
  gain[0] = 0.5;
  gain[1] = 0.5;
  gain[2] = 2.5;
  int32_t values[4] = {9, 9, 9, 9};
  ApplyGain(trace, gain, 3, values);
  EXPECT_EQ(values[0], 2) << "1.5 rounds to even";
  EXPECT_EQ(values[1], -2);
  EXPECT_EQ(values[2], 12) << "12.5 rounds to even";
  EXPECT_EQ(values[3], 9) << "past the count";
}

}  // namespace settings_arithmetic_test
