#include "profiledata/gpr_constants.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <utility>

namespace {

// Records and files store each enumeration in one byte.
static_assert(sizeof(TTypeGPR) == 1 && sizeof(TTypeGPRDevice) == 1 && sizeof(TRunMode) == 1 &&
              sizeof(TCurMode) == 1 && sizeof(TTopoType) == 1 && sizeof(TDirection) == 1 &&
              sizeof(TDirectForCart) == 1 && sizeof(TInclinometersSett) == 1 && sizeof(TModeSystemRadars) == 1 &&
              sizeof(TtypeGPSstate) == 1 && sizeof(TProportional) == 1 && sizeof(ZoomingWH) == 1 &&
              sizeof(TTypeProfiles) == 1 && sizeof(TTypeMarker) == 1 && sizeof(TtypeOfPlugin) == 1);

TEST(GprConstants, EnumeratorsHaveTheStoredOrdinals) {
  const std::pair<int, int> cases[] = {
      {unknown, 0},       {Unit01, 1},         {Unit33, 33},           {Unit52, 52},
      {tdUnknown, 0},     {tdBox01, 1},        {tdBox17, 17},          {rmStep, 0},
      {rmWheel, 2},       {cmStop, 0},         {cmGPS, 4},             {cmBiDirectionalWheel, 5},
      {cmCursor, 6},      {ttGPS, 2},          {ttTrolleyA, 3},        {ttOdometerE, 9},
      {ttCustom, 10},     {ttUnitWheelB, 12},  {forth, 0},             {back, 1},
      {dBackward, 1},     {isReverce, 2},      {msrDualFreqience, 1},  {msrArrayRadar, 2},
      {gpsPos, 2},        {PropInSamples15, 2}, {PropInM21, 3},        {PropInM41, 7},
      {ZoomToHeight, 1},  {tpArc, 1},          {tmPolyLine, 2},        {tmNoObject, 3},
      {advanced, 1},
  };
  for (const auto& [value, ordinal] : cases) EXPECT_EQ(value, ordinal);
}

void ExpectRow(int row, int index, std::array<int, 4> coef, std::array<double, 4> width, double timeScale,
               int freq, double maxFreq, double space) {
  SCOPED_TRACE(row);
  const TUnitParamExt& r = GPRUnitParams[row];
  EXPECT_EQ(r.UnitTypeIndex, index);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.Coef[i], coef[i]);
    EXPECT_DOUBLE_EQ(r.WndWidth[i], width[i]);
  }
  EXPECT_DOUBLE_EQ(r.TimeScaleForWavelet, timeScale);
  EXPECT_EQ(r.FreqForFilter, freq);
  EXPECT_DOUBLE_EQ(r.MaxFreqForFilter, maxFreq);
  EXPECT_DOUBLE_EQ(r.AntenSpace, space);
}

TEST(GprConstants, SpotRowsOfTheAntennaTable) {
  ExpectRow(0, 0, {6, 9, 12, 15}, {53.3, 79.95, 106.6, 133.3}, 2.5, 300, 1.5, 0.315);
  ExpectRow(1, 1, {10, 15, 20, 25}, {120, 180, 240, 300}, 7, 125, 0.3, 0.593);
  ExpectRow(14, 14, {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315);
  ExpectRow(15, 15, {2, 3, 4, 5}, {16, 24, 32, 40}, 1.2, 700, 1.2, 0.142);
  ExpectRow(10, 10, {10, 15, 20, 25}, {120, 180, 240, 300}, 7, 300, 0.8, 0.315);
  ExpectRow(19, 19, {6, 9, 12, 15}, {32, 50, 64, 80}, 1.6, 500, 1, 0.142);
  ExpectRow(22, 22, {14, 21, 28, 35}, {240, 360, 480, 600}, 14, 70, 0.15, 0.15);
  ExpectRow(24, 24, {2, 4, 7, 10}, {16, 32, 56, 80}, 1.2, 700, 1.2, 0.142);
  ExpectRow(25, 25, {6, 12, 21, 30}, {32, 64, 112, 160}, 1.6, 500, 1, 0.142);
  ExpectRow(26, 26, {8, 16, 28, 40}, {66, 132, 231, 330}, 2.5, 300, 0.8, 0.315);
  ExpectRow(27, 27, {10, 20, 30, 45}, {120, 240, 360, 540}, 7, 125, 0.3, 0.593);
  ExpectRow(29, 29, {4, 6, 8, 10}, {8, 12, 16, 20}, 0.6, 1500, 3, 0.09);
  ExpectRow(30, 30, {4, 6, 8, 10}, {16, 24, 32, 40}, 1.2, 700, 1.2, 0.142);
  ExpectRow(38, 38, {10, 15, 20, 25}, {120, 180, 240, 300}, 7, 125, 0.3, 0.593);
  ExpectRow(40, 40, {8, 12, 16, 20}, {34, 51, 68, 85}, 1.5, 600, 1.1, 0.142);
  ExpectRow(43, 43, {8, 12, 16, 20}, {23.6, 34, 45.3, 56.6}, 0.9, 900, 2, 0.142);
  ExpectRow(52, 44, {4, 6, 8, 10}, {8, 12, 16, 20}, 0.6, 1200, 3, 0.5);
}

TEST(GprConstants, RowsUpTo44CarryTheirOwnIndexAndEveryRowHasAName) {
  EXPECT_EQ(std::string_view(GPRUnitParams[0].UnitName), "Unknown");
  for (int r = 0; r < GPRUnitCount; ++r) {
    if (r <= 44) {
      EXPECT_EQ(GPRUnitParams[r].UnitTypeIndex, r) << r;
    }
    ASSERT_NE(GPRUnitParams[r].UnitName, nullptr) << r;
    EXPECT_FALSE(std::string_view(GPRUnitParams[r].UnitName).empty()) << r;
  }
  EXPECT_EQ(std::string_view(GPRUnitParams[52].UnitName), "Unit52");
}

TEST(GprConstants, RepeatedRowsEqualTheirSourceRowFieldByField) {
  const std::pair<int, int> repeats[] = {{45, 41}, {46, 43}, {47, 33}, {48, 39}, {49, 31}, {50, 37}, {51, 23}};
  for (const auto& [row, source] : repeats) {
    SCOPED_TRACE(row);
    const TUnitParamExt& r = GPRUnitParams[row];
    const TUnitParamExt& s = GPRUnitParams[source];
    EXPECT_EQ(r.UnitTypeIndex, source);
    EXPECT_EQ(r.Coef, s.Coef);
    EXPECT_EQ(r.WndWidth, s.WndWidth);
    EXPECT_EQ(r.TimeScaleForWavelet, s.TimeScaleForWavelet);
    EXPECT_EQ(r.FreqForFilter, s.FreqForFilter);
    EXPECT_EQ(r.MaxFreqForFilter, s.MaxFreqForFilter);
    EXPECT_EQ(r.AntenSpace, s.AntenSpace);
  }
}

TEST(GprConstants, Row52NamesUnit44ButDiffersFromIt) {
  const TUnitParamExt& r = GPRUnitParams[52];
  const TUnitParamExt& s = GPRUnitParams[44];
  EXPECT_EQ(r.UnitTypeIndex, 44);
  EXPECT_EQ(r.FreqForFilter, 1200);
  EXPECT_EQ(s.FreqForFilter, 900);
  EXPECT_DOUBLE_EQ(r.AntenSpace, 0.5);
  EXPECT_DOUBLE_EQ(s.AntenSpace, 0.142);
  EXPECT_NE(r.WndWidth, s.WndWidth);
}

TEST(GprConstants, Row36DiffersFromRow33OnlyInTheSecondTimeWindow) {
  const TUnitParamExt& r = GPRUnitParams[36];
  const TUnitParamExt& s = GPRUnitParams[33];
  EXPECT_DOUBLE_EQ(r.WndWidth[1], 40.0);
  EXPECT_DOUBLE_EQ(s.WndWidth[1], 45.0);
  for (int i : {0, 2, 3}) EXPECT_EQ(r.WndWidth[i], s.WndWidth[i]) << i;
  EXPECT_EQ(r.Coef, s.Coef);
  EXPECT_EQ(r.TimeScaleForWavelet, s.TimeScaleForWavelet);
  EXPECT_EQ(r.FreqForFilter, s.FreqForFilter);
  EXPECT_EQ(r.MaxFreqForFilter, s.MaxFreqForFilter);
  EXPECT_EQ(r.AntenSpace, s.AntenSpace);
}

TEST(GprConstants, DeviceTable) {
  EXPECT_EQ(GPRDeviceParams[tdUnknown].DeviceTypeIndex, 0);
  EXPECT_EQ(std::string_view(GPRDeviceParams[tdUnknown].DeviceName), "Unknown");
  for (int r = 1; r < GPRDeviceCount; ++r) {
    EXPECT_EQ(GPRDeviceParams[r].DeviceTypeIndex, 1) << r;
    EXPECT_FALSE(std::string_view(GPRDeviceParams[r].DeviceName).empty()) << r;
  }
  EXPECT_EQ(std::string_view(GPRDeviceParams[tdBox17].DeviceName), "Box17");
}

TEST(GprConstants, WheelStepTable) {
  const std::pair<TTopoType, double> steps[] = {
      {ttNil, 30.0},       {ttWheel, 31.47},     {ttGPS, 1.0},       {ttTrolleyA, 26.03}, {ttOdometerA, 11.18},
      {ttTrolleyB, 26.03}, {ttOdometerB, 11.0},  {ttOdometerC, 31.47}, {ttOdometerD, 23.9}, {ttOdometerE, 26.03},
      {ttCustom, 1.0},     {ttUnitWheelA, 3.9},  {ttUnitWheelB, 3.9},
  };
  ASSERT_EQ(std::size(steps), TopoWheelSteps.size());
  for (const auto& [type, step] : steps) {
    EXPECT_DOUBLE_EQ(TopoWheelSteps[type], step) << int(type);
    EXPECT_DOUBLE_EQ(TopoWheelStep(type), step) << int(type);
  }
}

// A type byte read from a damaged file must not index outside the tables.
TEST(GprConstants, CheckedLookupsFallBackToRowZero) {
  for (int bad : {-1, GPRUnitCount, 255, 1 << 20}) EXPECT_EQ(&UnitParams(bad), &GPRUnitParams[unknown]) << bad;
  EXPECT_EQ(&UnitParams(Unit52), &GPRUnitParams[52]);
  EXPECT_DOUBLE_EQ(UnitParams(200).WndWidth[2], 106.6);

  for (int bad : {-1, GPRDeviceCount, 255}) EXPECT_EQ(&DeviceParams(bad), &GPRDeviceParams[tdUnknown]) << bad;
  EXPECT_EQ(&DeviceParams(tdBox17), &GPRDeviceParams[17]);

  for (int bad : {-1, TopoTypeCount, 255}) EXPECT_DOUBLE_EQ(TopoWheelStep(bad), 30.0) << bad;
}

}  // namespace
