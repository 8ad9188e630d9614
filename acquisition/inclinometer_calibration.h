#pragma once
// TInclinometerTab: the inclinometer tab of the general preferences dialog,
// which calibrates the radar's three-axis accelerometer. While "Calibrate" is
// ticked each axis's extremes follow the mean of its last 40 readings; the
// extremes scale the readings to -1 .. 1, the X axis gives the tilt. "Step 2"
// and "Step 3" each average 39 tilts in one of two opposite zero positions;
// once both gave a non-zero mean the radar's zero angle is minus their mean.
// "Test" only runs the radars to show the tilt. The result is stored per radar
// serial number when the dialog closes.
//
// A self-contained unit the dialog hosts: it places its controls on the
// dialog's tab sheet and owns no window. The dialog calls PaintLastTrace for
// each WM_PAINTLASTTRACE, CloseQuery from its FormCloseQuery, and
// EnableControls with the radar-dependent state of its tabs. The arithmetic is
// in inclinometer_ops.h.
//
// Threads: user-interface thread only. The radar's reader thread writes the
// readings under the radar's SectPaint; this tab reads them and reads and
// updates the extremes and their windows under the same lock.

#include "acquisition/inclinometer_ops.h"

#include <QString>

#include <array>

class ICalibrationHost;
class TCheckBox;
class TComponent;
class TGroupBox;
class TImage;
class TLabel;
class TWinControl;

class TInclinometerTab {
public:
  // Places the controls on parent; owner owns them (the dialog).
  TInclinometerTab(TComponent* owner, TWinControl* parent, ICalibrationHost& host);

  // ---- Fields ----------------------------------------------------------------------
  // Mean tilt of the first and the second zero position.
  double ZeroAngle1 = 0, ZeroAngle2 = 0;
  // The zero step running now (both steps share it): tilt samples and their sum.
  int ZeroStepCount = 0;
  double ZeroStepSum = 0;
  // The pictures Image1 and Image2 show: "LEFT_GRAY" / "RIGHT_GRAY" (not started),
  // "LEFT_W" / "RIGHT_W" (running), "LEFT_BR" / "RIGHT_BR" (done).
  QString Image1Picture, Image2Picture;

  // ---- Controls ----------------------------------------------------------------------
  std::array<TLabel*, 6> AxisTitles{};  // "Xmax", "Xmin", "Ymax", "Ymin", "Zmax", "Zmin"
  TLabel *GXmaxLabel = nullptr, *GXminLabel = nullptr, *GYmaxLabel = nullptr, *GYminLabel = nullptr,
         *GZmaxLabel = nullptr, *GZminLabel = nullptr;
  TLabel *QualityTitle = nullptr, *QuolityLabel = nullptr, *AngleXLabel = nullptr;
  TCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr;
  TGroupBox* ZeroGroupBox = nullptr;
  TImage *Image1 = nullptr, *Image2 = nullptr;

  // ---- What the dialog calls -----------------------------------------------------------
  // WM_PAINTLASTTRACE: a trace of a radar that is not a slave arrived.
  void PaintLastTrace();
  // False while "Calibrate", "Step 2" or "Step 3" is ticked (the dialog stays).
  // Otherwise stores the current radar's calibration and, while "Test" is
  // ticked, stops the radar.
  bool CloseQuery();
  // The labels and check boxes, by whether there is a current radar.
  void EnableControls(bool enabled);

  // ---- Handlers ----------------------------------------------------------------------
  void CheckBox1Click();  // "Calibrate"
  void CheckBox2Click();  // "Test"
  void CheckBox3Click();  // "Step 2"
  void CheckBox4Click();  // "Step 3"

private:
  void SetPicture(TImage* image, QString& shown, const QString& name);
  void StartZeroStep(TImage* image, QString& shown, const QString& running);
  // One trace of a zero step: a tilt sample, or the end of the step (true:
  // the radars are to be stopped).
  bool ZeroStepTrace(TCheckBox* box, double& zeroAngle, TImage* image, QString& shown, const QString& done,
                     double tilt, double quality, const inclinometer::TExtremes& e);
  void StoreCalibration();

  ICalibrationHost& host_;
};

// Draws a zero-position picture by its name (see Image1Picture); false for an
// unknown name. A radar antenna tilted to the left or right, grey before the
// step, white while it runs, brown when it is done.
class TBitmap;
bool DrawZeroPicture(const QString& name, TBitmap& bitmap);
