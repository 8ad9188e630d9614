#pragma once
// The godographs of the overlays' frames: 144-bin histograms of a per-cell
// measure of a channel, drawn as one black column per bin on white. They help
// to choose an overlay's level.
//
// The bin routines are the measures; the Draw routines make the bitmap width x
// height when it is missing, leave it unchanged when the data are missing, and
// otherwise draw the histogram. A histogram in which nothing was counted is a
// blank white picture.

#include <cstdint>
#include <memory>
#include <vector>

class T2Dview;
class TBitmap32;

inline constexpr int kGodographBins = 144;
inline constexpr int kGodographWidth = 144;
inline constexpr int kGodographHeight = 64;

// Makes the bitmap 144 x 64 when it is missing.
void EnsureGodographBitmap(std::unique_ptr<TBitmap32>& bitmap);

// Bin round(|x| x 143 / level) of each of count values; none for level <= 0.
std::vector<int64_t> AmplitudeGodographBins(const int32_t* data, int64_t count, int32_t level);
// Over the window of traces t-h .. t+h and samples s-h .. s+h (clipped) of each
// value of a buffer of traces x longTrace values: mx := the largest value, not
// below 0, mn := the smallest, not above 1000000; r := |mx - mn| / |mx| (1 for
// mx = 0); bin round(round(r x 144) x 143 / 144).
std::vector<int64_t> WindowRangeGodographBins(const int32_t* buffer, int longTrace, int64_t traces, int h);
// Over the same window: the value v* farthest from the centre value c0 (start
// v* = 1 at distance 0, replaced only by a larger distance), d its distance;
// ref := c0 (1 for 0), or v* when v* > ref; m := round(d / ref x 143); bin
// 143 - m when m <= 143, else 0 (a negative m is not counted).
std::vector<int64_t> WindowContrastGodographBins(const int32_t* buffer, int longTrace, int64_t traces, int h);

// White, then for each bin i a black vertical line in column i from row
// height - 2 up to, not including, row ceil(height - 3 - n_i x height / n_max).
void DrawGodographBins(const std::vector<int64_t>& bins, int width, int height, TBitmap32& bitmap);

void DrawAmplitudeGodograph(int width, int height, const int32_t* data, std::unique_ptr<TBitmap32>& bitmap,
                            int32_t level, int64_t count);
// size is the buffer's size in bytes, laid out as view's working data.
void DrawWindowRangeGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                              const T2Dview& view, int h, int64_t size);
void DrawWindowContrastGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                                 const T2Dview& view, int h, int64_t size);
