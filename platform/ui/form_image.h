#pragma once
// A window's picture as the screen shows it: the control with every child
// control drawn, at its size, for screenshots the programs and their tests keep.
//
// Threads: user-interface thread only.

#include <QString>

class TWinControl;

// Writes the control's picture as a PNG file; false when it cannot be written.
bool SaveControlImagePng(TWinControl& control, const QString& fileName);
