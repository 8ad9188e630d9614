#pragma once
// The marker lists of one radargram channel: surface markers (TSurfeMarkersData)
// and object markers (TObjectMarkersData), with their stream forms:
//   surface-marker list  u32 count, then count surface markers
//   object-marker list   u32 count, i32 DefaultColor, 4 reserved bytes (zero), then
//                        count object markers
// The empty forms (settings files) are the same with count 0.
//
// Ownership: a list and its markers are owned by the channel store; the list frees
// its markers when a marker is deleted, when the list is reloaded and when the list
// itself goes. A marker freed elsewhere leaves the list on its own (markers.h).
// SetSurfaceMarker / SetObjectMarker take a marker out of any other list it was in;
// the entry they replace leaves the list without being freed (its owner frees it).
//
// Group numbers: a marker added or read gets (highest group in the list) + 1, 0 for
// the first, whatever group the caller passed or the record stored. The group is
// only the marker's identity within the list, and a record older than version 40
// stores none, so a reload numbers the markers 0, 1, 2, ... in file order. The object
// markers' own group field (TObjectMarker::Group) is the user's, and is kept.
//
// Indexes are 0-based; an index outside 0 .. Count - 1 is ignored (getters give
// nullptr). Every change raises the channel store's own NeedForSave flag.
//
// User-interface thread only.

#include "platform/rtl/streams.h"
#include "platform/ui/component.h"
#include "platform/ui/control_types.h"
#include "profiledata/markers.h"

#include <QString>

#include <cstdint>
#include <vector>

// What both lists share: the entries, their order and their lifetime.
template <typename T>
class TMarkerList : public TComponent, private IMarkerHolder {
public:
  explicit TMarkerList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TMarkerList() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Frees marker i and closes the gap.
  void DeleteMark(int index);
  // Orders the markers by NumTrace, ascending, by an exchange sort: for each
  // position i every later marker with a smaller trace is swapped into i (equal
  // traces keep no guaranteed order).
  void Sort();

protected:
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  T* Item(int index) const { return InRange(index) ? FItems[static_cast<size_t>(index)] : nullptr; }
  void Replace(int index, T* marker);
  // The group the next added marker gets; wraps from the highest 32-bit value to
  // the lowest instead of overflowing.
  int32_t NextGroup() const;
  // Takes the marker (already owned by the store) as the last entry.
  void Append(T* marker);
  // Frees every marker; true when there was any.
  bool FreeAll();
  // Writes u32 count and the markers.
  void SaveMarkers(TStream& stream) const;
  // Frees the markers, then reads count markers; on a read error the list is left
  // empty and the error passes on. minRecordBytes: the shortest stored marker.
  void LoadMarkers(TStream& stream, uint32_t count, int64_t minRecordBytes);
  void MarkChanged() const;

private:
  void ForgetMarker(TMarker* marker) override;
  bool Holds(const T* marker) const;
  // Frees a marker no entry points to any more.
  static void FreeMarker(T* marker);

  std::vector<T*> FItems;
};

class TSurfeMarkersData : public TMarkerList<TSurfaceMarker> {
public:
  explicit TSurfeMarkersData(TComponent* AOwner) : TMarkerList(AOwner) {}

  TSurfaceMarker* GetSurfaceMarker(int index) const { return Item(index); }
  void SetSurfaceMarker(int index, TSurfaceMarker* marker) { Replace(index, marker); }

  // Appends a marker at trace with comment; returns its group.
  int32_t Add(int32_t group, int32_t trace, const QString& comment);
  // Trace of x (m) with the device offset.
  int32_t AddInMeters(int32_t group, const QString& comment, long double x);
  // Trace of x (m) from the first trace (from the end on a flipped profile).
  int32_t AddInMetersWithoutShift(int32_t group, const QString& comment, long double x);

  void SaveToStream(TStream& stream) const;
  static void SaveNilToStream(TStream& stream);
  // Replaces the list with the stored markers.
  void LoadFromStream(TStream& stream);
};

class TObjectMarkersData : public TMarkerList<TObjectMarker> {
public:
  explicit TObjectMarkersData(TComponent* AOwner) : TMarkerList(AOwner) {}

  TObjectMarker* GetObjectMarker(int index) const { return Item(index); }
  void SetObjectMarker(int index, TObjectMarker* marker) { Replace(index, marker); }

  // The colour proposed for new object markers. A new one also becomes a default
  // of new channels (the store writes its default settings).
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor value);

  // Appends an object marker; group is its object group (TObjectMarker::Group).
  // Returns the list group it gets.
  int32_t Add(int32_t group, TColor color, const QString& comment, int32_t sample, int32_t trace);
  // Trace of x (m) with the device offset, sample of depth (m).
  int32_t AddinMerters(int32_t group, TColor color, const QString& comment, long double depth, long double x);
  // Trace of x (m) in the channel's own numbering (markers_channel.h), sample of depth.
  int32_t AddInMetersWithoutShift(int32_t group, TColor color, const QString& comment, long double depth,
                                  long double x);

  void SaveToStream(TStream& stream) const;
  void SaveNilToStream(TStream& stream) const;
  // Reads DefaultColor and replaces the list with the stored markers.
  void LoadFromStream(TStream& stream);

private:
  TColor FDefaultColor = clRed;
};
