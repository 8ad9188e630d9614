#pragma once
// The arithmetic of the radargram window's channel panels: rows, columns and
// heights for one or two columns with or without the depth-slice panel, and
// one channel shown alone. No controls here; the window applies the result.
//
// A panel that opens a column carries the top axis and is taller by the axis
// band: c + 32 against c - 2 for the others, c = round((column height - 44) /
// rows). Heights the formulas make negative (a tiny window) are 0.

#include <array>

constexpr int kChannelSlots = 5;

// Rows of panels: shown channels (+1 for the depth slice) in one column, half
// of that rounded up in two.
int ChannelRows(int shownChannels, bool slice, bool twoColumns);

struct TChannelLayoutInput {
  int columnHeight = 0;  // height of the first column (Panel5)
  std::array<bool, kChannelSlots> shown{};
  int slotCount = 1;        // channel slots in use (CountChannalView)
  bool twoColumns = false;
  bool slice = false;    // the depth-slice panel is shown
  int alone = -1;        // the channel shown alone, -1 for none
};

struct TPanelPlace {
  int height = 0;
  bool topAxis = false;
  // Collapsed to 1 pixel while another channel is shown alone.
  bool collapsed = false;
};

struct TChannelLayout {
  int rows = 1;
  // The base height c.
  int c = 0;
  std::array<TPanelPlace, kChannelSlots> channels{};
  TPanelPlace slice;
  // The column that holds the channel shown alone: 0 first, 1 second.
  int aloneColumn = 0;
};

// The heights of ResizePanelsChart.
TChannelLayout LayoutChannelPanels(const TChannelLayoutInput& input);

// Position of channel among the shown ones (0 for the first shown); -1 when it
// is not shown.
int ShownPosition(const std::array<bool, kChannelSlots>& shown, int channel);
