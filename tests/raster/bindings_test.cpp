#include "raster/bindings.h"

#include <gtest/gtest.h>

namespace {

// Distinct implementations to tell apart which one was bound.
int Portable() { return 1; }
int X86() { return 2; }
int Mmx() { return 3; }
int Sse2() { return 4; }
int Late() { return 5; }
int Other() { return 6; }

using TProbe = int();
enum : int { fidProbe = 0, fidOther = 1 };

// Registered as a unit does: portable [], x86 [], MMX [ciMMX], SSE2 [ciSSE2].
struct ProbeRegistry {
  TFunctionRegistry registry{"probe bindings"};
  TProbe* probe = nullptr;
  TProbe* probeAgain = nullptr;
  TProbe* other = nullptr;

  ProbeRegistry() {
    registry.RegisterBinding(fidProbe, &probe);
    registry.RegisterBinding(fidOther, &other);
    registry.RegisterBinding(fidProbe, &probeAgain);
    registry.Add(fidProbe, &Portable);
    registry.Add(fidOther, &Other);
    registry.Add(fidProbe, &X86);
    registry.Add(fidProbe, &Mmx, {ciMMX});
    registry.Add(fidProbe, &Sse2, {ciSSE2});
  }
};

TEST(FunctionRegistry, LastUsableRegistrationWins) {
  struct Case {
    const char* processor;
    TCPUFeatures features;
    int expected;
  };
  const Case cases[] = {
      {"no extensions", {}, 2},
      {"MMX only", {ciMMX}, 3},
      {"SSE2 without MMX", {ciSSE2}, 4},
      {"MMX and SSE2", {ciMMX, ciEMMX, ciSSE, ciSSE2}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.processor);
    ProbeRegistry p;
    p.registry.RebindAll(PriorityForFeatures(c.features));
    ASSERT_NE(p.probe, nullptr);
    EXPECT_EQ(p.probe(), c.expected);
    EXPECT_EQ(p.probeAgain(), c.expected);  // every binding of the identifier
    EXPECT_EQ(p.other(), 6);
  }
}

TEST(FunctionRegistry, LateRegistrationWithoutFeaturesWinsEverywhere) {
  for (TCPUFeatures features : {TCPUFeatures{}, TCPUFeatures{ciMMX}, TCPUFeatures{ciMMX, ciSSE2}}) {
    ProbeRegistry p;
    p.registry.Add(fidProbe, &Late);
    p.registry.RebindAll(PriorityForFeatures(features));
    EXPECT_EQ(p.probe(), 5) << int(features.Bits());
  }
}

TEST(FunctionRegistry, DefaultPriorityUsesTheDetectedFeatures) {
  ProbeRegistry p;
  p.registry.RebindAll();
  const TCPUFeatures cpu = CPUFeatures();
  const int expected = cpu.Contains(ciSSE2) ? 4 : cpu.Contains(ciMMX) ? 3 : 2;
  EXPECT_EQ(p.probe(), expected);
}

TEST(FunctionRegistry, RebindTouchesOnlyItsIdentifier) {
  ProbeRegistry p;
  p.registry.RebindAll(PriorityForFeatures({}));
  TProbe* const sentinel = &Late;
  p.other = sentinel;
  p.registry.Rebind(fidProbe, PriorityForFeatures({ciMMX}));
  EXPECT_EQ(p.probe(), 3);
  EXPECT_EQ(p.probeAgain(), 3);
  EXPECT_EQ(p.other, sentinel);
}

TEST(FunctionRegistry, CustomPriorityLowerIsBetterTiesGoToTheLast) {
  ProbeRegistry p;
  // Prefer implementations needing fewer features; x86 and portable tie at 0.
  auto fewest = [](PFunctionInfo info) { return info->CPUFeatures.Empty() ? 0 : 1; };
  EXPECT_EQ(p.registry.FindFunctionAs<TProbe>(fidProbe, fewest)(), 2);
  // Only the priority-7 form is usable; an invalid priority never wins.
  auto onlyMmx = [](PFunctionInfo info) {
    return info->CPUFeatures.Contains(ciMMX) ? 7 : InvalidPriority;
  };
  EXPECT_EQ(p.registry.FindFunctionAs<TProbe>(fidProbe, onlyMmx)(), 3);
}

TEST(FunctionRegistry, NoUsableImplementationBindsNil) {
  ProbeRegistry p;
  p.registry.RebindAll(PriorityForFeatures({}));
  auto none = [](PFunctionInfo) { return InvalidPriority; };
  p.registry.Rebind(fidProbe, none);
  EXPECT_EQ(p.probe, nullptr);
  EXPECT_EQ(p.registry.FindFunction(42), nullptr);  // unknown identifier
}

TEST(FunctionRegistry, ItemsCanBeReadReplacedAndCleared) {
  ProbeRegistry p;
  ASSERT_EQ(p.registry.Count(), 5);
  const PFunctionInfo mmx = p.registry.GetItems(3);
  EXPECT_EQ(mmx->FunctionID, fidProbe);
  EXPECT_EQ(mmx->CPUFeatures, TCPUFeatures({ciMMX}));
  EXPECT_EQ(mmx->Flags, 0);

  // Replacing the SSE2 record by one without features makes it the choice.
  p.registry.SetItems(4, new TFunctionInfo{fidProbe, reinterpret_cast<TRoutine>(&Late), {}, 0});
  EXPECT_EQ(p.registry.FindFunctionAs<TProbe>(fidProbe, PriorityForFeatures({}))(), 5);

  p.registry.Clear();
  EXPECT_EQ(p.registry.Count(), 0);
  p.probe = &Portable;
  p.registry.RebindAll();  // the bindings went too: nothing is written
  EXPECT_EQ(p.probe, &Portable);
}

}  // namespace
