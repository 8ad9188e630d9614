#include "tools/list_of_tools.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"
#include "tools/common_tool.h"
#include "tools/tool_classes.h"
#include "tools/tool_strings.h"

#include <iterator>

RESOURCESTRING(SToolIndexNotCorrect, "Index is not correct");

namespace {

struct TCatalogueEntry {
  const char16_t* Key;
  const TResourceString& Caption;
  const TResourceString& Name;
  const TResourceString& Description;
};

// Every key PutTool knows.
const TCatalogueEntry Catalogue[] = {
    {u"Abs", SAbsCaption, SAbsToolName, SAbsDescription},
    {u"BandFilter", SBandFilterCaption, SBandFilterToolName, SBandFilterDescription},
    {u"Blur", SBlurCaption, SBlurToolName, SBlurDescription},
    {u"Compressor", SCompressorCaption, SCompressorToolName, SCompressorDescription},
    {u"Corelator", SCorelatorCaption, SCorelatorToolName, SCorelatorDescription},
    {u"Comparator", SComparatorCaption, SComparatorToolName, SComparatorDescription},
    {u"Filter", SFilterCaption, SFilterToolName, SFilterDescription},
    {u"Hilbert", SHilbertCaption, SHilbertToolName, SHilbertDescription},
    {u"DQ", SDQCaption, SDQToolName, SDQDescription},
    {u"Migration", SMigrationCaption, SMigrationToolName, SMigrationDescription},
    {u"Normalization", SNormalizationCaption, SNormalizationToolName, SNormalizationDescription},
    {u"TVGC", STVGCCaption, STVGCToolName, STVGCDescription},
    {u"Waveleter", SWaveleterCaption, SWaveleterToolName, SWaveleterDescription},
    {u"HorzWaveleter", SHorzWaveleterCaption, SHorzWaveleterToolName, SHorzWaveleterDescription},
    {u"WindowSubstrAverage", SWindowSubstrAverageCaption, SWindowSubstrAverageToolName,
     SWindowSubstrAverageDescription},
    {u"MigrationAdv", SMigrationAdvCaption, SMigrationAdvToolName, SMigrationAdvDescription},
    {u"Median", SMedianCaption, SMedianToolName, SMedianDescription},
    {u"SearchObject", SSearchObjectCaption, SSearchObjectToolName, SSearchObjectDescription},
    {u"RealView", SRealViewCaption, SRealViewToolName, SRealViewDescription},
    {u"GridView", SGridViewCaption, SGridViewToolName, SGridViewDescription},
    {u"GridTime", SGridTimeCaption, SGridTimeToolName, SGridTimeDescription},
    {u"ObjDetect", SObjDetectCaption, SObjDetectToolName, SObjDetectDescription},
    {u"GenTest", SGenTestCaption, SGenTestToolName, SGenTestDescription},
    {u"Spectrum", SSpectrumCaption, SSpectrumToolName, SSpectrumDescription},
    {u"CalcTraces", SCalcTracesCaption, SCalcTracesToolName, SCalcTracesDescription},
    {u"Leveler", SLevelerCaption, SLevelerToolName, SLevelerDescription},
};

// The keys Initialise registers, in order.
const char16_t* const StartUpKeys[] = {
    u"Abs",    u"BandFilter", u"Blur", u"Compressor", u"Corelator",           u"Comparator", u"Filter", u"Hilbert",
    u"MigrationAdv", u"Normalization", u"TVGC", u"Waveleter", u"WindowSubstrAverage", u"DQ", u"Median",
};

QString English(const TResourceString& resource) { return QString::fromUtf16(resource.english); }

QByteArray PaletteName(const T2Dview* view) {
  const TSettingData* settings = view ? view->Settings() : nullptr;
  return settings ? StringToAnsi(settings->PalName) : QByteArray();
}

}  // namespace

TListOfTools::TListOfTools(TComponent* AOwner) : TComponent(AOwner) {}

TListOfTools::~TListOfTools() = default;

void TListOfTools::Initialise(const QString&, bool, int32_t l) {
  Language = l;
  for (const char16_t* key : StartUpKeys) PutTool(QString::fromUtf16(key));
  if (Application) Application->ProcessMessages();
}

bool TListOfTools::PutTool(const QString& s) {
  for (const TCatalogueEntry& entry : Catalogue) {
    if (s != QString::fromUtf16(entry.Key)) continue;
    auto descriptor = std::make_unique<TDscrTool>();
    descriptor->Caption = LoadResString(entry.Caption);
    descriptor->Description = LoadResString(entry.Description);
    descriptor->Name = LoadResString(entry.Name);
    descriptor->EnglishName = English(entry.Name);
    descriptor->EnglishCaption = English(entry.Caption);
    if (descriptor->Caption.isEmpty()) return false;
    ToolList.push_back(std::move(descriptor));
    return true;
  }
  return false;
}

void TListOfTools::IndexError() const { ShowMessage(LoadResString(SToolIndexNotCorrect)); }

QString TListOfTools::GetToolName(int32_t i) const {
  if (!ValidIndex(i)) {
    IndexError();
    return {};
  }
  return Descriptor(i).Caption;
}

QString TListOfTools::GetToolDscr(int32_t i) const {
  if (!ValidIndex(i)) {
    IndexError();
    return {};
  }
  return Descriptor(i).Description;
}

QByteArray TListOfTools::GetToolPath(int32_t i) const {
  if (!ValidIndex(i)) {
    IndexError();
    return {};
  }
  return Descriptor(i).Path;
}

std::unique_ptr<TCommonTool> TListOfTools::GetTool(const QString& ToolName,
                                                   const std::array<T2Dview*, 5>& views) const {
  const std::array<T2Dview*, 5> bound = views;
  const TDscrTool* found = nullptr;
  for (const auto& d : ToolList) {
    if (d->Name == ToolName || d->Caption == ToolName || d->EnglishName == ToolName ||
        d->EnglishCaption == ToolName ||
        (d->EnglishName == QLatin1String("Adaptive Filter") && ToolName == QLatin1String("Three-Point Correlator")) ||
        (d->EnglishName == QLatin1String("Background Remover with Window") &&
         ToolName == QLatin1String("Trace Subtraction with Window"))) {
      found = d.get();
      break;
    }
  }
  if (!found) return nullptr;
  const TToolConstructor construct = FindToolClass(found->EnglishName);
  if (!construct) return nullptr;
  std::unique_ptr<TCommonTool> tool = construct(static_cast<uint16_t>(Language & 0xFFFF));
  if (!tool) return nullptr;
  for (int i = 0; i < ToolChannels; ++i) tool->SetView_(i, bound[static_cast<size_t>(i)]);
  tool->AfterSetView_();
  return tool;
}

void TListOfTools::SaveTools(TStream& Stream, const T2Dview* View2D) const {
  Stream.SetPosition(0);
  Stream.WriteBuffer(ToolChainMagic, 5);
  WriteShortAnsiString(Stream, PaletteName(View2D));
  Stream.WriteValue<uint8_t>(ToolChainFormat);
}

void TListOfTools::SaveToolsFRN(TStream& Stream, const T2Dview* View2D, int32_t CountChannelFrn,
                                int32_t ToolsCount) const {
  Stream.SetPosition(0);
  Stream.WriteBuffer(ToolChainFrnMagic, 6);
  WriteShortAnsiString(Stream, PaletteName(View2D));
  Stream.WriteValue<uint8_t>(ToolChainFrnFormat);
  Stream.WriteValue<int32_t>(CountChannelFrn);
  Stream.WriteValue<int32_t>(ToolsCount);
}
