#pragma once
// The header of the multi-channel container: the data container (".frn"), the
// settings containers ("bstt", "dstt" and ".bstt" presets) and the container
// inside a radar's ".trc" backup. The radargram window writes and reads its
// channels around it; the planning program reads ".frn" files with it.
//
// Layout (little-endian; offsets from the container's first byte):
//    0  5      "FRN05" (8-bit characters, no terminator)
//    5  u32    end of file: just past the last channel record; 0 in settings
//              containers
//    9  u32    end of header: where the first channel record starts
//   13  u8     version; 4 is written
//   14  i32    channel count N
//   18  i32    master channel
//   22  1+2L   comment: short wide string (u8 L, L UTF-16LE code units)
//   23+2L  i32 x3  DeviceX, DeviceY, DeviceZ (10^-5 m)   version > 1
//   35+2L  i32     TypeGPRDevice                        version > 2
//   39+2L  i32     SerNumDevice                         version > 2
//   43+2L  i32     TypeProfiles                         version > 3
//   47+2L  N channel records, one after the other
// The two offsets are stream positions, as the channel records inside count
// theirs. A ".trc" backup holds 2 bytes ahead of its container; the record
// offsets inside count from the byte after them. Readers take the records one
// after the other behind the fields they know; the stored header end is not used,
// so the fields of an unknown newer version are not stepped over.
//
// No locks; the caller owns the stream.

#include "platform/rtl/streams.h"
#include "profiledata/gpr_constants.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace frn_container {

inline constexpr char Magic[5] = {'F', 'R', 'N', '0', '5'};
inline constexpr uint8_t WrittenVersion = 4;
// A window has five channel slots; a settings container holds one entry for each.
inline constexpr int32_t SlotCount = 5;
inline constexpr int64_t EndOfFileOffset = 5;
inline constexpr int64_t EndOfHeaderOffset = 9;
inline constexpr int64_t CountOffset = 14;
// The bytes ahead of the container in a ".trc" backup.
inline constexpr int64_t BackupPrefixBytes = 2;
// An NMEA list of one line shorter than this holds no usable position.
inline constexpr qsizetype ShortestUsableNmeaLine = 20;

}  // namespace frn_container

// What a container file is, by its name (exact, case-sensitive comparisons):
// "bstt", "dstt" or the extension ".bstt" a settings container, the extension
// ".trc" a backup, anything else a data container.
enum TFrnKind : uint8_t { fkData, fkSettings, fkBackup };
TFrnKind FrnKindOf(const QString& fileName);

// The radargram window's fields that the header carries.
struct TFrnWindowFields {
  int32_t CountChannalView = 0;
  int32_t MasterChannal = 0;
  int32_t DeviceX = 0;
  int32_t DeviceY = 0;
  int32_t DeviceZ = 0;
  TTypeGPRDevice TypeGPRDevice = tdUnknown;
  int32_t SerNumDevice = 0;
  TTypeProfiles TypeProfiles = tpLinear;
  bool operator==(const TFrnWindowFields&) const = default;
};

// ---- Writing -----------------------------------------------------------------------

// Writes a data container's header at the stream's position and leaves the stream
// where the first channel record goes. count: the channels that follow; comment:
// channel 0's comment (written as " " when count is 0). The device type and the
// profile kind are stored as i32 of their byte values. Throws EWriteError when the
// stream cannot take it.
void WriteFrnDataHeader(TStream& stream, const TFrnWindowFields& fields, int32_t count, const QString& comment);
// Patches the end-of-file field of the data container that starts at
// containerStart with the stream's position (just past the last record); the
// stream stays there. Throws EWriteError beyond 4 GiB.
void FinishFrnDataContainer(TStream& stream, int64_t containerStart);

// Writes a settings container's header: count 5, end of file 0, profile kind 0.
// A device type of 18 and above becomes tdUnknown in fields; the serial number is
// written as held, and after that set to 0 in fields when the type is tdUnknown.
void WriteFrnSettingsHeader(TStream& stream, TFrnWindowFields& fields, const QString& comment);

// Before a data container is written: when the master channel's NMEA list (null
// when the master slot has no channel) holds exactly one line shorter than 20
// characters, the line is dropped; with two lines or more the device offsets are
// written as 0 (and so set in fields).
void PrepareFrnNmea(QStringList* masterNmea, TFrnWindowFields& fields);

// The channels of a data container. Slots are walked from 0; a slot without a
// channel (nullopt) is passed over and the walk stops at the first channel with no
// traces. Count is the number of channels counted; LeftOut the slots holding
// traces that the writer does not reach (index Count and above), which the
// window tells the user are not saved.
struct TFrnDataChannels {
  int32_t Count = 0;
  std::vector<int> LeftOut;
};
TFrnDataChannels CountFrnDataChannels(const std::array<std::optional<int64_t>, frn_container::SlotCount>& traces);

// ---- Reading -----------------------------------------------------------------------

enum TFrnHeaderStatus : uint8_t {
  fhOk,
  fhNoMagic,   // the container does not start with "FRN05"
  fhEndsEarly  // the stream ends inside the header
};

struct TFrnHeaderRead {
  TFrnHeaderStatus Status = fhNoMagic;
  // Channel records to read: the stored count kept to 0..5; 0 unless Status is fhOk.
  int32_t Channels = 0;
  // The shift of the record offsets: for a backup the position after its prefix,
  // else 0.
  int64_t RecordShift = 0;
  uint8_t Version = 0;
  QString Comment;
  bool Ok() const { return Status == fhOk; }
};

// Reads a header from the stream's position (for a backup, its 2-byte prefix
// first) and puts it into the window's fields as the kind wants:
// - every kind: DeviceX..DeviceZ from the file (0 before version 2), and a
//   MasterChannal outside 0..4 becomes 0;
// - a data container also: CountChannalView := the count, MasterChannal := the
//   stored master, TypeGPRDevice (a value outside 0..17 is tdUnknown) and
//   SerNumDevice (0 with tdUnknown) from version 3, TypeProfiles := the low byte
//   of its field from version 4;
// - settings containers and backups keep the other fields.
// On success the stream is where the first channel record starts. A header
// without "FRN05" or that ends early changes no field, reads no channel and
// leaves the stream where it was.
TFrnHeaderRead ReadFrnHeader(TStream& stream, TFrnKind kind, TFrnWindowFields& fields);

// The channels a container file holds: 5 for a settings container (the name
// "bstt" or the extension ".bstt") and for a missing file; otherwise the count
// stored in the file, kept to 0..5, and 0 when the file cannot be read or does not
// start with "FRN05".
int32_t FrnChannelCountOfFile(const QString& fileName);
