#pragma once
// Window messages between a radargram window and the processing tools of its
// chain. The window handles those sent to it; a tool's hidden window handles
// those sent to the tool whose dialog is open.

#include "platform/ui/messages.h"

// tool -> window: re-run or repaint. WParam is one of the ToolsRun* values below
// or a channel 0..4 (re-run that channel from the current tool).
constexpr UINT WM_TOOLSRUN = WM_USER + 401;
// gain dialog -> window (blocking): zoom the radargram to the window's height.
constexpr UINT WM_ZOOMTOHEIGHT = WM_USER + 402;
// dialog -> the tool's hidden window: the dialog has closed.
constexpr UINT WM_TOOLFORMCLOSED = WM_USER + 412;
// dialog -> window: the tool being added was cancelled; remove the current tool.
constexpr UINT WM_TOOLDELETE = WM_USER + 413;
// tool -> window: a tool dialog opened / is gone (chain editing off / on).
constexpr UINT WM_TOOLFORMSHOWN = WM_USER + 414;
constexpr UINT WM_TOOLFORMHIDDEN = WM_USER + 415;
// window -> tool (blocking): WParam the trace under a click in a chart, LParam
// the time there in thousandths of a nanosecond.
constexpr UINT WM_TOOLTRACECHANGED = WM_USER + 416;
// window -> tool (blocking): WParam the new active channel, LParam the old one.
constexpr UINT WM_TOOLVIEWCHANGED = WM_USER + 423;
// -> a tool dialog: re-run its preview when it is live and applied. Our own
// number, clear of every other message of the programs.
constexpr UINT WM_TOOLREAPPLY = WM_USER + 430;

// WParam values of WM_TOOLSRUN besides a channel number.
constexpr WPARAM ToolsRunRepaintNode = 201;
constexpr WPARAM ToolsRunAllChannels = 202;
