#include "profiledata/polyline_markers.h"

#include "profiledata/markers_channel.h"
#include "profiledata/stream_strings.h"

#include <algorithm>

namespace mc = markers_channel;

namespace {

constexpr int ReservedPolylineBytes = 16;
// Node count, colour, two widths, an empty comment's length byte, reserved bytes.
constexpr int64_t MinPolylineBytes = 4 + 4 + 4 + 4 + 1 + ReservedPolylineBytes;
constexpr int64_t NodeBytes = 8;

}  // namespace

// ---- TPolyLineMarkersData ----------------------------------------------------------

TPolyLineMarkersData::~TPolyLineMarkersData() {
  if (FHolder) FHolder->Forget(this);
}

void TPolyLineMarkersData::MarkChanged() const { mc::MarkChanged(*this); }

bool TPolyLineMarkersData::GetPolyLineMarker(int index, TPoint& node) const {
  if (index < 0 || index >= Count()) return false;
  node = FNodes[static_cast<size_t>(index)];
  return true;
}

void TPolyLineMarkersData::SetPolyLineMarker(int index, TPoint node) {
  if (index < 0 || index >= Count()) return;
  FNodes[static_cast<size_t>(index)] = node;
  MarkChanged();
}

int TPolyLineMarkersData::AddMark(int afterPoint, int32_t x, int32_t y) {
  if (afterPoint < -1 || afterPoint >= Count()) return Count();
  FNodes.insert(FNodes.begin() + (afterPoint + 1), TPoint{x, y});
  MarkChanged();
  return Count();
}

int TPolyLineMarkersData::AddinMerters(int afterPoint, [[maybe_unused]] const QString& comment, long double depth,
                                       long double x) {
  return AddMark(afterPoint, mc::TraceWithShift(*this, x), mc::SampleAtDepth(*this, depth));
}

int TPolyLineMarkersData::AddInMetersWithoutShift(int afterPoint, [[maybe_unused]] const QString& comment,
                                                  long double depth, long double x) {
  return AddMark(afterPoint, mc::TraceWithoutShift(*this, x), mc::SampleAtDepth(*this, depth));
}

void TPolyLineMarkersData::DeleteMark(int index) {
  if (index < 0 || index >= Count()) return;
  FNodes.erase(FNodes.begin() + index);
  MarkChanged();
}

void TPolyLineMarkersData::MoveNode(int iNode, int32_t x, int32_t y) {
  if (iNode < 0) iNode = Count() - 1;  // -1 on an empty polyline: ignored below
  SetPolyLineMarker(iNode, TPoint{x, y});
}

void TPolyLineMarkersData::SetMarkColor(TColor value) {
  if (value == FMarkColor) return;
  FMarkColor = value;
  MarkChanged();
  mc::SaveDefaults(*this);
}

void TPolyLineMarkersData::SetWeight(int32_t value) {
  if (value == FWeight) return;
  FWeight = value;
  MarkChanged();
  mc::SaveDefaults(*this);
}

void TPolyLineMarkersData::SetComment(const QString& value) {
  const QString cut = mc::CutComment(value);
  if (cut == FComment) return;
  FComment = cut;
  MarkChanged();
}

void TPolyLineMarkersData::SaveToStream(TStream& stream) const {
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(FNodes.size()));
  stream.WriteValue<TColor>(FMarkColor);
  stream.WriteValue<int32_t>(FWeight);
  stream.WriteValue<int32_t>(FWeight);
  WriteShortWideString(stream, FComment);
  const char reserved[ReservedPolylineBytes] = {};
  stream.WriteBuffer(reserved, sizeof reserved);
  for (const TPoint& node : FNodes) {
    stream.WriteValue<int32_t>(node.X);
    stream.WriteValue<int32_t>(node.Y);
  }
}

void TPolyLineMarkersData::SaveNilToStream(TStream& stream) const {
  stream.WriteValue<uint32_t>(0);
  stream.WriteValue<TColor>(FMarkColor);
  stream.WriteValue<int32_t>(FWeight);
  stream.WriteValue<int32_t>(FWeight);
  WriteShortWideString(stream, FComment);
  const char reserved[ReservedPolylineBytes] = {};
  stream.WriteBuffer(reserved, sizeof reserved);
}

void TPolyLineMarkersData::LoadFromStream(TStream& stream) {
  FNodes.clear();
  const auto count = stream.ReadValue<uint32_t>();
  const auto color = stream.ReadValue<TColor>();
  stream.ReadValue<int32_t>();  // first copy of the width; the second stays
  const auto weight = stream.ReadValue<int32_t>();
  const QString comment = ReadShortWideString(stream);
  char reserved[ReservedPolylineBytes];
  stream.ReadBuffer(reserved, sizeof reserved);
  FMarkColor = color;
  FWeight = weight;
  FComment = mc::CutComment(comment);

  mc::CheckStoredCount(stream, count, NodeBytes);
  std::vector<TPoint> nodes(count);
  for (TPoint& node : nodes) {
    node.X = stream.ReadValue<int32_t>();
    node.Y = stream.ReadValue<int32_t>();
  }
  FNodes = std::move(nodes);
}

// ---- TPolyLineMarkersArray ---------------------------------------------------------

TPolyLineMarkersArray::~TPolyLineMarkersArray() { Release(); }

void TPolyLineMarkersArray::MarkChanged() const { mc::MarkChanged(*this); }

bool TPolyLineMarkersArray::Holds(const TPolyLineMarkersData* polyline) const {
  return std::find(FItems.begin(), FItems.end(), polyline) != FItems.end();
}

void TPolyLineMarkersArray::Forget(TPolyLineMarkersData* polyline) { std::erase(FItems, polyline); }

bool TPolyLineMarkersArray::Release() {
  if (FItems.empty()) return false;
  for (TPolyLineMarkersData* item : FItems) item->FHolder = nullptr;
  FItems.clear();
  return true;
}

TPolyLineMarkersData* TPolyLineMarkersArray::AddPolyLine(TColor color, const QString& comment) {
  auto* polyline = new TPolyLineMarkersData(Owner());
  FItems.push_back(polyline);
  polyline->FHolder = this;
  polyline->SetMarkColor(color);
  polyline->SetComment(comment);
  MarkChanged();
  return polyline;
}

TPolyLineMarkersData* TPolyLineMarkersArray::GetPolyLineMarkersArray(int index) const {
  return InRange(index) ? FItems[static_cast<size_t>(index)] : nullptr;
}

void TPolyLineMarkersArray::SetPolyLineMarkersArray(int index, TPolyLineMarkersData* polyline) {
  if (!InRange(index) || !polyline) return;
  TPolyLineMarkersData*& entry = FItems[static_cast<size_t>(index)];
  if (polyline != entry) {
    if (polyline->FHolder && polyline->FHolder != this) polyline->FHolder->Forget(polyline);
    TPolyLineMarkersData* old = entry;
    entry = polyline;
    polyline->FHolder = this;
    if (!Holds(old)) old->FHolder = nullptr;
  }
  MarkChanged();
}

void TPolyLineMarkersArray::DeletePolyLineData(int index) {
  if (!InRange(index)) return;
  TPolyLineMarkersData* polyline = FItems[static_cast<size_t>(index)];
  FItems.erase(FItems.begin() + index);
  if (!Holds(polyline)) polyline->FHolder = nullptr;
  MarkChanged();
}

int32_t TPolyLineMarkersArray::GetRegimeCursorForAll(int32_t x, int32_t y, int32_t& kind, int32_t& node,
                                                     int32_t& polyline) const {
  kind = pcNone;
  node = -1;
  polyline = -1;
  for (int i = 0; i < Count(); ++i) {
    if (FItems[static_cast<size_t>(i)]->GetRegimeCursor(x, y, kind, node) > pcNone) {
      polyline = i;
      return kind;
    }
  }
  return kind;
}

void TPolyLineMarkersArray::SaveToStream(TStream& stream) const {
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(FItems.size()));
  for (const TPolyLineMarkersData* item : FItems) item->SaveToStream(stream);
}

void TPolyLineMarkersArray::SaveNilToStream(TStream& stream) { stream.WriteValue<uint32_t>(0); }

void TPolyLineMarkersArray::LoadFromStream(TStream& stream) {
  bool changed = Release();
  std::vector<TPolyLineMarkersData*> read;
  try {
    const auto count = stream.ReadValue<uint32_t>();
    mc::CheckStoredCount(stream, count, MinPolylineBytes);
    for (uint32_t i = 0; i < count; ++i) {
      auto* polyline = new TPolyLineMarkersData(Owner());
      read.push_back(polyline);
      polyline->LoadFromStream(stream);
    }
  } catch (...) {
    // Nobody else has seen these: they are ours to free.
    for (TPolyLineMarkersData* polyline : read) polyline->Free();
    if (changed) MarkChanged();
    throw;
  }
  for (TPolyLineMarkersData* polyline : read) polyline->FHolder = this;
  FItems = std::move(read);
  if (changed || !FItems.empty()) MarkChanged();
}
