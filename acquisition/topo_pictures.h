#pragma once
// The pictures of the topo devices: one 32 x 32 picture per TTopoType value,
// drawn by the program (no picture files). The settings window gives them to
// the items of its topo menu and shows the chosen device's picture beside its
// name.
//
// Each picture is an opaque 24-bit tile on white with a grey frame, so it reads
// the same on a menu's highlight colour and on a group box:
//   measuring wheels (ttWheel, ttOdometerA..E): a wheel on a push handle, each
//     with its own spoke count and rim colour;
//   carts (ttTrolleyA, ttTrolleyB): a body on two wheels with a handle and an
//     odometer dial, told apart by body colour and stripes;
//   ttGPS: a hand receiver with its antenna and a satellite;
//   ttCustom: a wheel over a calibration ruler;
//   built-in odometers (ttUnitWheelA, ttUnitWheelB): a radar antenna box with
//     the wheel built into one end.
// ttNil has the blank tile.
//
// Each device also has its display name (TopoDeviceName). The topo menus list
// the twelve devices in two orders: the settings window's keeps the
// user-calibrated wheel before the built-in odometers, the preferences
// dialog's after them.
//
// Threads: any thread may draw into its own bitmap; the image list belongs to
// the user-interface thread.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <iterator>

class TBitmap;
class TImageList;

constexpr int TopoPictureSize = 32;

// The twelve topo devices in the order the settings window's topo menu lists them.
inline constexpr TTopoType SettingsTopoMenuOrder[] = {ttGPS,       ttWheel,     ttOdometerA, ttTrolleyA,
                                                      ttTrolleyB,  ttOdometerB, ttOdometerC, ttOdometerD,
                                                      ttOdometerE, ttCustom,    ttUnitWheelA, ttUnitWheelB};
// The same devices in the order of the preferences dialog's topo menu.
inline constexpr TTopoType PreferencesTopoMenuOrder[] = {ttGPS,       ttWheel,      ttOdometerA,  ttTrolleyA,
                                                         ttTrolleyB,  ttOdometerB,  ttOdometerC,  ttOdometerD,
                                                         ttOdometerE, ttUnitWheelA, ttUnitWheelB, ttCustom};
static_assert(std::size(SettingsTopoMenuOrder) == TopoTypeCount - 1, "every device but ttNil, once");
static_assert(std::size(PreferencesTopoMenuOrder) == TopoTypeCount - 1, "every device but ttNil, once");

// Makes bitmap the 24-bit picture of the device.
void DrawTopoPicture(TTopoType type, TBitmap& bitmap);

// Sets the list to the picture size and fills it with every device's picture,
// the picture of a TTopoType value at the value's index.
void FillTopoPictures(TImageList& list);

// The name the topo menus and the device label show ("GPS ", "Custom", and a
// name per wheel, cart and built-in odometer); empty for ttNil.
QString TopoDeviceName(TTopoType type);
