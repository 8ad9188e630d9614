#pragma once
// The logo the main window shows behind its radargram windows: the program's
// name over a stylised radargram with the hyperbola of a buried object.

#include "platform/ui/bitmap.h"

#include <memory>

inline constexpr int LogoWidth = 360;
inline constexpr int LogoHeight = 200;

std::unique_ptr<TBitmap> MakeLogoPicture();
