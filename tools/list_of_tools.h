#pragma once
// TListOfTools: the registry and factory of the processing tools, and the writer
// of the tool-chain files' headers.
//
// It holds descriptors (caption, description, registry name) in registration
// order; Initialise registers the start-up set of the catalogue's keys. GetTool
// creates a registered tool by its registry name, its caption or one of two
// older names, with its class chosen from the class table (tool_classes.h) by the
// tool's fixed English name, and binds it to the window's five views; the caller
// owns the tool.
//
// One instance is owned by the acquisition program's main window, created anew on
// every language switch (captions and descriptions follow the language). External
// tool modules are not supported: nothing fills Path and Hnd. User-interface
// thread.

#include "platform/ui/component.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class T2Dview;
class TCommonTool;
class TStream;

struct TDscrTool {
  QByteArray Path;  // of an external tool module; never set
  QString Caption;
  QString Description;
  QString Name;  // the registry name, as the language gives it
  void* Hnd = nullptr;  // of an external tool module; never set
  // The registry name's and the caption's English texts, which the factory
  // compares with, whatever the language.
  QString EnglishName;
  QString EnglishCaption;
};

// The magic words and format bytes of the chain files' headers.
inline constexpr char ToolChainMagic[] = "TLS3U";
inline constexpr uint8_t ToolChainFormat = 16;
inline constexpr char ToolChainFrnMagic[] = "BTLS5U";
inline constexpr uint8_t ToolChainFrnFormat = 1;

class TListOfTools : public TComponent {
public:
  explicit TListOfTools(TComponent* AOwner);
  ~TListOfTools() override;

  int32_t Language = 1033;

  // Language := l; registers the start-up keys in order: Abs, BandFilter, Blur,
  // Compressor, Corelator, Comparator, Filter, Hilbert, MigrationAdv,
  // Normalization, TVGC, Waveleter, WindowSubstrAverage, DQ, Median. locExeDir
  // and all are not used. A second call appends them again.
  void Initialise(const QString& locExeDir, bool all, int32_t l);
  // Registers a catalogue key (exact, case-sensitive); false for a key outside
  // the catalogue.
  bool PutTool(const QString& s);
  int32_t Count() const { return static_cast<int32_t>(ToolList.size()); }
  // Descriptor i, 0 <= i < Count() (std::out_of_range otherwise).
  const TDscrTool& Descriptor(int32_t i) const { return *ToolList.at(static_cast<size_t>(i)); }

  // Caption / description / module path of descriptor i; for an index outside
  // 0 .. Count - 1 the message "Index is not correct" and an empty text.
  QString GetToolName(int32_t i) const;
  QString GetToolDscr(int32_t i) const;
  QByteArray GetToolPath(int32_t i) const;

  // A new tool for the name (registry name, caption, "Three-Point Correlator" for
  // "Adaptive Filter", "Trace Subtraction with Window" for "Background Remover
  // with Window"; exact, in the language's or the English texts), bound to the
  // five views; nullptr when no registered tool has the name or its class is
  // not in the class table.
  std::unique_ptr<TCommonTool> GetTool(const QString& ToolName, const std::array<T2Dview*, 5>& views) const;

  // The chain files' headers, written at position 0: "TLS3U", the view's palette
  // name (short 8-bit string), 16; "BTLS5U", the palette name, 1, i32
  // CountChannelFrn, i32 ToolsCount. A missing view writes an empty name.
  void SaveTools(TStream& Stream, const T2Dview* View2D) const;
  void SaveToolsFRN(TStream& Stream, const T2Dview* View2D, int32_t CountChannelFrn, int32_t ToolsCount) const;

private:
  void IndexError() const;
  bool ValidIndex(int32_t i) const { return i >= 0 && i < Count(); }

  std::vector<std::unique_ptr<TDscrTool>> ToolList;
};
