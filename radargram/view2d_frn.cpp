// The radargram window's multi-channel container: the data container (".frn"),
// the settings containers ("bstt", "dstt", ".bstt" presets), the container in a
// radar's ".trc" backup, the alignment of the channels to the master before a
// container is written, and the window's default settings files. The header
// layout is profiledata/frn_header.h; each channel record is its store's.

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/image.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/channel_store_messages.h"
#include "profiledata/replacing_file.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"

#include <exception>
#include <tuple>

namespace {

// The settings a data container must hold alike in every channel of a type-1
// device box.
auto AlignedSettings(const TSettingData& s) {
  return std::make_tuple(s.GetSpanIndex(), s.GetSpanWidth(), s.GetSpanDepth(), s.GetSpeedLight(), s.GetOverStep(),
                         s.GetWasFlip(), s.GetWheelStep(), s.GetWheelMult(), s.GetStacking(), s.GetLongTrace(),
                         s.GetDirection());
}

// What writing records changes in a channel, to put back when the file is not
// written (or, for settings, because a settings file is no save of the channel).
struct TChannelWriteState {
  T2Dview* View = nullptr;
  TSettingData::TRecordWriteState Settings;
  bool NeedForSave = false;
};

std::vector<TChannelWriteState> WriteStates(const std::array<T2Dview*, kChannelSlots>& views) {
  std::vector<TChannelWriteState> states;
  for (T2Dview* view : views)
    if (view) states.push_back({view, view->Settings()->RecordWriteState(), view->GetNeedForSave()});
  return states;
}

void RestoreWriteStates(const std::vector<TChannelWriteState>& states, bool storeFlags) {
  for (const TChannelWriteState& state : states) {
    state.View->Settings()->RestoreRecordWriteState(state.Settings);
    // The store's own flag takes the store's whole state: nothing is lost.
    if (storeFlags) state.View->SetNeedForSave(state.NeedForSave);
  }
}

}  // namespace

// ---- Header fields ---------------------------------------------------------------------

TFrnWindowFields TView2DForm::FrnFields() const {
  TFrnWindowFields fields;
  fields.CountChannalView = CountChannalView;
  fields.MasterChannal = MasterChannal;
  fields.DeviceX = deviceX_;
  fields.DeviceY = deviceY_;
  fields.DeviceZ = deviceZ_;
  fields.TypeGPRDevice = TypeGPRDevice;
  fields.SerNumDevice = SerNumDevice;
  fields.TypeProfiles = TypeProfiles;
  return fields;
}

void TView2DForm::SetFrnFields(const TFrnWindowFields& fields) {
  CountChannalView = fields.CountChannalView;
  MasterChannal = fields.MasterChannal;
  SetDeviceOffsets(fields.DeviceX, fields.DeviceY, fields.DeviceZ);
  TypeGPRDevice = fields.TypeGPRDevice;
  SerNumDevice = fields.SerNumDevice;
  TypeProfiles = fields.TypeProfiles;
}

// ---- Channels ------------------------------------------------------------------------------

namespace {
std::array<std::optional<int64_t>, frn_container::SlotCount> TracesBySlot(
    const std::array<T2Dview*, kChannelSlots>& views) {
  std::array<std::optional<int64_t>, frn_container::SlotCount> traces;
  for (size_t i = 0; i < traces.size(); ++i)
    if (views[i]) traces[i] = views[i]->NumTraces();
  return traces;
}
}  // namespace

int TView2DForm::GetCountChannalWithData() const { return CountFrnDataChannels(TracesBySlot(View2D_)).Count; }

int TView2DForm::GetCountChannalInReadFileFRN(const QString& FileName) const { return FrnChannelCountOfFile(FileName); }

bool TView2DForm::isSettingsAllChannalsNoEqual() const {
  const int n = GetCountChannalWithData();
  if (MasterChannal >= n || !isType1GPRDevice(TypeGPRDevice)) return false;
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  if (!master) return false;
  const auto wanted = AlignedSettings(*master->Settings());
  for (int i = 0; i < n; ++i) {
    const T2Dview* view = GetView2DByIndx(i);
    if (i == MasterChannal || !view) continue;
    if (AlignedSettings(*view->Settings()) != wanted) return true;
  }
  return false;
}

void TView2DForm::NormalizeNotEqualChannal(const QString& FileName) {
  T2Dview* master = GetView2DByIndx(MasterChannal);
  if (!master) return;
  const TSettingData& m = *master->Settings();
  if (!FileName.isEmpty()) master->Settings()->SetFileName(FileName);
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* view = View2D_[static_cast<size_t>(i)];
    if (!view) continue;
    TSettingData& s = *view->Settings();
    if (!s.GetSettingRadar() && shell_.Radars) {
      // The lookup answers nothing while the main window re-checks a device.
      IRadargramRadarsShell& radars = *shell_.Radars;
      const bool checking = radars.isCheckDeviceRunned();
      radars.SetCheckDeviceRunned(false);
      ISettingsRadar* radar = radars.GetRadarByIndex(i);
      radars.SetCheckDeviceRunned(checking);
      s.SetSettingRadar(radar);
    }
    if (view != master) {
      s.SetSpeedLight(m.GetSpeedLight());
      s.SetSpanIndex(m.GetSpanIndex());
      s.SetOverStep(m.GetOverStep());
      s.SetStacking(m.GetStacking());
      s.SetAdvanceStacking(m.GetAdvanceStacking());
      s.SetTopoType(m.GetTopoType());
      s.SteckingArray = m.SteckingArray;
      s.SetWheelMult(m.GetWheelMult());
      s.SetDirection(m.GetDirection());
      s.SetRunMode(m.GetRunMode());
      s.SetComments(m.GetComments());
      s.SetWheelStep(m.GetWheelStep());
      s.SetStackingCurve(m.GetStackingCurve());
      s.SetStackingVolume(m.GetStackingVolume());
      s.SetFileName(m.GetFileName());
    }
    s.InitSettingsByRadar();
  }
}

// ---- Data container --------------------------------------------------------------------

bool TView2DForm::WriteToFileToFRNChannals(const QString& FileName) {
  if (isSettingsAllChannalsNoEqual()) NormalizeNotEqualChannal(QString());
  TFrnWindowFields fields = FrnFields();
  T2Dview* master = MasterChannal >= 0 ? GetView2DByIndx(MasterChannal) : nullptr;
  PrepareFrnNmea(master ? &master->Settings()->NMEIStrings : nullptr, fields);
  SetFrnFields(fields);

  const TFrnDataChannels channels = CountFrnDataChannels(TracesBySlot(View2D_));
  const QString comment = View2D_[0] ? View2D_[0]->Settings()->GetComments() : QString();
  const std::vector<TChannelWriteState> before = WriteStates(View2D_);
  try {
    WriteFileReplacing(FileName, [&](TStream& stream) {
      WriteFrnDataHeader(stream, fields, channels.Count, comment);
      for (int i = 0; i < channels.Count; ++i)
        if (T2Dview* view = View2D_[static_cast<size_t>(i)]) view->WriteToFileToStream(FileName, stream, stream.Position());
      FinishFrnDataContainer(stream, 0);
    });
  } catch (const std::exception&) {
    RestoreWriteStates(before, /*storeFlags=*/true);
    ReportFileError(SChannelFileNotWritten, FileName);
    return false;
  }
  if (!channels.LeftOut.empty()) {
    QStringList names;
    for (int slot : channels.LeftOut) names.push_back(QStringLiteral("#") + QString::number(slot));
    MessageDlg(Format(LoadResString(SFrnChannelsNotSaved), {names.join(QStringLiteral(", ")), FileName}), mtWarning,
               TMsgDlgButtons{mbOK}, 0);
  }
  return true;
}

// ---- Reading -------------------------------------------------------------------------------

void TView2DForm::ReadFromFileToFRNChannals(const QString& FileName) { ReadFrnContainerFile(FileName); }

TFrnHeaderStatus TView2DForm::ReadFrnContainerFile(const QString& FileName) {
  if (!FileExists(FileName)) return fhNoMagic;
  const std::unique_ptr<TFileStream> stream = OpenFileForReading(FileName);
  if (!stream) return fhNoMagic;
  return ReadFrnContainer(FileName, *stream);
}

void TView2DForm::ReadFromStreamToFRNChannals(const QString& FileName, TStream& Stream) {
  if (ReadFrnContainer(FileName, Stream) != fhOk) throw EReadError();
}

TFrnHeaderStatus TView2DForm::ReadFrnContainer(const QString& FileName, TStream& Stream) {
  const TFrnKind kind = FrnKindOf(FileName);
  TFrnWindowFields fields = FrnFields();
  const TFrnHeaderRead header = ReadFrnHeader(Stream, kind, fields);
  if (!header.Ok()) return header.Status;
  SetFrnFields(fields);
  for (int i = 0; i < header.Channels; ++i) {
    T2Dview* view = GetView2DByIndx(i);
    if (!view) continue;
    const int64_t at = Stream.Position();
    if (at >= Stream.Size()) break;
    bool read = false;
    if (kind == fkData) {
      read = view->LoadFromFileStream(FileName, Stream, at);
    } else {
      int64_t recordEnd = Stream.Size();
      read = view->Settings()->ReadSetValue(FileName, Stream, header.RecordShift, recordEnd, at);
    }
    // Where a record that could not be read ends is unknown: the next would be
    // read from the wrong place.
    if (!read) break;
  }
  return fhOk;
}

// ---- Settings containers and default settings -------------------------------------------

bool TView2DForm::SaveBSTT(const QString& FileName) {
  TFrnWindowFields fields = FrnFields();
  const QString comment = View2D_[0] ? View2D_[0]->Settings()->GetComments() : QString();
  // A settings file is no save of the channels: their flags stay.
  const std::vector<TChannelWriteState> before = WriteStates(View2D_);
  bool written = true;
  try {
    WriteFileReplacing(FileName, [&](TStream& stream) {
      WriteFrnSettingsHeader(stream, fields, comment);
      for (T2Dview* view : View2D_)
        if (view) view->Settings()->WriteSetValue(stream, /*defaultMode=*/true, /*saveAsDezo=*/false, stream.Position());
    });
  } catch (const std::exception&) {
    written = false;
  }
  RestoreWriteStates(before, /*storeFlags=*/false);
  // The header's corrections of the device box hold whether or not the file was written.
  TypeGPRDevice = fields.TypeGPRDevice;
  SerNumDevice = fields.SerNumDevice;
  if (!written) ReportFileError(SChannelFileNotWritten, FileName);
  return written;
}

void TView2DForm::SaveDefault() {
  if (T2Dview* view = View2D_[0]) view->Settings()->SaveDefault();
}

void TView2DForm::SaveSTT() { SaveDefault(); }

// ---- Progress in the channel panels -----------------------------------------------------

int TView2DForm::ProgressPanelWidth() const { return ProgressPanel->Width(); }

void TView2DForm::SetProgressWidth(int channel, int width) {
  if (TPanel* panel = GetProgressPanelByIndx(channel)) panel->Show();
  SetProgressImageWidth(channel, width);
}

void TView2DForm::SetProgressImageWidth(int channel, int width) {
  if (TImage* image = GetProgressImageByIndx(channel)) image->SetWidth(width);
}

void TView2DForm::HideProgress(int channel) {
  if (TPanel* panel = GetProgressPanelByIndx(channel)) panel->Hide();
}

bool TView2DForm::ProgressPanelVisible(int channel) const {
  const TPanel* panel = GetProgressPanelByIndx(channel);
  return panel && panel->Visible();
}
