#pragma once
// The backup of a single-board-computer radar: the recording file the radar keeps
// ("trace<channel>.trc", layout in trc_header.h), fetched by anonymous FTP from its
// "pub/" folder into the program folder by TWiFiThread::LoadFtpFile
// (ftp_backup.cpp) and replayed by the reader (ftp_replay.cpp).

#include "platform/net/ftp_client.h"
#include "platform/rtl/resource_strings.h"

#include <QString>

#include <cstdint>

RESOURCESTRING(SFtpGetFileError, "Error: Get ftp file");
RESOURCESTRING(SFtpNoCorrectFile, "Error: Not find ftp file or no correct file");

inline constexpr uint16_t RadarFtpPort = 21;
inline const QString RadarFtpFolder = QStringLiteral("pub/");
inline const QString RadarFtpUser = QStringLiteral("anonymous");
// LoadFtpFile runs on the user-interface thread: a radar that stops answering
// must not hold it for long.
inline constexpr TFtpTimeouts RadarFtpTimeouts{5000, 10, 10};
