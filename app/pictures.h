// The program's own pictures, drawn in code: its icon and its name as a title. The about box shows both;
// they stand on any background (transparent around the drawing).
#pragma once
#include <QImage>

// The program's icon, 48 × 48: an invoice sheet with a tally of strokes.
QImage ProgramIconImage();
// "Tallyrook" drawn as a title, 150 × 40.
QImage ProgramNameImage();
