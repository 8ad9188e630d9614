#pragma once
// Command and reply codes of the radar packet protocol. A reply carries the code of
// its command plus one; trace packets, wheel ticks and speed limits arrive unasked.

#include <QString>

#include <cstdint>

enum TBcpCode : uint8_t {
  bcpGetVersion = 0x30, bcpOKGetVersion = 0x31,
  bcpGetProductVer = 0x32, bcpOKGetProductVer = 0x33, bcpSetProductVer = 0x34, bcpOKSetProductVer = 0x35,
  bcpGetPumpWidth = 0x36, bcpOKGetPumpWidth = 0x37, bcpSetPumpWidth = 0x38, bcpOKSetPumpWidth = 0x39,
  bcpGetPackRxVol = 0x3A, bcpOKGetPackRxVol = 0x3B, bcpSetPackRxVol = 0x3C, bcpOKSetPackRxVol = 0x3D,
  bcpGetRxVolChnl0 = 0x3E, bcpOKGetRXVolChnl0 = 0x3F, bcpSetRxVolChnl0 = 0x40, bcpOKSetRxVolChnl0 = 0x41,
  bcpGetRxVolChnl1 = 0x42, bcpOKGetRXVolChnl1 = 0x43, bcpSetRxVolChnl1 = 0x44, bcpOKSetRxVolChnl1 = 0x45,
  bcpGetRxVolChnl2 = 0x46, bcpOKGetRXVolChnl2 = 0x47, bcpSetRxVolChnl2 = 0x48, bcpOKSetRxVolChnl2 = 0x49,
  bcpGetRxVolChnl3 = 0x4A, bcpOKGetRXVolChnl3 = 0x4B, bcpSetRxVolChnl3 = 0x4C, bcpOKSetRxVolChnl3 = 0x4D,
  bcpSetSlowRamp = 0x4E, bcpOKSetSlowRamp = 0x4F,
  bcpLoadData = 0x52, bcpOKLoadData = 0x53, bcpStart = 0x54, bcpOKStart = 0x55, bcpStop = 0x56, bcpOKStop = 0x57,
  bcpReadydata = 0x5A, bcpGetGPSData = 0x5B, bcpOKGetGPSData = 0x5C, bcpGetSlowRamp = 0x5D, bcpOKGetSlowRamp = 0x5E,
  bcpLoadNMEICfg = 0x60, bcpOKLoadNMEICfg = 0x61, bcpGetNMEICfg = 0x62, bcpOKGetNMEICfg = 0x63,
  bcpPing2 = 0x64, bcpPong2 = 0x65, bcpReadydata2 = 0x66, bcpReadSerNum = 0x67, bcpOKReadSerNum = 0x68,
  bcpWriteSerNum = 0x69, bcpOKWriteSerNum = 0x6A,
  bcpGetWifiSettings = 0x6B, bcpOkWifiSettings = 0x6C, bcpStorewifiSettings = 0x6D, bcpOKStorewifiSettings = 0x6E,
  bcpInvokeWifiSettings = 0x6F,
  bcpWheelRotate_Ticks = 0x84, bcpWheelRotate_Start = 0x85, bcpWheelRotate_Start_Resp = 0x86,
  bcpWheelRotate_Stop = 0x87, bcpWheelRotate_Stop_Resp = 0x88,
  bcpAckofReceipt = 0x91,
  bcpLoad_Steck_Curve = 0xA9, bcpOKload_Steck_Curve = 0xAA,
  bcpGetPerfomanceDelay = 0xB4, bcpGetPerfomanceDelayResp = 0xB5,
  bcpSetMSmode = 0xB6, bcpOKSetMSmode = 0xB7, bcpGetMSmode = 0xB8, bcpOKGetMSmode = 0xB9,
  bcpSetMaxPerfomace = 0xBE, bcpSetMaxPerfomaceResp = 0xBF, bcpGetMaxPerfomace = 0xC0, bcpGetMaxPerfomaceResp = 0xC1,
  bcpGetEepromStorage = 0xC4, bcpOKGetEepromStorage = 0xC5, bcpSetZeroOffset = 0xC6,
  bcpGetMasterSlaveStt = 0xC8, bcpOKGetMasterSlaveStt = 0xC9,
  bcpStepPerfomanceDelay = 0xCF,
  bcpReadydata3 = 0xDA, bcpSpeedLimit = 0xDB,
  bcpGetStatus = 0xE0, bcpGetStatusResp = 0xE1, bcpResumeTransfer = 0xE2, bcpResumeTransferResp = 0xE3,
  bcpLoadFileHeader = 0xE4, bcpOKLoadFileHeader = 0xE5
};

// The name the radar log writes for a code: the 73 codes of the log's name table by
// name, every other code (named in the enumeration or not) as its decimal value.
QString GetCommandName(uint8_t code);

// Replies that never end the wait for their command: the performance-delay reply
// leaves the reply timer running until it expires.
constexpr bool ReplyEndsWait(uint8_t replyCode) { return replyCode != bcpGetPerfomanceDelayResp; }

// Acknowledgements and flow-control steps: the sender neither waits for an earlier
// reply nor starts a reply timer for them.
constexpr bool IsNoWaitCode(uint8_t code) {
  return code == bcpAckofReceipt || code == bcpSetMaxPerfomace || code == bcpStepPerfomanceDelay;
}
