#pragma once
// The texts the link reports when it cannot work. They reach the user only
// through the program's log or error box, but are named resources like every
// text the user may see.

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SIpcFolderMissing, "The folder %s for program links does not exist");
RESOURCESTRING(SIpcFolderNotPrivate,
               "The folder %s for program links is not a private folder of this user");
RESOURCESTRING(SIpcBadName, "\"%s\" is not usable as the name of a program link");
RESOURCESTRING(SIpcPathTooLong, "The link path %s is longer than a local socket path may be");
RESOURCESTRING(SIpcEndpointInUse, "Another program already answers for %s");
RESOURCESTRING(SIpcSystemError, "%s: %s");
