#include "raster/blend.h"
#include "raster/cpu_features.h"

#include "raster_test_support.h"

#include <cstdint>

namespace {

class BlendTables : public RasterTest {};

TEST_F(BlendTables, MulAndQuotTablesForEveryPair) {
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t b = 0; b < 256; ++b) {
      ASSERT_EQ(MulTable[a][b], RefMul(a, b)) << a << " x " << b;
      ASSERT_EQ(QuotTable[a][b], RefQuot(a, b)) << a << " / " << b;
    }
}

TEST_F(BlendTables, QuotientTiesGoToTheEvenNeighbourModulo256) {
  EXPECT_EQ(QuotTable[192][128], 170);
  EXPECT_EQ(QuotTable[192][64], 85);
  EXPECT_EQ(QuotTable[2][1], 128);      // 127.5
  EXPECT_EQ(QuotTable[6][1], 42);       // 42.5
  EXPECT_EQ(QuotTable[2][3], 382 - 256);  // 382.5 -> 382, kept modulo 256
  EXPECT_EQ(QuotTable[0][200], 0);
  EXPECT_EQ(MulTable[128][128], 64);    // 64.25
  EXPECT_EQ(MulTable[255][77], 77);
}

TEST_F(BlendTables, AlphaRampHoldsEachWeightInEveryLane) {
  ASSERT_EQ(AlphaRampBuilt, CpuSupports(ciMMX) || CpuSupports(ciSSE2));
  if (!AlphaRampBuilt) return;
  EXPECT_EQ(reinterpret_cast<uintptr_t>(&AlphaRamp[0][0]) % 16, 0u);
  for (uint32_t w = 0; w < 256; ++w)
    for (int lane = 0; lane < 8; ++lane) ASSERT_EQ(AlphaRamp[w][lane], w);
  EXPECT_EQ(MmxActive, CpuSupports(ciMMX));
}

}  // namespace
