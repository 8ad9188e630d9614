#include "raster/cpu_features.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26;
constexpr uint32_t kExtMmx = 1u << 22, k3DNowExt = 1u << 30, k3DNow = 1u << 31;
constexpr uint32_t kFamily5 = 0x500, kFamily6 = 0x600;

struct DetectionCase {
  const char* name;
  TCpuIdWords words;
  TCPUFeatures expected;
};

TEST(CpuFeatures, DetectionFromIdentificationWords) {
  const uint32_t allStd = kMmx | kSse | kSse2;
  const uint32_t allExt = kExtMmx | k3DNowExt | k3DNow;
  const DetectionCase cases[] = {
      {"no identification instruction", {false, kFamily6, allStd, 0x80000008, allExt}, {}},
      {"family 4 with every bit set", {true, 0x4F0, allStd, 0x80000008, allExt}, {}},
      {"extended family bits do not count", {true, 0x0FF00400, allStd, 0, 0}, {}},
      {"MMX only", {true, kFamily5, kMmx, 0, 0}, {ciMMX}},
      {"SSE without extended leaves has extended MMX", {true, kFamily6, kMmx | kSse, 0, 0}, {ciMMX, ciEMMX, ciSSE}},
      {"SSE2", {true, 0xF00, allStd, 0x80000008, 0}, {ciMMX, ciEMMX, ciSSE, ciSSE2}},
      {"3DNow processor", {true, kFamily5, kMmx, 0x80000001, kExtMmx | k3DNow}, {ciMMX, ciEMMX, ci3DNow}},
      {"extended 3DNow", {true, kFamily6, kMmx, 0x80000008, allExt}, {ciMMX, ciEMMX, ci3DNow, ci3DNowExt}},
      {"extended words ignored when the top leaf is $80000000",
       {true, kFamily6, kMmx, 0x80000000, allExt}, {ciMMX}},
      {"SSE2 bit alone", {true, kFamily6, kSse2, 0, 0}, {ciSSE2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CpuFeaturesFromIdWords(c.words).Bits(), c.expected.Bits());
  }
}

TEST(CpuFeatures, SetHoldsOneBitPerExtensionInOrder) {
  EXPECT_EQ(TCPUFeatures({ciMMX}).Bits(), 0x01);
  EXPECT_EQ(TCPUFeatures({ciSSE2, ci3DNowExt}).Bits(), 0x08 | 0x20);
  EXPECT_TRUE(TCPUFeatures({ciSSE}).IsSubsetOf({ciMMX, ciSSE}));
  EXPECT_FALSE(TCPUFeatures({ciSSE, ciSSE2}).IsSubsetOf({ciSSE}));
  EXPECT_TRUE(TCPUFeatures().IsSubsetOf({}));
}

#if defined(__x86_64__)
// Every x86-64 processor has the identification instruction, MMX, SSE and SSE2.
TEST(CpuFeatures, RealProcessorHasTheX86_64Baseline) {
  const TCpuIdWords words = QueryCpuIdWords();
  EXPECT_TRUE(words.IdInstruction);
  EXPECT_EQ(CPUFeatures().Bits(), CpuFeaturesFromIdWords(words).Bits());
  for (TCPUInstructionSet i : {ciMMX, ciEMMX, ciSSE, ciSSE2}) EXPECT_TRUE(CpuSupports(i)) << int(i);
  EXPECT_GE(ProcessorCount(), 1);
}
#endif

}  // namespace
