// The library's alphabetic characters, which the alphabetic picture-mask characters accept: blank, comma,
// minus, period, the letters A..Z and a..z, and every letter beyond ASCII.
#pragma once
#include <QChar>

inline bool IsAlphaChar(QChar ch) {
  const char16_t c = ch.unicode();
  if (c == u' ' || c == u',' || c == u'-' || c == u'.') return true;
  if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
  return c >= 128 && ch.isLetter();
}
