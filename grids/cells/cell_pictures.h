// The pictures the cells load by name, drawn by this program: the check-box strip (unchecked, checked,
// greyed) and the combo-box cell's drop-down arrow.
#pragma once
#include "platform/widgets/std_buttons.h"

constexpr const char *CheckGlyphsResource = "ORTCCHECKGLYPHS"; // 42 x 14: three 14 x 14 glyphs
constexpr const char *ComboArrowResource = "ORTCCOMBOARROW";   // 7 x 11
constexpr int kCheckGlyphSize = 14;

// Registers both pictures (once); the cells call it before they load them.
void RegisterCellPictures();
