#include "platform/core/text_encoding.h"
#include <QStringView>
#include <array>

namespace {

// The characters of 0x80..0x9F; the undefined bytes keep their own code point.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char16_t Windows1252ToChar(unsigned char Byte) {
  if (Byte >= 0x80 && Byte <= 0x9F) return kHighControls[Byte - 0x80];
  return Byte;
}

int CharToWindows1252(char32_t Character) {
  if (Character < 0x80 || (Character >= 0xA0 && Character <= 0xFF)) return int(Character);
  for (int i = 0; i < int(kHighControls.size()); ++i)
    if (kHighControls[i] == Character) return 0x80 + i;
  return -1;
}

QString FromWindows1252(const QByteArray &Bytes) {
  QString text(Bytes.size(), Qt::Uninitialized);
  QChar *out = text.data();
  for (char b : Bytes) *out++ = QChar(Windows1252ToChar(static_cast<unsigned char>(b)));
  return text;
}

QByteArray ToWindows1252(const QString &Text) {
  QByteArray bytes;
  bytes.reserve(Text.size());
  for (char32_t c : QStringView(Text).toUcs4()) {
    const int b = CharToWindows1252(c);
    bytes.append(b < 0 ? '?' : char(b));
  }
  return bytes;
}

bool IsWindows1252(const QString &Text) {
  for (QChar c : Text)
    if (CharToWindows1252(c.unicode()) < 0) return false; // a surrogate half is never representable
  return true;
}
