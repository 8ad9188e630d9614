#pragma once
// The computations of the spectrum tool, free of any window: the averaged line
// through a channel, the frequency axis, the window statistics, the amplitude
// spectrum of a window of the line, and the five harmonic kernels with their
// correlation. Every array is sized from the line it works on, at each call.
//
// Threads: the spectrum's frequencies and the correlation's positions run on the
// worker pool; each value is computed by one thread alone, so the results are the
// same for any thread count.

#include <cstdint>
#include <vector>

// A channel's samples: `traces` traces of `longTrace` samples, trace after trace.
struct TSpectrumSamples {
  const int32_t* Data = nullptr;
  int64_t Traces = 0;
  int LongTrace = 0;
};

// The averaged line. Vertical (horizontal = false): along time, n = LongTrace
// entries, the mean of the traces centre - delta .. centre + delta (those inside
// the channel); horizontal: along the profile, n = Traces entries, the mean of the
// rows centre - delta .. centre + delta. A centre outside the channel is clamped
// into it, so at least one trace or row is averaged. Each term is the sample
// divided by the count and rounded (halves to even) before it is added. Empty
// without samples.
std::vector<double> AverageLine(const TSpectrumSamples& samples, bool horizontal, int64_t centre, int32_t delta);

// The highest frequency shown for an antenna type (TypeGPR); other types keep
// `previous`.
int32_t MaxFrOfUnit(int type, int32_t previous);

struct TFrequencyAxis {
  long double dTime = 0;  // the line's length in time: ns (vertical), ms (horizontal)
  int32_t MaxFr = 0;
  int32_t MinFr = 0;      // the frequency step
  int32_t M = 0;          // the spectrum's entries 1 .. M
};

// The axis of a line of `traces` traces (horizontal) or of a trace of spanWidth
// ns (vertical); `maxFr` is the vertical mode's limit. Without traces dTime is
// 1000 x stepTime. A dTime <= 0 gives no entries (M = 0, MinFr = 0).
TFrequencyAxis FrequencyAxis(bool horizontal, int64_t traces, double spanWidth, long double stepTime, int32_t maxFr);

// The window start .. stop of the line (inclusive, either order, clamped into the
// line).
struct TLineWindow {
  int64_t Start = 0;
  int64_t Stop = -1;
  bool Empty() const { return Stop < Start; }
};
TLineWindow ClampWindow(int64_t start, int64_t stop, int64_t length);

struct TLineStatistics {
  double Mean = 0;
  double Deviation = 0;  // over count - 1; 0 for one value
};
TLineStatistics WindowStatistics(const std::vector<double>& line, int64_t start, int64_t stop);

// Entries 0 .. M (entry 0 unused, 0): entry k = |sum over the window of line[i]
// e^(i 2 pi k i / n)| / n, n the line's length. Sines and cosines by a rotation
// recurrence re-seeded every 64 steps from exact phases. All zeros for an empty
// line or window.
std::vector<double> AmplitudeSpectrum(const std::vector<double>& line, int64_t start, int64_t stop, int32_t M);

// Harmonic kernels n = 2 .. 6 ("Harmonic 4" .. "Harmonic 64").
constexpr int HarmonicFirst = 2;
constexpr int HarmonicLast = 6;
constexpr int HarmonicCount = HarmonicLast - HarmonicFirst + 1;
constexpr int HarmonicLineLength = 900;

struct THarmonicKernel {
  std::vector<double> Line;  // the display line, HarmonicLineLength values
  double MaxLine = 0;        // its largest absolute value
  std::vector<double> Taps;  // the trimmed, normalised taps (empty: none)
  int32_t Start = 0;         // the first and last tap on the display line
  int32_t Stop = 0;
};

// Kernel n for a line of `lineLength` entries spanning dTime; longMax sets the
// kernel's width. The taps are the display line's values from the first to the
// last one of at least 1/1000 of its largest, divided by their absolute sum.
THarmonicKernel PrepareHarmonicKernel(int n, long double dTime, int64_t lineLength, int64_t longMax);

// result[h] = sum over t of line[h + t - round(taps / 2)] x taps[t], taking only
// indices j with 0 <= j <= count - 2; count values (count at most the line's).
std::vector<double> CorrelateHarmonic(const std::vector<double>& line, int64_t count, const std::vector<double>& taps);
