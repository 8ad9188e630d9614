#pragma once
// Start-up and shut-down of the raster library. Start-up detects the processor's
// features, creates the global performance timer, builds every unit's routine
// registry, binds the routine variables, builds the blend tables, fills the
// resampler class list and, for the bitmaps, the gamma table (0.7) and the
// shared scratch bitmap that measures text; the pixel routines and the bitmaps
// may be used only after it. Shut-down undoes it in reverse order.
//
// Both are idempotent and may be called from any thread (they serialise on an
// internal lock); the programs call start-up once before any window exists.
// Later units add their initialisation to RasterLibraryStartup, after the units
// they build on.

void RasterLibraryStartup();
// Frees the scratch bitmap, the resampler class list, the registries (the last
// created first) and the global timer. The routine variables keep their
// bindings; a later start-up builds everything again.
void RasterLibraryShutdown();
bool RasterLibraryStarted();
