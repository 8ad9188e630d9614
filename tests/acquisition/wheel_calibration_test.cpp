// The wheel calibrations without a window: the step of a run (cut to two
// decimals, no pulse taken as one, the sign dropped), the pulse count by the
// report's direction byte, and the list per topo device in the settings file.

#include "acquisition/settings_arithmetic.h"
#include "acquisition/wheel_calibration.h"

#include "platform/rtl/ini_files.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace wheel_calibration_test {

namespace wc = wheel_calibration;

TEST(WheelCalibration, TheStepIsCutToTwoDecimalsWithAtLeastOnePulse) {
  const struct {
    long double metres;
    int pulses;
    double step;
  } cases[] = {
      {10, 318, 31.44},    // 31.446...: cut, not rounded
      {10, -318, 31.44},   // counted backward
      {-10, 318, 31.44},
      {2, 0, 2000},        // no pulse counts as one
      {1, 3, 333.33},
      {0.5L, 7, 71.42},    // 71.428...
      {200, 1, 200000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.metres) << " m / " << c.pulses);
    EXPECT_DOUBLE_EQ(wc::StepFromPulses(c.metres, c.pulses), c.step);
  }
  EXPECT_EQ(wc::CompletedQuestion(wc::StepFromPulses(10, 318), TopoWheelStep(ttWheel)),
            QStringLiteral("Calibration completed\r\nStep of wheel= 31.44 mm (Default= 31.47 mm)\r\nTo save the result?"));
}

TEST(WheelCalibration, PulsesCountByTheirDirectionAndTheWayOfCounting) {
  int count = 0;
  for (int i = 0; i < 5; ++i) count = wc::CountAfterPulse(count, 0, forth);
  count = wc::CountAfterPulse(count, 1, forth);
  count = wc::CountAfterPulse(count, 0x80, forth);
  EXPECT_EQ(count, 3) << "any non-zero direction byte is backward";
  count = wc::CountAfterPulse(count, 0, back);
  EXPECT_EQ(count, 2);
  count = wc::CountAfterPulse(count, 1, back);
  EXPECT_EQ(count, 3);
  int down = 0;
  for (int i = 0; i < 4; ++i) down = wc::CountAfterPulse(down, 1, forth);
  EXPECT_EQ(down, -4);
}

TEST(WheelCalibration, TheListRoundTripsThroughItsSectionOnDisk) {
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/main.ini");
  {
    TMemIniFile ini(file);
    ini.WriteString(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_7"), QStringLiteral("stale"));
    wc::WriteCalibrations(ini, ttWheel,
                          {{QStringLiteral("31.47"), QStringLiteral("Default")},
                           {QStringLiteral("30,5"), QStringLiteral("Field")},
                           {QStringLiteral("abc"), QStringLiteral("Broken")}});
    // Nothing further written: the list reached the disk by itself.
  }
  const TMemIniFile disk(file);
  EXPECT_EQ(disk.ReadInteger(QStringLiteral("Odometer_1"), QStringLiteral("CountMeasur"), -1), 3);
  EXPECT_EQ(disk.ReadString(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_1"), {}), QStringLiteral("Field"));
  EXPECT_EQ(disk.ReadFloat(QStringLiteral("Odometer_1"), QStringLiteral("Measure_1"), -1), 30.5) << "either separator";
  EXPECT_EQ(disk.ReadFloat(QStringLiteral("Odometer_1"), QStringLiteral("Measure_2"), -1), 0) << "not a number";
  EXPECT_FALSE(disk.ValueExists(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_7"))) << "section replaced";

  const std::vector<wc::TCalibrationRow> rows = wc::ReadCalibrations(disk, ttWheel);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Step, QStringLiteral("31.47"));
  EXPECT_EQ(rows[0].Name, QStringLiteral("Default"));
  EXPECT_EQ(rows[1].Step, QStringLiteral("30.5"));
  EXPECT_EQ(rows[2].Step, QStringLiteral("0"));
  // The settings window's calibration menu reads the same list.
  const auto menu = settings_window::WheelCalibrations(&disk, ttWheel);
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[1].Step, 30.5);
  EXPECT_EQ(menu[1].Text, QStringLiteral("30.5 Field"));
}

TEST(WheelCalibration, TheListAndTheSettingsMenuReadOneSectionTheMenuAtFullPrecision) {
  QTemporaryDir dir;
  TMemIniFile ini(dir.path() + QStringLiteral("/main.ini"));
  // Written by hand, with a decimal comma and more digits than the list shows.
  ini.WriteInteger(QStringLiteral("Odometer_4"), QStringLiteral("CountMeasur"), 2);
  ini.WriteString(QStringLiteral("Odometer_4"), QStringLiteral("NameMeasure_0"), QStringLiteral("grass"));
  ini.WriteString(QStringLiteral("Odometer_4"), QStringLiteral("Measure_0"), QStringLiteral("11,12549"));
  ini.WriteString(QStringLiteral("Odometer_4"), QStringLiteral("NameMeasure_1"), QStringLiteral("road"));
  const auto menu = settings_window::WheelCalibrations(&ini, ttOdometerA);
  const auto rows = wc::ReadCalibrations(ini, ttOdometerA);
  ASSERT_EQ(menu.size(), 2u);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_DOUBLE_EQ(menu[0].Step, 11.12549) << "the comma is read, every digit kept";
  EXPECT_EQ(menu[0].Text, QStringLiteral("11.125 grass"));
  EXPECT_EQ(rows[0].Step, QStringLiteral("11.125"));
  EXPECT_DOUBLE_EQ(menu[1].Step, 1) << "a missing step";
  EXPECT_EQ(rows[1].Step, QStringLiteral("1"));
  // Without a settings file both offer the device's own step.
  const auto none = settings_window::WheelCalibrations(nullptr, ttOdometerA);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].Text, QStringLiteral("Default"));
  EXPECT_DOUBLE_EQ(none[0].Step, 11.18);
  const auto stored = wc::ReadStoredCalibrations(nullptr, ttOdometerA);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_FALSE(stored[0].Stored);
}

TEST(WheelCalibration, ATypeWithoutEntriesOffersItsDefaultAndGpsKeepsNoList) {
  QTemporaryDir dir;
  TMemIniFile ini(dir.path() + QStringLiteral("/main.ini"));
  for (const TTopoType type : {ttOdometerA, ttGPS}) {
    const std::vector<wc::TCalibrationRow> rows = wc::ReadCalibrations(ini, type);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Step, wc::StepText(TopoWheelStep(type)));
    EXPECT_EQ(rows[0].Name, QStringLiteral("Default"));
  }
  EXPECT_EQ(wc::ReadCalibrations(ini, ttOdometerA)[0].Step, QStringLiteral("11.18"));
  ini.WriteInteger(QStringLiteral("Odometer_2"), QStringLiteral("CountMeasur"), 1);
  EXPECT_EQ(wc::ReadCalibrations(ini, ttGPS).size(), 1u) << "GPS has no list even when a section exists";
  wc::WriteCalibrations(ini, ttGPS, {{QStringLiteral("5"), QStringLiteral("x")}, {QStringLiteral("6"), QStringLiteral("y")}});
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Odometer_2"), QStringLiteral("CountMeasur"), -1), 1) << "left alone";
  const TMemIniFile disk(dir.path() + QStringLiteral("/main.ini"));
  EXPECT_EQ(disk.ReadInteger(QStringLiteral("Odometer_2"), QStringLiteral("CountMeasur"), -1), 1) << "but flushed";
}

}  // namespace wheel_calibration_test
