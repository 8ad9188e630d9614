#pragma once
// Which instruction-set extensions the processor offers. Detection is a pure
// function of the words the identification instruction returns, so every case
// can be checked on any machine; CPUFeatures() feeds it the real words once and
// caches the result.
//
// Threads: CPUFeatures() may be called from any thread (the first call computes,
// later calls read the cached set).
//
// The millisecond tick count the repaint optimizer uses is GetTickCount() of
// platform/ui/timers.h.

#include <cstdint>
#include <initializer_list>

// ciAVX2 follows the six classic extensions (their bits stay where they are) so
// that the AVX2 forms are chosen by the registries like every other form.
enum TCPUInstructionSet : uint8_t { ciMMX, ciEMMX, ciSSE, ciSSE2, ci3DNow, ci3DNowExt, ciAVX2 };

// A set of TCPUInstructionSet in one byte, bit n for the n-th value.
class TCPUFeatures {
public:
  constexpr TCPUFeatures() = default;
  constexpr TCPUFeatures(std::initializer_list<TCPUInstructionSet> items) {
    for (TCPUInstructionSet i : items) Include(i);
  }
  static constexpr TCPUFeatures FromBits(uint8_t bits) {
    TCPUFeatures f;
    f.bits_ = bits;
    return f;
  }

  constexpr uint8_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool Contains(TCPUInstructionSet i) const { return (bits_ >> i) & 1u; }
  constexpr void Include(TCPUInstructionSet i) { bits_ = static_cast<uint8_t>(bits_ | (1u << i)); }
  constexpr bool IsSubsetOf(TCPUFeatures other) const { return (bits_ & ~other.bits_) == 0; }

  friend constexpr bool operator==(TCPUFeatures, TCPUFeatures) = default;

private:
  uint8_t bits_ = 0;
};

// What the identification instruction reports.
struct TCpuIdWords {
  bool IdInstruction = false;      // bit 21 of the flags register can be toggled
  uint32_t Signature = 0;          // leaf 1, EAX (family in bits 8..11)
  uint32_t StandardFeatures = 0;   // leaf 1, EDX
  uint32_t MaxExtendedLeaf = 0;    // leaf $80000000, EAX
  uint32_t ExtendedFeatures = 0;   // leaf $80000001, EDX (0 when that leaf is absent)
  uint32_t MaxStandardLeaf = 0;    // leaf 0, EAX
  uint32_t StandardFeaturesEcx = 0;  // leaf 1, ECX (bit 27 OSXSAVE, bit 28 AVX)
  uint32_t StructuredFeatures = 0;   // leaf 7 sub-leaf 0, EBX (bit 5 AVX2; 0 when absent)
  bool AvxStateEnabled = false;    // the system saves the SSE and AVX registers (XCR0 bits 1, 2)
};

// No identification instruction or a family below 5: nothing. Otherwise
//   ciMMX      standard bit 23
//   ciEMMX     standard bit 25 (SSE), or extended bit 22 when extended leaves exist
//   ciSSE      standard bit 25
//   ciSSE2     standard bit 26
//   ci3DNow    extended bit 31, ci3DNowExt extended bit 30 (extended leaves only)
//   ciAVX2     leaf 7 EBX bit 5, with leaf 1 ECX bits 27 (OSXSAVE) and 28 (AVX)
//              and the system saving the AVX registers; leaf 7 must exist
// Extended leaves exist when MaxExtendedLeaf > $80000000.
TCPUFeatures CpuFeaturesFromIdWords(const TCpuIdWords& words);

// The words of the processor this runs on (all zero on a non-x86 processor).
TCpuIdWords QueryCpuIdWords();

// The detected set, computed on first use and cached.
TCPUFeatures CPUFeatures();
bool CpuSupports(TCPUInstructionSet instructionSet);

// Number of processors the system reports as online (at least 1).
int ProcessorCount();
