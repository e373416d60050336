// The pictures of the edit button's styles, drawn by this program: the library's stock button pictures
// (registered as the bitmap resources CALCULATORBMP, CALENDARBMP, FILEBMP, DIRECTORYBMP, OKBMP, CANCELBMP,
// FINDBMP, SEARCHBMP and SUMBMP, olive as their transparent colour), the drop-down arrow and the monochrome
// ellipsis of three 2 x 2 dots.
#pragma once
#include <QImage>
#include <QString>

// Registers the stock pictures as bitmap resources (once).
void RegisterEditButtonGlyphs();
// The drop-down arrow of a combo box's button.
QImage ComboArrowGlyph();
// Three 2 x 2 black dots on white, one pixel row and column of white around them (white is transparent).
QImage EllipsisGlyph();
