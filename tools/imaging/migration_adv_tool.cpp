#include "tools/imaging/migration_adv_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/migration_adv_form.h"
#include "tools/imaging/migration_run.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <cmath>

namespace {
constexpr long double DefaultXYProportional = 5.0L;
constexpr int32_t DefaultMinAmpSect = 20;
constexpr int32_t DefaultSizeHyperbola = 20;
}  // namespace

TMigrationAdvTool::TMigrationAdvTool(uint16_t w) : TToolBase<TMigrationAdvParam>(w) {
  SetCaption(LoadResString(SMigrationAdvCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SMigrationAdvToolName.english);
  AToolDscr = LoadResString(SMigrationAdvDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("MigrationAdv_ICON1"), QStringLiteral("MigrationAdv_ICON2"));
  XYProportional = DefaultXYProportional;
  MinAmpSect = DefaultMinAmpSect;
  SizeHyperbola = DefaultSizeHyperbola;
  // The sets start with Apply on and nothing else.
  Param.fill(TMigrationAdvParam{});
}

long double TMigrationAdvTool::GetXYhipotenuza(long double Y, long double X) { return std::sqrt(X * X + Y * Y); }

void TMigrationAdvTool::SaveParamsAll() {
  SaveParamPlugin(0);
  SetAllParamAs(0);
}

void TMigrationAdvTool::ToolInit() {
  for (int32_t channel = 0; channel < ToolChannels; ++channel) {
    XYProportional = DefaultXYProportional;
    MinAmpSect = DefaultMinAmpSect;
    SizeHyperbola = DefaultSizeHyperbola;
    const T2Dview* view = GetViewByIndx(channel);
    if (IsWheelProfile(view)) XYProportional = view->GetProportionalCoefic();
    SaveParamPlugin(channel);
  }
}

void TMigrationAdvTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  runView_ = GetViewByIndx(NumberView);
  runChannel_ = NumberView;
  if (runView_ && runView_->Settings())
    Param[static_cast<size_t>(NumberView)].DistanceRecept = UnitParams(runView_->Settings()->GetTypeGPR()).AntenSpace;
  TToolBase<TMigrationAdvParam>::execute(first, NumberView);
}

int64_t TMigrationAdvTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                          TRunYield& yield) {
  const T2Dview& view = *runView_;
  if (!IsWheelProfile(&view)) {
    AExecuting = false;
    return TToolBase<TMigrationAdvParam>::ProcessChannel(in, out, traces, longTrace, yield);
  }
  XYProportional = view.GetProportionalCoefic();
  const long double dz = view.SampleToDepth(1) - view.SampleToDepth(0);
  // Without a depth step (no time window or wave speed) there is no hyperbola to
  // sum along: the input passes.
  if (!(dz > 0) || !std::isfinite(dz)) {
    return TToolBase<TMigrationAdvParam>::ProcessChannel(in, out, traces, longTrace, yield);
  }

  const double e = static_cast<double>(DistanceRecept / dz / 2);
  const int32_t z = view.Settings()->GetNullShift();
  const TDiffractionRowTerms terms = AdvancedMigrationTerms(Diagram, e, z, XYProportional, longTrace);
  if (RunMigration(in, out, traces, longTrace, view, z, terms, Host(), runChannel_, yield)) return traces;
  return 0;
}

void TMigrationAdvTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteExtended(str, XYProportional);
  str.WriteValue<int32_t>(MinAmpSect);
  str.WriteValue<int32_t>(SizeHyperbola);
  WriteExtended(str, DistanceRecept);
}

namespace {
void ReadBody(TToolRecordFields& fields, TMigrationAdvTool& tool) {
  fields.ReadExtended(tool.XYProportional);
  fields.Read(tool.MinAmpSect);
  fields.Read(tool.SizeHyperbola);
  fields.ReadExtended(tool.DistanceRecept);
}
}  // namespace

void TMigrationAdvTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView,
                 [this](TToolRecordFields& fields) { ReadBody(fields, *this); });
}

void TMigrationAdvTool::ReadFromStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView,
                 [this](TToolRecordFields& fields) { ReadBody(fields, *this); });
}

TToolForm* TMigrationAdvTool::CreateForm() { return TComponent::Create<TMigrationAdvForm>(Application); }
