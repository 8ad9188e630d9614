#include "tools/imaging/migration_run.h"

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/directivity_diagram.h"
#include "tools/tool_host.h"

#include <cmath>

#include <cstring>
#include <utility>

bool IsWheelProfile(const T2Dview* view) {
  return view && view->Settings() && view->Settings()->GetRunMode() == rmWheel;
}

TDiffractionRowTerms AdvancedMigrationTerms(const TDirectivityDiagram& diagram, double e, int32_t nullShift,
                                            long double proportion, int longTrace) {
  return [&diagram, e, nullShift, proportion, longTrace](int32_t s, int64_t maxOffset, TDiffractionRow& row) {
    const int64_t h = int64_t{s} - nullShift;
    const long double hh = static_cast<long double>(h);
    const long double ee = e;
    const double r = static_cast<double>(std::sqrt(hh * hh + ee * ee));
    const double delta = r - static_cast<double>(h);
    const long double rr = static_cast<long double>(r) * r;
    for (int64_t j = 0; j <= maxOffset; ++j) {
      const long double x = static_cast<long double>(j) * proportion;
      const long double u = std::sqrt(rr + x * x);
      if (u == 0) {
        row.Add(s, 0);
        continue;
      }
      const long double arrival = static_cast<long double>(nullShift) + u - delta;
      if (!(arrival < longTrace)) break;
      const long double v = __builtin_rintl(arrival);
      if (v >= longTrace) break;
      row.Add(static_cast<int32_t>(v), diagram.DiagramWeight(r / u));
    }
  };
}

long double SamplesToNs(long double x, double spanWidth, int overStep) { return x * spanWidth * overStep / 1000; }

TDiffractionRowTerms MetricMigrationTerms(const TDirectivityDiagram& diagram, long double speed, double spanWidth,
                                          int overStep, long double measureStep, int32_t nullShift, int longTrace) {
  const long double timeStep = speed * spanWidth * overStep;
  return [&diagram, speed, spanWidth, overStep, measureStep, nullShift, longTrace, timeStep](
             int32_t s, int64_t maxOffset, TDiffractionRow& row) {
    const long double ns = SamplesToNs(static_cast<long double>(int64_t{s} - nullShift), spanWidth, overStep);
    const long double z = ns * speed / 2000;
    for (int64_t j = 0; j <= maxOffset; ++j) {
      const long double x = measureStep * static_cast<long double>(j) / 1000;
      const long double r = std::sqrt(z * z + x * x);
      if (r == 0) {
        row.Add(s, 0);
        continue;
      }
      const long double arrival = r * 2000 * 1000 / timeStep + nullShift;
      if (!(arrival < longTrace)) break;
      const long double v = __builtin_rintl(arrival);
      if (v >= longTrace) break;
      row.Add(static_cast<int32_t>(v), diagram.DiagramWeight(z / r));
    }
  };
}

bool RunMigration(const int32_t* in, int32_t* out, int64_t traces, int longTrace, const T2Dview& view,
                  int32_t firstRow, TDiffractionRowTerms terms, IToolHost& host, int channel, TRunYield& yield) {
  std::memcpy(out, in, static_cast<size_t>(traces * longTrace) * sizeof(int32_t));
  TDiffractionSum job;
  job.In = in;
  job.Samples = view.SizeDat() / 4;
  job.Out = out;
  job.Traces = traces;
  job.LongTrace = longTrace;
  // Samples before time zero keep their input; with time zero before the first
  // sample the sums start at the first sample.
  job.FirstRow = std::max(firstRow, 0);
  job.Terms = std::move(terms);
  const int width = host.ProgressFullWidth();
  job.Progress = [&](int64_t done, int64_t total) {
    if (total > 0) host.SetProgressWidth(channel, RoundToInt32(static_cast<long double>(done) * width / total));
  };
  return RunDiffractionSum(job, yield);
}
