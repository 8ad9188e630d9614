#pragma once
// What a radargram window needs of the tool registry to build, write and read its
// chain: the tools library registers an implementation at start-up, as it does
// the overlay factory, so the window library does not depend on the tools. Without
// a registration no tool can be created (every chain record becomes a missing
// tool) and chain files get no header. User-interface thread only.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class IChainTool;
class T2Dview;
class TComponent;
class TStream;

class IToolChainLibrary {
public:
  virtual ~IToolChainLibrary() = default;
  // A new tool for the registry name, bound to the five views and initialised;
  // nullptr when the registry cannot create it.
  virtual std::unique_ptr<IChainTool> GetTool(const QString& ToolName, const std::array<T2Dview*, 5>& views) = 0;
  // The chain files' headers, written at position 0.
  virtual void SaveTools(TStream& Stream, const T2Dview* View2D) = 0;
  virtual void SaveToolsFRN(TStream& Stream, const T2Dview* View2D, int32_t CountChannelFrn, int32_t ToolsCount) = 0;
  // The rest of a record (end offset and name read) into the tool as set
  // NumberView, reading nothing past recordEnd; current: a "TLS3U"/"BTLS5U"
  // record, else an older one. Throws EReadError when the stream ends inside it.
  virtual void ReadToolRecord(IChainTool& tool, TStream& Stream, int64_t recordEnd, bool current,
                              int32_t NumberView) = 0;
  // Shows the "List of Tools" dialog modally: the chosen tool's name, empty when
  // the dialog was not left with OK or nothing was chosen.
  virtual QString ChooseTool(TComponent* owner) = 0;
};

// nullptr unregisters.
void SetToolChainLibrary(IToolChainLibrary* library);
IToolChainLibrary* ToolChainLibrary();
