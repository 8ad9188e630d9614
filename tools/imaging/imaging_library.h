#pragma once
// The imaging library's start-up: adds its tool classes to the registry's class
// table (tools/tool_classes.h), the tools library knowing nothing of them. The
// programs call it once at start-up, beside ToolsLibraryStartup; a second call
// changes nothing. User-interface thread.

void ImagingLibraryStartup();
