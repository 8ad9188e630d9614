#include "tools/imaging/migration_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/migration_form.h"
#include "tools/imaging/migration_run.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <cmath>

TMigrationTool::TMigrationTool(uint16_t w) : TToolBase<TMigrationParam>(w) {
  SetCaption(LoadResString(SMigrationCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SMigrationToolName.english);
  AToolDscr = LoadResString(SMigrationDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  FillAllSets();
  LoadIcons(QStringLiteral("MIGRATION_ICON1"), QStringLiteral("MIGRATION_ICON2"));
}

void TMigrationTool::SetParameters(const QByteArray&, const void* P) {
  if (P) AExecuting = *static_cast<const uint8_t*>(P) != 0;
}

void TMigrationTool::SetParam(int32_t NumberView, const void* P) {
  if (Valid(NumberView) && P) Param[static_cast<size_t>(NumberView)].Apply = *static_cast<const uint8_t*>(P) != 0;
}

long double TMigrationTool::SamplesToNs(long double x) const {
  const TSettingData* settings = runView_ ? runView_->Settings() : nullptr;
  if (!settings) return 0;
  return ::SamplesToNs(x, settings->GetSpanWidth(), settings->GetOverStep());
}

void TMigrationTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  runView_ = GetViewByIndx(NumberView);
  runChannel_ = NumberView;
  TToolBase<TMigrationParam>::execute(first, NumberView);
}

int64_t TMigrationTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                       TRunYield& yield) {
  const T2Dview& view = *runView_;
  if (!IsWheelProfile(&view)) {
    AExecuting = false;
    return TToolBase<TMigrationParam>::ProcessChannel(in, out, traces, longTrace, yield);
  }
  const TSettingData& settings = *view.Settings();
  const long double speed = settings.GetSpeedLight();
  const long double timeStep = speed * settings.GetSpanWidth() * settings.GetOverStep();
  // Without a wave speed, time window or sample step no arrival can be placed:
  // the input passes.
  if (timeStep == 0 || !std::isfinite(timeStep)) {
    return TToolBase<TMigrationParam>::ProcessChannel(in, out, traces, longTrace, yield);
  }
  const int32_t z0 = settings.GetNullShift();
  const TDiffractionRowTerms terms =
      MetricMigrationTerms(Diagram, speed, settings.GetSpanWidth(), settings.GetOverStep(), settings.GetMeasureStep(),
                           z0, longTrace);
  if (RunMigration(in, out, traces, longTrace, view, z0, terms, Host(), runChannel_, yield)) return traces;
  AExecuting = false;
  return 0;
}

void TMigrationTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
}

void TMigrationTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView);
}

void TMigrationTool::ReadFromStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView);
}

TToolForm* TMigrationTool::CreateForm() { return TComponent::Create<TMigrationForm>(Application); }
