#include "profiledata/markers_channel.h"

#include "profiledata/setting_data.h"

#include <algorithm>
#include <limits>

namespace markers_channel {

namespace {
constexpr uint8_t FirstVersionWithGroups = 40;
}  // namespace

IChannelStore* Store(const TComponent& item) { return dynamic_cast<IChannelStore*>(item.Owner()); }

TSettingData* Settings(const TComponent& item) {
  IChannelStore* store = Store(item);
  return store ? store->Settings() : nullptr;
}

void MarkChanged(const TComponent& item) {
  if (IChannelStore* store = Store(item)) store->SetNeedForSave(true);
}

void SaveDefaults(const TComponent& item) {
  if (IChannelStore* store = Store(item)) store->SaveDefaultSettings();
}

bool GroupsStored(const TComponent& item) {
  const TSettingData* settings = Settings(item);
  return !settings || settings->GetVersion() >= FirstVersionWithGroups;
}

QString CutComment(const QString& text) {
  if (text.size() <= 255) return text;
  QString cut = text.left(255);
  if (cut.back().isHighSurrogate()) cut.chop(1);
  return cut;
}

int32_t TraceWithShift(const TComponent& item, long double x) {
  IChannelStore* store = Store(item);
  if (!store) return 0;
  if (IProjectProfile* profile = store->ProjectProfile()) return profile->ProfileDistToTraceWithShift(x);
  const TSettingData* settings = store->Settings();
  return settings ? settings->DistToTraceWithShift(x) : 0;
}

int32_t TraceWithoutShift(const TComponent& item, long double x, bool objectMarker) {
  IChannelStore* store = Store(item);
  const TSettingData* settings = store ? store->Settings() : nullptr;
  if (!settings) return 0;
  // Every term is within the 32-bit range, so the 64-bit sums cannot overflow.
  int64_t trace = settings->DistToTrace(x);
  if (objectMarker && !AcquisitionShell()) trace += settings->GetMinTrace();
  if (settings->GetWasFlip()) {
    trace += SaturateToInt32(store->MaxNumTraces());
    if (objectMarker && settings->GetDirection() == back) trace -= SaturateToInt32(store->MinNumTraces());
  }
  return SaturateToInt32(trace);
}

int32_t SampleAtDepth(const TComponent& item, long double depth) {
  const TSettingData* settings = Settings(item);
  return settings ? settings->DepthToSample(depth) : 0;
}

void CheckStoredCount(TStream& stream, uint32_t count, int64_t minRecordBytes) {
  const int64_t remaining = stream.Size() - stream.Position();
  // count < 2^32 and minRecordBytes is a small record size: the product fits.
  if (static_cast<int64_t>(count) * minRecordBytes > remaining) throw EReadError();
}

}  // namespace markers_channel
