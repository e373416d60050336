#include "controls/entry/picture_mask.h"
#include "controls/entry/mask_chars.h"
#include "controls/entry/typed_values.h"
#include "controls/framework/intl_support.h"
#include "controls/framework/string_routines.h"
#include "controls/framework/user_data.h"
#include "platform/windowing/messages.h"
#include <algorithm>

namespace {

constexpr std::uint8_t kLiteral = 0;
constexpr std::uint8_t kEditable = 1;
constexpr std::uint8_t kFloating = 2;

// A substitution code shows as its user character; anything else as itself.
QChar Substituted(QChar m) {
  const int code = m.unicode();
  if (code >= TOvcUserData::FirstSubstitutionCode && code < TOvcUserData::FirstSubstitutionCode + 8)
    return OvcUserData()->SubstChar(code);
  return m;
}

} // namespace

TOvcPictureBase::TOvcPictureBase(TComponent *AOwner) : TOvcBaseEntryField(AOwner) {}

QString TOvcPictureBase::GetFullPicture() const {
  QString full = Picture();
  if (full.size() < MaxLength()) full += QString(MaxLength() - full.size(), QLatin1Char(' '));
  return full;
}

QChar TOvcPictureBase::MaskAt(int Pos) const {
  const QString &picture = Picture();
  return Pos >= 0 && Pos < picture.size() ? picture.at(Pos) : QLatin1Char(' ');
}

int TOvcPictureBase::PicturePositions() const { return MaxLength(); }

const std::vector<std::uint8_t> &TOvcPictureBase::Classes() const {
  if (classifiedLength_ == MaxLength() && classifiedPicture_ == Picture()) return classes_;
  const int length = PicturePositions();
  classes_.assign(std::size_t(length + 1), kLiteral);
  floatingCount_ = 0;
  for (int i = 0; i < length; ++i) {
    const QChar m = MaskAt(i);
    if (IsMaskChar(m)) {
      classes_[std::size_t(i)] = kEditable;
    } else if (m == QLatin1Char('$') || m == QLatin1Char(',')) {
      classes_[std::size_t(i)] = kFloating;
      ++floatingCount_;
    }
  }
  classifiedPicture_ = Picture();
  classifiedLength_ = MaxLength();
  return classes_;
}

int TOvcPictureBase::FloatingCount() const {
  Classes();
  return floatingCount_;
}

bool TOvcPictureBase::IsLiteral(int Pos) const {
  const auto &classes = Classes();
  return Pos < 0 || Pos >= int(classes.size()) || classes[std::size_t(Pos)] == kLiteral;
}

bool TOvcPictureBase::IsFloatingSymbol(int Pos) const {
  const auto &classes = Classes();
  return Pos >= 0 && Pos < int(classes.size()) && classes[std::size_t(Pos)] == kFloating;
}

void TOvcPictureBase::InitPictureFlags() {
  const auto &classes = Classes();
  bool noLiterals = true;
  for (int i = 0; i < MaxLength(); ++i)
    if (classes[std::size_t(i)] != kEditable) noLiterals = false;
  SetMaskHasNoLiterals(noLiterals);
  if (!noLiterals && (Options().Contains(efoTrimBlanks) || Options().Contains(efoRightJustify))) {
    TOvcEntryFieldOptions options = Options();
    options.Exclude(efoTrimBlanks);
    options.Exclude(efoRightJustify);
    SetOptions(options);
  }
}

WORD TOvcPictureBase::FirstEditablePos() { return WORD(FirstPlace()); }

int TOvcPictureBase::FirstPlace() const {
  const auto &classes = Classes();
  for (int i = 0; i < MaxLength(); ++i)
    if (classes[std::size_t(i)] != kLiteral)
      return std::min(i + (HasNumericLayout() ? floatingCount_ : 0), MaxLength());
  return 0;
}

int TOvcPictureBase::LastEditablePos() const {
  const auto &classes = Classes();
  for (int i = MaxLength() - 1; i >= 0; --i)
    if (classes[std::size_t(i)] != kLiteral) return i;
  return -1;
}

bool TOvcPictureBase::HoldsNumber() const {
  return FieldKind() == fkNumeric || IsIntegerType(DataType()) || IsFloatType(DataType());
}

bool TOvcPictureBase::HasNumericLayout() const {
  // A text, date or time is laid in as it stands, whatever literals its mask has.
  if (!HoldsNumber()) return false;
  const QString &picture = Picture();
  return FloatingCount() > 0 || FieldKind() == fkNumeric || MaskBase(picture) != 10 ||
         picture.contains(QLatin1Char('.')) || picture.contains(QLatin1Char('c')) ||
         picture.contains(QLatin1Char('C'));
}

QString TOvcPictureBase::StripPicture(const QString &Source) const {
  const int length = MaxLength();
  if (Source.size() != length) return Source;
  const auto &classes = Classes();
  const int dot = DecimalPointPos();
  QString plain;
  for (int i = 0; i < length; ++i)
    if (classes[std::size_t(i)] != kLiteral || i == dot) plain += Source.at(i);
  if (!HasNumericLayout()) return plain;
  const TOvcIntlSup &intl = OvcIntlSup();
  const QString &picture = Picture();
  if (const qsizetype first = picture.indexOf(QLatin1Char('$')); first >= 0) {
    int run = 0;
    while (first + run < picture.size() && picture.at(first + run) == QLatin1Char('$')) ++run;
    const QString symbol = intl.CurrencyLtStr().left(run);
    if (!symbol.isEmpty())
      if (const qsizetype at = plain.indexOf(symbol); at >= 0) plain.remove(at, symbol.size());
  }
  if (picture.contains(QLatin1Char(',')) && !intl.CommaChar().isNull()) plain.remove(intl.CommaChar());
  if (dot >= 0 || IsFloatType(DataType())) plain.replace(intl.DecimalChar(), QLatin1Char('.'));
  return plain;
}

QString TOvcPictureBase::MergeWithPicture(const QString &Source) const {
  const int length = MaxLength();
  const auto &classes = Classes();
  const TOvcIntlSup &intl = OvcIntlSup();
  QString dest(length, QLatin1Char(' '));
  for (int i = 0; i < length; ++i) dest[i] = MaskAt(i);
  auto editable = [&](int i) { return classes[std::size_t(i)] != kLiteral; };

  // Fixed currency runs: the left string right-aligned, the right string left-aligned.
  for (int i = 0; i < length;) {
    const QChar m = MaskAt(i);
    if (m != QLatin1Char('c') && m != QLatin1Char('C')) {
      ++i;
      continue;
    }
    int end = i;
    while (end < length && MaskAt(end) == m) ++end;
    const int run = end - i;
    const QString symbol = (m == QLatin1Char('c') ? intl.CurrencyLtStr() : intl.CurrencyRtStr()).left(run);
    for (int k = i; k < end; ++k) dest[k] = QLatin1Char(' ');
    const int start = m == QLatin1Char('c') ? end - int(symbol.size()) : i;
    for (int k = 0; k < symbol.size(); ++k) dest[start + k] = symbol.at(k);
    i = end;
  }

  if (!HasNumericLayout()) {
    QString source = Source;
    if (FloatWithDecimalMask() && source.size() > length && source.contains(QLatin1Char('.')))
      TrimTrailingZeros(source);
    const bool right = Options().Contains(efoRightJustify);
    int k = right ? int(source.size()) - 1 : 0;
    for (int step = 0; step < length; ++step) {
      const int i = right ? length - 1 - step : step;
      if (!editable(i)) {
        dest[i] = Substituted(dest[i]);
        continue;
      }
      QChar ch = QLatin1Char(' ');
      if (right ? k >= 0 : k < source.size()) ch = source.at(right ? k-- : k++);
      dest[i] = ApplyMaskCase(MaskAt(i), ch, QChar());
    }
    if (FloatWithDecimalMask()) dest.replace(QLatin1Char('.'), intl.DecimalChar());
    return dest;
  }

  // Numbers: the fraction from the point rightwards, the integer part from the point leftwards.
  const QString &picture = Picture();
  // The "$" run takes the left currency string, cut to the run's length. The digits stand right of the run;
  // when no place for a digit follows the run (the sign stands behind the number), the run shows the string
  // and the digits stand before it.
  QString symbol;
  int digitsRightOf = -1;
  bool symbolBehind = false;
  if (const qsizetype first = picture.indexOf(QLatin1Char('$')); first >= 0 && first < length) {
    int run = 0;
    while (first + run < length && MaskAt(int(first) + run) == QLatin1Char('$')) ++run;
    symbol = intl.CurrencyLtStr().left(run);
    digitsRightOf = int(std::min<qsizetype>(picture.lastIndexOf(QLatin1Char('$')), length - 1));
    symbolBehind = std::none_of(picture.begin() + first,
                                picture.begin() + std::min<qsizetype>(length, picture.size()), IsMaskChar);
    if (symbolBehind) {
      int at = 0;
      for (int i = int(first); i < length; ++i)
        if (MaskAt(i) == QLatin1Char('$')) dest[i] = at < symbol.size() ? symbol.at(at++) : QLatin1Char(' ');
      symbol.clear();
      digitsRightOf = -1;
    }
  }
  auto symbolPlace = [&](int i) { return symbolBehind && MaskAt(i) == QLatin1Char('$'); };
  auto starred = [&] { return Starred(dest); };
  QString source = Source.trimmed();
  bool pendingMinus = false;
  if (source.startsWith(QLatin1Char('-'))) {
    pendingMinus = true;
    source = source.mid(1).trimmed();
  }
  const qsizetype sourceDot = source.indexOf(QLatin1Char('.'));
  const QString integer = sourceDot < 0 ? source : source.left(sourceDot);
  const QString fraction = sourceDot < 0 ? QString() : source.mid(sourceDot + 1);
  int dot = DecimalPointPos();
  if (dot >= length) dot = -1;
  int i = (dot >= 0 ? dot : length) - 1;
  if (dot >= 0) {
    dest[dot] = intl.DecimalChar();
    int k = 0;
    int j = dot + 1;
    for (; j < length && editable(j); ++j)
      dest[j] = k < fraction.size() ? fraction.at(k++) : QLatin1Char('0');
    for (; j < length; ++j) dest[j] = editable(j) ? QLatin1Char(' ') : Substituted(dest[j]);
  } else if (sourceDot >= 0) {
    // A mask without a point: the point and the fraction take the last places that accept them. Thousands
    // separators would group the digits wrongly around them: such a mask cannot hold a fraction.
    const QString tail = QLatin1Char('.') + fraction;
    if (!fraction.isEmpty() && picture.left(length).contains(QLatin1Char(','))) return starred();
    for (int t = int(tail.size()) - 1; t >= 0; --t, --i) {
      while (i >= 0 && (!editable(i) || symbolPlace(i))) {
        if (!editable(i)) dest[i] = Substituted(dest[i]);
        --i;
      }
      if (i < 0 || IsFloatingSymbol(i) || !CheckMaskChar(MaskAt(i), tail.at(t), QChar())) return starred();
      dest[i] = t == 0 ? intl.DecimalChar() : tail.at(t);
    }
  }
  const bool baseMask = MaskBase(picture) != 10;
  QString integerDigits = integer;
  while (integerDigits.size() > 1 && integerDigits.startsWith(QLatin1Char('0'))) integerDigits.remove(0, 1);
  // A lone zero needs no place where the fill brings it back (a base mask) or where there is none for it.
  bool integerPlace = false;
  for (int j = digitsRightOf + 1; j <= i; ++j)
    integerPlace = integerPlace || (editable(j) && !symbolPlace(j));
  if (integerDigits == QLatin1String("0") && (baseMask || !integerPlace)) integerDigits.clear();
  int symbolLeft = int(symbol.size()) - 1;
  auto fill = [&](int at) {
    if (symbolLeft >= 0) {
      dest[at] = symbol.at(symbolLeft--);
    } else if (pendingMinus) {
      dest[at] = QLatin1Char('-');
      pendingMinus = false;
    } else {
      dest[at] = baseMask ? QLatin1Char('0') : QLatin1Char(' ');
    }
  };
  int k = int(integerDigits.size()) - 1;
  QList<int> removed;
  for (; i >= 0; --i) {
    const QChar m = MaskAt(i);
    if (!editable(i)) {
      dest[i] = m == QLatin1Char('.') ? intl.DecimalChar() : Substituted(dest[i]);
    } else if (symbolPlace(i)) {
      continue;
    } else if (m == QLatin1Char(',')) {
      if (k < 0)
        fill(i);
      else if (intl.CommaChar().isNull())
        removed.append(i);
      else
        dest[i] = intl.CommaChar();
    } else if (k >= 0 && i > digitsRightOf) {
      dest[i] = integerDigits.at(k--);
    } else {
      fill(i);
    }
  }
  if (k >= 0 || pendingMinus) return starred();
  if (dot > 0 && dest[dot - 1] == QLatin1Char(' ')) dest[dot - 1] = QLatin1Char('0');
  for (int at : removed) dest.remove(at, 1);
  return dest.rightJustified(length, QLatin1Char(' '));
}

QString TOvcPictureBase::Starred(QString Text) const {
  for (int i = 0; i < Text.size(); ++i)
    if (!IsLiteral(i)) Text[i] = QLatin1Char('*');
  return Text;
}

void TOvcPictureBase::AlignDecimal(int DotPos, int FirstPos, bool DoFraction, bool DoInteger, int LastPos) {
  QString text = EditString().leftJustified(MaxLength(), QLatin1Char(' '), true);
  if (DoInteger) {
    const int end = DotPos >= 0 ? DotPos - 1 : LastPos;
    int start = end;
    while (start - 1 >= FirstPos && !IsLiteral(start - 1)) --start;
    if (end >= start && end >= 0 && !IsLiteral(end)) {
      QString digits = text.mid(start, end - start + 1);
      digits.remove(QLatin1Char(' '));
      digits = digits.rightJustified(end - start + 1, QLatin1Char(' '));
      if (digits.endsWith(QLatin1Char(' '))) digits[digits.size() - 1] = QLatin1Char('0');
      text.replace(start, digits.size(), digits);
    }
  }
  if (DoFraction && DotPos >= 0) {
    const int start = DotPos + 1;
    int end = start - 1;
    while (end + 1 <= LastPos && !IsLiteral(end + 1)) ++end;
    if (end >= start) {
      QString digits = text.mid(start, end - start + 1);
      digits.remove(QLatin1Char(' '));
      text.replace(start, end - start + 1, digits.leftJustified(end - start + 1, QLatin1Char('0')));
    }
  }
  if (text != EditString()) SetEditText(text);
}

void TOvcPictureBase::GetDigitCounts(int &Width, int &Decimals) const {
  const int length = MaxLength();
  const int dot = DecimalPointPos();
  Decimals = 0;
  if (dot >= 0 && dot < length) {
    for (int i = dot + 1; i < length && !IsLiteral(i); ++i) ++Decimals;
  } else {
    Decimals = DecimalPlaces();
  }
  int i = 0;
  while (i < length && (IsLiteral(i) || IsFloatingSymbol(i))) ++i;
  Width = 0;
  // A mask whose point comes before its first place has no places for a whole part: its places are all
  // decimals.
  if (dot >= 0 && i > dot) i = length;
  for (; i < length; ++i) {
    if (MaskAt(i) == QLatin1Char(',')) continue;
    if (IsLiteral(i) || IsFloatingSymbol(i)) break;
    ++Width;
  }
  if (Decimals != 0) Width += Decimals + 1;
}

void TOvcPictureBase::PrepareEditText() {
  if (FloatingCount() > 0 && HasNumericLayout()) {
    SetNeedsReformat(true);
    QString text = EditString().leftJustified(MaxLength(), QLatin1Char(' '), true);
    int first = 0;
    while (first < MaxLength() && IsLiteral(first)) ++first;
    const TOvcIntlSup &intl = OvcIntlSup();
    const QString symbol = intl.CurrencyLtStr();
    if (Picture().contains(QLatin1Char('$')) && !symbol.isEmpty()) {
      if (const qsizetype at = text.indexOf(symbol); at >= 0) {
        text.remove(at, symbol.size());
        text.insert(first, QString(symbol.size(), QLatin1Char(' ')));
      }
    }
    const QChar comma = intl.CommaChar();
    for (int i = first; i <= LastEditablePos() && !comma.isNull(); ++i)
      if (text.at(i) == comma && IsFloatingSymbol(i)) {
        text.remove(i, 1);
        text.insert(first, QLatin1Char(' '));
      }
    SetEditText(text);
  } else if (HexMask() || OctalMask() || BinaryMask()) {
    SetNeedsReformat(true);
  }
}

void TOvcPictureBase::ReformatAfterEdit() {
  if (!NeedsReformat()) return;
  SetNeedsReformat(false);
  QString plain = StripPicture(EditString());
  plain.replace(OvcIntlSup().DecimalChar(), QLatin1Char('.'));
  SetEditText(MergeWithPicture(plain));
}

bool TOvcPictureBase::IsEmpty() {
  const QString text = EditString();
  for (int i = 0; i < text.size(); ++i)
    if (!IsLiteral(i) && text.at(i) != QLatin1Char(' ')) return false;
  return true;
}

QString TOvcPictureBase::GetDisplayString() {
  QString shown = TOvcBaseEntryField::GetDisplayString();
  if (Uninitialized() && !IsFocused()) return QString(MaxLength(), QLatin1Char(' '));
  const bool password = Options().Contains(efoPasswordMode) && !PasswordChar().isNull();
  if (password || PadChar() != QLatin1Char(' ')) {
    for (int i = 0; i < shown.size(); ++i) {
      if (IsLiteral(i)) continue;
      if (shown.at(i) == QLatin1Char(' '))
        shown[i] = PadChar();
      else if (password)
        shown[i] = PasswordChar();
    }
  }
  return shown;
}

void TOvcPictureBase::AdjustOptions() {
  TOvcBaseEntryField::AdjustOptions();
  if (ComponentState().Contains(csLoading)) return;
  bool noLiterals = true;
  for (int i = 0; i < MaxLength(); ++i)
    if (IsLiteral(i) || IsFloatingSymbol(i)) noLiterals = false;
  if (FieldKind() == fkPicture && DataType() == edtString && StripsLiterals() && !noLiterals) {
    TOvcEntryFieldOptions options = Options();
    if (options.Contains(efoRightJustify) || options.Contains(efoTrimBlanks)) {
      options.Exclude(efoRightJustify);
      options.Exclude(efoTrimBlanks);
      SetOptions(options);
    }
  }
}

void TOvcPictureBase::SetInsertionPoint(int Position) {
  if (!IsFocused()) return;
  const int first = FirstEditablePos();
  const int last = LastEditablePos();
  if (Position < first) {
    Position = first;
  } else if (Position <= last) {
    while (Position > first && IsLiteral(Position)) --Position;
  } else {
    Position = last + 1;
  }
  SetCaret(Position);
  PositionCaret(true);
  Invalidate();
}

void TOvcPictureBase::MoveCaretToStart() {
  SetCaret(FirstEditablePos());
  SetFirstVisibleChar(0);
}

void TOvcPictureBase::MoveCaretToEnd() {
  const QString text = EditString();
  int caret = FirstEditablePos();
  for (int i = int(text.size()) - 1; i >= 0; --i)
    if (!IsLiteral(i) && text.at(i) != QLatin1Char(' ')) {
      caret = i + 1;
      break;
    }
  while (caret < LastEditablePos() && IsLiteral(caret)) ++caret;
  SetCaret(caret);
}

void TOvcPictureBase::AlignModifiedNumber() {
  if (Modified() && FieldKind() == fkPicture && DecimalPointPos() >= 0)
    AlignDecimal(DecimalPointPos(), FirstEditablePos(), true, true, LastEditablePos());
}

bool TOvcPictureBase::ValidateContents(bool Exiting) {
  AlignModifiedNumber();
  return TOvcBaseEntryField::ValidateContents(Exiting);
}

WORD TOvcPictureBase::ValidateSelf(bool ReportError) {
  AlignModifiedNumber();
  return TOvcBaseEntryField::ValidateSelf(ReportError);
}

void TOvcPictureBase::InitFloatFlag() {
  SetFloatWithDecimalMask(DataType() >= edtReal && DataType() <= edtComp);
}

void TOvcPictureBase::CreateWnd() {
  TOvcBaseEntryField::CreateWnd();
  InitPictureFlags();
  InitFloatFlag();
  if (DataType() >= edtReal && DataType() <= edtComp && Picture().contains(QLatin1Char('.')))
    SetDecimalPlacesRaw(0);
}

void TOvcPictureBase::SetPicture(const QString &Mask) {
  const QString plain = StripPicture(EditString());
  QString mask = Mask;
  if (FieldKind() != fkNumeric) {
    if (const qsizetype p = mask.indexOf(QLatin1Char('p')); p >= 0) mask.remove(p, 1);
    if (const qsizetype g = mask.indexOf(QLatin1Char('g')); g >= 0) mask.remove(g, 1);
  }
  TOvcBaseEntryField::SetPicture(mask);
  const int length = PictureLength();
  // The numeric and picture fields take the picture's length (the engine would only raise it).
  if (!ComponentState().Contains(csLoading) && MaxLength() != length) SetMaxLengthRaw(length);
  SetEditText(QString());
  InitPictureFlags();
  SetEditText(MergeWithPicture(plain));
}

void TOvcPictureBase::WndProc(TMessage &Message) {
  switch (Message.Msg) {
  case WM_SETFOCUS: {
    InitPictureFlags();
    const bool kept = KeepCaret();
    TOvcBaseEntryField::WndProc(Message);
    if (!kept) selEndOnEntry_ = SelectionEnd();
    return;
  }
  case WM_KILLFOCUS:
    AlignModifiedNumber();
    TOvcBaseEntryField::WndProc(Message);
    if (!KeepCaret()) ReformatAfterEdit();
    return;
  default: TOvcBaseEntryField::WndProc(Message);
  }
}
