// The inclinometer arithmetic without a window: the extremes over a window of
// readings, the normalised axes, the tilt by model and serial number, the
// flat-range quality rule and the stored section.

#include "acquisition/inclinometer_ops.h"

#include "platform/rtl/ini_files.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <array>

namespace inclinometer_ops_test {

namespace incl = inclinometer;

TEST(InclinometerOps, AReadingAtTheMiddleIsZeroAndBeyondTheExtremesIsOne) {
  const struct {
    double reading, maximum, minimum, expected;
  } cases[] = {
      {500, 700, 300, 0},   {700, 700, 300, 1},     {300, 700, 300, -1},   {600, 700, 300, 0.5},
      {900, 700, 300, 1},   {100, 700, 300, -1},    {65535, 700, 300, 1},  {0, 700, 300, -1},
      {600, 300, 700, -0.5},  // a reversed axis: maximum below minimum
      {123, 500, 500, 1},     // no range yet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.reading << " in " << c.minimum << ".." << c.maximum);
    EXPECT_DOUBLE_EQ(incl::NormalisedAxis(c.reading, c.maximum, c.minimum), c.expected);
  }
}

TEST(InclinometerOps, ExtremesFollowTheMeanOfTheLastFortyReadings) {
  std::array<int32_t, 40> maxWindow{}, minWindow{};
  minWindow.fill(1000);
  double maximum = 0, minimum = 1000;
  EXPECT_DOUBLE_EQ(incl::FeedExtreme(maximum, maxWindow, 800, true), 20);
  EXPECT_DOUBLE_EQ(maximum, 20);
  EXPECT_DOUBLE_EQ(incl::FeedExtreme(minimum, minWindow, 800, false), 995);
  EXPECT_DOUBLE_EQ(minimum, 995);
  for (int i = 1; i < 40; ++i) {
    incl::FeedExtreme(maximum, maxWindow, 800, true);
    incl::FeedExtreme(minimum, minWindow, 800, false);
  }
  EXPECT_DOUBLE_EQ(maximum, 800);
  EXPECT_DOUBLE_EQ(minimum, 800);
  // Lower readings move the minimum down and leave the maximum where it was.
  for (int i = 0; i < 10; ++i) {
    incl::FeedExtreme(maximum, maxWindow, 400, true);
    incl::FeedExtreme(minimum, minWindow, 400, false);
  }
  EXPECT_DOUBLE_EQ(maximum, 800);
  EXPECT_DOUBLE_EQ(minimum, 700) << "30 x 800 + 10 x 400 over 40";
  EXPECT_EQ(maxWindow.back(), 400);
  EXPECT_EQ(maxWindow.front(), 800) << "the oldest dropped first";
}

TEST(InclinometerOps, TheTiltFollowsTheDeviceTheSerialNumberAndTheModel) {
  const struct {
    bool multi;
    uint16_t serial;
    int type;
    double sine;
  } cases[] = {
      {true, 100, 9, -0.5},  {true, 10, 2, -0.5},   // a device box reads X negated
      {false, 62, 9, 0.5},   {false, 62, 30, 0.5},  {false, 62, 24, -0.5}, {false, 4242, 2, -0.5},
      {false, 61, 9, -0.5},  {false, 61, 24, -0.5}, {false, 61, 30, 0.5},  {false, 0, 2, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.multi << " " << c.serial << " " << c.type);
    EXPECT_DOUBLE_EQ(incl::TiltSine(0.5, c.multi, c.serial, c.type), c.sine);
  }
  EXPECT_NEAR(incl::TiltDegrees(0.5), 30, 1e-12);
  EXPECT_NEAR(incl::TiltDegrees(-1), -90, 1e-12);
  EXPECT_EQ(incl::TiltText(-12.345), QStringLiteral("Tilt -12.3 \u00B0"));
  EXPECT_EQ(incl::QualityText(0.75), QStringLiteral("0.750"));
  EXPECT_EQ(incl::ExtremeText(699.96), QStringLiteral("700.0"));
}

TEST(InclinometerOps, FlatRangesAndZeroMaximaAreTooSmallToCalibrate) {
  const struct {
    incl::TExtremes e;
    bool tooSmall;
  } cases[] = {
      {{1000, 950, 800, 790, 600, 599}, true},   // every range under 10 %
      {{1000, 850, 800, 790, 600, 599}, false},  // X spans 15 %
      {{0, 0, 0, 0, 0, 0}, true},                // nothing measured: no division by zero
      {{0, 0, 800, 100, 600, 100}, false},       // only X without a maximum
      {{0, 0, 800, 790, 600, 599}, true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(incl::RangesTooSmall(cases[i].e), cases[i].tooSmall);
  }
}

TEST(InclinometerOps, TheCalibrationIsStoredUnderTheSerialNumberAndFlushed) {
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/main.ini");
  {
    TMemIniFile ini(file);
    incl::WriteCalibration(ini, 4242, {{700, 300, 650, 350, 900, 100}, 0.75, -9.5});
  }
  const TMemIniFile disk(file);
  const QString section = QStringLiteral("Inclinometer4242");
  const struct {
    const char* key;
    double value;
  } keys[] = {{"MaxX", 700}, {"MinX", 300}, {"MaxY", 650}, {"MinY", 350}, {"MaxZ", 900}, {"MinZ", 100},
              {"CalibrationQuality", 0.75}, {"ZeroAngle", -9.5}};
  for (const auto& k : keys) EXPECT_EQ(disk.ReadFloat(section, QString::fromLatin1(k.key), -1), k.value) << k.key;
}

}  // namespace inclinometer_ops_test
