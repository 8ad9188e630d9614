#pragma once
// The program's own mouse cursors, registered at start in the screen's cursor
// table under the ids the radargram windows select them by.

#include "platform/ui/cursors.h"

#include <QString>

#include <array>

struct TMainCursor {
  int Id;
  const char* Name;
};

inline constexpr std::array<TMainCursor, 24> MainCursors{{
    {6, "HANDOPEN"},        {7, "HANDCLOSE"},     {8, "CROSSPOINT"},   {9, "TOPODEL"},
    {10, "PLUSCURS"},       {40, "DEPTHCURS"},    {41, "DELMARK"},     {42, "DELMARK2"},
    {43, "DELPOLY2"},       {44, "MOVECURSOR"},   {108, "OnOnSelectMode"}, {109, "OnOverObjM"},
    {110, "OnOverSurfM"},   {111, "OnOverPoly"},  {112, "OnOverDotPoly"},  {113, "DElDOTREADY"},
    {114, "DelObj"},        {115, "DelObjMReady"}, {116, "DelSurfMReady"}, {117, "DelPolyReady"},
    {118, "AddObjM"},       {119, "AddSurfM"},    {120, "AddPoly"},    {121, "AddPolyIntDot"},
}};

// The picture of one of the cursors above (32 x 32 rows); an empty picture for
// another name.
TCursorImage MainCursorImage(const QString& name);

// Registers the pictures as cursor resources and puts each into its slot.
void LoadMainCursors();
