#pragma once
// Topography marks of old channel records (versions 33 to 38 and the oldest ones): a
// titled trace number with a horizontal and a vertical shift. The channel store turns
// them into surface markers after reading such a record.
//
// Stream form (little-endian): u32 count, then count x (i32 value, i32 ShiftHor,
// i32 ShiftVer, wide title).
//
// Owned by the channel store; every change raises the store's own NeedForSave flag.
// Indexes are 0-based; out of range, getters give 0 or an empty title and SetMark
// does nothing. User-interface thread only.

#include "platform/rtl/streams.h"
#include "platform/ui/component.h"

#include <QString>

#include <cstdint>
#include <vector>

struct TMarkTopo {
  QString title;
  int32_t value = 0;  // a trace number
  int32_t ShiftHor = 0;
  int32_t ShiftVer = 0;
  bool operator==(const TMarkTopo&) const = default;
};

class TTopoData : public TComponent {
public:
  explicit TTopoData(TComponent* AOwner) : TComponent(AOwner) {}

  const std::vector<TMarkTopo>& TopoDataArray() const { return FItems; }
  int Count() const { return static_cast<int>(FItems.size()); }
  int GetListCount() const { return Count(); }

  void Add(int32_t value, int32_t ShiftHor, const QString& title, int32_t ShiftVer);
  void SetMark(int index, int32_t value, const QString& title, int32_t ShiftVer, int32_t ShiftHor);
  int32_t GetVal(int index) const;
  int32_t GetShiftHor(int index) const;
  int32_t GetShiftVer(int index) const;
  QString GetTitle(int index) const;
  void Clear();

  // Replaces the marks with the stored ones. A damaged list throws EReadError and
  // leaves no marks.
  void LoadFromFile(TStream& stream);
  void WriteToFile(TStream& stream) const;

private:
  const TMarkTopo* At(int index) const;
  void MarkChanged() const;

  std::vector<TMarkTopo> FItems;
};
