// T2Dview: reading and writing one channel record (header, then the raw block of
// LongTrace i32 sums per trace).
//
// Loading (LoadFromFileStream):
//   1. No file name: the settings take the default name; nothing is read.
//   2. The header is read (TSettingData::ReadSetValue); record versions before 39
//      had topography marks, which become surface markers.
//   3. Behind a header of version 16 or later, a raw block of more than 4 bytes is
//      taken as the traces of the header's range (kept inside what the block
//      holds). Versions 2..15 store 16-bit samples, taken as in 4.
//   4. A stream that does not start with a known magic is read as headerless
//      16-bit samples, each sign-extended and multiplied by 64, cut into whole
//      traces of the settings' length from trace 0. A damaged record with a known
//      magic is not: its bytes are no samples.
//   5. The store's and the settings' unsaved-changes flags end false.
// The planning program keeps only the size and the trace range of the raw block.

#include "profiledata/channel_store.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/channel_store_messages.h"
#include "profiledata/markers_data.h"
#include "profiledata/record_format.h"
#include "profiledata/record_messages.h"
#include "profiledata/replacing_file.h"
#include "profiledata/setting_data.h"
#include "profiledata/topo_data.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <vector>

namespace cr = channel_record;

namespace {

bool KnownMagicAt(TStream& stream, int64_t at) {
  char magic[4] = {};
  stream.SetPosition(at);
  const bool whole = stream.Read(magic, 4) == 4;
  stream.SetPosition(at);
  return whole && (std::memcmp(magic, cr::MagicWgpr, 4) == 0 || std::memcmp(magic, cr::MagicDezo, 4) == 0);
}

// Whole traces of longTrace samples of bytesPerSample bytes in a block, limited to
// what the trace table can number from 0.
int64_t WholeTraces(int64_t bytes, int64_t longTrace, int64_t bytesPerSample) {
  if (longTrace < 1 || bytes <= 0) return 0;
  return std::min(bytes / (longTrace * bytesPerSample), cr::TraceEnd);
}

}  // namespace

// ---- Loading --------------------------------------------------------------------------

bool T2Dview::LoadFromFile(const QString& fileName) {
  const std::unique_ptr<TFileStream> stream = OpenFileForReading(fileName);
  return stream && LoadFromFileStream(fileName, *stream, 0);
}

bool T2Dview::LoadFromFileStream(const QString& fileName, TStream& stream, int64_t streamBeginPos) {
  bool headerRead = false;
  if (fileName.isEmpty()) {
    FSettings->SetFileName(DefaultProfileFileName);
  } else {
    WasOpen = true;
    const bool knownMagic = KnownMagicAt(stream, streamBeginPos);
    int64_t recordEnd = stream.Size();
    headerRead = FSettings->ReadSetValue(fileName, stream, 0, recordEnd, streamBeginPos);
    try {
      if (headerRead) {
        if (FSettings->GetVersion() < 39) TakeTopographyMarks();
        const int64_t left = recordEnd - stream.Position();
        if (FSettings->GetVersion() >= 16) {
          if (left > 4) TakeRawBlock(stream, left);
        } else if (FSettings->GetComments() != u"Not Valid" && left > 4) {
          TakeRawBlock16(stream, left);
        }
      } else if (!knownMagic && recordEnd <= stream.Size()) {
        // The samples start where the record would have.
        stream.SetPosition(streamBeginPos);
        TakeRawBlock16(stream, recordEnd - streamBeginPos);
      }
    } catch (const std::exception&) {
      // The block ended early or memory ran out: the channel holds no traces.
      RawData.Reset();
      dezoData.Reset();
      SetSizeDat(0);
      SetMinNumTraces(0);
      SetMaxNumTraces(0);
      MessageDlg(LoadResString(SRecordFileDestroyed), mtError, TMsgDlgButtons{mbCancel}, 0);
      headerRead = false;
    }
  }
  FNeedForSave = false;
  FSettings->SetNeedForSave(false);
  return headerRead;
}

void T2Dview::TakeTopographyMarks() {
  const std::vector<TMarkTopo>& marks = FSettings->TopoArray->TopoDataArray();
  for (size_t i = 0; i < marks.size(); ++i) {
    const QString title = marks[i].title.isEmpty() ? QStringLiteral("Marker") + QString::number(i) : marks[i].title;
    FSettings->SurfaceMarkersArray->Add(0, marks[i].value, title);
  }
}

void T2Dview::TakeRawBlock(TStream& stream, int64_t bytes) {
  // The header's range, kept inside the trace table and inside the block.
  int64_t first = std::clamp<int64_t>(FSettings->GetMinTrace(), cr::FirstTrace, cr::TraceEnd);
  int64_t end = std::clamp<int64_t>(FSettings->GetMaxTrace(), first, cr::TraceEnd);
  end = first + std::min(end - first, WholeTraces(bytes, FSettings->GetLongTrace(), 4));

  if (!AcquisitionShell()) {
    stream.Seek(bytes, soCurrent);
  } else {
    TSampleBlock raw;
    raw.Allocate(bytes);
    stream.ReadBuffer(raw.Data(), bytes);
    TSampleBlock work;
    work.Allocate(bytes);
    RawData = std::move(raw);
    dezoData = std::move(work);
  }
  SetSizeDat(bytes);
  SetMinNumTraces(first);
  SetMaxNumTraces(end);
}

void T2Dview::TakeRawBlock16(TStream& stream, int64_t bytes) {
  const int64_t samples = std::max<int64_t>(bytes, 0) / 2;
  const int64_t sizeDat = samples * 4;
  // Whole traces only: a part trace at the end would run past the samples.
  const int64_t traces = WholeTraces(sizeDat, FSettings->GetLongTrace(), 4);
  if (!AcquisitionShell()) {
    stream.Seek(samples * 2, soCurrent);
  } else {
    TSampleBlock raw;
    raw.Allocate(sizeDat);
    // The 16-bit samples land in the first half of the block and are widened from
    // the last to the first, so that no sample is overwritten before it is read.
    stream.ReadBuffer(raw.Data(), samples * 2);
    const auto* narrow = reinterpret_cast<const int16_t*>(raw.Data());
    int32_t* wide = raw.Data();
    for (int64_t k = samples - 1; k >= 0; --k) {
      const int32_t v = narrow[k];
      wide[k] = v * 64;
    }
    TSampleBlock work;
    work.Allocate(sizeDat);
    RawData = std::move(raw);
    dezoData = std::move(work);
  }
  SetSizeDat(sizeDat);
  SetMinNumTraces(0);
  SetMaxNumTraces(traces);
}

// ---- Writing --------------------------------------------------------------------------

void T2Dview::WriteToFileToStream(const QString& fileName, TStream& stream, int64_t streamBeginPos) {
  WriteRecord(fileName, stream, streamBeginPos, RawData.Data(), RawData.Bytes());
}

void T2Dview::WriteRecord(const QString& fileName, TStream& stream, int64_t streamBeginPos, const void* raw,
                          int64_t rawBytes) {
  stream.SetPosition(streamBeginPos);
  FSettings->SetFileName(fileName);
  // The range lies inside the trace numbers, which fit 32 bits.
  FSettings->SetMinTrace(static_cast<int32_t>(MinNumTraces()));
  FSettings->SetMaxTrace(static_cast<int32_t>(MaxNumTraces()));
  const bool saveAsDezo = ExtractFileExt(fileName).toLower() != u".frn";
  FSettings->WriteSetValue(stream, /*defaultMode=*/false, saveAsDezo, streamBeginPos);

  if (raw && rawBytes > 0) stream.WriteBuffer(raw, rawBytes);
  // The header promises every trace of its range; traces the block does not hold
  // are written as zeros rather than leaving a record no reader accepts.
  const int64_t needed = std::max<int64_t>(0, NumTraces()) * std::max(0, FSettings->GetLongTrace()) * 4;
  if (needed > rawBytes) {
    const std::vector<char> zeros(1 << 16, 0);
    for (int64_t left = needed - std::max<int64_t>(rawBytes, 0); left > 0;) {
      const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(zeros.size()));
      stream.WriteBuffer(zeros.data(), n);
      left -= n;
    }
  }

  const int64_t recordEnd = stream.Position();
  if (recordEnd > std::numeric_limits<uint32_t>::max()) throw EWriteError();
  stream.SetPosition(streamBeginPos + 4);
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(recordEnd));
  stream.SetPosition(recordEnd);
  FNeedForSave = false;
}

bool T2Dview::WriteToFile(const QString& fileName) {
  QByteArray fileBlock;
  const bool planning = !AcquisitionShell();
  if (planning) {
    // The planning program holds no samples: the record takes the raw block the
    // file has, provided it holds the channel's traces.
    int64_t size = 0;
    int64_t recordEnd = 0;
    try {
      TFileStream old(fileName, fmOpenRead | fmShareDenyNone);
      if (!FSettings->ReadRawValue(fileName, old, size, fileBlock, recordEnd, 0)) return false;
    } catch (const std::exception&) {
      return false;
    }
    const int64_t needed = std::max<int64_t>(0, NumTraces()) * std::max(0, FSettings->GetLongTrace()) * 4;
    if (needed > fileBlock.size()) return false;
  }

  const TSettingData::TRecordWriteState saved = FSettings->RecordWriteState();
  const bool storeNeedForSave = FNeedForSave;
  try {
    WriteFileReplacing(fileName, [&](TStream& stream) {
      if (planning) {
        WriteRecord(fileName, stream, 0, fileBlock.constData(), fileBlock.size());
      } else {
        WriteToFileToStream(fileName, stream, 0);
      }
    });
    return true;
  } catch (const std::exception&) {
    // Nothing was saved: the channel keeps its name and its unsaved changes.
    FSettings->RestoreRecordWriteState(saved);
    FNeedForSave = storeNeedForSave;
    ReportFileError(SChannelFileNotWritten, fileName);
    return false;
  }
}
