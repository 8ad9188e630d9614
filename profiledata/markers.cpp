#include "profiledata/markers.h"

#include "profiledata/markers_channel.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"

namespace mc = markers_channel;

// ---- TMarker ---------------------------------------------------------------------

void TMarker::LeaveHolder() {
  if (!FHolder) return;
  IMarkerHolder* holder = FHolder;
  FHolder = nullptr;
  holder->ForgetMarker(this);
}

void TMarker::MarkChanged() const { mc::MarkChanged(*this); }

void TMarker::SetNumTrace(int32_t value) {
  if (value == FNumTrace) return;
  FNumTrace = value;
  MarkChanged();
}

void TMarker::SetComment(const QString& value) {
  const QString cut = mc::CutComment(value);
  if (cut == FComment) return;
  FComment = cut;
  MarkChanged();
}

void TMarker::SetGroup(int32_t value) {
  if (value == GetGroup()) return;
  TComponent::SetTag(value);
  MarkChanged();
}

long double TMarker::GetXMark() const {
  const TSettingData* settings = mc::Settings(*this);
  return settings ? settings->TraceToDist(FNumTrace) : 0;
}

void TMarker::SetXMark(long double value) {
  if (const TSettingData* settings = mc::Settings(*this)) FNumTrace = settings->DistToTrace(value);
}

long double TMarker::GetXMarkWithShift() const {
  const TSettingData* settings = mc::Settings(*this);
  return settings ? settings->TraceToDistWithShift(FNumTrace) : 0;
}

void TMarker::SetXMarkWithShift(long double value) {
  if (const TSettingData* settings = mc::Settings(*this)) FNumTrace = settings->DistToTraceWithShift(value);
}

// ---- TSurfaceMarker ----------------------------------------------------------------

void TSurfaceMarker::SaveToStream(TStream& stream) const {
  stream.WriteValue<int32_t>(FNumTrace);
  WriteShortWideString(stream, FComment);
  stream.WriteValue<int32_t>(GetGroup());
  stream.WriteValue<int32_t>(GetGroup());
}

void TSurfaceMarker::LoadFromStream(TStream& stream) {
  // Read whole before anything is stored, so a short record leaves the marker as it was.
  const auto trace = stream.ReadValue<int32_t>();
  const QString comment = ReadShortWideString(stream);
  int32_t group = GetGroup();
  if (mc::GroupsStored(*this)) {
    group = stream.ReadValue<int32_t>();
    stream.ReadValue<int32_t>();  // the same group again
  }
  FNumTrace = trace;
  FComment = mc::CutComment(comment);
  TComponent::SetTag(group);
}

// ---- TObjectMarker -----------------------------------------------------------------

void TObjectMarker::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  MarkChanged();
}

void TObjectMarker::SetNumSample(int32_t value) {
  if (value == FNumSample) return;
  FNumSample = value;
  MarkChanged();
}

long double TObjectMarker::GetYMark() const {
  const TSettingData* settings = mc::Settings(*this);
  return settings ? settings->SampleToDepth(FNumSample) : 0;
}

void TObjectMarker::SetYMark(long double value) {
  if (const TSettingData* settings = mc::Settings(*this)) FNumSample = settings->DepthToSample(value);
}

void TObjectMarker::SaveToStream(TStream& stream) const {
  stream.WriteValue<int32_t>(FNumTrace);
  stream.WriteValue<int32_t>(FNumSample);
  WriteShortWideString(stream, FComment);
  stream.WriteValue<int32_t>(FColor);
  stream.WriteValue<int32_t>(FNumSample);
  stream.WriteValue<int32_t>(Group);
  stream.WriteValue<int32_t>(GetGroup());
}

void TObjectMarker::LoadFromStream(TStream& stream) {
  const auto trace = stream.ReadValue<int32_t>();
  stream.ReadValue<int32_t>();  // first copy of the sample; the one behind the colour stays
  const QString comment = ReadShortWideString(stream);
  const auto color = stream.ReadValue<TColor>();
  const auto sample = stream.ReadValue<int32_t>();
  int32_t objectGroup = Group;
  int32_t group = GetGroup();
  if (mc::GroupsStored(*this)) {
    objectGroup = stream.ReadValue<int32_t>();
    group = stream.ReadValue<int32_t>();
  }
  FNumTrace = trace;
  FNumSample = sample;
  FComment = mc::CutComment(comment);
  FColor = color;
  Group = objectGroup;
  TComponent::SetTag(group);
}
