// TSettingData: the settings files. "stt" in the program folder is one settings
// header at position 0 without a raw block, as is a user's ".stt" preset; "bstt",
// "dstt" and ".bstt" presets are multi-channel containers (frn_header.h) that the
// radargram window writes and reads.

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_store_messages.h"
#include "profiledata/replacing_file.h"
#include "profiledata/setting_data.h"
#include "profiledata/settings_files_hooks.h"

#include <exception>
#include <functional>
#include <memory>

namespace {

// Writes a new file beside fileName and puts it in its place; false, reported,
// with the old file kept, when that fails.
bool WriteReplacing(const QString& fileName, const std::function<void(TStream&)>& write) {
  try {
    WriteFileReplacing(fileName, write);
    return true;
  } catch (const std::exception&) {
    ReportFileError(SChannelFileNotWritten, fileName);
    return false;
  }
}

}  // namespace

TSettingData::TRecordWriteState TSettingData::RecordWriteState() const {
  return {FFileName, FNeedForSave, NewFile, FWasOpen, FVersion};
}

void TSettingData::RestoreRecordWriteState(const TRecordWriteState& state) {
  FFileName = state.FileName;
  FNeedForSave = state.NeedForSave;
  NewFile = state.NewFile;
  FWasOpen = state.WasOpen;
  FVersion = state.Version;
}

bool TSettingData::SaveSTT(const QString& fileName) {
  const bool newFile = NewFile;
  const bool needForSave = FNeedForSave;
  const bool ok = WriteReplacing(fileName, [this](TStream& stream) {
    WriteSetValue(stream, /*defaultMode=*/true, /*saveAsDezo=*/true, 0);
  });
  NewFile = newFile;
  FNeedForSave = needForSave;
  return ok;
}

void TSettingData::SaveDefault() {
  IAcquisitionShell* shell = AcquisitionShell();
  if (!shell) return;
  auto* window = dynamic_cast<ISettingsFilesWindow*>(OwnerWindow());
  if (!window || !window->IsSaveDefault()) return;
  // An opened profile's settings are not everyone's defaults, and the channel that
  // holds the settings file itself has nothing new to save.
  if (ExtractFileName(FFileName) == u"stt" || FWasOpen) return;
  const QString folder = ProgramFolder();
  if (!SaveSTT(folder + QStringLiteral("stt"))) return;
  window->SaveBSTT(folder + (shell->SimpleMode() ? QStringLiteral("dstt") : QStringLiteral("bstt")));
}

bool TSettingData::LoadFromFile(const QString& fileName) {
  const QString name = ExtractFileName(fileName);
  if (name == u"bstt" || name == u"dstt") {
    IChannelWindow* window = RecordWindow();
    if (!window) return false;
    window->ReadFromFileToFRNChannals(fileName);
    return true;
  }
  const std::unique_ptr<TFileStream> stream = OpenFileForReading(fileName);
  if (!stream) return false;
  int64_t recordEnd = stream->Size();
  return ReadSetValue(fileName, *stream, 0, recordEnd, 0);
}

bool TSettingData::WriteToFile(const QString& fileName) {
  const TRecordWriteState saved = RecordWriteState();
  const bool saveAsDezo = ExtractFileExt(FFileName).toLower() != u".frn";
  const bool ok = WriteReplacing(fileName, [&](TStream& stream) {
    SetFileName(fileName);
    WriteSetValue(stream, /*defaultMode=*/false, saveAsDezo, 0);
  });
  if (!ok) {
    RestoreRecordWriteState(saved);
    return false;
  }
  FNeedForSave = false;
  return true;
}
