#pragma once
// The file names a radargram window gives its channels: the name of a new
// recording, the window caption that follows channel 0's file, and the names an
// export writes per channel. Plain text work, tested without a window.

#include <QString>

#include <cstdint>
#include <vector>

// folder + prefix + decimal count + ".dezo"; the folder ends in a separator.
QString NewRecordFileName(const QString& folder, const QString& prefix, int32_t count);

// The file name with its extension replaced by ".frn" for a container, else by
// ".dezo".
QString CaptionFromFileName(const QString& fileName, bool container);

// The names an export to fileName writes, in channel order: for channel
// 0 .. countChannalView - 1, only channel numChartSizeToWindow when it is 0 or
// more, fileName itself when the window has fewer than two channels, else the
// name with "_" and the channel number before the extension ("out/a.bmp" gives
// "out/a_1.bmp" for channel 1).
std::vector<QString> ExportFileNames(const QString& fileName, int countChannalView, int numChartSizeToWindow);
