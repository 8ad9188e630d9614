#include "raster/low_level.h"
#include "raster/low_level_forms.h"

#include "raster_test_support.h"

#include <cstring>
#include <vector>

namespace {

TEST(LowLevel, ClampSwapsReversedLimitsClampRangeDoesNot) {
  EXPECT_EQ(Clamp(5, 10, 0), 5);
  EXPECT_EQ(Clamp(-3, 10, 0), 0);
  EXPECT_EQ(Clamp(12, 0, 10), 10);
  EXPECT_EQ(Clamp(-1, 0, 10), 0);
  EXPECT_EQ(ClampRange(5, 10, 0), 0);  // Value > Max is tested first
  EXPECT_EQ(ClampRange(-1, 0, 10), 0);
  EXPECT_EQ(ClampRange(11, 0, 10), 10);
  EXPECT_EQ(ClampRange(7, 0, 10), 7);
}

TEST(LowLevel, ClipSpan) {
  struct Case {
    int32_t a, b, start, stop;
    int32_t outA, outB;
    bool result;
  };
  const Case cases[] = {
      {10, 2, 0, 5, 2, 4, true},   // ordered, then cut at Stop - 1
      {7, 9, 0, 5, 7, 4, false},   // wholly beyond Stop
      {-3, 2, 0, 5, 0, 2, true},
      {4, 4, 0, 5, 4, 4, true},
      {5, 5, 0, 5, 5, 4, false},
      {-9, -1, 0, 5, 0, -1, false},
  };
  for (const auto& c : cases) {
    int32_t a = c.a, b = c.b;
    EXPECT_EQ(ClipSpan(a, b, c.start, c.stop), c.result) << c.a << ".." << c.b;
    EXPECT_EQ(a, c.outA) << c.a << ".." << c.b;
    EXPECT_EQ(b, c.outB) << c.a << ".." << c.b;
  }
}

TEST(LowLevel, WrapAndMirrorEdgeValues) {
  EXPECT_EQ(WrapRange(-1, 0, 9), 9);
  EXPECT_EQ(WrapRange(-12, 0, 9), 8);
  EXPECT_EQ(WrapRange(25, 0, 9), 5);
  EXPECT_EQ(MirrorRange(10, 0, 9), 9);
  EXPECT_EQ(MirrorRange(-1, 0, 9), 0);
  EXPECT_EQ(MirrorRange(21, 0, 9), 1);
  EXPECT_EQ(WrapRange(INT32_MIN, 0, 9), 2);  // -2147483648 = -214748365 x 10 + 2
  EXPECT_EQ(MirrorRange(INT32_MAX, -5, 5), 1);  // INT32_MAX + 5 = 97612893 x 22 + 6
}

// Independent models: repeat is the mathematical modulo into Min..Max; mirror is a
// triangle wave of period 2 x (Max - Min + 1) that repeats each edge pixel.
int32_t Repeated(int32_t v, int32_t min, int32_t max) {
  const int64_t p = int64_t{max} - min + 1;
  return static_cast<int32_t>(min + ((v - int64_t{min}) % p + p) % p);
}
int32_t Mirrored(int32_t v, int32_t min, int32_t max) {
  const int64_t p = int64_t{max} - min + 1;
  const int64_t t = ((v - int64_t{min}) % (2 * p) + 2 * p) % (2 * p);
  return static_cast<int32_t>(t < p ? min + t : min + (2 * p - 1 - t));
}

TEST(LowLevel, WrapRoutinesFollowTheirModels) {
  const std::pair<int32_t, int32_t> ranges[] = {{0, 9}, {-3, 4}, {5, 5}, {0, 15}, {4, 7}, {-20, -13}};
  for (auto [min, max] : ranges) {
    const bool pow2 = ((max - min + 1) & (max - min)) == 0;
    for (int32_t v = -70; v <= 70; ++v) {
      SCOPED_TRACE(testing::Message() << v << " in " << min << ".." << max);
      ASSERT_EQ(WrapRange(v, min, max), Repeated(v, min, max));
      ASSERT_EQ(MirrorRange(v, min, max), Mirrored(v, min, max));
      if (pow2) {
        ASSERT_EQ(WrapRangePow2(v, min, max), Repeated(v, min, max));
        ASSERT_EQ(MirrorRangePow2(v, min, max), Mirrored(v, min, max));
      }
    }
  }
}

TEST(LowLevel, SelectWrapRoutine) {
  EXPECT_EQ(SelectWrapRoutine(wmClamp), &ClampRange);
  EXPECT_EQ(SelectWrapRoutine(wmRepeat), &WrapRange);
  EXPECT_EQ(SelectWrapRoutine(wmMirror), &MirrorRange);
  EXPECT_EQ(SelectWrapRoutine(static_cast<TWrapMode>(7)), &ClampRange);

  struct Case {
    TWrapMode mode;
    int32_t min, max;
    TWrapProcEx expected;
  };
  const Case cases[] = {
      {wmRepeat, 0, 15, WrapRangePow2},
      {wmRepeat, 0, 14, WrapRange},
      {wmRepeat, -1, 14, WrapRange},   // a power-of-two period, but Min < 0
      {wmMirror, 4, 7, MirrorRangePow2},
      {wmMirror, 0, 0, MirrorRangePow2},
      {wmMirror, 8, 4, MirrorRange},   // Max < Min
      {wmClamp, 0, 15, ClampRange},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SelectWrapRoutineEx(c.mode, c.min, c.max), c.expected) << int(c.mode) << " " << c.min << ".." << c.max;
}

class FillDwordsTest : public RasterTest {};

// Every form writes exactly Count words at any byte alignment and nothing around them.
TEST_F(FillDwordsTest, EveryFormFillsExactlyCountWords) {
  struct Form {
    const char* name;
    TFillDwords* fill;
  };
  std::vector<Form> forms{{"portable", &raster_portable::FillDwords}, {"bound", FillDwords}};
#if RASTER_SSE2_FORMS
  forms.push_back({"sse2", &raster_sse2::FillDwords});
#endif
  const uint32_t value = 0xA1B2C3D4u;
  for (const Form& form : forms) {
    for (uint32_t count : {0u, 1u, 2u, 3u, 4u, 31u, 32u, 33u, 35u, 47u, 100u, 1001u}) {
      for (size_t offset = 0; offset < 16; ++offset) {
        SCOPED_TRACE(testing::Message() << form.name << " count " << count << " offset " << offset);
        alignas(16) unsigned char base[4200];
        const size_t size = offset + size_t{count} * 4 + 32;
        std::memset(base, 0x5A, sizeof(base));
        form.fill(base + offset, count, value);
        for (size_t i = 0; i < size; ++i) {
          const bool inside = i >= offset && i < offset + size_t{count} * 4;
          const unsigned char expected =
              inside ? static_cast<unsigned char>(value >> (8 * ((i - offset) % 4))) : 0x5A;
          ASSERT_EQ(base[i], expected) << "byte " << i;
        }
      }
    }
  }
}

TEST(LowLevel, MoveDwords) {
  std::vector<uint32_t> src{1, 2, 3, 4, 5}, dst(5, 0);
  MoveDwords(src.data(), dst.data(), 3);
  EXPECT_EQ(dst, (std::vector<uint32_t>{1, 2, 3, 0, 0}));
  MoveDwords(src.data(), dst.data(), 0);
  MoveDwords(src.data(), dst.data(), -4);
  EXPECT_EQ(dst, (std::vector<uint32_t>{1, 2, 3, 0, 0}));

  // Overlapping with Dest below Source: the ascending copy's result.
  std::vector<uint32_t> row{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  MoveDwords(row.data() + 2, row.data(), 8);
  EXPECT_EQ(row, (std::vector<uint32_t>{2, 3, 4, 5, 6, 7, 8, 9, 8, 9}));
}

}  // namespace
