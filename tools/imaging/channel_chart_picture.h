#pragma once
// The picture the imaging dialogs draw over: a dialog's chart shows a channel as
// its window draws it at zoom "100", trace numbers along the top and 1:1 in
// samples. The chart takes the channel's panel width (channel 0's when it has
// none) and LongTrace + 38 rows, samples 0 .. LongTrace down the left axis
// ("Simples"), the window's zoomed bitmap as its background and the time-zero
// line on the series given for it.
//
// Threads: the user-interface thread.

class TChart;
class TCommonTool;
class TLineSeries;
class TPanel;
class T2Dview;

// The channel shown; nullptr (nothing changed) when the tool has no such channel.
const T2Dview* ShowChannelOnChart(TCommonTool& tool, int indx, TPanel& panel, TChart& chart,
                                  TLineSeries& seriesNull);
