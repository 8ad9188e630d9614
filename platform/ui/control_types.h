#pragma once
// Value types shared by the controls: colours, points, mouse buttons, the shift
// state and the signatures of the control events.

#include "platform/ui/component.h"
#include "platform/ui/enum_set.h"
#include "platform/ui/messages.h"

#include <QChar>
#include <QColor>

#include <cstdint>
#include <functional>

// 0x00BBGGRR; values with the high byte 0xFF name a system colour by its index.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor SystemColor(uint8_t index) { return static_cast<TColor>(0xFF000000u | index); }
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours come from the application palette.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateItem>;
constexpr TShiftState operator|(TShiftStateItem a, TShiftStateItem b) { return TShiftState{a, b}; }

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// MousePos is in screen coordinates; setting Handled stops the default scrolling.
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
// Key is a virtual-key code (keys.h); setting it to 0 swallows the key.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Setting Key to 0 swallows the character.
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
