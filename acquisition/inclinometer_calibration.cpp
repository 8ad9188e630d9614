#include "acquisition/inclinometer_calibration.h"

#include "acquisition/calibration_host.h"
#include "acquisition/inclinometer_ops.h"
#include "platform/ui/place_controls.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"

#include <cmath>
#include <mutex>
#include <vector>

namespace {

namespace incl = inclinometer;

RESOURCESTRING(SInclQuality, "Quality of calibration");
RESOURCESTRING(SInclCalibrate, "Calibrate");
RESOURCESTRING(SInclTest, "Test");
RESOURCESTRING(SInclZero, "Zero ");
RESOURCESTRING(SInclStep2, "Step 2");
RESOURCESTRING(SInclStep3, "Step 3");

const QString kLeftGray = QStringLiteral("LEFT_GRAY");
const QString kRightGray = QStringLiteral("RIGHT_GRAY");
const QString kLeftRunning = QStringLiteral("LEFT_W");
const QString kRightRunning = QStringLiteral("RIGHT_W");
const QString kLeftDone = QStringLiteral("LEFT_BR");
const QString kRightDone = QStringLiteral("RIGHT_BR");

constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 40;

// The current radar's readings of the X, Y and Z axes (entries 1, 2, 3), unsigned.
std::array<int32_t, 3> Readings(const TRadar& radar) {
  const auto& v = radar.AccelerometerValues;
  return {static_cast<uint16_t>(v[1]), static_cast<uint16_t>(v[2]), static_cast<uint16_t>(v[3])};
}

incl::TExtremes ExtremesOf(const TRadar& radar) {
  return {radar.GXmax, radar.GXmin, radar.GYmax, radar.GYmin, radar.GZmax, radar.GZmin};
}

}  // namespace

bool DrawZeroPicture(const QString& name, TBitmap& bitmap) {
  const bool left = name.startsWith(QStringLiteral("LEFT_"));
  const QString state = name.mid(name.indexOf(u'_') + 1);
  TColor body = clGray;
  if (state == QStringLiteral("W")) {
    body = clWhite;
  } else if (state == QStringLiteral("BR")) {
    body = 0x204080;  // brown
  } else if (state != QStringLiteral("GRAY") || (!left && !name.startsWith(QStringLiteral("RIGHT_")))) {
    return false;
  }
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(kPictureWidth, kPictureHeight);
  TCanvas& c = *bitmap.Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clBtnFace);
  c.FillRect(Rect(0, 0, kPictureWidth, kPictureHeight));
  // The ground, and the antenna box resting on it tilted towards its side.
  c.Pen()->SetColor(0x202020);
  c.Pen()->SetWidth(1);
  c.MoveTo(2, kPictureHeight - 4);
  c.LineTo(kPictureWidth - 2, kPictureHeight - 4);
  const int low = kPictureHeight - 5, high = kPictureHeight - 17;
  const std::vector<TPoint> points =
      left ? std::vector<TPoint>{{8, low}, {56, high}, {56, high - 12}, {8, low - 12}}
           : std::vector<TPoint>{{8, high}, {56, low}, {56, low - 12}, {8, high - 12}};
  c.Brush()->SetColor(body);
  c.Polygon(points);
  return true;
}

TInclinometerTab::TInclinometerTab(TComponent* owner, TWinControl* parent, ICalibrationHost& host) : host_(host) {
  const char* titles[6] = {"Xmax", "Xmin", "Ymax", "Ymin", "Zmax", "Zmin"};
  std::array<TLabel**, 6> values = {&GXmaxLabel, &GXminLabel, &GYmaxLabel, &GYminLabel, &GZmaxLabel, &GZminLabel};
  for (size_t i = 0; i < 6; ++i) {
    const int top = 8 + static_cast<int>(i) * 20;
    AxisTitles[i] = LabelAt(owner, parent, 8, top, QString::fromLatin1(titles[i]));
    *values[i] = LabelAt(owner, parent, 60, top, QString());
  }
  QualityTitle = LabelAt(owner, parent, 8, 134, LoadResString(SInclQuality));
  QuolityLabel = LabelAt(owner, parent, 160, 134, QString());
  AngleXLabel = LabelAt(owner, parent, 8, 156, QString());
  CheckBox1 = Place<TCheckBox>(owner, parent, 200, 8, 90, 26);
  CheckBox1->SetCaption(LoadResString(SInclCalibrate));
  CheckBox2 = Place<TCheckBox>(owner, parent, 300, 8, 90, 26);
  CheckBox2->SetCaption(LoadResString(SInclTest));
  ZeroGroupBox = Place<TGroupBox>(owner, parent, 200, 44, 190, 110);
  ZeroGroupBox->SetCaption(LoadResString(SInclZero));
  Image1 = Place<TImage>(owner, ZeroGroupBox, 12, 22, kPictureWidth, kPictureHeight);
  Image2 = Place<TImage>(owner, ZeroGroupBox, 106, 22, kPictureWidth, kPictureHeight);
  CheckBox3 = Place<TCheckBox>(owner, ZeroGroupBox, 12, 70, 70, 26);
  CheckBox3->SetCaption(LoadResString(SInclStep2));
  CheckBox4 = Place<TCheckBox>(owner, ZeroGroupBox, 106, 70, 70, 26);
  CheckBox4->SetCaption(LoadResString(SInclStep3));
  for (TCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) box->SetPushLike(true);
  CheckBox1->OnClick = [this](TObject*) { CheckBox1Click(); };
  CheckBox2->OnClick = [this](TObject*) { CheckBox2Click(); };
  CheckBox3->OnClick = [this](TObject*) { CheckBox3Click(); };
  CheckBox4->OnClick = [this](TObject*) { CheckBox4Click(); };
  SetPicture(Image1, Image1Picture, kLeftGray);
  SetPicture(Image2, Image2Picture, kRightGray);
}

void TInclinometerTab::SetPicture(TImage* image, QString& shown, const QString& name) {
  shown = name;
  DrawZeroPicture(name, *image->Picture());
  image->Invalidate();
}

void TInclinometerTab::EnableControls(bool enabled) {
  for (TLabel* label : AxisTitles) label->SetEnabled(enabled);
  for (TLabel* label : {GXmaxLabel, GXminLabel, GYmaxLabel, GYminLabel, GZmaxLabel, GZminLabel, QualityTitle,
                        QuolityLabel, AngleXLabel})
    label->SetEnabled(enabled);
  for (TCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) box->SetEnabled(enabled);
}

// ---- The controls -------------------------------------------------------------------------

void TInclinometerTab::CheckBox1Click() {
  TControlRadar* set = host_.ControlRadar();
  if (!host_.CurrentRadar() || !set) return;
  if (CheckBox1->Checked()) {
    ZeroAngle1 = ZeroAngle2 = 0;
    SetPicture(Image1, Image1Picture, kLeftGray);
    SetPicture(Image2, Image2Picture, kRightGray);
    set->StartAllRadarsForInclinometr(true);
  } else {
    set->StopAllRadarsForInclinometr();
  }
}

void TInclinometerTab::CheckBox2Click() {
  TRadar* radar = host_.CurrentRadar();
  TControlRadar* set = host_.ControlRadar();
  if (!radar || !set) return;
  if (!CheckBox2->Checked()) {
    set->StopAllRadarsForInclinometr();
  } else if (radar->CurMode() == cmStop) {
    set->StartAllRadarsForInclinometr(false);
  }
}

void TInclinometerTab::StartZeroStep(TImage* image, QString& shown, const QString& running) {
  TRadar* radar = host_.CurrentRadar();
  TControlRadar* set = host_.ControlRadar();
  if (!radar || !set) return;
  ZeroStepCount = 0;
  ZeroStepSum = 0;
  if (radar->CurMode() != cmStop) return;
  SetPicture(image, shown, running);
  set->StartAllRadarsForInclinometr(false);
}

void TInclinometerTab::CheckBox3Click() {
  if (CheckBox3->Checked()) StartZeroStep(Image1, Image1Picture, kLeftRunning);
}

void TInclinometerTab::CheckBox4Click() {
  if (CheckBox4->Checked()) StartZeroStep(Image2, Image2Picture, kRightRunning);
}

// ---- Each trace ------------------------------------------------------------------------------

void TInclinometerTab::PaintLastTrace() {
  TRadar* radar = host_.CurrentRadar();
  if (!radar) return;
  TControlRadar* set = host_.ControlRadar();
  double x = 1, y = 1, z = 1;
  incl::TExtremes e;
  {
    std::lock_guard guard(radar->SectPaint);
    const std::array<int32_t, 3> r = Readings(*radar);
    if (CheckBox1->Checked()) {
      TRadar& R = *radar;
      // A reversed inclinometer reads X the other way round: its minimum follows
      // the larger means.
      const bool reversed = R.InclinometersSett() == isReverce;
      incl::FeedExtreme(reversed ? R.GXmin : R.GXmax, reversed ? R.GXminArray : R.GXmaxArray, r[0], true);
      incl::FeedExtreme(reversed ? R.GXmax : R.GXmin, reversed ? R.GXmaxArray : R.GXminArray, r[0], false);
      incl::FeedExtreme(R.GYmax, R.GYmaxArray, r[1], true);
      incl::FeedExtreme(R.GYmin, R.GYminArray, r[1], false);
      incl::FeedExtreme(R.GZmax, R.GZmaxArray, r[2], true);
      incl::FeedExtreme(R.GZmin, R.GZminArray, r[2], false);
    }
    e = ExtremesOf(*radar);
    x = incl::NormalisedAxis(r[0], e.GXmax, e.GXmin);
    y = incl::NormalisedAxis(r[1], e.GYmax, e.GYmin);
    z = incl::NormalisedAxis(r[2], e.GZmax, e.GZmin);
  }
  GXmaxLabel->SetCaption(incl::ExtremeText(e.GXmax));
  GXminLabel->SetCaption(incl::ExtremeText(e.GXmin));
  GYmaxLabel->SetCaption(incl::ExtremeText(e.GYmax));
  GYminLabel->SetCaption(incl::ExtremeText(e.GYmin));
  GZmaxLabel->SetCaption(incl::ExtremeText(e.GZmax));
  GZminLabel->SetCaption(incl::ExtremeText(e.GZmin));

  const double quality = std::sqrt(x * x + y * y + z * z);
  radar->CalibrationQuality = quality;
  const bool multiChannel = set && TControlRadar::isGPRDeviceReverseInclinometr(set->TypeGPRDevice());
  const double tilt = incl::TiltDegrees(incl::TiltSine(x, multiChannel, radar->SerNum(), radar->RadarType()));
  AngleXLabel->SetCaption(incl::TiltText(tilt + radar->ZeroAngle));

  bool stop = false;
  if (CheckBox3->Checked()) stop |= ZeroStepTrace(CheckBox3, ZeroAngle1, Image1, Image1Picture, kLeftDone, tilt, quality, e);
  if (CheckBox4->Checked()) {
    stop |= ZeroStepTrace(CheckBox4, ZeroAngle2, Image2, Image2Picture, kRightDone, tilt, quality, e);
    if (set) set->CopyAllRadarsInclinometrFromMaster();
  }
  QuolityLabel->SetCaption(incl::QualityText(radar->CalibrationQuality));
  // Last: stopping waits for the radars' replies and serves messages meanwhile.
  if (stop && set) set->StopAllRadarsForInclinometr();
}

bool TInclinometerTab::ZeroStepTrace(TCheckBox* box, double& zeroAngle, TImage* image, QString& shown,
                                     const QString& done, double tilt, double quality, const incl::TExtremes& e) {
  if (ZeroStepCount < incl::ZeroStepSamples) {
    ZeroStepSum += tilt;
    ++ZeroStepCount;
    return false;
  }
  TRadar* radar = host_.CurrentRadar();
  box->SetChecked(false);
  zeroAngle = ZeroStepSum / ZeroStepCount;
  if (ZeroAngle1 != 0 && ZeroAngle2 != 0) radar->ZeroAngle = -(ZeroAngle1 + ZeroAngle2) / 2;
  SetPicture(image, shown, done);
  radar->CalibrationQuality = incl::RangesTooSmall(e) ? incl::QualityOfFlatRanges : quality;
  radar->NulingPcLoading();
  return true;
}

// ---- Closing --------------------------------------------------------------------------------

bool TInclinometerTab::CloseQuery() {
  if (CheckBox1->Checked() || CheckBox3->Checked() || CheckBox4->Checked()) return false;
  StoreCalibration();
  if (CheckBox2->Checked()) {
    if (TRadar* radar = host_.CurrentRadar()) radar->SendCommand(bcpStop, 0, nullptr);
  }
  return true;
}

void TInclinometerTab::StoreCalibration() {
  const TRadar* radar = host_.CurrentRadar();
  TCustomIniFile* ini = host_.MainIni();
  if (!radar || !ini) return;
  incl::TStoredCalibration c;
  {
    std::lock_guard guard(radar->SectPaint);
    c.Extremes = ExtremesOf(*radar);
  }
  c.CalibrationQuality = radar->CalibrationQuality;
  c.ZeroAngle = radar->ZeroAngle;
  incl::WriteCalibration(*ini, radar->SerNum(), c);
}
