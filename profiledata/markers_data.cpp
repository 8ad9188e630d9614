#include "profiledata/markers_data.h"

#include "profiledata/markers_channel.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace mc = markers_channel;

namespace {

// Shortest stored markers: a surface marker with an empty comment is trace, length
// byte (and two groups); an object marker trace, sample, length byte, colour, sample
// (and two groups).
int64_t MinSurfaceMarkerBytes(bool groups) { return groups ? 4 + 1 + 4 + 4 : 4 + 1; }
int64_t MinObjectMarkerBytes(bool groups) { return groups ? 4 + 4 + 1 + 4 + 4 + 4 + 4 : 4 + 4 + 1 + 4 + 4; }

}  // namespace

// ---- TMarkerList -------------------------------------------------------------------

template <typename T>
TMarkerList<T>::~TMarkerList() {
  FreeAll();
}

template <typename T>
void TMarkerList<T>::MarkChanged() const {
  mc::MarkChanged(*this);
}

template <typename T>
bool TMarkerList<T>::Holds(const T* marker) const {
  return std::find(FItems.begin(), FItems.end(), marker) != FItems.end();
}

template <typename T>
void TMarkerList<T>::FreeMarker(T* marker) {
  marker->FHolder = nullptr;
  marker->Free();
}

template <typename T>
void TMarkerList<T>::ForgetMarker(TMarker* marker) {
  std::erase_if(FItems, [marker](T* item) { return static_cast<TMarker*>(item) == marker; });
}

template <typename T>
void TMarkerList<T>::DeleteMark(int index) {
  if (!InRange(index)) return;
  T* marker = FItems[static_cast<size_t>(index)];
  FItems.erase(FItems.begin() + index);
  // The same marker may also sit at another index (SetSurfaceMarker allows it).
  if (!Holds(marker)) FreeMarker(marker);
  MarkChanged();
}

template <typename T>
void TMarkerList<T>::Sort() {
  bool moved = false;
  for (size_t i = 0; i < FItems.size(); ++i)
    for (size_t j = i + 1; j < FItems.size(); ++j)
      if (FItems[j]->GetNumTrace() < FItems[i]->GetNumTrace()) {
        std::swap(FItems[i], FItems[j]);
        moved = true;
      }
  if (moved) MarkChanged();
}

template <typename T>
void TMarkerList<T>::Replace(int index, T* marker) {
  if (!InRange(index) || !marker) return;
  T*& entry = FItems[static_cast<size_t>(index)];
  if (marker != entry) {
    IMarkerHolder* other = marker->FHolder;
    if (other && other != this) {
      marker->FHolder = nullptr;
      other->ForgetMarker(marker);
    }
    T* old = entry;
    entry = marker;
    marker->FHolder = this;
    if (!Holds(old)) old->FHolder = nullptr;
  }
  MarkChanged();
}

template <typename T>
int32_t TMarkerList<T>::NextGroup() const {
  if (FItems.empty()) return 0;
  int32_t highest = std::numeric_limits<int32_t>::min();
  for (const T* item : FItems) highest = std::max(highest, item->GetGroup());
  return static_cast<int32_t>(static_cast<uint32_t>(highest) + 1u);
}

template <typename T>
void TMarkerList<T>::Append(T* marker) {
  FItems.push_back(marker);
  marker->FHolder = this;
}

template <typename T>
bool TMarkerList<T>::FreeAll() {
  if (FItems.empty()) return false;
  std::vector<T*> items = std::move(FItems);
  FItems.clear();
  std::sort(items.begin(), items.end());
  items.erase(std::unique(items.begin(), items.end()), items.end());
  for (T* item : items) FreeMarker(item);
  return true;
}

template <typename T>
void TMarkerList<T>::SaveMarkers(TStream& stream) const {
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(FItems.size()));
  for (const T* item : FItems) item->SaveToStream(stream);
}

template <typename T>
void TMarkerList<T>::LoadMarkers(TStream& stream, uint32_t count, int64_t minRecordBytes) {
  // Loading replaces the list; appending to it would double the markers on every reload.
  bool changed = FreeAll();
  try {
    mc::CheckStoredCount(stream, count, minRecordBytes);
    for (uint32_t i = 0; i < count; ++i) {
      T* marker = new T(Owner());
      try {
        marker->LoadFromStream(stream);
      } catch (...) {
        marker->Free();
        throw;
      }
      marker->SetGroup(NextGroup());
      Append(marker);
      changed = true;
    }
  } catch (...) {
    FreeAll();
    if (changed) MarkChanged();
    throw;
  }
  if (changed) MarkChanged();
}

template class TMarkerList<TSurfaceMarker>;
template class TMarkerList<TObjectMarker>;

// ---- TSurfeMarkersData -------------------------------------------------------------

int32_t TSurfeMarkersData::Add([[maybe_unused]] int32_t group, int32_t trace, const QString& comment) {
  auto* marker = new TSurfaceMarker(Owner());
  marker->SetNumTrace(trace);
  marker->SetComment(comment);
  const int32_t newGroup = NextGroup();
  marker->SetGroup(newGroup);
  Append(marker);
  MarkChanged();
  return newGroup;
}

int32_t TSurfeMarkersData::AddInMeters(int32_t group, const QString& comment, long double x) {
  return Add(group, mc::TraceWithShift(*this, x), comment);
}

int32_t TSurfeMarkersData::AddInMetersWithoutShift(int32_t group, const QString& comment, long double x) {
  return Add(group, mc::TraceWithoutShift(*this, x), comment);
}

void TSurfeMarkersData::SaveToStream(TStream& stream) const { SaveMarkers(stream); }

void TSurfeMarkersData::SaveNilToStream(TStream& stream) { stream.WriteValue<uint32_t>(0); }

void TSurfeMarkersData::LoadFromStream(TStream& stream) {
  // Read the count before the list is emptied: a stream that cannot even hold it
  // also leaves the list empty, as any other short record does.
  uint32_t count = 0;
  try {
    count = stream.ReadValue<uint32_t>();
  } catch (...) {
    if (FreeAll()) MarkChanged();
    throw;
  }
  LoadMarkers(stream, count, MinSurfaceMarkerBytes(mc::GroupsStored(*this)));
}

// ---- TObjectMarkersData ------------------------------------------------------------

void TObjectMarkersData::SetDefaultColor(TColor value) {
  if (value == FDefaultColor) return;
  FDefaultColor = value;
  MarkChanged();
  mc::SaveDefaults(*this);
}

int32_t TObjectMarkersData::Add(int32_t group, TColor color, const QString& comment, int32_t sample, int32_t trace) {
  auto* marker = new TObjectMarker(Owner());
  marker->Group = group;
  marker->SetColor(color);
  marker->SetNumTrace(trace);
  marker->SetNumSample(sample);
  marker->SetComment(comment);
  const int32_t newGroup = NextGroup();
  marker->SetGroup(newGroup);
  Append(marker);
  MarkChanged();
  return newGroup;
}

int32_t TObjectMarkersData::AddinMerters(int32_t group, TColor color, const QString& comment, long double depth,
                                         long double x) {
  return Add(group, color, comment, mc::SampleAtDepth(*this, depth), mc::TraceWithShift(*this, x));
}

int32_t TObjectMarkersData::AddInMetersWithoutShift(int32_t group, TColor color, const QString& comment,
                                                    long double depth, long double x) {
  return Add(group, color, comment, mc::SampleAtDepth(*this, depth),
             mc::TraceWithoutShift(*this, x, /*objectMarker=*/true));
}

void TObjectMarkersData::SaveToStream(TStream& stream) const {
  const uint32_t count = static_cast<uint32_t>(Count());
  stream.WriteValue<uint32_t>(count);
  stream.WriteValue<TColor>(FDefaultColor);
  stream.WriteValue<uint32_t>(0);  // reserved
  for (int i = 0; i < Count(); ++i) GetObjectMarker(i)->SaveToStream(stream);
}

void TObjectMarkersData::SaveNilToStream(TStream& stream) const {
  stream.WriteValue<uint32_t>(0);
  stream.WriteValue<TColor>(FDefaultColor);
  stream.WriteValue<uint32_t>(0);  // reserved
}

void TObjectMarkersData::LoadFromStream(TStream& stream) {
  uint32_t count = 0;
  try {
    count = stream.ReadValue<uint32_t>();
    const auto defaultColor = stream.ReadValue<TColor>();
    stream.ReadValue<uint32_t>();  // reserved
    FDefaultColor = defaultColor;
  } catch (...) {
    if (FreeAll()) MarkChanged();
    throw;
  }
  LoadMarkers(stream, count, MinObjectMarkerBytes(mc::GroupsStored(*this)));
}
