#pragma once
// What markers, polylines and their lists share about the channel store that owns
// them: they reach it as dynamic_cast<IChannelStore*>(Owner()). Without such an owner
// (a list made without a store) there is nothing to mark for saving, conversions give
// 0 and records are read in the current format.
//
// User-interface thread only.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/component.h"
#include "profiledata/channel_hooks.h"

#include <QString>

#include <cstdint>

class TSettingData;

namespace markers_channel {

IChannelStore* Store(const TComponent& item);
TSettingData* Settings(const TComponent& item);

// Raises the store's own NeedForSave flag.
void MarkChanged(const TComponent& item);
// Asks the store to write the default settings (a colour or pen width changed).
void SaveDefaults(const TComponent& item);

// Marker records carry their group fields from record version 40 on; the version is
// the one of the record being read, held by the channel settings.
bool GroupsStored(const TComponent& item);

// At most 255 UTF-16 code units, cut as the stream writer cuts: a surrogate pair
// split by the cut loses its dangling first half.
QString CutComment(const QString& text);

// Trace of a distance in m with the device offset: through the project profile when
// the store has one (planning program), else through the settings.
int32_t TraceWithShift(const TComponent& item, long double x);
// Trace of a distance in m from the first trace; on a flipped profile, whose
// distances run from the end, trace := MaxNumTraces + trace.
// Object markers keep their trace in the channel's own numbering: in the planning
// program (no main window registered) the settings' MinTrace is added before the
// flip, and a flipped profile recorded backwards then counts from MinNumTraces
// (trace := trace - MinNumTraces).
int32_t TraceWithoutShift(const TComponent& item, long double x, bool objectMarker = false);
// Sample of a depth in m.
int32_t SampleAtDepth(const TComponent& item, long double depth);

// A stored count of records that cannot fit in what the stream still holds (each
// record at least minRecordBytes long) is damaged: EReadError before anything is
// allocated from it.
void CheckStoredCount(TStream& stream, uint32_t count, int64_t minRecordBytes);

}  // namespace markers_channel
