#include "tools/vector_state.h"

#include "raster/cpu_features.h"

void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
  // The registers' lower halves, all the baseline code uses, stay as they are.
  static const bool hasAvx = CpuSupports(ciAVX2);
  if (hasAvx) asm volatile("vzeroupper");
#endif
}
