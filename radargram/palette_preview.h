#pragma once
// The palette preview of the Palettes page: a fixed sample trace drawn as a
// line (SampleImage) and the same trace through the current palette, one row
// per sample (ColorImage). The trace is an illustration, not data.

#include <array>
#include <cstdint>

class TBitmap;
class TCanvas;

namespace palette_preview {

constexpr int SampleTraceLength = 245;
// The range the palette spans: twice the trace's largest magnitude.
constexpr int64_t SampleTraceSpan = 499884;

const std::array<int64_t, SampleTraceLength>& SampleTrace();

// round(255 x a / 499884 + 127), within 0..255: the palette index of amplitude a.
uint8_t PreviewIndex(int64_t a);
// a / 2550 + width / 2 (integer division): the line's x at amplitude a in an
// image width wide.
int PreviewLineX(int64_t a, int width);

// The preview column: an 8-bit bitmap 2 pixels wide and height rows, both pixels
// of row i the index of sample i (rows past the trace: index 127).
void DrawColorColumn(TBitmap& bitmap, int height);
// The sample line on a canvas of width x height cleared in the button face
// colour: from (width / 2, 0) through (PreviewLineX(a(i)), i) for every row.
void DrawSampleLine(TCanvas& canvas, int width, int height);

}  // namespace palette_preview
