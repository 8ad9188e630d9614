#pragma once
// Markers a user places on one radargram channel: a surface marker marks a trace (a
// distance or landmark mark), an object marker a trace and a sample (an object in the
// ground). Their lists are in markers_data.h.
//
// Ownership: the owner of a marker is the channel store, reached as
// dynamic_cast<IChannelStore*>(Owner()); every change made through a setter raises
// the store's own NeedForSave flag. A marker held by a list knows that list: when
// the marker is freed by anyone (its list, its owner, a caller) it leaves the list
// first, so neither the store nor the list can free it twice.
//
// Stream forms (little-endian; a wide string is a length byte and UTF-16LE units):
//   surface marker  i32 NumTrace, wide Comment, i32 Group, i32 Group (again)
//   object marker   i32 NumTrace, i32 NumSample, wide Comment, i32 Color,
//                   i32 NumSample (again), i32 object Group, i32 Group
// The group fields exist from record version 40 on (the version of the record being
// read, held by the channel settings); on reading, the second NumSample stays.
//
// User-interface thread only.

#include "platform/rtl/streams.h"
#include "platform/ui/component.h"
#include "platform/ui/control_types.h"

#include <QString>

#include <cstdint>

class TMarker;

// A list that holds markers.
class IMarkerHolder {
public:
  // The marker is going: drop every entry that points to it.
  virtual void ForgetMarker(TMarker* marker) = 0;

protected:
  ~IMarkerHolder() = default;
};

class TMarker : public TComponent {
public:
  explicit TMarker(TComponent* AOwner) : TComponent(AOwner) {}

  int32_t GetNumTrace() const { return FNumTrace; }
  void SetNumTrace(int32_t value);
  const QString& GetComment() const { return FComment; }
  // Longer text is cut to its first 255 code units.
  void SetComment(const QString& value);
  // The group number, unique in the marker's list. It lives in the component's Tag,
  // so Tag is the same value under a second name.
  int32_t GetGroup() const { return static_cast<int32_t>(TComponent::Tag()); }
  void SetGroup(int32_t value);
  int32_t Tag() const { return GetGroup(); }
  void SetTag(int32_t value) { SetGroup(value); }

  // Distance of NumTrace in m from the first trace, and with the channel's device
  // offset. Writing them moves NumTrace without raising NeedForSave. 0 (and no
  // move) without channel settings.
  long double GetXMark() const;
  void SetXMark(long double value);
  long double GetXMarkWithShift() const;
  void SetXMarkWithShift(long double value);

  virtual void SaveToStream(TStream& stream) const = 0;
  // Throws EReadError when the stream ends inside the record.
  virtual void LoadFromStream(TStream& stream) = 0;

protected:
  // Called first thing by the destructor of every final marker class, while the
  // whole marker still exists.
  void LeaveHolder();
  void MarkChanged() const;

  int32_t FNumTrace = 0;
  QString FComment;

private:
  template <typename T>
  friend class TMarkerList;
  IMarkerHolder* FHolder = nullptr;
};

class TSurfaceMarker final : public TMarker {
public:
  explicit TSurfaceMarker(TComponent* AOwner) : TMarker(AOwner) {}
  ~TSurfaceMarker() override { LeaveHolder(); }

  void SaveToStream(TStream& stream) const override;
  void LoadFromStream(TStream& stream) override;
};

class TObjectMarker final : public TMarker {
public:
  explicit TObjectMarker(TComponent* AOwner) : TMarker(AOwner) {}
  ~TObjectMarker() override { LeaveHolder(); }

  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  int32_t GetNumSample() const { return FNumSample; }
  void SetNumSample(int32_t value);
  // Depth of NumSample in m; writing it moves NumSample without raising NeedForSave.
  long double GetYMark() const;
  void SetYMark(long double value);

  void SaveToStream(TStream& stream) const override;
  void LoadFromStream(TStream& stream) override;

  // The object group the user gives an object marker (several markers may share
  // it); distinct from the list's unique group number (GetGroup).
  int32_t Group = 0;

private:
  TColor FColor = 0;
  int32_t FNumSample = 0;
};
