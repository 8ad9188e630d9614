// The main window's side of the command line and of the program link: opening
// the profile a command line or another process names.

#include "acquisition/main_form.h"

#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/rtl/paths.h"
#include "radargram/view2d_form.h"

TView2DForm* DUvova3DuruZuza::NewView2DForm() { return TComponent::Create<TView2DForm>(this, Shell()); }

void DUvova3DuruZuza::OpenFile(const QStringList& arguments) {
  const TCommandLineFile file = CommandLineFile(arguments);
  if (IsCommandLineProfile(file.FileName)) {
    SetNewViewChannalCount(kChannelSlots);
    flNewCreate_ = false;
    TView2DForm* window = NewView2DForm();
    Updatemenu();
    // Opening processes messages: the window may be closed meanwhile.
    const std::shared_ptr<const bool> alive = window->WindowAlive;
    window->ReadFromFile(file.FileName);
    Updatemenu();
    Settings.LastFolder = ExtractFilePath(file.FileName);
    if (*alive) window->RunPostProcess(nullptr);
    if (*alive && window->TopoCorrectionShown()) window->GetIdentForTopoCor(false);
  }
  if (file.Mark == 0) return;
  const std::vector<TView2DForm*> windows = RadargramWindows();
  if (windows.empty()) return;
  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  (active ? active : windows.back())->LastCopydataMessage = file.Mark;
}

bool DUvova3DuruZuza::BindEndpoint() {
  auto endpoint = std::make_unique<TIpcEndpoint>(WindowClassName());
  endpoint->OnCopyData = [this](uint64_t code, const QByteArray& bytes) { return WMCopyData(code, bytes); };
  endpoint->OnActivate = [this] { ActivateFromLink(); };
  if (!endpoint->Bind()) return false;
  endpoint_ = std::move(endpoint);
  return true;
}

void DUvova3DuruZuza::ActivateFromLink() {
  // Showing a shown window raises it.
  Show();
  SetFocus();
}
