#pragma once
// Whether this build carries the SSE2 forms of the pixel routines. SSE2 is part
// of the x86-64 baseline; other processors get the portable forms only.

#if defined(__SSE2__)
#define RASTER_SSE2_FORMS 1
#else
#define RASTER_SSE2_FORMS 0
#endif
