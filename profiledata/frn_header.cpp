#include "profiledata/frn_header.h"

#include "platform/rtl/paths.h"
#include "profiledata/stream_strings.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace fc = frn_container;

namespace {

void PatchPosition(TStream& stream, int64_t fieldAt, int64_t position) {
  if (position < 0 || position > std::numeric_limits<uint32_t>::max()) throw EWriteError();
  stream.SetPosition(fieldAt);
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(position));
  stream.SetPosition(position);
}

// Magic, both offsets (end of file 0), version, count, master, comment, device
// offsets: what both container kinds start with. Returns the container's start.
int64_t WriteCommonFields(TStream& stream, const TFrnWindowFields& fields, int32_t count, const QString& comment) {
  const int64_t start = stream.Position();
  stream.WriteBuffer(fc::Magic, sizeof fc::Magic);
  stream.WriteValue<uint32_t>(0);
  stream.WriteValue<uint32_t>(0);
  stream.WriteValue<uint8_t>(fc::WrittenVersion);
  stream.WriteValue<int32_t>(count);
  stream.WriteValue<int32_t>(fields.MasterChannal);
  WriteShortWideString(stream, comment);
  stream.WriteValue<int32_t>(fields.DeviceX);
  stream.WriteValue<int32_t>(fields.DeviceY);
  stream.WriteValue<int32_t>(fields.DeviceZ);
  return start;
}

bool IsSettingsName(const QString& fileName) {
  const QString name = ExtractFileName(fileName);
  return name == u"bstt" || name == u"dstt" || ExtractFileExt(fileName) == u".bstt";
}

// The header's fields as stored, before any kind's rules.
struct TStoredHeader {
  uint8_t Version = 0;
  int32_t Count = 0;
  int32_t Master = 0;
  QString Comment;
  bool HasDevice = false;
  int32_t DeviceX = 0, DeviceY = 0, DeviceZ = 0;
  bool HasDeviceBox = false;
  uint32_t TypeGPRDevice = 0;
  int32_t SerNumDevice = 0;
  bool HasTypeProfiles = false;
  int32_t TypeProfiles = 0;
};

// Throws EReadError when the stream ends inside the header.
TStoredHeader ReadStoredHeader(TStream& stream) {
  TStoredHeader h;
  stream.Seek(8, soCurrent);  // the two offsets: records are read one after the other
  if (stream.Position() > stream.Size()) throw EReadError();
  h.Version = stream.ReadValue<uint8_t>();
  h.Count = stream.ReadValue<int32_t>();
  h.Master = stream.ReadValue<int32_t>();
  h.Comment = ReadShortWideString(stream);
  if (h.Version > 1) {
    h.HasDevice = true;
    h.DeviceX = stream.ReadValue<int32_t>();
    h.DeviceY = stream.ReadValue<int32_t>();
    h.DeviceZ = stream.ReadValue<int32_t>();
  }
  if (h.Version > 2) {
    h.HasDeviceBox = true;
    h.TypeGPRDevice = stream.ReadValue<uint32_t>();
    h.SerNumDevice = stream.ReadValue<int32_t>();
  }
  if (h.Version > 3) {
    h.HasTypeProfiles = true;
    h.TypeProfiles = stream.ReadValue<int32_t>();
  }
  return h;
}

bool ValidSlot(int32_t index) { return index >= 0 && index < fc::SlotCount; }

}  // namespace

TFrnKind FrnKindOf(const QString& fileName) {
  if (IsSettingsName(fileName)) return fkSettings;
  if (ExtractFileExt(fileName) == u".trc") return fkBackup;
  return fkData;
}

// ---- Writing ---------------------------------------------------------------------------

void WriteFrnDataHeader(TStream& stream, const TFrnWindowFields& fields, int32_t count, const QString& comment) {
  const int64_t start = WriteCommonFields(stream, fields, count, count == 0 ? QStringLiteral(" ") : comment);
  stream.WriteValue<int32_t>(fields.TypeGPRDevice);
  stream.WriteValue<int32_t>(fields.SerNumDevice);
  stream.WriteValue<int32_t>(fields.TypeProfiles);
  PatchPosition(stream, start + fc::EndOfHeaderOffset, stream.Position());
}

void FinishFrnDataContainer(TStream& stream, int64_t containerStart) {
  PatchPosition(stream, containerStart + fc::EndOfFileOffset, stream.Position());
}

void WriteFrnSettingsHeader(TStream& stream, TFrnWindowFields& fields, const QString& comment) {
  const int64_t start = WriteCommonFields(stream, fields, fc::SlotCount, comment);
  if (fields.TypeGPRDevice >= GPRDeviceCount) fields.TypeGPRDevice = tdUnknown;
  stream.WriteValue<int32_t>(fields.TypeGPRDevice);
  stream.WriteValue<int32_t>(fields.SerNumDevice);
  if (fields.TypeGPRDevice == tdUnknown) fields.SerNumDevice = 0;
  stream.WriteValue<int32_t>(0);  // the profile kind belongs to data, not to settings
  PatchPosition(stream, start + fc::EndOfHeaderOffset, stream.Position());
}

void PrepareFrnNmea(QStringList* masterNmea, TFrnWindowFields& fields) {
  if (fields.MasterChannal < 0 || !masterNmea || masterNmea->isEmpty()) return;
  if (masterNmea->size() == 1) {
    if (masterNmea->front().size() < fc::ShortestUsableNmeaLine) masterNmea->clear();
    return;
  }
  // A track of positions places the profile; the device offsets would move it again.
  fields.DeviceX = 0;
  fields.DeviceY = 0;
  fields.DeviceZ = 0;
}

TFrnDataChannels CountFrnDataChannels(const std::array<std::optional<int64_t>, fc::SlotCount>& traces) {
  TFrnDataChannels result;
  for (const std::optional<int64_t>& slot : traces) {
    if (!slot) continue;
    if (*slot <= 0) break;
    ++result.Count;
  }
  for (int slot = result.Count; slot < fc::SlotCount; ++slot)
    if (traces[static_cast<size_t>(slot)].value_or(0) > 0) result.LeftOut.push_back(slot);
  return result;
}

// ---- Reading ---------------------------------------------------------------------------

TFrnHeaderRead ReadFrnHeader(TStream& stream, TFrnKind kind, TFrnWindowFields& fields) {
  TFrnHeaderRead result;
  const int64_t start = stream.Position();
  TStoredHeader h;
  try {
    if (kind == fkBackup) {
      stream.Seek(fc::BackupPrefixBytes, soCurrent);
      if (stream.Position() > stream.Size()) throw EReadError();
      result.RecordShift = stream.Position();
    }
    char magic[sizeof fc::Magic] = {};
    stream.ReadBuffer(magic, sizeof magic);
    if (std::memcmp(magic, fc::Magic, sizeof magic) != 0) {
      stream.SetPosition(start);
      result.Status = fhNoMagic;
      result.RecordShift = 0;
      return result;
    }
    h = ReadStoredHeader(stream);
  } catch (const EReadError&) {
    stream.SetPosition(start);
    TFrnHeaderRead early;
    early.Status = fhEndsEarly;
    return early;
  }

  result.Status = fhOk;
  result.Version = h.Version;
  result.Comment = h.Comment;
  result.Channels = std::clamp(h.Count, 0, fc::SlotCount);
  if (kind == fkData) {
    fields.CountChannalView = result.Channels;
    fields.MasterChannal = h.Master;
  }
  if (!ValidSlot(fields.MasterChannal)) fields.MasterChannal = 0;
  fields.DeviceX = h.DeviceX;
  fields.DeviceY = h.DeviceY;
  fields.DeviceZ = h.DeviceZ;
  if (kind == fkData && h.HasDeviceBox) {
    fields.TypeGPRDevice = h.TypeGPRDevice < GPRDeviceCount ? static_cast<TTypeGPRDevice>(h.TypeGPRDevice) : tdUnknown;
    fields.SerNumDevice = fields.TypeGPRDevice == tdUnknown ? 0 : h.SerNumDevice;
  }
  if (kind == fkData && h.HasTypeProfiles) fields.TypeProfiles = static_cast<TTypeProfiles>(h.TypeProfiles & 0xFF);
  return result;
}

int32_t FrnChannelCountOfFile(const QString& fileName) {
  const QString name = ExtractFileName(fileName);
  if (name == u"bstt" || ExtractFileExt(fileName) == u".bstt" || !FileExists(fileName)) return fc::SlotCount;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    char magic[sizeof fc::Magic] = {};
    file.ReadBuffer(magic, sizeof magic);
    if (std::memcmp(magic, fc::Magic, sizeof magic) != 0) return 0;
    file.SetPosition(fc::CountOffset);
    return std::clamp(file.ReadValue<int32_t>(), 0, fc::SlotCount);
  } catch (const EStreamError&) {
    return 0;
  }
}
