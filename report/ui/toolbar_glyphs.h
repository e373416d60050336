// The pictures of the report engine's windows, drawn by this program and registered as bitmap resources by
// name: the preview's toolbar glyphs (16 x 16), the page buttons' arrows and the print dialog's printer
// (18 x 16). Every picture has olive as its transparent colour (its bottom-left pixel).
#pragma once
#include <QString>

class TBitmap;

extern const char *const frGlyphZoom;
extern const char *const frGlyphOpen;
extern const char *const frGlyphSave;
extern const char *const frGlyphPrint;
extern const char *const frGlyphFind;
extern const char *const frGlyphExit;
extern const char *const frGlyphWeb;
extern const char *const frGlyphPageUp;
extern const char *const frGlyphPageDown;
extern const char *const frGlyphPrinter;

// Registers the pictures (once).
void frRegisterReportGlyphs();
// Loads the named picture into the bitmap, registering the pictures first when needed.
void frLoadReportGlyph(TBitmap *bitmap, const char *name);
