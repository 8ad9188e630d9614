#pragma once
// Polylines drawn over a radargram channel: TPolyLineMarkersData is one outline of
// (trace, sample) nodes with its colour, pen width and comment; TPolyLineMarkersArray
// is the channel's list of them.
//
// Stream forms (little-endian):
//   polyline       u32 node count n, i32 MarkColor, i32 Weight, i32 Weight (again),
//                  wide Comment, 16 reserved bytes (zero), n x (i32 trace, i32 sample)
//   polyline list  u32 count, then count polylines
// The empty forms are the same with n = 0 and count = 0. On reading, the second
// Weight stays.
//
// Ownership: polylines and the list are owned by the channel store. The list never
// frees a polyline (the store does), except the ones it created itself in a load
// that failed; a polyline freed by anyone leaves the list on its own. Reloading the
// list drops the polylines it held and leaves them to their owner.
//
// Indexes are 0-based and checked at both ends; an out-of-range index is ignored.
// Every change raises the channel store's own NeedForSave flag; a new colour or pen
// width also makes the store write its default settings.
//
// User-interface thread only.

#include "platform/rtl/streams.h"
#include "platform/ui/component.h"
#include "platform/ui/control_types.h"

#include <QString>

#include <cstdint>
#include <vector>

class TPolyLineMarkersArray;

// What the cursor is over (GetRegimeCursor).
enum TPolyLineCursorKind : int32_t {
  pcNone = 0,
  pcNode = 1,     // node `node`
  pcSegment = 3,  // the segment from node `node` to node `node` + 1
};

class TPolyLineMarkersData : public TComponent {
public:
  explicit TPolyLineMarkersData(TComponent* AOwner) : TComponent(AOwner) {}
  ~TPolyLineMarkersData() override;

  // Number of nodes.
  int Count() const { return static_cast<int>(FNodes.size()); }
  // X = trace, Y = sample.
  const std::vector<TPoint>& Nodes() const { return FNodes; }

  // Node i into `node`; false (node unchanged) out of range.
  bool GetPolyLineMarker(int index, TPoint& node) const;
  void SetPolyLineMarker(int index, TPoint node);
  // Inserts (x, y) behind node afterPoint (-1: at the front, Count - 1: at the end);
  // returns the node count. afterPoint outside -1 .. Count - 1 adds nothing.
  int AddMark(int afterPoint, int32_t x, int32_t y);
  // As AddMark at the trace of x (m) with the device offset and the sample of depth (m);
  // the comment is not used.
  int AddinMerters(int afterPoint, const QString& comment, long double depth, long double x);
  // As AddinMerters with the trace of x (m) from the first trace (from the end on a
  // flipped profile).
  int AddInMetersWithoutShift(int afterPoint, const QString& comment, long double depth, long double x);
  void DeleteMark(int index);
  // A negative iNode moves the last node; nothing happens on an empty polyline.
  void MoveNode(int iNode, int32_t x, int32_t y);

  TColor GetMarkColor() const { return FMarkColor; }
  void SetMarkColor(TColor value);
  int32_t GetWeight() const { return FWeight; }
  void SetWeight(int32_t value);
  const QString& GetComment() const { return FComment; }
  // Cut to its first 255 code units.
  void SetComment(const QString& value);

  // Hit test of the cursor at trace x, sample y; returns the kind and gives the node
  // (-1 with pcNone).
  //  1. Nodes with |dx| <= 3 traces and |dy| <= 6 samples are candidates; the
  //     nearest wins (the first on equal distance): pcNode.
  //  2. Otherwise segment i counts when the point lies in its bounding box widened by
  //     3 traces left and right and 6 samples above and below (borders included):
  //     d = |(x - left) / (right - left) - (y - top) / (bottom - top)|, each ratio in
  //     single precision; d < 0.25 is a candidate and the smallest d wins (the first
  //     on equal d): pcSegment.
  int32_t GetRegimeCursor(int32_t x, int32_t y, int32_t& kind, int32_t& node) const;

  void SaveToStream(TStream& stream) const;
  // The polyline's colour, width and comment with no nodes.
  void SaveNilToStream(TStream& stream) const;
  // Replaces colour, width, comment and nodes. A damaged record throws EReadError
  // and leaves the polyline without nodes.
  void LoadFromStream(TStream& stream);

private:
  friend class TPolyLineMarkersArray;
  void MarkChanged() const;

  std::vector<TPoint> FNodes;
  TColor FMarkColor = clRed;
  int32_t FWeight = 2;
  QString FComment;
  TPolyLineMarkersArray* FHolder = nullptr;
};

class TPolyLineMarkersArray : public TComponent {
public:
  explicit TPolyLineMarkersArray(TComponent* AOwner) : TComponent(AOwner) {}
  // Lets its polylines go without freeing them.
  ~TPolyLineMarkersArray() override;

  int Count() const { return static_cast<int>(FItems.size()); }

  // Appends a new polyline (owned by the store) and gives it colour and comment
  // through its setters; returns it.
  TPolyLineMarkersData* AddPolyLine(TColor color, const QString& comment);
  // nullptr out of range.
  TPolyLineMarkersData* GetPolyLineMarkersArray(int index) const;
  // Takes the polyline out of any other list; the replaced entry is not freed.
  void SetPolyLineMarkersArray(int index, TPolyLineMarkersData* polyline);
  // Removes entry i from the list without freeing it.
  void DeletePolyLineData(int index);

  // Tests the polylines in list order and stops at the first that is hit; polyline =
  // its index, -1 (with kind pcNone, node -1) when none is.
  int32_t GetRegimeCursorForAll(int32_t x, int32_t y, int32_t& kind, int32_t& node, int32_t& polyline) const;

  void SaveToStream(TStream& stream) const;
  static void SaveNilToStream(TStream& stream);
  // Replaces the entries with new polylines read from the stream. A damaged record
  // throws EReadError, frees the polylines read so far and leaves the list empty.
  void LoadFromStream(TStream& stream);

private:
  friend class TPolyLineMarkersData;
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  bool Holds(const TPolyLineMarkersData* polyline) const;
  // Drops every entry of that polyline.
  void Forget(TPolyLineMarkersData* polyline);
  // Empties the list, letting the polylines go; true when there was any.
  bool Release();
  void MarkChanged() const;

  std::vector<TPolyLineMarkersData*> FItems;
};
