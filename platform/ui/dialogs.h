#pragma once
// Standard dialogs of the toolkit layer. In tests every dialog answers from the
// script in platform/ui/dialog_script.h instead of showing itself.

#include "platform/ui/control_types.h"

#include <QString>

// The folder browser: its top-left corner at screen position (x, y), the initial
// folder preselected, browsing limited to root when root is not empty. Modal: the
// other windows of the application are disabled while it is open. Returns true and
// the chosen folder, or false (and an empty path) when cancelled.
bool BrowseForFolder(int x, int y, const QString& title, const QString& initialFolder, const QString& root,
                     QString& path);

// The colour dialog, opened with color chosen. Modal like the folder browser.
// Returns true and the chosen colour (0x00BBGGRR), or false and color unchanged
// when cancelled.
bool ChooseColor(TColor& color);

// The print dialog: true when the user chose to print. In tests it is a
// message-box kind of dialog captioned "Print" that takes a queued answer
// (mrOk prints).
bool ChoosePrint();
