#include "raster/cpu_features.h"

#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

constexpr uint32_t kExtendedBase = 0x80000000u;

bool Bit(uint32_t word, int n) { return (word >> n) & 1u; }

}  // namespace

TCPUFeatures CpuFeaturesFromIdWords(const TCpuIdWords& words) {
  TCPUFeatures result;
  if (!words.IdInstruction) return result;
  if (((words.Signature >> 8) & 0xFu) < 5) return result;

  const uint32_t standard = words.StandardFeatures;
  const bool hasExtended = words.MaxExtendedLeaf > kExtendedBase;
  const uint32_t ext = hasExtended ? words.ExtendedFeatures : 0;

  if (Bit(standard, 23)) result.Include(ciMMX);
  // Every SSE processor has the extended MMX instructions; AMD reports them alone
  // in extended bit 22.
  if (Bit(standard, 25) || Bit(ext, 22)) result.Include(ciEMMX);
  if (Bit(standard, 25)) result.Include(ciSSE);
  if (Bit(standard, 26)) result.Include(ciSSE2);
  if (Bit(ext, 31)) result.Include(ci3DNow);
  if (Bit(ext, 30)) result.Include(ci3DNowExt);
  // AVX2 needs the system's consent too: without it the wide registers fault.
  if (words.MaxStandardLeaf >= 7 && Bit(words.StandardFeaturesEcx, 27) && Bit(words.StandardFeaturesEcx, 28) &&
      words.AvxStateEnabled && Bit(words.StructuredFeatures, 5))
    result.Include(ciAVX2);
  return result;
}

TCpuIdWords QueryCpuIdWords() {
  TCpuIdWords words;
#if defined(__x86_64__) || defined(__i386__)
  // __get_cpuid_max performs the flag-toggle test on 32-bit processors; every
  // x86-64 processor has the instruction.
  words.MaxStandardLeaf = __get_cpuid_max(0, nullptr);
  if (words.MaxStandardLeaf == 0) return words;
  words.IdInstruction = true;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    words.Signature = eax;
    words.StandardFeatures = edx;
    words.StandardFeaturesEcx = ecx;
  }
  if (Bit(words.StandardFeaturesEcx, 27)) {
    // XGETBV exists only when the system has enabled it (OSXSAVE).
    unsigned xcr0 = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
    words.AvxStateEnabled = (xcr0 & 0x6u) == 0x6u;
  }
  if (words.MaxStandardLeaf >= 7 && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) words.StructuredFeatures = ebx;
  words.MaxExtendedLeaf = __get_cpuid_max(kExtendedBase, nullptr);
  if (words.MaxExtendedLeaf > kExtendedBase && __get_cpuid(kExtendedBase + 1, &eax, &ebx, &ecx, &edx))
    words.ExtendedFeatures = edx;
#endif
  return words;
}

TCPUFeatures CPUFeatures() {
  static const TCPUFeatures detected = CpuFeaturesFromIdWords(QueryCpuIdWords());
  return detected;
}

bool CpuSupports(TCPUInstructionSet instructionSet) { return CPUFeatures().Contains(instructionSet); }

int ProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
}
