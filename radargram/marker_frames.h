#pragma once
// The property frames of the radargram window's Objects page: one per marker
// group (visibility and comment switches) and one per kind of item (surface
// marker, object marker, polyline) that edits the item. The window shows one
// frame at a time in the scroll box under its trees and owns it.
//
// Every frame edits the markers of the window's channel LastNumTreeView. An item
// frame's NeedRepaint is false while the frame fills its own controls, so that
// the change events of that filling (also when an edit clamps) neither write
// back nor repaint.
//
// User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/scroll_box.h"

#include <QString>

#include <cstdint>

class T2Dview;
class TCheckBox;
class TComboBox;
class TDigitEdit;
class TEdit;
class TGroupBox;
class TLabel;
class TObjectMarker;
class TPanel;
class TPolyLineMarkersData;
class TSurfaceMarker;
class TView2DForm;
struct TOwnerDrawState;

RESOURCESTRING(SSurfaceMarkersTitle, "Surface Markers");
RESOURCESTRING(SObjectMarkersTitle, "Object Markers");
RESOURCESTRING(SPolyLineMarkersTitle, "PolyLine Markers");
RESOURCESTRING(SVisibleBox, "Visible");
RESOURCESTRING(SShowCommentsBox, "Show Comments");
RESOURCESTRING(SPositionGroup, "Position");
RESOURCESTRING(SPositionSelectNode, "Position select node");
RESOURCESTRING(SPropertiesGroup, "Properties");
RESOURCESTRING(STraceNumberHint, "Trace Number");
RESOURCESTRING(SSamplesNumberHint, "Samples Number");
RESOURCESTRING(SColorPenHint, "Color Pen");
RESOURCESTRING(SSizePenHint, "Size Pen");

// What a frame is for.
enum TMarkerFrameKind : uint8_t { mfSurfaceGroup, mfObjectGroup, mfPolyLineGroup, mfSurface, mfObject, mfPolyLine };

class TMarkerFrame : public TCustomFrame {
public:
  TMarkerFrame(TView2DForm& window, TMarkerFrameKind kind);
  TMarkerFrameKind Kind() const { return kind_; }

protected:
  T2Dview* Store() const;
  int Channel() const;
  TView2DForm& window_;

private:
  TMarkerFrameKind kind_;
};

// The three group frames: "Visible" and "Show Comments" of their kind.
class TMarkerGroupFrame : public TMarkerFrame {
public:
  TMarkerGroupFrame(TView2DForm& window, TMarkerFrameKind kind);
  TLabel* TitleLabel = nullptr;
  TCheckBox* VisibleCheckBox = nullptr;
  TCheckBox* ShowCommentsCheckBox = nullptr;
  void UpdateParameters();

private:
  bool& VisibleSwitch() const;
  bool& CommentsSwitch() const;
  void BoxClick(bool comments);
  bool filling_ = false;
};

class TSurfaceMarkersFrame : public TMarkerGroupFrame {
public:
  explicit TSurfaceMarkersFrame(TView2DForm& window) : TMarkerGroupFrame(window, mfSurfaceGroup) {}
};
class TObjectMarkersFrame : public TMarkerGroupFrame {
public:
  explicit TObjectMarkersFrame(TView2DForm& window) : TMarkerGroupFrame(window, mfObjectGroup) {}
};
class TPolyLineMarkersFrame : public TMarkerGroupFrame {
public:
  explicit TPolyLineMarkersFrame(TView2DForm& window) : TMarkerGroupFrame(window, mfPolyLineGroup) {}
};

// What the three item frames share: the comment, the position group with its
// trace and sample edits and its distance, time, depth and GPS labels.
class TMarkerItemFrame : public TMarkerFrame {
public:
  TMarkerItemFrame(TView2DForm& window, TMarkerFrameKind kind);
  bool NeedRepaint = false;
  TEdit* CommentEdit = nullptr;
  TGroupBox* PositionGroup = nullptr;
  TDigitEdit* TraceNumberDigitEdit = nullptr;
  TDigitEdit* NumSampleMarkDigitEdit = nullptr;  // object marker and polyline only
  TLabel* DistanceLabel = nullptr;
  TLabel* TimeWindowLabel = nullptr;  // object marker and polyline only
  TLabel* DepthLabel = nullptr;       // object marker and polyline only
  TLabel* GPSLabel = nullptr;

protected:
  // The time and depth labels of a sample, and the GPS label of a trace.
  void ShowSampleTexts(int32_t sample);
  void ShowGps(int32_t trace);
  // The selected tree node takes the comment.
  void RenameNode(const QString& text);
  void Repaint();
};

class TSurfaceMarkerPropertyFrame : public TMarkerItemFrame {
public:
  explicit TSurfaceMarkerPropertyFrame(TView2DForm& window);
  TSurfaceMarker* curMarker = nullptr;
  void UpdateParameters(TSurfaceMarker* marker);
  // While a drag holds the marker: the position through the edits' limits.
  void MoveNode(int32_t X_tr, int32_t Y_sample);
  QString PrepareDistanceString() const;

private:
  void TraceFinished();
};

class TObjectMarkerPropertyFrame : public TMarkerItemFrame {
public:
  explicit TObjectMarkerPropertyFrame(TView2DForm& window);
  TObjectMarker* curMarker = nullptr;
  TPanel* ColorPanel = nullptr;
  void UpdateParameters(TObjectMarker* marker);
  void MoveNode(int32_t X_tr, int32_t Y_sample);
  QString PrepareDistanceString() const;
  // The colour dialog; OK recolours the marker.
  void ColorPanelClick();

private:
  void TraceFinished();
  void SampleFinished();
};

class TPolyLineMarkerPropertyFrame : public TMarkerItemFrame {
public:
  explicit TPolyLineMarkerPropertyFrame(TView2DForm& window);
  TComboBox* PenComboBox = nullptr;      // "Color", owner-drawn
  TComboBox* SizePenComboBox = nullptr;  // "Width", "0" .. "11"
  TGroupBox* PropertiesGroup = nullptr;
  TPolyLineMarkersData* SelectPolyLineMarkersData = nullptr;
  int32_t SelectNode = -1;
  int32_t SelectDownNode = -1;
  // What the cursor is over: 0 nothing, 1 a node, 3 a segment.
  int32_t PolyLineButtonIndex = 0;

  void UpdateParameters(TPolyLineMarkersData* polyline);
  void GetRegimeCursor(int32_t X_tr, int32_t Y_sample);
  void MoveNode(int32_t X_tr, int32_t Y_sample);
  void AddNode(int32_t X_tr, int32_t Y_sample);
  void DelNode(int32_t X_tr, int32_t Y_sample);
  void MovePolyLine(int32_t dX_tr, int32_t dY_sample);
  void SetSelectDownNode() { SelectDownNode = SelectNode; }
  static int FindColorIndex(TColor color);
  QString PrepareDistanceString(int32_t trace) const;

private:
  void PositionFinished();
};

// The colour boxes' items: a line 7 pixels wide across the item (the pen box),
// a plus sign (the default marker colour box).
void DrawPenColorItem(TCanvas& canvas, const QString& item, TRect rect, bool selected);
void DrawMarkColorItem(TCanvas& canvas, const QString& item, TRect rect, bool selected);
