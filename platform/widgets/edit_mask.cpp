#include "platform/widgets/edit_mask.h"
#include "platform/core/exceptions.h"
#include "platform/core/format_settings.h"
#include <algorithm>

namespace {

// The characters Qt reads as mask characters; a literal among them is escaped.
bool IsQtMaskCharacter(QChar c) {
  static const QString special = QStringLiteral("AaNnXx90Dd#HhBb<>![]{}\\;");
  return special.contains(c);
}

QChar QtClass(const TMaskPosition &p) {
  switch (p.Kind) {
  case TMaskCharKind::Letter: return p.Required ? QLatin1Char('A') : QLatin1Char('a');
  case TMaskCharKind::AlphaNumeric: return p.Required ? QLatin1Char('N') : QLatin1Char('n');
  case TMaskCharKind::Any: return p.Required ? QLatin1Char('X') : QLatin1Char('x');
  case TMaskCharKind::Digit: return p.Required ? QLatin1Char('9') : QLatin1Char('0');
  case TMaskCharKind::DigitOrSign: return QLatin1Char('#');
  default: return QChar();
  }
}

} // namespace

TEditMask::TEditMask(const QString &Mask) { Parse(Mask, Settings().DateSeparator, Settings().TimeSeparator); }

TEditMask::TEditMask(const QString &Mask, QChar DateSeparator, QChar TimeSeparator) {
  Parse(Mask, DateSeparator, TimeSeparator);
}

void TEditMask::Parse(const QString &Mask, QChar DateSeparator, QChar TimeSeparator) {
  mask_ = Mask;
  // The fields are separated by the last two unescaped semicolons.
  QList<int> separators;
  for (int i = 0; i < Mask.size(); ++i) {
    if (Mask[i] == QLatin1Char('\\')) {
      ++i;
      continue;
    }
    if (Mask[i] == QLatin1Char(';')) separators.append(i);
  }
  QString body = Mask;
  if (separators.size() >= 2) {
    const int first = separators[separators.size() - 2];
    const int second = separators.last();
    body = Mask.left(first);
    saveLiterals_ = Mask.mid(first + 1, second - first - 1) != QLatin1String("0");
    if (second + 1 < Mask.size()) blank_ = Mask[second + 1];
  } else if (separators.size() == 1) {
    body = Mask.left(separators.first());
    saveLiterals_ = Mask.mid(separators.first() + 1) != QLatin1String("0");
  }

  TMaskCase currentCase = TMaskCase::None;
  for (int i = 0; i < body.size(); ++i) {
    const QChar c = body[i];
    TMaskPosition p;
    p.Case = currentCase;
    switch (c.unicode()) {
    case '!': leadingBlanks_ = true; continue;
    case '>': currentCase = TMaskCase::Upper; continue;
    case '<':
      if (i + 1 < body.size() && body[i + 1] == QLatin1Char('>')) {
        currentCase = TMaskCase::None;
        ++i;
      } else {
        currentCase = TMaskCase::Lower;
      }
      continue;
    case '\\':
      if (i + 1 >= body.size()) continue;
      p.Literal = body[++i];
      break;
    case 'L': p.Kind = TMaskCharKind::Letter, p.Required = true; break;
    case 'l': p.Kind = TMaskCharKind::Letter; break;
    case 'A': p.Kind = TMaskCharKind::AlphaNumeric, p.Required = true; break;
    case 'a': p.Kind = TMaskCharKind::AlphaNumeric; break;
    case 'C': p.Kind = TMaskCharKind::Any, p.Required = true; break;
    case 'c': p.Kind = TMaskCharKind::Any; break;
    case '0': p.Kind = TMaskCharKind::Digit, p.Required = true; break;
    case '9': p.Kind = TMaskCharKind::Digit; break;
    case '#': p.Kind = TMaskCharKind::DigitOrSign; break;
    case ':': p.Literal = TimeSeparator; break;
    case '/': p.Literal = DateSeparator; break;
    case '_': p.Literal = QLatin1Char(' '); break;
    default: p.Literal = c; break;
    }
    // Qt's input mask ends at its first ";" whatever the escaping, so it cannot show this literal.
    if (p.IsLiteral() && p.Literal == QLatin1Char(';'))
      throw EInvalidOperation(
          QStringLiteral("The edit mask \"%1\" has a literal \";\", which a masked edit cannot show")
              .arg(Mask));
    positions_.append(p);
  }
}

QString TEditMask::QtInputMask() const {
  if (positions_.isEmpty()) return QString();
  QString result;
  TMaskCase currentCase = TMaskCase::None;
  for (const TMaskPosition &p : positions_) {
    if (p.IsLiteral()) {
      if (IsQtMaskCharacter(p.Literal)) result += QLatin1Char('\\');
      result += p.Literal;
      continue;
    }
    if (p.Case != currentCase) {
      switch (p.Case) {
      case TMaskCase::Upper: result += QLatin1Char('>'); break;
      case TMaskCase::Lower: result += QLatin1Char('<'); break;
      default: result += QLatin1Char('!'); break;
      }
      currentCase = p.Case;
    }
    result += QtClass(p);
  }
  result += QLatin1Char(';');
  result += blank_;
  return result;
}

bool TEditMask::Accepts(int Position, QChar Ch) const {
  if (Position < 0 || Position >= positions_.size()) return false;
  switch (positions_[Position].Kind) {
  case TMaskCharKind::Letter: return Ch.isLetter() && Ch.unicode() < 128;
  case TMaskCharKind::AlphaNumeric: return Ch.isLetterOrNumber() && Ch.unicode() < 128;
  case TMaskCharKind::Any: return !Ch.isSpace() && Ch.isPrint();
  case TMaskCharKind::Digit: return Ch >= QLatin1Char('0') && Ch <= QLatin1Char('9');
  case TMaskCharKind::DigitOrSign:
    return (Ch >= QLatin1Char('0') && Ch <= QLatin1Char('9')) || Ch == QLatin1Char('+') ||
           Ch == QLatin1Char('-');
  default: return false;
  }
}

QChar TEditMask::Cased(int Position, QChar Ch) const {
  if (Position < 0 || Position >= positions_.size()) return Ch;
  switch (positions_[Position].Case) {
  case TMaskCase::Upper: return Ch.toUpper();
  case TMaskCase::Lower: return Ch.toLower();
  default: return Ch;
  }
}

QString TEditMask::EmptyEditText() const {
  QString result;
  for (const TMaskPosition &p : positions_) result += p.IsLiteral() ? p.Literal : blank_;
  return result;
}

// Lays value into the positions in the given order (indexes into positions_); the value is walked in the
// same direction.
QString TEditMask::LayForward(const QList<int> &order, const QString &value) const {
  QString result = EmptyEditText();
  int v = 0;
  for (int k = 0; k < order.size(); ++k) {
    const int i = order[k];
    const TMaskPosition &p = positions_[i];
    if (p.IsLiteral()) {
      if (v < value.size() && value[v] == p.Literal) ++v;
      continue;
    }
    if (v >= value.size()) continue;
    const QChar c = value[v];
    // A literal of the value that belongs further along leaves an optional position blank.
    if (!p.Required && !Accepts(i, c)) {
      bool laterLiteral = false;
      for (int m = k + 1; m < order.size() && !laterLiteral; ++m)
        laterLiteral = positions_[order[m]].IsLiteral() && positions_[order[m]].Literal == c;
      if (laterLiteral) continue;
    }
    ++v;
    if (Accepts(i, c)) result[i] = Cased(i, c);
  }
  return result;
}

QString TEditMask::EditTextFor(const QString &Value) const {
  if (positions_.isEmpty()) return Value;
  QList<int> order;
  for (int i = 0; i < positions_.size(); ++i) order.append(i);
  if (!leadingBlanks_) return LayForward(order, Value);
  std::reverse(order.begin(), order.end());
  QString reversed = Value;
  std::reverse(reversed.begin(), reversed.end());
  return LayForward(order, reversed);
}

QString TEditMask::TextOf(const QString &EditText) const {
  if (positions_.isEmpty()) return EditText;
  QString result;
  for (int i = 0; i < positions_.size(); ++i) {
    const TMaskPosition &p = positions_[i];
    if (p.IsLiteral()) {
      if (saveLiterals_) result += p.Literal;
      continue;
    }
    const QChar c = i < EditText.size() ? EditText[i] : blank_;
    result += c == blank_ ? QLatin1Char(' ') : c;
  }
  return result;
}

int TEditMask::FirstMissing(const QString &EditText) const {
  for (int i = 0; i < positions_.size(); ++i) {
    const TMaskPosition &p = positions_[i];
    if (p.IsLiteral() || !p.Required) continue;
    if (i >= EditText.size() || EditText[i] == blank_ || !Accepts(i, EditText[i])) return i;
  }
  return -1;
}
