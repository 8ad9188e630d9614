// The generator and the migration as the registry creates them, run one after
// the other on one channel as a chain does: a diffraction hyperbola made by the
// generator migrates back into its apex.

#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/imaging_library.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace imaging_chain_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// 61 traces x 200 samples with OverStep 5 (LongTrace x OverStep = 1000, so the
// generator's trace step in depth steps is the migration's XYProportional):
// a sample is 20000 / 200 x 100 / 2000 = 5 m deep and the trace step 10 m, two
// samples; the antenna unit's 0.142 m spacing is 0.0142 samples, too little to
// move any arrival.
TWheelChannel Channel() {
  TWheelChannel c;
  c.traces = 61;
  c.longTrace = 200;
  c.nullShift = 5;
  c.speed = 100;
  c.spanWidth = 20000;
  c.overStep = 5;
  c.wheelStep = 10000;
  c.unit = Unit03;
  return c;
}

TEST(ImagingChain, AGeneratedHyperbolaMigratesIntoItsApex) {
  FakeToolHost host;
  HostScope scope(host);
  ImagingLibraryStartup();
  TListOfTools registry(nullptr);
  registry.Initialise(QString(), true, 1033);
  auto view = MakeWheelChannel(Channel(), std::vector<int32_t>(61 * 200, 0));
  const std::array<T2Dview*, 5> views{view.get(), nullptr, nullptr, nullptr, nullptr};

  std::unique_ptr<TCommonTool> generator = FindToolClass(QStringLiteral("GenTest"))(1033);
  generator->SetView_(0, view.get());
  auto& gen = dynamic_cast<TGenTestTool&>(*generator);
  gen.DistanceRecept = 0;
  gen.SizeParabol1 = 61;  // wider than the profile: every term of the apex finds it
  gen.SizeParabol2 = 0;
  // Apex at trace 30, 40 samples below time zero; no noise, no decrease.
  TGenTestParam set{true, 100, 0, 30, 45, 0, 0, 1000, 0, 0, 0};
  gen.SetParam(0, &set);
  generator->execute(false, 0);
  const std::vector<int32_t> hyperbola = Samples(*view);
  EXPECT_EQ(hyperbola[30 * 200 + 45], 1000);
  EXPECT_EQ(hyperbola[40 * 200 + 5 + 45], 1000) << "offset 10: round(sqrt(40^2 + 20^2)) = 45 below time zero";
  EXPECT_EQ(std::count(hyperbola.begin(), hyperbola.end(), 1000), 61);

  std::unique_ptr<TCommonTool> migration = registry.GetTool(QStringLiteral("Migration"), views);
  ASSERT_NE(dynamic_cast<TMigrationAdvTool*>(migration.get()), nullptr);
  migration->execute(false, 0);
  EXPECT_EQ(dynamic_cast<TMigrationAdvTool&>(*migration).XYProportional, 2);
  EXPECT_EQ(gen.GridStepSectX / gen.GridStepSectY, 2);
  const std::vector<int32_t> out = Samples(*view);
  EXPECT_EQ(out[30 * 200 + 45], 1000) << "exactly the apex amplitude at the apex";
  EXPECT_EQ(*std::max_element(out.begin(), out.end()), 1000) << "the largest output value";
  EXPECT_LT(out[40 * 200 + 50], 600) << "the branch has faded";
}

}  // namespace imaging_chain_test
