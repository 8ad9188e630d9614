#pragma once
// The lists the main window fills from its resources and its program folder: the
// wave-speed list of the medium menus and the simple-mode tool sets.

#include "acquisition/main_ini.h"
#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>
#include <QStringList>

#include <array>

RESOURCESTRING(SMedium0, "299 (air)");
RESOURCESTRING(SMedium1, "295");
RESOURCESTRING(SMedium2, "220");
RESOURCESTRING(SMedium3, "210");
RESOURCESTRING(SMedium4, "200");
RESOURCESTRING(SMedium5, "190");
RESOURCESTRING(SMedium6, "180");
RESOURCESTRING(SMedium7, "170");
RESOURCESTRING(SMedium8, "160 (ice)");
RESOURCESTRING(SMedium9, "150 (clay dry or sand dry or permafrost dry)");
RESOURCESTRING(SMedium10, "140");
RESOURCESTRING(SMedium11, "130 (schist dry)");
RESOURCESTRING(SMedium12, "120 (granite)");
RESOURCESTRING(SMedium13, "110 (limestone dry)");
RESOURCESTRING(SMedium14, "100 (silt dry or moraine dry or permafrost wet)");
RESOURCESTRING(SMedium15, "90");
RESOURCESTRING(SMedium16, "80 (limestone wet or schist wet)");
RESOURCESTRING(SMedium17, "70 (clay wet)");
RESOURCESTRING(SMedium18, "60 (sand wet)");
RESOURCESTRING(SMedium19, "50");
RESOURCESTRING(SMedium20, "40");
RESOURCESTRING(SMedium21, "30");
RESOURCESTRING(SMedium22, "20");

using TListOfMedium = std::array<TMediumProperty, MediumCount>;

// The 23 rows, captions in the current language, speeds in m/us from 299 (air)
// down to 20.
TListOfMedium FillMediumList();

// The file names (without folder) of the simple-mode tool sets: every
// "*.dstcl" (extension in any case) in the folder "setoftools" of the program
// folder, sorted without case (names equal but for case in code-unit order), so
// the list does not depend on the order the file system returns them in.
QStringList ScanDSTCL(const QString& programFolder);
