#include "tools/tool_chain_library.h"

#include "platform/ui/forms.h"
#include "tools/common_tool.h"
#include "tools/list_of_plugins_form.h"
#include "tools/list_of_tools.h"
#include "tools/tool_record.h"

std::unique_ptr<IChainTool> TToolChainLibrary::GetTool(const QString& ToolName, const std::array<T2Dview*, 5>& views) {
  std::unique_ptr<TCommonTool> tool = registry_.GetTool(ToolName, views);
  if (tool) tool->ToolInit();
  return tool;
}

void TToolChainLibrary::SaveTools(TStream& Stream, const T2Dview* View2D) { registry_.SaveTools(Stream, View2D); }

void TToolChainLibrary::SaveToolsFRN(TStream& Stream, const T2Dview* View2D, int32_t CountChannelFrn,
                                     int32_t ToolsCount) {
  registry_.SaveToolsFRN(Stream, View2D, CountChannelFrn, ToolsCount);
}

void TToolChainLibrary::ReadToolRecord(IChainTool& tool, TStream& Stream, int64_t recordEnd, bool current,
                                       int32_t NumberView) {
  // Every chain tool the registry makes is a common tool.
  if (auto* common = dynamic_cast<TCommonTool*>(&tool))
    ReadToolRecordBody(*common, Stream, recordEnd, current ? TToolRecordForm::Current : TToolRecordForm::Older,
                       NumberView);
}

QString TToolChainLibrary::ChooseTool(TComponent* owner) {
  auto* dialog = TComponent::Create<TListOfPluginsForm>(owner, registry_);
  const QString chosen = dialog->ShowModal() == mrOk ? dialog->SelectedToolCaption() : QString();
  dialog->Free();
  return chosen;
}

void RegisterToolChainRegistry(const TListOfTools* registry) {
  static std::unique_ptr<TToolChainLibrary> library;
  SetToolChainLibrary(nullptr);
  library.reset(registry ? new TToolChainLibrary(*registry) : nullptr);
  SetToolChainLibrary(library.get());
}
