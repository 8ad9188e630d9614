// Markers and polyline nodes added at a distance and depth in metres: with the
// device offset (through the channel settings, or the project profile in the
// planning program) and without it (counted from the end on a flipped profile; the
// object markers' own trace numbering).

#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

// One channel: trace step 10 mm (100 traces per metre), window depth 5 m over 500
// samples with zero at sample 10 (100 samples per metre), MinTrace 5 in the header,
// traces -20 .. 1000 in the store, device offset 0.05 m when a window counts.
struct Channel {
  FakeShell shell;
  std::optional<ShellScope> scope;
  FakeWindow window;
  FakeStore store{&window};
  TSettingData* settings = nullptr;
  TSurfeMarkersData* surfaces = nullptr;
  TObjectMarkersData* objects = nullptr;
  TPolyLineMarkersData* polyline = nullptr;

  explicit Channel(bool acquisition) {
    if (acquisition)
      scope.emplace(&shell);
    else
      SetAcquisitionShell(nullptr);
    window.deviceX = 5000;
    settings = new TSettingData(&store);
    store.settings = settings;
    settings->SetWheelStep(10);
    settings->SetWheelMult(1);
    settings->SetMinTrace(5);
    settings->RestoreSpanWidth(100);
    settings->SetSpeedLight(100);
    settings->SetNullShift(10);
    store.minNumTraces = -20;
    store.maxNumTraces = 1000;
    surfaces = new TSurfeMarkersData(&store);
    objects = new TObjectMarkersData(&store);
    polyline = new TPolyLineMarkersData(&store);
  }
};

constexpr long double X = 2.5L;       // m
constexpr long double Depth = 1.23L;  // m
constexpr int32_t Sample = 133;       // 1.23 x 100 + 10

struct Traces {
  int32_t withShift;
  int32_t surfaceWithout;  // also the polyline's
  int32_t objectWithout;
};

void ExpectAdditions(Channel& c, const Traces& expected) {
  c.surfaces->AddInMeters(0, "s", X);
  c.surfaces->AddInMetersWithoutShift(0, "s", X);
  EXPECT_EQ(c.surfaces->GetSurfaceMarker(0)->GetNumTrace(), expected.withShift);
  EXPECT_EQ(c.surfaces->GetSurfaceMarker(1)->GetNumTrace(), expected.surfaceWithout);

  c.objects->AddinMerters(4, clBlue, "o", Depth, X);
  c.objects->AddInMetersWithoutShift(6, clLime, "o", Depth, X);
  const TObjectMarker* withShift = c.objects->GetObjectMarker(0);
  const TObjectMarker* without = c.objects->GetObjectMarker(1);
  EXPECT_EQ(withShift->GetNumTrace(), expected.withShift);
  EXPECT_EQ(without->GetNumTrace(), expected.objectWithout);
  EXPECT_EQ(withShift->GetNumSample(), Sample);
  EXPECT_EQ(without->GetNumSample(), Sample);
  EXPECT_EQ(without->Group, 6);
  EXPECT_EQ(without->GetColor(), clLime);

  EXPECT_EQ(c.polyline->AddinMerters(-1, "ignored", Depth, X), 1);
  EXPECT_EQ(c.polyline->AddInMetersWithoutShift(0, "ignored", Depth, X), 2);
  EXPECT_EQ(c.polyline->Nodes()[0], (TPoint{expected.withShift, Sample}));
  EXPECT_EQ(c.polyline->Nodes()[1], (TPoint{expected.surfaceWithout, Sample}));
  EXPECT_EQ(c.polyline->GetComment(), "");
}

TEST(MarkersInMetres, AcquisitionProgram) {
  struct Case {
    const char* name;
    bool flip;
    TDirection direction;
    Traces expected;
  };
  // With shift: round((x x 100000 - 5000) / 1000), numerator (-5000 - x x 100000)
  // when flipped. Without: round(x x 100) = 250, flipped 1000 - 250; object markers
  // recorded backwards then count from MinNumTraces -20.
  const Case cases[] = {
      {"forth", false, forth, {245, 250, 250}},
      {"back, not flipped", false, back, {245, 250, 250}},
      {"flipped", true, forth, {-255, 750, 750}},
      {"flipped, back", true, back, {-255, 750, 770}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Channel c(true);
    c.settings->SetWasFlip(k.flip);
    c.settings->SetDirection(k.direction);
    ExpectAdditions(c, k.expected);
  }
}

TEST(MarkersInMetres, PlanningProgram) {
  struct Case {
    const char* name;
    bool flip;
    TDirection direction;
    Traces expected;
  };
  // No window offset counts: with shift round(x x 100) (negated when flipped). The
  // object markers add MinTrace 5 before the flip.
  const Case cases[] = {
      {"forth", false, forth, {250, 250, 255}},
      {"flipped", true, forth, {-250, 750, 755}},
      {"flipped, back", true, back, {-250, 750, 775}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Channel c(false);
    c.settings->SetWasFlip(k.flip);
    c.settings->SetDirection(k.direction);
    ExpectAdditions(c, k.expected);
  }
}

TEST(MarkersInMetres, PlanningProgramConvertsWithShiftThroughTheProjectProfile) {
  Channel c(false);
  FakeProjectProfile profile;
  profile.trace = 4321;
  c.store.projectProfile = &profile;
  c.settings->SetWasFlip(true);
  // Only the additions with the device offset ask the profile.
  ExpectAdditions(c, {4321, 750, 755});
  EXPECT_EQ(profile.asked, (std::vector<long double>{X, X, X}));
}

TEST(MarkersInMetres, AdditionsRaiseTheStoresFlag) {
  Channel c(true);
  const std::function<void()> additions[] = {
      [&] { c.surfaces->AddInMeters(0, "", X); },
      [&] { c.surfaces->AddInMetersWithoutShift(0, "", X); },
      [&] { c.objects->AddinMerters(0, clRed, "", Depth, X); },
      [&] { c.objects->AddInMetersWithoutShift(0, clRed, "", Depth, X); },
      [&] { c.polyline->AddinMerters(-1, "", Depth, X); },
      [&] { c.polyline->AddInMetersWithoutShift(-1, "", Depth, X); },
  };
  for (const auto& add : additions) {
    c.store.ResetCounters();
    add();
    EXPECT_TRUE(c.store.needForSave);
  }
}

}  // namespace
