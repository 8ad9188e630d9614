#include "tools/imaging/gen_test_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/gen_test_form.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <random>

namespace {
// Bytes of one thread's traces between two looks at the break flag.
constexpr int64_t PieceBytes = 256 * 1024;
}  // namespace

TGenTestTool::TGenTestTool(uint16_t w) : TToolBase<TGenTestParam>(w) {
  SetCaption(LoadResString(SGenTestCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SGenTestToolName.english);
  AToolDscr = LoadResString(SGenTestDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  FillAllSets();
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("GENTEST_ICON1"), QStringLiteral("GENTEST_ICON2"));
  std::random_device device;
  RandomSeed = (uint64_t{device()} << 32) ^ device();
}

void TGenTestTool::UnpackParams(const TGenTestParam& set) {
  AExecuting = set.Apply;
  MultInputSignal = set.MultInputSignal;
  SetRandom = set.SetRandom;
  X1 = set.X1;
  Y1 = set.Y1;
  X2 = set.X2;
  Y2 = set.Y2;
  TopAmp1 = set.TopAmp1;
  TopAmp2 = set.TopAmp2;
  DecAmpPercent1 = set.DecAmpPercent1;
  DecAmpPercent2 = set.DecAmpPercent2;
}

int TGenTestTool::SetPropertyes(bool adding) {
  if (adding) {
    if (const T2Dview* view = GetViewByIndx(CurrentNumberView); view && view->Settings())
      DistanceRecept = UnitParams(view->Settings()->GetTypeGPR()).AntenSpace;
  }
  return TToolBase<TGenTestParam>::SetPropertyes(adding);
}

void TGenTestTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (const T2Dview* view = GetViewByIndx(NumberView); view && view->Settings()) {
    const TSettingData& s = *view->Settings();
    const TSectionGridSteps steps = SectionGridSteps(s);
    GridStepSectX = steps.X;
    GridStepSectY = steps.Y;
    runNullShift_ = s.GetNullShift();
  }
  TToolBase<TGenTestParam>::execute(first, NumberView);
}

void TGenTestTool::AddParabola(TGridSectPoint& points, int32_t X, int32_t Y, int32_t A, int32_t D, int32_t S) const {
  THyperbolaGeometry g;
  g.GridStepSectX = GridStepSectX;
  g.GridStepSectY = GridStepSectY;
  g.DistanceRecept = DistanceRecept;
  g.NullShift = runNullShift_;
  g.Traces = runTraces_;
  g.LongTrace = runLongTrace_;
  ::AddParabola(points, g, X, Y, A, D, S);
}

int64_t TGenTestTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                     TRunYield& yield) {
  runTraces_ = traces;
  runLongTrace_ = longTrace;
  TGridSectPoint points;
  AddParabola(points, X1, Y1, TopAmp1, DecAmpPercent1, SizeParabol1);
  AddParabola(points, X2, Y2, TopAmp2, DecAmpPercent2, SizeParabol2);
  points.Finish();

  // The parameters of the whole run, read by the workers.
  const int32_t mult = MultInputSignal;
  const int32_t range = SetRandom;
  const uint64_t seed = RandomSeed;
  const auto generate = [&](int64_t a, int64_t b) {
    const int64_t from = a * longTrace;
    const int64_t to = b * longTrace;
    ScaleAndNoise(in + from, out + from, from, to, mult, range, seed);
    points.Apply(out + from, from, to);
  };
  TWorkerPool& pool = TWorkerPool::Instance();
  const int64_t perThread = std::max<int64_t>(1, PieceBytes / (int64_t{longTrace} * 4));
  const int64_t round = perThread * pool.ThreadCount();
  for (int64_t done = 0; done < traces;) {
    const int64_t end = std::min(traces, done + round);
    pool.RunChunked(done, end, perThread, generate);
    done = end;
    if (!yield.Continue()) return done;
  }
  return traces;
}

void TGenTestTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  for (int32_t value : {MultInputSignal, SetRandom, X1, Y1, X2, Y2, TopAmp1, TopAmp2, DecAmpPercent1, DecAmpPercent2})
    str.WriteValue<int32_t>(value);
}

namespace {
void ReadValues(TToolRecordFields& fields, TGenTestTool& t) {
  for (int32_t* value : {&t.MultInputSignal, &t.SetRandom, &t.X1, &t.Y1, &t.X2, &t.Y2, &t.TopAmp1, &t.TopAmp2,
                         &t.DecAmpPercent1, &t.DecAmpPercent2})
    fields.Read(*value);
}
}  // namespace

void TGenTestTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  // Every format byte is followed by the caption and Apply.
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView,
                 [this](TToolRecordFields& fields) { ReadValues(fields, *this); }, 0);
}

void TGenTestTool::ReadFromStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView,
                 [this](TToolRecordFields& fields) { ReadValues(fields, *this); });
}

TToolForm* TGenTestTool::CreateForm() { return TComponent::Create<TGenTestForm>(Application); }
