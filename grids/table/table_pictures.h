// The pictures the data-aware table loads by name, drawn by this program: the three row indicators (the
// active record browsed, edited, inserted) on a white background that the table treats as transparent, and
// the cursor shown over a header that can be dragged to move its column.
#pragma once

constexpr const char *IndicatorArrowResource = "ORDBARROW";
constexpr const char *IndicatorEditResource = "ORDBEDIT";
constexpr const char *IndicatorInsertResource = "ORDBINSERT";
constexpr const char *ColumnMoveCursorResource = "ORCOLUMNMOVECURSOR";
constexpr int kIndicatorWidth = 5;
constexpr int kIndicatorHeight = 9;

// Registers the pictures (once); the table calls it before it loads them.
void RegisterTablePictures();
