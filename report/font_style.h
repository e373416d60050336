// The font style integer of report streams and scripts: 1 italic, 2 bold, 4 underline, added; strike-out has
// no bit (it is dropped on the way to the integer).
#pragma once
#include "platform/graphics/graphics.h"

int FontStyleToBits(TFontStyles Style);
// Bits other than 1, 2 and 4 are ignored.
TFontStyles BitsToFontStyle(int Bits);
