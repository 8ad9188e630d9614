#include "radargram/channel_layout.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kAxisBand = 32;   // extra height of a panel that shows the top axis
constexpr int kPanelGap = 2;    // taken from every other panel
constexpr int kColumnSpare = 44;
}  // namespace

int ChannelRows(int shownChannels, bool slice, bool twoColumns) {
  const int panels = shownChannels + (slice ? 1 : 0);
  return std::max(1, twoColumns ? (panels + 1) / 2 : panels);
}

int ShownPosition(const std::array<bool, kChannelSlots>& shown, int channel) {
  if (channel < 0 || channel >= kChannelSlots || !shown[static_cast<size_t>(channel)]) return -1;
  int position = 0;
  for (int i = 0; i < channel; ++i) position += shown[static_cast<size_t>(i)] ? 1 : 0;
  return position;
}

TChannelLayout LayoutChannelPanels(const TChannelLayoutInput& input) {
  TChannelLayout layout;
  const int count = std::clamp(input.slotCount, 1, kChannelSlots);
  int shownCount = 0;
  for (int i = 0; i < count; ++i) shownCount += input.shown[static_cast<size_t>(i)] ? 1 : 0;
  layout.rows = ChannelRows(shownCount, input.slice, input.twoColumns);
  const bool alone = input.alone >= 0 && input.alone < count;
  const int n = alone ? 1 : layout.rows;
  layout.c = static_cast<int>(std::nearbyint(static_cast<double>(input.columnHeight - kColumnSpare) / n));
  const auto height = [](int h) { return std::max(0, h); };

  int position = 0;
  for (int i = 0; i < count; ++i) {
    TPanelPlace& place = layout.channels[static_cast<size_t>(i)];
    if (!input.shown[static_cast<size_t>(i)]) {
      place = TPanelPlace{};
    } else {
      // The first panel of each column carries the top axis.
      const bool opensColumn = position == 0 || (input.twoColumns && position == layout.rows);
      place.height = height(opensColumn ? layout.c + kAxisBand : layout.c - kPanelGap);
      place.topAxis = opensColumn;
      ++position;
    }
    if (alone) {
      if (i == input.alone) {
        place.topAxis = true;
      } else {
        place.height = 1;
        place.collapsed = true;
      }
    }
  }
  if (alone) {
    const int pos = ShownPosition(input.shown, input.alone);
    layout.aloneColumn = input.twoColumns && pos >= layout.rows ? 1 : 0;
  }

  if (!input.slice) {
    layout.slice = TPanelPlace{};
  } else if (alone) {
    layout.slice = TPanelPlace{1, false, true};
  } else if (input.twoColumns && shownCount == layout.rows) {
    // The slice opens the second column.
    layout.slice = TPanelPlace{height(layout.c + kAxisBand), true, false};
  } else {
    layout.slice = TPanelPlace{height(layout.c - kPanelGap), false, false};
  }
  return layout;
}
