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

// AVX2 counts only with leaf 7, the AVX and OSXSAVE bits and the system's saving
// of the wide registers.
TEST(CpuFeatures, Avx2NeedsTheSystemsConsent) {
  constexpr uint32_t kOsXsave = 1u << 27, kAvx = 1u << 28, kAvx2 = 1u << 5;
  const auto words = [](uint32_t maxLeaf, uint32_t ecx, uint32_t ebx7, bool state) {
    TCpuIdWords w{true, kFamily6, kMmx | kSse | kSse2, 0, 0};
    w.MaxStandardLeaf = maxLeaf;
    w.StandardFeaturesEcx = ecx;
    w.StructuredFeatures = ebx7;
    w.AvxStateEnabled = state;
    return w;
  };
  const TCPUFeatures sse2{ciMMX, ciEMMX, ciSSE, ciSSE2};
  const TCPUFeatures avx2{ciMMX, ciEMMX, ciSSE, ciSSE2, ciAVX2};
  const DetectionCase cases[] = {
      {"everything present", words(7, kOsXsave | kAvx, kAvx2, true), avx2},
      {"registers not saved by the system", words(7, kOsXsave | kAvx, kAvx2, false), sse2},
      {"no OSXSAVE", words(7, kAvx, kAvx2, true), sse2},
      {"no AVX", words(7, kOsXsave, kAvx2, true), sse2},
      {"no AVX2 bit", words(7, kOsXsave | kAvx, 0, true), sse2},
      {"leaf 7 absent", words(6, kOsXsave | kAvx, kAvx2, true), sse2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CpuFeaturesFromIdWords(c.words).Bits(), c.expected.Bits());
  }
  TCpuIdWords family4 = words(7, kOsXsave | kAvx, kAvx2, true);
  family4.Signature = 0x4F0;
  EXPECT_TRUE(CpuFeaturesFromIdWords(family4).Empty());
}

TEST(CpuFeatures, SetHoldsOneBitPerExtensionInOrder) {
  EXPECT_EQ(TCPUFeatures({ciMMX}).Bits(), 0x01);
  EXPECT_EQ(TCPUFeatures({ciSSE2, ci3DNowExt}).Bits(), 0x08 | 0x20);
  EXPECT_EQ(TCPUFeatures({ciAVX2}).Bits(), 0x40);
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
  // The compiler's own detector (which also asks the system) agrees on AVX2.
  EXPECT_EQ(CpuSupports(ciAVX2), static_cast<bool>(__builtin_cpu_supports("avx2")));
}
#endif

}  // namespace
