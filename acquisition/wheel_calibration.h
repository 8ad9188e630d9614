#pragma once
// The wheel calibrations of the topo devices, apart from any window: the list
// kept per device type in the main settings file, the pulse count of a
// calibration run and the step it gives.
//
// Section "Odometer_" + the TTopoType value: CountMeasur entries, entry i with
// its name under "NameMeasure_" + i and its step (mm per pulse) under
// "Measure_" + i. A type without entries offers one "Default" calibration with
// its TopoWheelSteps value; GPS keeps no list.
//
// Every routine is pure or works only on the settings file it is given; any thread.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <vector>

class TCustomIniFile;

RESOURCESTRING(SWheelDefaultCalibration, "Default");
RESOURCESTRING(SWheelCalibrationCompleted,
               "Calibration completed\r\nStep of wheel= %s mm (Default= %s mm)\r\nTo save the result?");
RESOURCESTRING(SWheelNumberOfPulses, "Number of Pulses ");

namespace wheel_calibration {

// One row of the calibration list as the operator sees and edits it: the step
// as text (the key column) and the name.
struct TCalibrationRow {
  QString Step;
  QString Name;
};

// One stored calibration as read: its name and its full-precision step (mm
// per pulse). Stored is false for the "Default" offered without entries.
struct TStoredCalibration {
  QString Name;
  double Step = 0;
  bool Stored = true;
};

QString SectionOf(TTopoType type);
// General format, precision 5, 2 digits ("31.47").
QString StepText(double step);

// The one reader of the section, for the preferences dialog's list and the
// settings window's calibration menu: the stored entries, or for a type
// without entries (for GPS, or without a settings file) one "Default" with the
// type's TopoWheelSteps value. Steps are read with either decimal separator
// (default 1).
std::vector<TStoredCalibration> ReadStoredCalibrations(const TCustomIniFile* ini, TTopoType type);
// The same as the list shows it: the step in StepText.
std::vector<TCalibrationRow> ReadCalibrations(const TCustomIniFile& ini, TTopoType type);
// Replaces the type's section by the rows (not for GPS; a step that is not a
// number is stored as 0) and flushes the file to disk.
void WriteCalibrations(TCustomIniFile& ini, TTopoType type, const std::vector<TCalibrationRow>& rows);

// The pulse count after one wheel report: +1 for a pulse forward (direction
// byte 0), -1 otherwise; the other way round while counting back.
int CountAfterPulse(int count, uintptr_t directionByte, TDirection counting);
// mm per pulse for distanceM metres over `count` pulses: no pulse counts as
// one, the sign is dropped, and the result is cut (not rounded) to 2 decimals.
double StepFromPulses(long double distanceM, int count);
// The question after a run.
QString CompletedQuestion(double step, double defaultStep);

}  // namespace wheel_calibration
