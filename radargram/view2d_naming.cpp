// The radargram window's file names (a new recording's, the caption's, an
// export's) and the packing of a finished recording into the channels' blocks.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_results.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radargram/profile_names.h"

#include <new>

void TView2DForm::CreateNewFileName() {
  IRadargramFilesShell& files = *shell_.Files;
  const QString name = NewRecordFileName(files.LastFolder(), filePrefix_, fileCount_);
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetFileName(name);
  if (View2D_[0]) files.SetLastFile(ExtractFileName(View2D_[0]->Settings()->GetFileName()));
}

void TView2DForm::GetCaptionFromView2D_0() {
  const T2Dview* first = View2D_[0];
  if (!first) return;
  const bool container = CountChannalVisible != 1 || IsMultiChannelGPRDevice(TypeGPRDevice);
  SetCaption(CaptionFromFileName(first->Settings()->GetFileName(), container));
}

bool TView2DForm::isPresentFileIndex(const QString& S) {
  for (const QString& name : ExportFileNames(S, CountChannalView, NumChartSizeToWindow)) {
    if (!FileExists(name)) continue;
    const int answer = MessageDlg(Format(LoadResString(SFileAlreadyExistsReplace), {name}), mtConfirmation, mbYesNo, 0);
    return answer != mrNo;
  }
  return true;
}

std::vector<int> TView2DForm::PackRecordedTraces() {
  std::vector<int> failed;
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = View2D_[static_cast<size_t>(i)];
    // Data read from a file are in the blocks already and have no buffers to
    // pack: packing would leave zeros in their place.
    if (!store || store->NumTraces() <= 0 || store->IndexTraces.Count() == 0) continue;
    try {
      store->PackTraces();
    } catch (const std::bad_alloc&) {
      failed.push_back(i);
    }
  }
  // Reported after the loop, so that a slow answer holds up no channel.
  for (int channel : failed) ShowMessage(Format(LoadResString(SChannelNotPacked), {channel}));
  return failed;
}
