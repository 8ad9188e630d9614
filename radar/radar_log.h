#pragma once
// The per-radar text log. The file is named after the executable in lower case with
// its extension replaced by "_", a suffix and ".log", in the program folder: the
// suffix is the port name of a serial radar and 5 (the slots of a radar set) for a
// TCP radar. One line per event: "hh:nn:ss.zzz", a tab, the text, CRLF; texts may
// hold CRLF of their own. Lines are 8-bit (the ANSI code page).
//
// Threads: Write may be called from any thread. Lines are never dropped: a writer
// waits while another line goes to the same file, from this log object or from
// another radar's log of the same name, so two threads never interleave or lose
// lines. A line that cannot be written (the file cannot be opened) is dropped
// without a report.

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>

inline constexpr int64_t RadarLogLimit = 100000;     // bytes, counted in whole blocks
inline constexpr int64_t RadarLogBlockSize = 128;

// Session lines of the two transports.
inline const QString RadarLogStartUsb = QStringLiteral("-=Start new session\r\n\t\tRadar was connected via USB");
inline const QString RadarLogStartWiFi = QStringLiteral("-=Start new session\r\n\t\tRadar was connected via WiFi");
inline const QString RadarLogCloseUsb = QStringLiteral("Radar was disconnected from USB\r\n\t\t-=Close session\r\n");
inline const QString RadarLogCloseWiFi = QStringLiteral("Radar was disconnected from WiFi\r\n\t\t-=Close session\r\n");

// <program folder><executable name in lower case, extension replaced by "_"><suffix>.log
QString RadarLogFileName(const QString& suffix);

class TRadarLog {
public:
  // Takes the file: an existing one larger than RadarLogLimit, measured in whole
  // 128-byte blocks, is emptied; a missing one is created empty.
  void Open(const QString& fileName);
  bool IsOpen() const { return !fileName_.isEmpty(); }
  const QString& FileName() const { return fileName_; }
  // Appends "hh:nn:ss.zzz\t<text>\r\n" (nothing before Open).
  void Write(const QString& text) const;

private:
  QString fileName_;
  std::shared_ptr<std::mutex> fileLock_;  // shared by every log of the same file
};
