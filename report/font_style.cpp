#include "report/font_style.h"

int FontStyleToBits(TFontStyles Style) {
  int bits = 0;
  if (Style & fsItalic) bits |= 1;
  if (Style & fsBold) bits |= 2;
  if (Style & fsUnderline) bits |= 4;
  return bits;
}

TFontStyles BitsToFontStyle(int Bits) {
  TFontStyles style = 0;
  if (Bits & 1) style |= fsItalic;
  if (Bits & 2) style |= fsBold;
  if (Bits & 4) style |= fsUnderline;
  return style;
}
