#pragma once
// The drag cursors of TDigitEdit: the resources "DIGITEDITDSTARTMOVE",
// "DIGITEDITDUPMOVE" and "DIGITEDITDDOWNMOVE".

// Registers the three resources (once) and loads them into the screen's cursor
// slots crDigitEditStartMove, crDigitEditUpMove and crDigitEditDownMove.
void LoadDigitEditCursors();
