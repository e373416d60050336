// What the in-place editors of the cells share: placing and hiding the editor window, and handing it the
// control events the cell keeps.
#pragma once
#include "grids/base/cell.h"

// Moves the editor over CellRect, shows it and repaints it at once.
void PlaceCellEditor(TWinControl *Editor, const TRect &CellRect);
// Hides the editor at (0, 0) with no size.
void HideCellEditor(TWinControl *Editor);
// The cell's click, mouse, drag, key and focus events become the editor's.
void TakeCellEvents(const TOvcBaseTableCell *Cell, TWinControl *Editor);
