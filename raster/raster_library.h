#pragma once
// Start-up and shut-down of the raster library. Start-up detects the processor's
// features, creates the global performance timer, builds every unit's routine
// registry, binds the routine variables and builds the blend tables; the pixel
// routines may be called only after it.
//
// Both are idempotent and may be called from any thread (they serialise on an
// internal lock); the programs call start-up once before any window exists.
// Later units add their initialisation to RasterLibraryStartup, after the units
// they build on.

void RasterLibraryStartup();
// Frees the registries (the last created first) and the global timer. The routine
// variables keep their bindings; a later start-up builds everything again.
void RasterLibraryShutdown();
bool RasterLibraryStarted();
