// The class library's edit masks ("mask;save literals;blank"), what a masked edit shows for a value and reads
// back, and their translation to Qt's input masks.
//
// Mask characters (the class library's):
//   !    optional characters missing from a value show as leading blanks (else trailing ones)
//   >    what follows is upper case; <  lower case; <>  case is left as typed
//   \    the next character is a literal
//   L l  a letter, required / optional
//   A a  a letter or digit, required / optional
//   C c  any character, required / optional
//   0 9  a digit, required / optional
//   #    a digit or a sign (+, -), optional
//   :    the time separator of the regional settings; /  the date separator
//   _    a blank (a literal space)
//   anything else is a literal.
// The second field is "0" when the edit's Text leaves the literals out (anything else, or no field: kept);
// the third is the character shown in empty positions ("_" when not given).
//
// Translation to Qt's input mask, position by position:
//   class library   Qt
//   0 (digit, required)          9
//   9 (digit, optional)          0
//   # (digit or sign, optional)  #
//   L / l (letter)               A / a
//   A / a (letter or digit)      N / n
//   C / c (any character)        X / x
//   > and <                      > and <
//   <>                           !
//   : and /                      the regional separator, as a literal
//   _                            a literal space
//   a literal                    the literal, escaped with \ when Qt would read it as a mask character
//   ;blank                       ;blank
// The two digit rules are swapped: Qt's "9" is the class library's "0" and the other way round. Qt has no
// counterpart of "!" (it changes only how a value is laid into the positions, which EditTextFor does), and
// its letter classes take ASCII letters only.
#pragma once
#include <QList>
#include <QString>

enum class TMaskCharKind { Literal, Letter, AlphaNumeric, Any, Digit, DigitOrSign };
enum class TMaskCase { None, Upper, Lower };

// One position of the edit text.
struct TMaskPosition {
  TMaskCharKind Kind = TMaskCharKind::Literal;
  QChar Literal;         // the character shown, for a literal
  bool Required = false; // for an input position
  TMaskCase Case = TMaskCase::None;
  bool IsLiteral() const { return Kind == TMaskCharKind::Literal; }
};

class TEditMask {
public:
  TEditMask() = default;
  // Parses Mask with the date and time separators of the process-wide format settings. A mask with a literal
  // ";" (escaped, or a separator of the settings) is refused with EInvalidOperation: Qt's input mask cannot
  // hold one.
  explicit TEditMask(const QString &Mask);
  TEditMask(const QString &Mask, QChar DateSeparator, QChar TimeSeparator);

  const QString &Mask() const { return mask_; }
  // True when the mask has no positions: the edit is not masked.
  bool IsEmpty() const { return positions_.isEmpty(); }
  const QList<TMaskPosition> &Positions() const { return positions_; }
  int Length() const { return int(positions_.size()); }
  // Whether Text keeps the literals (the second field).
  bool SaveLiterals() const { return saveLiterals_; }
  QChar Blank() const { return blank_; }
  // "!": missing optional characters show as leading blanks.
  bool LeadingBlanks() const { return leadingBlanks_; }

  // The equivalent Qt input mask (empty for an empty mask).
  QString QtInputMask() const;

  // Whether Ch may stand at Position (an input position), and the character as the position's case makes it.
  bool Accepts(int Position, QChar Ch) const;
  QChar Cased(int Position, QChar Ch) const;

  // The edit text with every input position blank.
  QString EmptyEditText() const;
  // The edit text that shows Value, a Text as the masked edit reads it: characters are laid into the input
  // positions in order (from the end with "!"); literals in Value are matched to the mask's literals; a
  // character that does not fit its position leaves it blank.
  QString EditTextFor(const QString &Value) const;
  // The Text of an edit text: blanks read as spaces; literals only when the mask saves them.
  QString TextOf(const QString &EditText) const;
  // The first required position that is blank in EditText, -1 when every one is filled.
  int FirstMissing(const QString &EditText) const;
  bool IsComplete(const QString &EditText) const { return FirstMissing(EditText) < 0; }

private:
  void Parse(const QString &Mask, QChar DateSeparator, QChar TimeSeparator);
  QString LayForward(const QList<int> &order, const QString &value) const;

  QString mask_;
  QList<TMaskPosition> positions_;
  bool saveLiterals_ = true;
  QChar blank_ = QLatin1Char('_');
  bool leadingBlanks_ = false;
};
