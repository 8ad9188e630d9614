#pragma once
// TTopoDeviceTab: the topo device tab of the general preferences dialog. The
// operator chooses the device that measures the distance along the profile
// (its own topo menu, one radio group of the twelve devices, each with its
// picture) and keeps, per device type, a list of measured wheel steps: pushed
// over a known distance while the radar reports wheel pulses, the device gets
// a named calibration of its step per pulse. The settings window offers the
// stored list as its calibration menu.
//
// A self-contained unit the dialog hosts: it places its controls on the
// dialog's tab sheet and owns no window. The dialog calls
//   LoadList when it is shown, WriteList when it closes, RefreshIndicator with
//   the radar-dependent state of its tabs, WheelPulse for each WM_WHEELPULSE,
//   and CancelSpeedButtonClick when the radar set loses its current radar;
// it disables TopoItems[ttGPS] while the set has more than one radar.
// The list's arithmetic and its section are in wheel_calibration.h.
//
// Threads: user-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/messages.h"
#include "profiledata/gpr_constants.h"

#include <array>
#include <vector>

class ICalibrationHost;
class TAdvPopupMenu;
class TBitBtn;
class TComponent;
class TDigitEdit;
class TEdit;
class TImage;
class TImageList;
class TLabel;
class TMenuItem;
class TPanel;
class TSpeedButton;
class TValueListEditor;
class TWinControl;

RESOURCESTRING(SWheelDefaultNotRemovable, "The default value can not be removed");
RESOURCESTRING(SWheelEnterValidDistance, "Enter valid distance for calibration");

class TTopoDeviceTab {
public:
  // Places the controls on parent; owner owns them (the dialog).
  TTopoDeviceTab(TComponent* owner, TWinControl* parent, ICalibrationHost& host);

  // ---- Fields ----------------------------------------------------------------------
  // Wheel pulses counted during a calibration run, and the way they count up.
  int WheelCalibrateTraces = 0;
  TDirection CalibrateDirection = forth;

  // ---- Controls ----------------------------------------------------------------------
  TImage* TopoTypeImage = nullptr;
  TLabel* TopoTitleLabel = nullptr;
  TBitBtn* TopoDeviceButton = nullptr;
  TAdvPopupMenu* TopoTypePopupMenu = nullptr;
  TImageList* TopoTypeImages = nullptr;
  // The topo items by TTopoType (ttNil has none).
  std::array<TMenuItem*, TopoTypeCount> TopoItems{};
  TPanel* OdometerPanel = nullptr;
  TLabel *Label14 = nullptr, *Label6 = nullptr;
  TDigitEdit* OdometerDigitEdit = nullptr;
  TBitBtn *AddOdometer = nullptr, *delOdometer = nullptr;
  TValueListEditor* OdometerList = nullptr;
  TPanel* MeasureOdometrPanel = nullptr;
  TLabel *Label23 = nullptr, *Label4 = nullptr, *Label24 = nullptr, *StepLabel = nullptr;
  TDigitEdit* DistanceDigitEdit = nullptr;
  TEdit* NameMeasurEdit = nullptr;
  // A toggle: down while a run counts pulses.
  TSpeedButton* StartStopSpeedButton = nullptr;
  TBitBtn* CancelSpeedButton = nullptr;

  // ---- What the dialog calls -----------------------------------------------------------
  // Fills the list from the settings file for LastTopoType.
  void LoadList();
  // Stores the list for LastTopoType and flushes the settings file.
  void WriteList();
  // Marks LastTopoType's menu item and shows its picture and name.
  void RefreshIndicator();
  // WM_WHEELPULSE: wParam, lParam the two bytes of the radar's wheel report.
  void WheelPulse(WPARAM wParam, LPARAM lParam);

  // ---- Handlers ----------------------------------------------------------------------
  void TopoItemClick(TTopoType type);
  void AddOdometerClick();
  void delOdometerClick();
  void OdometerListSelectCell(int ACol, int ARow, bool& CanSelect);
  void OdometerListSetEditText(int ACol, int ARow, const QString& Value);
  void StartStopSpeedButtonClick();
  void CancelSpeedButtonClick();

private:
  void BuildControls(TComponent* owner, TWinControl* parent);
  void BuildMenu(TComponent* owner);
  void SetStep(double step);
  void AppendRow(const QString& step, const QString& name);
  void StartRun();
  void StopRun();

  ICalibrationHost& host_;
};
