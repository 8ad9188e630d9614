#pragma once
// The class table of the tool registry: a tool's fixed English registry name ->
// the constructor of its class.
//
// The names are the English texts of the registry names, never a language
// module's, so a translated name still finds its class. The table holds the
// classes of this library from the start; a library built above this one
// (tools/imaging) adds its classes by RegisterToolClass at start-up, so that this
// library does not depend on it. User-interface thread.

#include <QString>

#include <functional>
#include <memory>

class TCommonTool;

// Creates a tool with the given language id.
using TToolConstructor = std::function<std::unique_ptr<TCommonTool>(uint16_t language)>;

// Adds or replaces the row of a name.
void RegisterToolClass(const QString& englishName, TToolConstructor constructor);
// Removes a row (tests).
void UnregisterToolClass(const QString& englishName);
// The constructor of the name's class; empty when the table has no such row.
TToolConstructor FindToolClass(const QString& englishName);
