// The chain and the channels' online stages: "Copy to online tools", and the
// simple page's "Background Removal" and "Gain" buttons, which switch the
// chain's background tool and step through the simple-mode tool sets.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"

#include <array>

namespace {

// The registry names of the tools whose computations the online stages share.
const std::array<QString, 3> kOnlineToolNames = {QStringLiteral("Wavelet Filter"),
                                                 QStringLiteral("Background Remover with Window"),
                                                 QStringLiteral("TVGC")};

}  // namespace

void TView2DForm::BuildSimpleToolButtons() {
  SimpleBackgroundRemovalSpeedButton->SetCaption(LoadResString(SSimpleBackgroundRemoval));
  SimpleBackgroundRemovalSpeedButton->SetGroupIndex(12);
  SimpleBackgroundRemovalSpeedButton->SetAllowAllUp(true);
  SimpleBackgroundRemovalSpeedButton->OnClick = [this](TObject* sender) {
    SimpleBackgroundRemovalSpeedButtonClick(sender);
  };
  SimpleGainSpeedButton->SetCaption(LoadResString(SSimpleGain));
  SimpleGainSpeedButton->SetWidth(150);
  SimpleGainSpeedButton->OnClick = [this](TObject* sender) { SimpleGainSpeedButtonClick(sender); };
}

void TView2DForm::CopytoonlineTools1Click(TObject* /*Sender*/) {
  if (FirstPaintAfterOpen) Paint2D(0);
  if (shell_.ToolSets) shell_.ToolSets->Sinchronize3ToolsToOnline(*this, true);
  SaveBSTT(ProgramFolder() + QStringLiteral("bstt"));
}

void TView2DForm::CopyChainToOnlineStages() {
  for (const QString& name : kOnlineToolNames)
    if (IChainTool* tool = GetToolsForNameInTree(name))
      for (int c = 0; c < kChannelSlots; ++c)
        if (T2Dview* store = GetView2DByIndx(c)) tool->SetParamView(store);
  for (int c = 0; c < kChannelSlots; ++c)
    if (T2Dview* store = GetView2DByIndx(c)) store->WriteOnlinePlaginsParameters();
}

namespace {

// The first chain node whose tool's registry name holds "ACKGROUND" in any case.
TTreeNode* FirstBackgroundNode(const TTreeView& tree) {
  TTreeNodes* items = const_cast<TTreeView&>(tree).Items();
  for (int i = 0; i < items->TopCount(); ++i)
    if (const IChainTool* tool = TView2DForm::ToolOfNode(items->Top(i));
        tool && tool->GetToolName().toUpper().contains(QLatin1String("ACKGROUND")))
      return items->Top(i);
  return nullptr;
}

}  // namespace

void TView2DForm::SetSimpleBackgroundRemoval(bool on) {
  for (int c = 0; c < kChannelSlots; ++c)
    if (T2Dview* store = GetView2DByIndx(c)) {
      if (IOnlineStages* stages = store->OnlineStages()) stages->SetWindowedBackgroundRemovalApplay(on);
      store->WriteOnlinePlaginsParameters();
    }
  if (TTreeNode* node = FirstBackgroundNode(*ToolsTreeView)) {
    CurrentItem = node;
    IChainTool* tool = ToolOfNode(node);
    tool->SetExecuting(on);
    tool->SetAllApply(on);
    PaintTreeNode();
    SaveToolsSTCLUnlessOpened();
    TlsNeedForSave = true;
    RerunWithFreshOverlays(node);
  }
  TlsNeedForSave = true;
}

void TView2DForm::SetButtonSimpleBackgroundRemoval() {
  TTreeNode* node = FirstBackgroundNode(*ToolsTreeView);
  if (!node) return;
  CurrentItem = node;
  SimpleBackgroundRemoval = ToolOfNode(node)->GetExecuting();
  SimpleBackgroundRemovalSpeedButton->SetDown(SimpleBackgroundRemoval);
}

int TView2DForm::GetSimpleGainIndex() const {
  if (!shell_.ToolSets) return 0;
  const QStringList sets = shell_.ToolSets->GetListOfDSTCL();
  if (sets.size() < 2) return 0;
  const qsizetype index = sets.indexOf(shell_.ToolSets->GetSimpleDSTCL());
  return static_cast<int>(index >= 0 ? index : sets.size() - 1);
}

void TView2DForm::SimpleGainSpeedButtonClick(TObject* /*Sender*/) {
  if (!shell_.ToolSets) return;
  // One step at a time: the button waits for the set to be read and run.
  SimpleGainSpeedButton->SetEnabled(false);
  struct TEnableAgain {
    TSpeedButton* button;
    ~TEnableAgain() { button->SetEnabled(true); }
  } again{SimpleGainSpeedButton};
  const QStringList sets = shell_.ToolSets->GetListOfDSTCL();
  const int current = GetSimpleGainIndex();
  const int next = current + 1 < sets.size() ? current + 1 : 0;
  if (next >= sets.size() || sets[next].isEmpty()) return;
  shell_.ToolSets->SetSimpleDSTCL(sets[next]);
  SimpleMultGain = next;
  MultGainLabel->SetCaption(QString::number(next));
  SetOfToolsChange(sets[next], true);
  shell_.ToolSets->Sinchronize3ToolsToOnline(*this, false);
  SetSimpleBackgroundRemoval(shell_.NextWindow->SimpleBackgroundRemoval());
}

void TView2DForm::SimpleBackgroundRemovalSpeedButtonClick(TObject* /*Sender*/) {
  SimpleBackgroundRemoval = !SimpleBackgroundRemoval;
  if (shell_.ToolSets) shell_.ToolSets->SetSimpleBackgroundRemoval(SimpleBackgroundRemoval);
  SetSimpleBackgroundRemoval(SimpleBackgroundRemoval);
}
