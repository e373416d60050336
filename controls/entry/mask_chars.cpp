#include "controls/entry/mask_chars.h"
#include "controls/framework/alpha_chars.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/string_routines.h"
#include "controls/framework/user_data.h"
#include <algorithm>

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool BlankOrDigit(char16_t c) { return c == u' ' || IsDigit(c); }
bool StartsWord(QChar prev) { return prev == QLatin1Char(' ') || prev == QLatin1Char('-'); }

} // namespace

bool IsMaskChar(QChar m) {
  switch (m.unicode()) {
  case u'!':
  case u'#':
  case u'A':
  case u'B':
  case u'D':
  case u'E':
  case u'H':
  case u'K':
  case u'L':
  case u'M':
  case u'N':
  case u'O':
  case u'S':
  case u'X':
  case u'Y':
  case u'a':
  case u'b':
  case u'd':
  case u'h':
  case u'i':
  case u'l':
  case u'm':
  case u'n':
  case u's':
  case u't':
  case u'x':
  case u'y': return true;
  default: return m.unicode() >= u'1' && m.unicode() <= u'9';
  }
}

QChar ApplyMaskCase(QChar m, QChar ch, QChar prev) {
  switch (m.unicode()) {
  case u'!':
  case u'A':
  case u'N':
  case u'E':
  case u'K':
  case u'B':
  case u'Y': return UpCaseChar(ch);
  case u'L':
  case u'l': return LoCaseChar(ch);
  case u'x': return !prev.isNull() && StartsWord(prev) ? UpCaseChar(ch) : ch;
  default: break;
  }
  if (m.unicode() >= u'1' && m.unicode() <= u'8') {
    switch (OvcUserData()->ForceCase(m.unicode() - u'1')) {
    case 1: return UpCaseChar(ch);
    case 2: return LoCaseChar(ch);
    case 3: return !prev.isNull() && StartsWord(prev) ? UpCaseChar(ch) : ch;
    default: return ch;
    }
  }
  return ch;
}

std::optional<QChar> CheckMaskChar(QChar m, QChar ch, QChar prev) {
  if (ch.isNull() || !IsMaskChar(m)) return std::nullopt;
  const QChar cased = ApplyMaskCase(m, ch, prev);
  const char16_t c = cased.unicode();
  bool ok = false;
  switch (m.unicode()) {
  case u'X':
  case u'!':
  case u'L':
  case u'x':
  case u't': ok = true; break;
  case u'a':
  case u'A':
  case u'l':
  case u'n':
  case u'N': ok = IsAlphaChar(cased); break;
  case u'9':
  case u'D':
  case u'H':
  case u'M':
  case u'S':
  case u'd':
  case u'h':
  case u'm':
  case u's':
  case u'y': ok = BlankOrDigit(c); break;
  case u'i': ok = BlankOrDigit(c) || c == u'-'; break;
  case u'#': ok = BlankOrDigit(c) || c == u'-' || c == u'.'; break;
  case u'E': ok = BlankOrDigit(c) || c == u'-' || c == u'.' || c == u'+' || c == u'E'; break;
  case u'K': ok = BlankOrDigit(c) || (c >= u'A' && c <= u'F'); break;
  case u'O': ok = c == u' ' || (c >= u'0' && c <= u'7'); break;
  case u'b': ok = c == u' ' || c == u'0' || c == u'1'; break;
  case u'B':
    ok = cased == UpCaseChar(OvcIntlSup().TrueChar()) || cased == UpCaseChar(OvcIntlSup().FalseChar());
    break;
  case u'Y':
    ok = cased == UpCaseChar(OvcIntlSup().YesChar()) || cased == UpCaseChar(OvcIntlSup().NoChar());
    break;
  default: // the user classes "1".."8"
    ok = c < 256 && OvcUserData()->UserCharSet(m.unicode() - u'1').test(c);
    break;
  }
  if (!ok) return std::nullopt;
  return cased;
}

bool IsNumberMask(const QString &mask, bool integer) {
  const qsizetype points = mask.count(QLatin1Char('.'));
  if (points > (integer ? 0 : 1)) return false;
  // The decimals follow the point in one run: a digit place beyond a later literal belongs to no part, and
  // a currency sign or thousands separator after the point would take a place among the decimals.
  const qsizetype point = mask.indexOf(QLatin1Char('.'));
  if (point >= 0) {
    qsizetype end = point + 1;
    while (end < mask.size() && IsMaskChar(mask.at(end))) ++end;
    if (std::any_of(mask.begin() + end, mask.end(), IsMaskChar)) return false;
    if (std::any_of(mask.begin() + point, mask.end(),
                    [](QChar m) { return m == QLatin1Char('$') || m == QLatin1Char(','); }))
      return false;
  }
  bool any = false;
  for (QChar m : mask) {
    if (!IsMaskChar(m)) continue;
    if (!IsNumberMaskChar(m) || (!integer && IsBaseMaskChar(m))) return false;
    any = true;
  }
  return any;
}

namespace {

// Whether the mask characters of Mask are only those of Letters (case ignored), each in one run, and the
// runs of Required all present.
bool RunsOnly(const QString &mask, QStringView letters, QStringView required) {
  QString seen;
  QChar previous;
  for (QChar m : mask) {
    if (!IsMaskChar(m)) {
      previous = QChar();
      continue;
    }
    const QChar letter = m.toLower();
    if (!letters.contains(letter)) return false;
    if (letter != previous) {
      if (seen.contains(letter)) return false;
      seen += letter;
    }
    previous = letter;
  }
  for (QChar r : required)
    if (!seen.contains(r)) return false;
  return true;
}

} // namespace

bool IsDateMask(const QString &mask) {
  // The month is a number run (m) or a name run (n), not both.
  if (mask.contains(QLatin1Char('m'), Qt::CaseInsensitive) &&
      mask.contains(QLatin1Char('n'), Qt::CaseInsensitive))
    return false;
  QString withMonth = mask;
  withMonth.replace(QLatin1Char('n'), QLatin1Char('m')).replace(QLatin1Char('N'), QLatin1Char('M'));
  return RunsOnly(withMonth, u"dmy", u"dmy");
}

bool IsTimeMask(const QString &mask) { return RunsOnly(mask, u"hmst", u"hm"); }

int MaskCharCount(const QString &mask) { return int(std::count_if(mask.begin(), mask.end(), IsMaskChar)); }
