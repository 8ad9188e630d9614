#pragma once
// The amplitude spectra the frequency filters' dialogs show: a direct discrete
// Fourier sum over one whole trace, without a window function.

#include <cstdint>
#include <vector>

// The impulse whose response a dialog draws as the filter's line: this value at
// this sample, every other sample 0.
constexpr int32_t SpectrumImpulseValue = 32000000;
constexpr int SpectrumImpulseSample = 3;

// Spectrum lines up to maxFr MHz for a time window of spanWidth ns:
// nearest(spanWidth x maxFr / 1000), at most longTrace; 0 for a window that is
// not positive and finite or a trace without samples.
int SpectrumLineCount(double spanWidth, int32_t maxFr, int longTrace);

// Entries 1..lines: entry k = sqrt(Re^2 + Im^2) / longTrace with
// Re = sum x[j] cos(2 pi k j / longTrace), Im = sum x[j] sin(2 pi k j / longTrace)
// over the whole trace. Entry 0 is 0; lines + 1 entries in all.
std::vector<double> AmplitudeSpectrum(const int32_t* trace, int longTrace, int lines);
