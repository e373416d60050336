// The order in which an index sorts texts without regard to case: the order of the user's language, taken
// from ICU's collation rules for a locale.
//
// A text's collation key is a string of bytes that compares, byte by byte, as the language sorts the texts:
// letters first (with the language's own letters where it has them: in Polish "Ś" after "S", "Ł" after
// "L"), then their accents; the case of letters does not count. The key columns of the database file hold
// such keys as BLOBs, which SQLite compares byte by byte with no collation of this program's, so any SQLite
// tool can read, check and change the file.
//
// A key holds the letters (ICU's primary level), a separator byte 0x01, then the accents (secondary level);
// the separator never occurs within a level. Searching and ranges match at the letters' level: a searched
// text stands for every text the language takes as the same letters, whatever their case and whatever
// accents the language treats as marks on the same letter ("lodz" matches "Łódź" in German, not in Polish,
// where "Ł" and "ó" are letters of their own). LowerBound and UpperBound enclose exactly those keys.
#pragma once
#include <QByteArray>
#include <QString>

struct UCollator;

class TffCollation {
public:
  // The rules of a locale named as Qt names it ("pl_PL", "de"); "C" and empty names take the rules that
  // languages share.
  explicit TffCollation(const QString &localeName);
  ~TffCollation();
  TffCollation(const TffCollation &) = delete;
  TffCollation &operator=(const TffCollation &) = delete;

  // False when ICU could not load any rules (ErrorString says why); no key can then be made.
  bool IsValid() const { return collator_ != nullptr; }
  QString ErrorString() const { return error_; }

  // The locale whose rules apply and the version of the rules, as a file records them: keys made under
  // another identity may sort otherwise and are made again.
  QString Identity() const { return identity_; }

  // The collation key of a text.
  QByteArray Key(const QString &text) const;
  void Key(const QChar *text, qsizetype length, QByteArray &key) const;

  // The least and the greatest key that holds the same letters as `key`.
  static QByteArray LowerBound(const QByteArray &key);
  static QByteArray UpperBound(const QByteArray &key);

private:
  UCollator *collator_ = nullptr;
  QString identity_;
  QString error_;
};
