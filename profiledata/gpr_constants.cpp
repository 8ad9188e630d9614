#include "profiledata/gpr_constants.h"

namespace {

// Columns: UnitTypeIndex, UnitName, Coef[0..3], WndWidth[0..3] (ns), TimeScaleForWavelet (ns),
// FreqForFilter (MHz), MaxFreqForFilter (GHz), AntenSpace (m).
// Rows 45..51 are later catalogue entries of units already listed: they carry the row
// index of that unit and its numbers. Row 52 names unit 44 but has its own frequency
// and antenna spacing.
constexpr std::array<TUnitParamExt, GPRUnitCount> kUnitRows = {{
    {0, "Unknown", {6, 9, 12, 15}, {53.3, 79.95, 106.6, 133.3}, 2.5, 300, 1.5, 0.315},
    {1, "Unit01", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {2, "Unit02", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {3, "Unit03", {2, 3, 4, 5}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {4, "Unit04", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {5, "Unit05", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {6, "Unit06", {2, 3, 4, 5}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {7, "Unit07", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {8, "Unit08", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {9, "Unit09", {2, 3, 4, 5}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {10, "Unit10", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 300, 0.8, 0.315},
    {11, "Unit11", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {12, "Unit12", {2, 3, 4, 5}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {13, "Unit13", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {14, "Unit14", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {15, "Unit15", {2, 3, 4, 5}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {16, "Unit16", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {17, "Unit17", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {18, "Unit18", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {19, "Unit19", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {20, "Unit20", {14, 21, 28, 35}, {240.0, 360.0, 480.0, 600.0}, 14.0, 70, 0.15, 0.15},
    {21, "Unit21", {14, 21, 28, 35}, {240.0, 360.0, 480.0, 600.0}, 14.0, 70, 0.15, 0.15},
    {22, "Unit22", {14, 21, 28, 35}, {240.0, 360.0, 480.0, 600.0}, 14.0, 70, 0.15, 0.15},
    {23, "Unit23", {14, 21, 28, 35}, {240.0, 360.0, 480.0, 600.0}, 14.0, 70, 0.15, 0.15},
    {24, "Unit24", {2, 4, 7, 10}, {16.0, 32.0, 56.0, 80.0}, 1.2, 700, 1.2, 0.142},
    {25, "Unit25", {6, 12, 21, 30}, {32.0, 64.0, 112.0, 160.0}, 1.6, 500, 1.0, 0.142},
    {26, "Unit26", {8, 16, 28, 40}, {66.0, 132.0, 231.0, 330.0}, 2.5, 300, 0.8, 0.315},
    {27, "Unit27", {10, 20, 30, 45}, {120.0, 240.0, 360.0, 540.0}, 7.0, 125, 0.3, 0.593},
    {28, "Unit28", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1500, 3.0, 0.09},
    {29, "Unit29", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1500, 3.0, 0.09},
    {30, "Unit30", {4, 6, 8, 10}, {16.0, 24.0, 32.0, 40.0}, 1.2, 700, 1.2, 0.142},
    {31, "Unit31", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {32, "Unit32", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {33, "Unit33", {6, 9, 12, 15}, {30.0, 45.0, 60.0, 75.0}, 1.2, 700, 1.2, 0.142},
    {34, "Unit34", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {35, "Unit35", {6, 9, 12, 15}, {32.0, 50.0, 64.0, 80.0}, 1.6, 500, 1.0, 0.142},
    {36, "Unit36", {6, 9, 12, 15}, {30.0, 40.0, 60.0, 75.0}, 1.2, 700, 1.2, 0.142},
    {37, "Unit37", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {38, "Unit38", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {39, "Unit39", {8, 12, 16, 20}, {34.0, 51.0, 68.0, 85.0}, 1.5, 600, 1.1, 0.142},
    {40, "Unit40", {8, 12, 16, 20}, {34.0, 51.0, 68.0, 85.0}, 1.5, 600, 1.1, 0.142},
    {41, "Unit41", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1500, 3.0, 0.09},
    {42, "Unit42", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1500, 3.0, 0.09},
    {43, "Unit43", {8, 12, 16, 20}, {23.6, 34.0, 45.3, 56.6}, 0.9, 900, 2.0, 0.142},
    {44, "Unit44", {8, 12, 16, 20}, {23.6, 34.0, 45.3, 56.6}, 0.9, 900, 2.0, 0.142},
    {41, "Unit45", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1500, 3.0, 0.09},
    {43, "Unit46", {8, 12, 16, 20}, {23.6, 34.0, 45.3, 56.6}, 0.9, 900, 2.0, 0.142},
    {33, "Unit47", {6, 9, 12, 15}, {30.0, 45.0, 60.0, 75.0}, 1.2, 700, 1.2, 0.142},
    {39, "Unit48", {8, 12, 16, 20}, {34.0, 51.0, 68.0, 85.0}, 1.5, 600, 1.1, 0.142},
    {31, "Unit49", {8, 12, 16, 20}, {66.63, 99.94, 133.25, 166.56}, 2.5, 300, 0.8, 0.315},
    {37, "Unit50", {10, 15, 20, 25}, {120.0, 180.0, 240.0, 300.0}, 7.0, 125, 0.3, 0.593},
    {23, "Unit51", {14, 21, 28, 35}, {240.0, 360.0, 480.0, 600.0}, 14.0, 70, 0.15, 0.15},
    {44, "Unit52", {4, 6, 8, 10}, {8.0, 12.0, 16.0, 20.0}, 0.6, 1200, 3.0, 0.5},
}};

constexpr bool SameNumbers(const TUnitParamExt& a, const TUnitParamExt& b) {
  return a.Coef == b.Coef && a.WndWidth == b.WndWidth && a.TimeScaleForWavelet == b.TimeScaleForWavelet &&
         a.FreqForFilter == b.FreqForFilter && a.MaxFreqForFilter == b.MaxFreqForFilter &&
         a.AntenSpace == b.AntenSpace;
}

// The table is typed by hand: make the compiler hold it to its own structure.
constexpr bool RowsConsistent() {
  for (int r = 0; r <= 44; ++r)
    if (kUnitRows[r].UnitTypeIndex != r) return false;
  for (int r = 45; r <= 51; ++r)
    if (!SameNumbers(kUnitRows[r], kUnitRows[kUnitRows[r].UnitTypeIndex])) return false;
  return kUnitRows[52].UnitTypeIndex == 44;
}
static_assert(RowsConsistent(), "antenna-unit table rows out of order or repeated rows differ");

constexpr std::array<TDeviceParamExt, GPRDeviceCount> kDeviceRows = {{
    {0, "Unknown"}, {1, "Box01"}, {1, "Box02"}, {1, "Box03"}, {1, "Box04"}, {1, "Box05"},
    {1, "Box06"},   {1, "Box07"}, {1, "Box08"}, {1, "Box09"}, {1, "Box10"}, {1, "Box11"},
    {1, "Box12"},   {1, "Box13"}, {1, "Box14"}, {1, "Box15"}, {1, "Box16"}, {1, "Box17"},
}};

}  // namespace

const std::array<TUnitParamExt, GPRUnitCount> GPRUnitParams = kUnitRows;
const std::array<TDeviceParamExt, GPRDeviceCount> GPRDeviceParams = kDeviceRows;

const std::array<double, TopoTypeCount> TopoWheelSteps = {
    30.0,   // ttNil
    31.47,  // ttWheel
    1.0,    // ttGPS
    26.03,  // ttTrolleyA
    11.18,  // ttOdometerA
    26.03,  // ttTrolleyB
    11.0,   // ttOdometerB
    31.47,  // ttOdometerC
    23.9,   // ttOdometerD
    26.03,  // ttOdometerE
    1.0,    // ttCustom
    3.9,    // ttUnitWheelA
    3.9,    // ttUnitWheelB
};

const TUnitParamExt& UnitParams(int typeGPR) {
  return (typeGPR >= 0 && typeGPR < GPRUnitCount) ? GPRUnitParams[typeGPR] : GPRUnitParams[unknown];
}

const TDeviceParamExt& DeviceParams(int typeGPRDevice) {
  return (typeGPRDevice >= 0 && typeGPRDevice < GPRDeviceCount) ? GPRDeviceParams[typeGPRDevice]
                                                                 : GPRDeviceParams[tdUnknown];
}

double TopoWheelStep(int topoType) {
  return (topoType >= 0 && topoType < TopoTypeCount) ? TopoWheelSteps[topoType] : TopoWheelSteps[ttNil];
}
