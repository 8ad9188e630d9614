#pragma once
// The tool registry as the radargram windows see it when they build, write and
// read their chains. The acquisition program registers its registry after making
// it (and again after a language switch made a new one). User-interface thread.

#include "radargram/tool_chain_library.h"

class TListOfTools;

class TToolChainLibrary final : public IToolChainLibrary {
public:
  explicit TToolChainLibrary(const TListOfTools& registry) : registry_(registry) {}

  std::unique_ptr<IChainTool> GetTool(const QString& ToolName, const std::array<T2Dview*, 5>& views) override;
  void SaveTools(TStream& Stream, const T2Dview* View2D) override;
  void SaveToolsFRN(TStream& Stream, const T2Dview* View2D, int32_t CountChannelFrn, int32_t ToolsCount) override;
  void ReadToolRecord(IChainTool& tool, TStream& Stream, int64_t recordEnd, bool current, int32_t NumberView) override;
  QString ChooseTool(TComponent* owner) override;

private:
  const TListOfTools& registry_;
};

// The windows' chains use registry from now on; nullptr: no registry (no tool can
// be created).
void RegisterToolChainRegistry(const TListOfTools* registry);
