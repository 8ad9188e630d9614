#include "acquisition/settings_online.h"

#include "platform/ui/combo_box.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/online_parameters.h"
#include "radar/online_stages.h"
#include "radargram/chain_tool.h"
#include "radargram/tool_chain_library.h"
#include "radargram/view2d_form.h"
#include "tools/common_tool.h"
#include "tools/tvgc_tool.h"

#include <new>

namespace settings_online {

TChannels ChannelsOf(const TView2DForm* view) {
  TChannels channels{};
  if (!view) return channels;
  for (int c = 0; c < ChannelCount; ++c) channels[static_cast<size_t>(c)] = view->GetView2DByIndx(c);
  return channels;
}

TOnlineStageSet* StagesOf(const T2Dview* store) {
  return store ? dynamic_cast<TOnlineStageSet*>(store->OnlineStages()) : nullptr;
}

TOnlineMarks MarksFromStages(const T2Dview* store) {
  const TOnlineStageSet* stages = StagesOf(store);
  if (!stages) return {};
  return {stages->Wavelet.Applay, stages->WindowedBackgroundRemoval.Applay, stages->TVGC.Applay};
}

void SetStageFlags(TOnlineStageSet& stages, const TOnlineMarks& marks) {
  stages.Comparator.Applay = false;
  stages.TVGC.Applay = marks[OnlinePluginGainItem];
  stages.WindowedBackgroundRemoval.Applay = marks[OnlinePluginBackgroundItem];
  stages.Wavelet.Applay = marks[OnlinePluginWaveletItem];
}

void SwitchStages(TOnlineStageSet& stages, const TOnlineMarks& marks, int32_t samples) {
  SetStageFlags(stages, marks);
  if (marks[OnlinePluginGainItem]) {
    stages.TVGC.ListofBaseDots.SetHeight(samples);
    stages.TVGC.ListofBaseDots.PrepaerValues();
  }
  stages.WindowedBackgroundRemoval.Init();
}

void SetApplayAll(const TChannels& channels, int TypePlugin, bool aApplay) {
  for (T2Dview* store : channels) {
    TOnlineStageSet* stages = StagesOf(store);
    if (!stages) continue;
    switch (TypePlugin) {
      case OnlinePluginWaveletItem:
        stages->Wavelet.Applay = aApplay;
        break;
      case OnlinePluginBackgroundItem:
        stages->WindowedBackgroundRemoval.Applay = aApplay;
        break;
      case OnlinePluginGainItem:
        stages->TVGC.Applay = aApplay;
        break;
      default:
        return;
    }
  }
}

void WriteOnlineParameters(const TChannels& channels) {
  for (T2Dview* store : channels)
    if (store) store->WriteOnlinePlaginsParameters();
}

// ---- The chain ----------------------------------------------------------------------------------

QString NumberedToolCaption(const QString& caption, int sameNameTools, bool emptyTree) {
  return caption + QString::number(emptyTree ? 1 : sameNameTools + 1);
}

TTreeNode* AppendOnlineTool(TView2DForm& view, std::unique_ptr<IChainTool> tool) {
  if (!tool) return nullptr;
  IChainTool* raw = tool.get();
  const TTreeNodes* items = view.ToolsTreeView->Items();
  int same = 0;
  for (int i = 0; i < items->Count(); ++i)
    if (const IChainTool* other = TView2DForm::ToolOfNode(items->Item(i));
        other && other->GetToolName() == raw->GetToolName())
      ++same;
  raw->SetCaption(NumberedToolCaption(raw->GetCaption(), same, items->Count() == 0));
  TTreeNode* node = view.AppendToolNode(std::move(tool));
  view.CurrentItem = node;
  view.CurTool = raw;
  view.PaintTreeNode();
  view.PaintTree();
  view.Paint2D(view.IndexOfNode(node) - 1);
  return node;
}

namespace {

// The registry names of the stages' chain tools, in the order they are copied
// (made on first use: the names are another unit's statics).
const std::array<QString, 3>& StageTools() {
  static const std::array<QString, 3> names = {TOnlineStageSet::WaveletName, TOnlineStageSet::BackgroundName,
                                               TOnlineStageSet::GainName};
  return names;
}

// Channel c's parameter set of the tool made for stage item `item`.
void GiveStageToTool(IChainTool& tool, int item, int c, const TOnlineStageSet& stages, bool applay) {
  switch (item) {
    case OnlinePluginWaveletItem:
      if (auto* common = dynamic_cast<TCommonTool*>(&tool)) {
        TParametrsWavelet p;
        p.pApplay = applay;
        p.pTimescale = stages.Wavelet.Timescale;
        p.pHarmonicCount = 1;
        p.pdHarmonic = 1.0L;
        p.pisInvert = false;
        common->SetParam(c, &p);
      }
      return;
    case OnlinePluginBackgroundItem:
      if (auto* common = dynamic_cast<TCommonTool*>(&tool)) {
        TParametrsWindowedBackgroundRemoval p;
        p.pApplay = applay;
        p.pWidthWindow = stages.WindowedBackgroundRemoval.WidthWindow;
        common->SetParam(c, &p);
      }
      return;
    case OnlinePluginGainItem:
      if (auto* gain = dynamic_cast<TTVGC*>(&tool)) {
        TParametrsGain p;
        p.pApplay = applay;
        p.pListOfBaseDots.Assign(stages.TVGC.ListofBaseDots);
        gain->SetParam(c, p);
      }
      return;
    default:
      return;
  }
}

}  // namespace

int CopyOnlineToTools(TView2DForm& view, const TOnlineMarks& marks) {
  view.SetOfToolsChange(QString(), true);
  view.TlsNeedForSave = true;
  if (view.StencilComboBox) view.StencilComboBox->SetItemIndex(-1);
  IToolChainLibrary* library = ToolChainLibrary();
  if (!library) return 0;
  const TChannels channels = ChannelsOf(&view);
  int appended = 0;
  for (int item = 0; item < static_cast<int>(StageTools().size()); ++item) {
    std::unique_ptr<IChainTool> tool = library->GetTool(StageTools()[static_cast<size_t>(item)], channels);
    if (!tool) continue;
    for (int c = 0; c < ChannelCount; ++c)
      if (const TOnlineStageSet* stages = StagesOf(channels[static_cast<size_t>(c)]))
        GiveStageToTool(*tool, item, c, *stages, marks[static_cast<size_t>(item)]);
    if (AppendOnlineTool(view, std::move(tool))) ++appended;
  }
  return appended;
}

// ---- Gain calibration -----------------------------------------------------------------------------

void ReleaseCollectedTraces(T2Dview& store) {
  const int64_t first = store.MinNumTraces();
  store.IndexTraces.FreeRange(first, store.MaxNumTraces());
  store.RawData.Reset();
  store.dezoData.Reset();
  store.SetMaxNumTraces(first);
  store.SetPosTraces(first);
  store.SetSizeDat(0);
  // The copies' inclinometer records go with them: a recording starts afresh.
  TSettingData& settings = *store.Settings();
  settings.MaxNumIncl = settings.MinNumIncl;
}

void PrepareCalibration(const TChannels& channels) {
  const TOnlineStageSet* first = StagesOf(channels[0]);
  for (int c = 0; c < ChannelCount; ++c) {
    T2Dview* store = channels[static_cast<size_t>(c)];
    TOnlineStageSet* stages = StagesOf(store);
    if (!stages) continue;
    stages->GainCalibration.Init();
    ReleaseCollectedTraces(*store);
    if (c > 0 && first) stages->SetWidthWindow(first->WindowedBackgroundRemoval.WidthWindow);
    stages->Wavelet.Init();
    stages->DeviceOffset.Init();
  }
}

void CollectCalibrationTrace(T2Dview& store, const int32_t* trace, int32_t n) {
  try {
    store.AppendTrace(trace, n, TInclRecord{});
  } catch (const std::bad_alloc&) {
    // Without memory the calibration goes on with the traces it has.
  }
}

bool FinishCalibration(TView2DForm& view, int c) {
  T2Dview* store = view.GetView2DByIndx(c);
  TOnlineStageSet* stages = StagesOf(store);
  if (!stages) return false;
  // A calibration that received no trace on this channel has nothing to
  // average: no curve, no time zero, no offset command.
  if (store->NumTraces() <= 0) {
    ReleaseCollectedTraces(*store);
    return false;
  }
  stages->GainCalibration.CreateGainOnline();
  try {
    store->PackTraces();
    view.AutomaticNull(c);
  } catch (const std::bad_alloc&) {
    // Without room for the block the zero stays as it was.
  }
  ReleaseCollectedTraces(*store);
  stages->DeviceOffset.CalculateOffset();
  return true;
}

}  // namespace settings_online
