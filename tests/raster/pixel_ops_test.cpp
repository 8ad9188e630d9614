// The per-channel colour operations: every form against its channel formula for
// every pair of channel values, so the SSE2 and portable forms are also shown to
// agree everywhere.

#include "raster/blend.h"
#include "raster/blend_forms.h"

#include "raster_test_support.h"

#include <algorithm>
#include <vector>

namespace {

class PixelOps : public RasterTest {};

using ChannelFormula = uint32_t (*)(uint32_t c1, uint32_t c2);

struct BinaryOp {
  const char* name;
  std::vector<TBlendReg*> forms;  // portable, SSE2 where it exists, bound
  ChannelFormula formula;
};

std::vector<BinaryOp> BinaryOps() {
  namespace p = raster_portable;
  std::vector<BinaryOp> ops{
      {"PxMax", {&p::PxMax, PxMax}, [](uint32_t a, uint32_t b) { return a > b ? a : b; }},
      {"PxMin", {&p::PxMin, PxMin}, [](uint32_t a, uint32_t b) { return a < b ? a : b; }},
      {"PxAverage", {&p::PxAverage, PxAverage}, [](uint32_t a, uint32_t b) { return (a + b) / 2; }},
      {"PxAdd", {&p::PxAdd, PxAdd}, [](uint32_t a, uint32_t b) { return a + b > 255 ? 255 : a + b; }},
      {"PxSub", {&p::PxSub, PxSub}, [](uint32_t a, uint32_t b) { return a < b ? 0 : a - b; }},
      {"PxDiv", {&p::PxDiv, PxDiv}, [](uint32_t a, uint32_t b) { return a == 0 ? 255 : std::min(b * 256 / a, 255u); }},
      {"PxModulate", {&p::PxModulate, PxModulate}, [](uint32_t a, uint32_t b) { return a * b / 256; }},
      {"PxDifference", {&p::PxDifference, PxDifference}, [](uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }},
      {"PxExclusion", {&p::PxExclusion, PxExclusion}, [](uint32_t a, uint32_t b) { return a + b - a * b / 128; }},
  };
#if RASTER_SSE2_FORMS
  namespace s = raster_sse2;
  ops[0].forms.push_back(&s::PxMax);
  ops[1].forms.push_back(&s::PxMin);
  ops[3].forms.push_back(&s::PxAdd);
  ops[4].forms.push_back(&s::PxSub);
  ops[6].forms.push_back(&s::PxModulate);
  ops[7].forms.push_back(&s::PxDifference);
  ops[8].forms.push_back(&s::PxExclusion);
#endif
  return ops;
}

TEST_F(PixelOps, BinaryOperationsForEveryChannelPair) {
  for (const BinaryOp& op : BinaryOps()) {
    SCOPED_TRACE(op.name);
    for (uint32_t x = 0; x < 256; ++x)
      for (uint32_t y = 0; y < 256; ++y) {
        // Blue meets every (x, y); the other channels meet other pairs.
        const TColor32 c1 = Argb(x ^ 0x3Cu, 255 - x, y, x);
        const TColor32 c2 = Argb(y, x ^ 0x5Au, 255 - y, y);
        const TColor32 expected = PerChannel([&](int i) {
          const uint32_t v = op.formula(Ch(c1, i), Ch(c2, i));
          return v > 255 ? 0x100u : v;  // out of range shows as a mismatch
        });
        for (size_t f = 0; f < op.forms.size(); ++f)
          ASSERT_TRUE(SameColor(op.name, op.forms[f](c1, c2), expected)) << "form " << f;
      }
  }
  EXPECT_EQ(PxExclusion(0xFFFFFFFF, 0xFFFFFFFF), 0x02020202u);
}

TEST_F(PixelOps, ScaleForEveryWeightAndChannel) {
  std::vector<TScaleReg*> forms{&raster_portable::PxScale, PxScale};
#if RASTER_SSE2_FORMS
  forms.push_back(&raster_sse2::PxScale);
#endif
  for (uint32_t w = 0; w < 256; ++w)
    for (uint32_t c = 0; c < 256; ++c) {
      const TColor32 color = Argb(c, 255 - c, c ^ 0x77u, (c * 13) & 0xFFu);
      const TColor32 expected = PerChannel([&](int i) { return Ch(color, i) * w / 256; });
      for (size_t f = 0; f < forms.size(); ++f)
        ASSERT_TRUE(SameColor("PxScale", forms[f](color, w), expected)) << "W " << w << " form " << f;
    }
}

TEST_F(PixelOps, LightenForEveryAmountAndChannel) {
  std::vector<TLightenReg*> forms{&raster_portable::PxLighten, PxLighten};
#if RASTER_SSE2_FORMS
  forms.push_back(&raster_sse2::PxLighten);
#endif
  for (int32_t amount = -255; amount <= 255; ++amount)
    for (uint32_t c = 0; c < 256; ++c) {
      const TColor32 color = Argb(c ^ 0x99u, c, 255 - c, (c * 7) & 0xFFu);
      const TColor32 expected = PerChannel([&](int i) -> uint32_t {
        if (i == 3) return Ch(color, 3);  // alpha unchanged
        return static_cast<uint32_t>(std::clamp(static_cast<int32_t>(Ch(color, i)) + amount, 0, 255));
      });
      for (size_t f = 0; f < forms.size(); ++f)
        ASSERT_TRUE(SameColor("PxLighten", forms[f](color, amount), expected)) << amount << " form " << f;
    }
}

}  // namespace
