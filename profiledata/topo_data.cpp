#include "profiledata/topo_data.h"

#include "profiledata/markers_channel.h"
#include "profiledata/stream_strings.h"

namespace mc = markers_channel;

namespace {
// Value, two shifts and an empty title's length byte.
constexpr int64_t MinTopoMarkBytes = 4 + 4 + 4 + 1;
}  // namespace

void TTopoData::MarkChanged() const { mc::MarkChanged(*this); }

const TMarkTopo* TTopoData::At(int index) const {
  return index >= 0 && index < Count() ? &FItems[static_cast<size_t>(index)] : nullptr;
}

void TTopoData::Add(int32_t value, int32_t ShiftHor, const QString& title, int32_t ShiftVer) {
  FItems.push_back(TMarkTopo{title, value, ShiftHor, ShiftVer});
  MarkChanged();
}

void TTopoData::SetMark(int index, int32_t value, const QString& title, int32_t ShiftVer, int32_t ShiftHor) {
  if (!At(index)) return;
  FItems[static_cast<size_t>(index)] = TMarkTopo{title, value, ShiftHor, ShiftVer};
  MarkChanged();
}

int32_t TTopoData::GetVal(int index) const {
  const TMarkTopo* mark = At(index);
  return mark ? mark->value : 0;
}

int32_t TTopoData::GetShiftHor(int index) const {
  const TMarkTopo* mark = At(index);
  return mark ? mark->ShiftHor : 0;
}

int32_t TTopoData::GetShiftVer(int index) const {
  const TMarkTopo* mark = At(index);
  return mark ? mark->ShiftVer : 0;
}

QString TTopoData::GetTitle(int index) const {
  const TMarkTopo* mark = At(index);
  return mark ? mark->title : QString();
}

void TTopoData::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  MarkChanged();
}

void TTopoData::LoadFromFile(TStream& stream) {
  const bool hadMarks = !FItems.empty();
  FItems.clear();
  std::vector<TMarkTopo> marks;
  try {
    const auto count = stream.ReadValue<uint32_t>();
    mc::CheckStoredCount(stream, count, MinTopoMarkBytes);
    marks.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      TMarkTopo mark;
      mark.value = stream.ReadValue<int32_t>();
      mark.ShiftHor = stream.ReadValue<int32_t>();
      mark.ShiftVer = stream.ReadValue<int32_t>();
      mark.title = ReadShortWideString(stream);
      marks.push_back(std::move(mark));
    }
  } catch (...) {
    if (hadMarks) MarkChanged();
    throw;
  }
  FItems = std::move(marks);
  if (hadMarks || !FItems.empty()) MarkChanged();
}

void TTopoData::WriteToFile(TStream& stream) const {
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(FItems.size()));
  for (const TMarkTopo& mark : FItems) {
    stream.WriteValue<int32_t>(mark.value);
    stream.WriteValue<int32_t>(mark.ShiftHor);
    stream.WriteValue<int32_t>(mark.ShiftVer);
    WriteShortWideString(stream, mark.title);
  }
}
