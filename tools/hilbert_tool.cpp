#include "tools/hilbert_tool.h"

#include "platform/ui/application.h"
#include "profiledata/hilbert.h"
#include "tools/hilbert_form.h"
#include "tools/tool_strings.h"

#include <cstring>

THilbert::THilbert(uint16_t w) : TInstantaneousTool(w) {
  SetCaption(LoadResString(SHilbertCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SHilbertToolName.english);
  AToolDscr = LoadResString(SHilbertDescription);
  LoadIcons(QStringLiteral("HILBERT_ICON1"), QStringLiteral("HILBERT_ICON2"));
}

void THilbert::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const {
  const int mode = OutputType;
  const double spanWidth = RunSpanWidth();
  for (int64_t t = first; t < end; ++t) {
    int32_t* trace = out + t * longTrace;
    std::memcpy(trace, in + t * longTrace, static_cast<size_t>(longTrace) * sizeof(int32_t));
    HilbertTransformTrace(trace, longTrace, mode, spanWidth);
  }
}

TToolForm* THilbert::CreateForm() { return TComponent::Create<THilbertForm>(Application); }
