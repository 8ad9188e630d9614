#include "radar/packet_codes.h"

#include <array>

namespace {

struct TNamedCode {
  uint8_t code;
  const char* name;
};

// The log's name table. It deliberately leaves out codes such as bcpLoadNMEICfg,
// bcpOKReadSerNum or bcpGetPerfomanceDelay: existing logs show those as numbers.
constexpr std::array<TNamedCode, 73> kNamedCodes = {{
    {0x30, "bcpGetVersion"}, {0x31, "bcpOKGetVersion"}, {0x32, "bcpGetProductVer"},
    {0x33, "bcpOKGetProductVer"}, {0x34, "bcpSetProductVer"}, {0x35, "bcpOKSetProductVer"},
    {0x36, "bcpGetPumpWidth"}, {0x37, "bcpOKGetPumpWidth"}, {0x38, "bcpSetPumpWidth"},
    {0x39, "bcpOKSetPumpWidth"}, {0x3A, "bcpGetPackRxVol"}, {0x3B, "bcpOKGetPackRxVol"},
    {0x3C, "bcpSetPackRxVol"}, {0x3D, "bcpOKSetPackRxVol"}, {0x3E, "bcpGetRxVolChnl0"},
    {0x3F, "bcpOKGetRXVolChnl0"}, {0x40, "bcpSetRxVolChnl0"}, {0x41, "bcpOKSetRxVolChnl0"},
    {0x42, "bcpGetRxVolChnl1"}, {0x43, "bcpOKGetRXVolChnl1"}, {0x44, "bcpSetRxVolChnl1"},
    {0x45, "bcpOKSetRxVolChnl1"}, {0x46, "bcpGetRxVolChnl2"}, {0x47, "bcpOKGetRXVolChnl2"},
    {0x48, "bcpSetRxVolChnl2"}, {0x49, "bcpOKSetRxVolChnl2"}, {0x4A, "bcpGetRxVolChnl3"},
    {0x4B, "bcpOKGetRXVolChnl3"}, {0x4C, "bcpSetRxVolChnl3"}, {0x4D, "bcpOKSetRxVolChnl3"},
    {0x4E, "bcpSetSlowRamp"}, {0x4F, "bcpOKSetSlowRamp"}, {0x52, "bcpLoadData"},
    {0x53, "bcpOKLoadData"}, {0x54, "bcpStart"}, {0x55, "bcpOKStart"},
    {0x56, "bcpStop"}, {0x57, "bcpOKStop"}, {0x5A, "bcpReadydata"},
    {0x5B, "bcpGetGPSData"}, {0x5C, "bcpOKGetGPSData"}, {0x5D, "bcpGetSlowRamp"},
    {0x5E, "bcpOKGetSlowRamp"}, {0x62, "bcpGetNMEICfg"}, {0x64, "bcpPing2"},
    {0x65, "bcpPong2"}, {0x66, "bcpReadydata2"}, {0x67, "bcpReadSerNum"},
    {0x69, "bcpWriteSerNum"}, {0x6A, "bcpOKWriteSerNum"}, {0x6B, "bcpGetWifiSettings"},
    {0x6C, "bcpOkWifiSettings"}, {0x6D, "bcpStorewifiSettings"}, {0x6E, "bcpOKStorewifiSettings"},
    {0x6F, "bcpInvokeWifiSettings"}, {0x85, "bcpWheelRotate_Start"}, {0x86, "bcpWheelRotate_Start_Resp"},
    {0x87, "bcpWheelRotate_Stop"}, {0x88, "bcpWheelRotate_Stop_Resp"}, {0xA9, "bcpLoad_Steck_Curve"},
    {0xAA, "bcpOKload_Steck_Curve"}, {0xB6, "bcpSetMSmode"}, {0xB7, "bcpOKSetMSmode"},
    {0xB8, "bcpGetMSmode"}, {0xB9, "bcpOKGetMSmode"}, {0xBE, "bcpSetMaxPerfomace"},
    {0xBF, "bcpSetMaxPerfomaceResp"}, {0xC0, "bcpGetMaxPerfomace"}, {0xC1, "bcpGetMaxPerfomaceResp"},
    {0xE0, "bcpGetStatus"}, {0xE1, "bcpGetStatusResp"}, {0xE2, "bcpResumeTransfer"},
    {0xE3, "bcpResumeTransferResp"},
}};

}  // namespace

QString GetCommandName(uint8_t code) {
  for (const TNamedCode& entry : kNamedCodes) {
    if (entry.code == code) return QString::fromLatin1(entry.name);
  }
  return QString::number(code);
}
