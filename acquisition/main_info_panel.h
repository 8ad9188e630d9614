#pragma once
// The main window's X/Y info panel: the cursor's position in the active
// radargram window (Y in ns and m, X in traces and m), the cursor distance and
// the picture of the window's distance-measuring device. Two boxes: the large
// one (caption "X/Y", two rows, the picture) and a one-row small one, which
// the window keeps hidden. Both sit at the right edge of the parent's client
// area, two pixels above its top.
//
// Threads: user-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

class TGroupBox;
class TImage;
class TLabel;
class TWinControl;

RESOURCESTRING(SInfoUnitMetres, ", m");
RESOURCESTRING(SInfoUnitTrace, " trace");

// What the info panel shows of the active window.
struct TInfoPanelSource {
  // A window is current and its channel 0 has settings.
  bool HasWindow = false;
  // The master channel's run mode and measuring device.
  TRunMode RunMode = rmStep;
  TTopoType TopoType = ttNil;
  // The window's Distance item is checked: distances in metres.
  bool DistanceInMetres = false;
};

class TInfoPanel {
public:
  // The boxes and labels are owned by parent.
  explicit TInfoPanel(TWinControl* parent);

  static constexpr int LargeWidth = 304;
  static constexpr int SmallWidth = 371;

  // Widths, picture and unit labels for the source, then Place.
  void Check(const TInfoPanelSource& source);
  // Each box at the right edge of the parent's client area, top -2.
  void Place();
  // The four texts into the large box when it is visible, else into the
  // small one when that is.
  void DispInfo(const QString& strY_ns, const QString& strY_m, const QString& strX_tr, const QString& strX_m);
  // The cursor distance, likewise; an empty text leaves the large box as it is.
  void DispCmCursor(const QString& cmCursor_m);

  TWinControl* Parent = nullptr;
  TGroupBox* InfoGroupBoxLarge = nullptr;
  TLabel* LabelX_mLarge = nullptr;
  TLabel* LabelX_trLarge = nullptr;
  TLabel* LabelY_mLarge = nullptr;
  TLabel* LabelY_nsLarge = nullptr;
  TLabel* LabelcmCursor_mLarge = nullptr;
  TLabel* Label_m_tr = nullptr;
  TImage* TopoDeviceImage = nullptr;
  TGroupBox* InfoGroupBoxSmall = nullptr;
  TLabel* LabelX_mSmall = nullptr;
  TLabel* LabelX_trSmall = nullptr;
  TLabel* LabelY_mSmall = nullptr;
  TLabel* LabelY_nsSmall = nullptr;
  TLabel* LabelcmCursor_mSmall = nullptr;
  TLabel* LabelSmall_m_tr = nullptr;
};
