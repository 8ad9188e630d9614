#pragma once
// The settings window's online chain without the window: the three switches
// (wavelet, windowed background removal, gain) given to the channels' online
// stages, the stages copied into a radargram window's tool chain, and the
// gain calibration's work on a channel (collecting trace copies in the channel
// store, deriving the gain curve, the time zero and the zero offset from them,
// releasing them).
//
// A channel without a channel store, or a store without online stages, is
// skipped everywhere. User-interface thread only.

#include "radar/online_dialog_hooks.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class IChainTool;
class T2Dview;
class TOnlineStageSet;
class TTreeNode;
class TView2DForm;

namespace settings_online {

constexpr int ChannelCount = 5;

// The check marks in list order: OnlinePluginWaveletItem,
// OnlinePluginBackgroundItem, OnlinePluginGainItem.
using TOnlineMarks = std::array<bool, 3>;
// A radargram window's channel stores by slot; nullptr for an empty slot.
using TChannels = std::array<T2Dview*, ChannelCount>;

TChannels ChannelsOf(const TView2DForm* view);
TOnlineStageSet* StagesOf(const T2Dview* store);

// The marks channel 0's stages show (all off without them).
TOnlineMarks MarksFromStages(const T2Dview* store);
// The comparator off, the gain, background removal and wavelet switches from
// the marks.
void SetStageFlags(TOnlineStageSet& stages, const TOnlineMarks& marks);
// A switch on one channel: the flags, then (gain on) the gain curve re-scaled to
// `samples` rows and re-evaluated, and the background removal re-initialised.
void SwitchStages(TOnlineStageSet& stages, const TOnlineMarks& marks, int32_t samples);
// Item TypePlugin's switch (OnlinePlugin...Item) := aApplay in every channel;
// another item changes nothing.
void SetApplayAll(const TChannels& channels, int TypePlugin, bool aApplay);
// Every channel store writes its stages' sections of the main settings file.
void WriteOnlineParameters(const TChannels& channels);

// A chain tool's caption when it is appended: "1" after it on an empty tree,
// else the count of chain tools of its tool name already there, plus 1.
QString NumberedToolCaption(const QString& caption, int sameNameTools, bool emptyTree);
// Appends the tool as the chain's last node with its numbered caption, makes it
// the current node and tool, and re-runs the chain from the node before it.
TTreeNode* AppendOnlineTool(TView2DForm& view, std::unique_ptr<IChainTool> tool);
// Empties the window's chain, then appends "Wavelet Filter", "Background
// Remover with Window" and "TVGC" (each one the registry can create), every
// channel's parameter set taken from that channel's stage with the mark as its
// Apply flag. Returns the number of tools appended.
int CopyOnlineToTools(TView2DForm& view, const TOnlineMarks& marks);

// Start of a calibration on every channel: its calibration restarted, its trace
// store emptied, channel 0's background window width given to the others, its
// wavelet and device-offset stages re-initialised.
void PrepareCalibration(const TChannels& channels);
// A copy of the n raw samples as the store's next trace.
void CollectCalibrationTrace(T2Dview& store, const int32_t* trace, int32_t n);
// End of a calibration on slot c: from the traces the store collected, the
// gain curve, the time zero (the window's automatic zero) and the zero offset
// sent to the radar; the traces are released in any case. Nothing is derived
// from a store that collected no trace. True when something was derived.
bool FinishCalibration(TView2DForm& view, int c);
// Frees the store's collected traces and empties it (no trace, no data).
void ReleaseCollectedTraces(T2Dview& store);

}  // namespace settings_online
