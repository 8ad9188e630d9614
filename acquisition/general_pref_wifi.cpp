// The Wi-Fi tab of the general preferences dialog: the radar's module settings
// read, edited and stored.

#include "acquisition/general_pref_form.h"

#include "acquisition/main_form.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_usb.h"

#include <mutex>

namespace {

const QString kWifiSection = QStringLiteral("WIFI");
// The module's mode byte for its own access point.
constexpr uint8_t kAccessPointJoin = 7;

}  // namespace

void TGeneralPreferensesForm::RequestWiFiSettings() {
  TRadar* radar = CurrentRadar();
  if (!radar || radar->FirmwareVer() < wifi_settings::FirstFirmware) return;
  const std::array<uint8_t, 4> params = wifi_settings::RequestParams();
  radar->SendCommand(bcpGetWifiSettings, static_cast<uint8_t>(params.size()), params.data());
}

void TGeneralPreferensesForm::ShowWiFiMode(bool accessPoint) {
  ChannelDigitEdit->SetVisible(accessPoint);
  ChannelLabel->SetVisible(accessPoint);
}

void TGeneralPreferensesForm::EnableWiFiTab(TRadar* radar) {
  const bool usable =
      radar && wifi_settings::IsWiFiCapableModel(radar->RadarType()) && dynamic_cast<TRadarUsb*>(radar) != nullptr;
  // "Save" waits for an edit even on a usable tab.
  const bool edited = usable && saveWanted_;
  for (int i = 0; i < WiFiTabSheet->ControlCount(); ++i) WiFiTabSheet->Controls(i)->SetEnabled(usable);
  for (TToolButton* button : {SoftAPToolButton, InfraToolButton}) button->SetEnabled(usable);
  SaveWiFiSettButton->SetEnabled(edited);
  DUvova3DuruZuza* main = Main();
  if (usable && main) {
    if (TCustomIniFile* ini = main->MainIni()) {
      ini->WriteString(kWifiSection, QStringLiteral("IP address"), main->Settings.WiFiAddress);
      ini->WriteString(kWifiSection, QStringLiteral("port"), main->Settings.WiFiPort);
    }
  }
  if (!radar) return;
  bool accessPoint = false;
  {
    const std::lock_guard lock(radar->SectPaint);
    accessPoint = radar->netJoin == kAccessPointJoin;
  }
  ShowWiFiMode(accessPoint);
  (accessPoint ? SoftAPToolButton : InfraToolButton)->SetDown(true);
}

void TGeneralPreferensesForm::WiFiSettings() {
  TRadar* radar = CurrentRadar();
  if (!radar) return;
  const std::lock_guard lock(radar->SectPaint);
  loading_ = true;
  SsidEdit->SetText(radar->ssidStr);
  PassEdit->SetText(radar->passStr);
  const std::array<int, 4> mask = {radar->netMask.b1, radar->netMask.b2, radar->netMask.b3, radar->netMask.b4};
  const std::array<int, 4> ip = {radar->netIP.b1, radar->netIP.b2, radar->netIP.b3, radar->netIP.b4};
  for (size_t i = 0; i < 4; ++i) {
    NetMaskDigitEdit[i]->SetValueInt(mask[i]);
    IPDigitEdit[i]->SetValueInt(ip[i]);
  }
  PortDigitEdit->SetValueInt(radar->netPort);
  ChannelDigitEdit->SetValueInt(radar->netChannel);
  loading_ = false;
  if (DUvova3DuruZuza* main = Main()) {
    main->Settings.WiFiAddress = radar->strNetIP();
    main->Settings.WiFiPort = QString::number(radar->netPort);
  }
}

void TGeneralPreferensesForm::WiFiSettingsStored() {
  RequestWiFiSettings();
  saveWanted_ = false;
  SaveWiFiSettButton->SetEnabled(false);
}

void TGeneralPreferensesForm::IPDigitEdit1ChangeFinish() {
  if (loading_) return;
  saveWanted_ = true;
  SaveWiFiSettButton->SetEnabled(true);
}

void TGeneralPreferensesForm::InfraToolButtonClick(TToolButton* Sender) {
  saveWanted_ = true;
  SaveWiFiSettButton->SetEnabled(true);
  const bool accessPoint = Sender == SoftAPToolButton;
  ShowWiFiMode(accessPoint);
  if (accessPoint) ChannelDigitEdit->SetValueInt(wifi_settings::DefaultChannel);
}

void TGeneralPreferensesForm::SaveWiFiSettButtonClick() {
  TRadar* radar = CurrentRadar();
  if (!radar) return;
  wifi_settings::TWifiEdits edits;
  edits.Ssid = SsidEdit->Text();
  edits.Password = PassEdit->Text();
  for (size_t i = 0; i < 4; ++i) {
    edits.Ip[i] = IPDigitEdit[i]->ValueInt();
    edits.Mask[i] = NetMaskDigitEdit[i]->ValueInt();
  }
  edits.Port = PortDigitEdit->ValueInt();
  edits.WithoutRouter = SoftAPToolButton->Down();
  edits.Channel = ChannelDigitEdit->ValueInt();
  const std::optional<std::vector<uint8_t>> payload = wifi_settings::StorePayload(edits);
  if (!payload) {
    // The parameter block's length is one byte: a longer one would be cut.
    MessageDlg(Format(LoadResString(SWifiSettingsTooLong), {wifi_settings::MaxTextLength}), mtError,
               TMsgDlgButtons{mbOK}, 0);
    return;
  }
  radar->SendCommand(bcpStorewifiSettings, static_cast<uint8_t>(payload->size()), payload->data());
}
