#include "tools/imaging/obj_detect_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/gen_test_kernel.h"
#include "tools/imaging/obj_detect_form.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

TObjDetectTool::TObjDetectTool(uint16_t w) : TToolBase<TObjDetectParam>(w) {
  SetCaption(LoadResString(SObjDetectCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SObjDetectToolName.english);
  AToolDscr = LoadResString(SObjDetectDescription);
  AExecuting = true;
  typeOfPlugin = simple;
  FillAllSets();
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("OBJDETECT_ICON1"), QStringLiteral("OBJDETECT_ICON2"));
}

int TObjDetectTool::SetPropertyes(bool adding) {
  if (adding && !Form()) {
    if (const T2Dview* view = GetViewByIndx(0); view && view->Settings()) {
      WaveSpeed = view->Settings()->GetSpeedLight();
      for (TObjDetectParam& set : Param) set.WaveSpeed = WaveSpeed;
    }
  }
  return TToolBase<TObjDetectParam>::SetPropertyes(adding);
}

void TObjDetectTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  run_ = {};
  if (const T2Dview* view = GetViewByIndx(NumberView); view && view->Settings()) {
    const TSettingData& s = *view->Settings();
    const TSectionGridSteps steps = SectionGridSteps(s);
    GridStepSectX = steps.X;
    GridStepSectY = steps.Y;
    run_.GridStepSectX = steps.X;
    run_.GridStepSectY = steps.Y;
    run_.SpanWidth = s.GetSpanWidth();
    run_.NullShift = s.GetNullShift();
  }
  TToolBase<TObjDetectParam>::execute(first, NumberView);
}

int64_t TObjDetectTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                       TRunYield& /*yield*/) {
  TObjDetectGeometry g = run_;
  g.Traces = traces;
  g.LongTrace = longTrace;
  TObjDetectParams p;
  p.DistanceTR = DistanceTR;
  p.WaveSpeed = WaveSpeed;
  p.WaveSpeedAir = WaveSpeedAir;
  p.CountVisibleCrossSignal = CountVisibleCrossSignal;
  p.UseAmpl = UseAmpl;
  p.PntVisual = PntVisual;
  p.XElipse = XElipse;
  p.YElipse = YElipse;
  p.X2Elipse = X2Elipse;
  p.Y2Elipse = Y2Elipse;
  p.MultGrid = MultGrid;
  const TObjDetectResult r = DetectObjects(in, out, g, p);
  nMin = r.nMin;
  nMax = r.nMax;
  return traces;
}

void TObjDetectTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteExtended(str, DistanceTR);
  str.WriteValue<int32_t>(WaveSpeed);
  str.WriteValue<int32_t>(WaveSpeedAir);
  str.WriteValue<int32_t>(CountVisibleCrossSignal);
}

namespace {
// The body; a speed that is not positive keeps the tool's (the run divides by
// the air speed, and no wave stands still).
void ReadObjDetectBody(TToolRecordFields& fields, TObjDetectTool& t) {
  fields.ReadExtended(t.DistanceTR);
  for (int32_t* speed : {&t.WaveSpeed, &t.WaveSpeedAir}) {
    int32_t v = 0;
    if (fields.Read(v) && v > 0) *speed = v;
  }
  fields.Read(t.CountVisibleCrossSignal);
}
}  // namespace

void TObjDetectTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  // Every format byte is followed by the caption and Apply.
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView,
                 [this](TToolRecordFields& fields) { ReadObjDetectBody(fields, *this); }, 0);
}

void TObjDetectTool::ReadFromStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView,
                 [this](TToolRecordFields& fields) { ReadObjDetectBody(fields, *this); });
}

TToolForm* TObjDetectTool::CreateForm() { return TComponent::Create<TObjDetectForm>(Application); }
