#include "controls/framework/intl_support.h"
#include "controls/framework/library_messages.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include <algorithm>
#include <optional>

namespace {

const QString kIntl = QStringLiteral("intl");
constexpr QChar kSlotLetters[3] = {u'f', u'g', u'h'};
constexpr int kMaxCurrency = 5;
constexpr int kMaxAmPm = 5;
constexpr int kMaxSlot = 6;
constexpr int kMaxLongDate = 39;
constexpr int kMaxShortDate = 29;
constexpr int kMaxCountry = 255;

QString Profile(const char *key, const QString &defaultValue) {
  return GetProfileString(kIntl, QString::fromLatin1(key), defaultValue);
}

// A one-character setting: the first visible character of the text, or the default. Invisible format marks
// (bidirectional controls) that some locales put around their separators are skipped.
QChar ProfileChar(const char *key, QChar defaultValue) {
  for (QChar ch : Profile(key, QString(defaultValue)))
    if (ch.category() != QChar::Other_Format) return ch;
  return defaultValue;
}

QString LongMonthName(int month) { return Settings().LongMonthNames[size_t(month - 1)]; }
QString LongDayName(int weekday) { return Settings().LongDayNames[size_t(weekday)]; }

bool SameLetter(QChar maskChar, QChar letter) { return maskChar.toLower() == letter; }

bool HasLetter(const QString &mask, QChar letter) {
  return std::any_of(mask.begin(), mask.end(), [letter](QChar ch) { return SameLetter(ch, letter); });
}

struct Run {
  qsizetype start;
  qsizetype length;
};

// The first run of Letter (exact case) in Mask.
std::optional<Run> ExactRun(const QString &mask, QChar letter) {
  const qsizetype start = mask.indexOf(letter);
  if (start < 0) return std::nullopt;
  qsizetype end = start;
  while (end < mask.size() && mask[end] == letter) ++end;
  return Run{start, end - start};
}

// Fits the first run of Letter (searched as given, then in the other case) to Width. Day and month runs take
// the case that matches the system picture's padding: one lower-case letter (no leading zero) becomes blank-
// padded, two upper-case letters (leading zero) become zero-padded.
void FitRun(QString &mask, QChar letter, int width, bool shorten, bool dayOrMonth) {
  std::optional<Run> run = ExactRun(mask, letter);
  QChar ch = letter;
  if (!run) {
    ch = letter.isLower() ? letter.toUpper() : letter.toLower();
    run = ExactRun(mask, ch);
  }
  if (!run) return;
  if (dayOrMonth) {
    if (run->length == 1 && ch.isLower())
      ch = ch.toUpper();
    else if (run->length == 2 && ch.isUpper())
      ch = ch.toLower();
    for (qsizetype i = 0; i < run->length; ++i) mask[run->start + i] = ch;
  }
  if (run->length < width)
    mask.insert(run->start, QString(width - run->length, ch));
  else if (run->length > width && shorten)
    mask.remove(run->start, run->length - width);
}

// Calls Act(Start, End) for every run of Letter in Mask (in either case when EitherCase), from Start up to
// End.
template <typename Act>
void ForEachRun(const QString &mask, QChar letter, bool eitherCase, Act act) {
  const auto matches = [letter, eitherCase](QChar ch) {
    return eitherCase ? SameLetter(ch, letter) : ch == letter;
  };
  for (qsizetype i = 0; i < mask.size();) {
    if (!matches(mask[i])) {
      ++i;
      continue;
    }
    qsizetype end = i;
    while (end < mask.size() && matches(mask[end])) ++end;
    act(i, end);
    i = end;
  }
}

// Replaces every run of Letter that is at least Min long with a run of Replacement.
void ReplaceLongRuns(QString &mask, QChar letter, int min, QChar replacement) {
  ForEachRun(mask, letter, false, [&mask, min, replacement](qsizetype start, qsizetype end) {
    if (end - start >= min)
      for (qsizetype j = start; j < end; ++j) mask[j] = replacement;
  });
}

int LongestName(const auto &names) {
  qsizetype longest = 0;
  for (const QString &name : names) longest = std::max(longest, name.size());
  return int(longest);
}

// Writes Value right-aligned into every run of Letter (either case), keeping only the digits that fit;
// lower-case positions pad with zeros, upper-case ones with blanks.
void WriteNumber(QString &text, const QString &mask, QChar letter, int value) {
  ForEachRun(mask, letter, true, [&](qsizetype start, qsizetype end) {
    const qsizetype width = end - start;
    QString digits = QString::number(value);
    digits = digits.size() > width ? digits.right(width) : digits.rightJustified(width, QLatin1Char(' '));
    for (qsizetype j = 0; j < width; ++j) {
      const bool zeroPad = mask[start + j].isLower() && digits[j] == QLatin1Char(' ');
      text[start + j] = zeroPad ? QLatin1Char('0') : digits[j];
    }
  });
}

// Writes Name into every run of Letter (either case), cut or blank-padded to the run, in capitals for an
// upper-case run.
void WriteName(QString &text, const QString &mask, QChar letter, const QString &name) {
  ForEachRun(mask, letter, true, [&](qsizetype start, qsizetype end) {
    QString part = name.left(end - start).leftJustified(end - start, QLatin1Char(' '));
    if (mask[start].isUpper()) part = part.toUpper();
    for (qsizetype j = start; j < end; ++j) text[j] = part[j - start];
  });
}

void BlankLetters(QString &text, const QString &mask, QStringView letters) {
  for (qsizetype i = 0; i < mask.size(); ++i)
    if (letters.contains(mask[i].toLower())) text[i] = QLatin1Char(' ');
}

// Writes Value over the positions of the exact Letter in order, blanks beyond its end.
void WriteOverLetter(QString &text, const QString &mask, QChar letter, const QString &value) {
  qsizetype next = 0;
  for (qsizetype i = 0; i < mask.size(); ++i)
    if (mask[i] == letter) text[i] = next < value.size() ? value[next++] : QLatin1Char(' ');
}

// Removes the padding blanks of blank-padded runs and names; an empty AM/PM part takes the blank before it.
QString Pack(const QString &text, const QString &mask) {
  static const QString padded = QStringLiteral("DHMNSWnwt");
  QString out;
  const qsizetype firstT = mask.indexOf(QLatin1Char('t'));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar m = i < mask.size() ? mask[i] : QChar();
    if (text[i] == QLatin1Char(' ') && padded.contains(m)) {
      if (i == firstT && i > 0 && mask[i - 1] == QLatin1Char(' ') && out.endsWith(QLatin1Char(' ')))
        out.chop(1);
      continue;
    }
    out += text[i];
  }
  return out;
}

// The characters of Text under every position of Letter (either case), blanks left out.
QString Gather(const QString &mask, const QString &text, QChar letter) {
  QString out;
  for (qsizetype i = 0; i < mask.size() && i < text.size(); ++i)
    if (SameLetter(mask[i], letter) && text[i] != QLatin1Char(' ')) out += text[i];
  return out;
}

// A gathered part as a number: nullopt when it is empty or holds anything but digits.
std::optional<int> PartNumber(const QString &part) {
  if (part.isEmpty() || part.size() > 9) return std::nullopt;
  int value = 0;
  for (QChar ch : part) {
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return std::nullopt;
    value = value * 10 + (ch.unicode() - '0');
  }
  return value;
}

std::unique_ptr<TOvcIntlSup> &GlobalInstance() {
  static std::unique_ptr<TOvcIntlSup> instance;
  return instance;
}

} // namespace

TOvcIntlSup::TOvcIntlSup() {
  decimalChar_ = ProfileChar("sDecimal", QLatin1Char('.'));
  commaChar_ = ProfileChar("sThousand", QLatin1Char(','));
  currencyDigits_ = GetProfileInt(kIntl, QStringLiteral("iCurrDigits"), 2);
  if (decimalChar_ == commaChar_) {
    decimalChar_ = QLatin1Char('.');
    commaChar_ = QLatin1Char(',');
  }

  negCurrencyFormat_ = GetProfileInt(kIntl, QStringLiteral("iNegCurr"), 0);
  listChar_ = ProfileChar("sList", QLatin1Char(','));
  country_ = Profile("sCountry", QString()).left(kMaxCountry);

  // Both strings hold the symbol; masks choose the side. A blank that the format asks for always survives
  // the length limit.
  currencyFormat_ = GetProfileInt(kIntl, QStringLiteral("iCurrency"), 0);
  const QString symbol = Profile("sCurrency", QStringLiteral("$"));
  const bool spaced = currencyFormat_ == 2 || currencyFormat_ == 3;
  currencyLtStr_ = symbol.left(spaced ? kMaxCurrency - 1 : kMaxCurrency);
  currencyRtStr_ = currencyLtStr_;
  if (currencyFormat_ == 2)
    currencyLtStr_ += QLatin1Char(' ');
  else if (currencyFormat_ == 3)
    currencyRtStr_.prepend(QLatin1Char(' '));

  tlZero_ = GetProfileInt(kIntl, QStringLiteral("iTLZero"), 0) != 0;

  // A 12-hour clock is one whose long time format shows the AM/PM text.
  const QString longTime = Settings().LongTimeFormat.toLower();
  twelveHour_ = longTime.contains(QStringLiteral("ampm")) || longTime.contains(QStringLiteral("am/pm")) ||
                longTime.contains(QStringLiteral("a/p"));

  colonChar_ = ProfileChar("sTime", QLatin1Char(':'));
  slashChar_ = ProfileChar("sDate", QLatin1Char('/'));
  amString_ = Profile("s1159", QStringLiteral("AM")).left(kMaxAmPm);
  pmString_ = Profile("s2359", QStringLiteral("PM")).left(kMaxAmPm);

  shortDate_ = Profile("sShortDate", QStringLiteral("MM/dd/yy"));
  shortDate_.replace(slashChar_, QLatin1Char('/'));
  ReplaceLongRuns(shortDate_, QLatin1Char('M'), 3, QLatin1Char('n'));
  shortDate_.truncate(kMaxShortDate);

  longDate_ = Profile("sLongDate", QStringLiteral("dddd, MMMM dd, yyyy"));
  for (int slot = 0; slot < 3; ++slot) {
    const qsizetype open = longDate_.indexOf(QLatin1Char('\''));
    if (open < 0) break;
    const qsizetype close = longDate_.indexOf(QLatin1Char('\''), open + 1);
    if (close < 0) break;
    slots_[slot] = longDate_.mid(open + 1, close - open - 1).left(kMaxSlot);
    longDate_.replace(open, close - open + 1, QString(slots_[slot].size(), kSlotLetters[slot]));
  }
  ReplaceLongRuns(longDate_, QLatin1Char('d'), 3, QLatin1Char('w'));
  ReplaceLongRuns(longDate_, QLatin1Char('M'), 3, QLatin1Char('n'));
  for (qsizetype i = 0; i < longDate_.size(); ++i) {
    const QChar ch = longDate_[i];
    if ((ch == QLatin1Char(',') || ch == QLatin1Char('.')) &&
        (i + 1 >= longDate_.size() || longDate_[i + 1] != QLatin1Char(' ')))
      longDate_.insert(i + 1, QLatin1Char(' '));
  }
  longDate_.truncate(kMaxLongDate);

  const auto answer = [](std::int32_t number, QChar &target) {
    const QString text = FindLibraryMessage(number);
    if (text.size() == 1) target = text[0];
  };
  answer(msg::YesChar, yesChar_);
  answer(msg::NoChar, noChar_);
  answer(msg::TrueChar, trueChar_);
  answer(msg::FalseChar, falseChar_);
}

QString TOvcIntlSup::InternationalDate(bool forceCentury) const {
  QString mask = shortDate_;
  FitRun(mask, QLatin1Char('d'), 2, false, true);
  FitRun(mask, QLatin1Char('m'), 2, false, true);
  FitRun(mask, QLatin1Char('y'), forceCentury ? 4 : 2, false, false);
  return mask;
}

QString TOvcIntlSup::InternationalLongDate(bool shortNames, bool excludeDow) const {
  QString mask = longDate_;
  const FormatSettings &settings = Settings();
  if (excludeDow) {
    const auto w =
        std::find_if(mask.begin(), mask.end(), [](QChar ch) { return SameLetter(ch, QLatin1Char('w')); });
    if (w != mask.end()) {
      const qsizetype start = w - mask.begin();
      qsizetype end = start;
      while (end < mask.size() && SameLetter(mask[end], QLatin1Char('w'))) ++end;
      while (end < mask.size() && !QStringView(u"dmny").contains(mask[end].toLower())) ++end;
      mask.remove(start, end - start);
    }
  } else if (shortNames) {
    FitRun(mask, QLatin1Char('w'), 3, true, false);
  } else if (const auto run = ExactRun(mask, QLatin1Char('w')); run && run->length == 4) {
    FitRun(mask, QLatin1Char('w'), LongestName(settings.LongDayNames), true, false);
  }
  if (shortNames)
    FitRun(mask, QLatin1Char('n'), 3, true, false);
  else if (const auto run = ExactRun(mask, QLatin1Char('n')); run && run->length == 4)
    FitRun(mask, QLatin1Char('n'), LongestName(settings.LongMonthNames), true, false);
  FitRun(mask, QLatin1Char('d'), 2, true, true);
  FitRun(mask, QLatin1Char('m'), 2, true, true);
  FitRun(mask, QLatin1Char('y'), 4, true, false);
  return mask;
}

QString TOvcIntlSup::InternationalTime(bool showSeconds) const {
  QString mask = QStringLiteral("hh:mm:ss");
  if (!tlZero_) mask[0] = QLatin1Char('H');
  if (!showSeconds) mask.truncate(5);
  if (twelveHour_)
    mask += QLatin1Char(' ') + QString(std::max(amString_.size(), pmString_.size()), QLatin1Char('t'));
  return mask;
}

QString TOvcIntlSup::DateToDateString(const QString &mask, TOvcDayNumber julian, bool pack) const {
  QString text = mask;
  const bool valid = julian != BadDate;
  if (valid) {
    int day, month, year;
    ovcdate::DateToDMY(julian, day, month, year);
    WriteNumber(text, mask, QLatin1Char('m'), month);
    WriteNumber(text, mask, QLatin1Char('d'), day);
    WriteNumber(text, mask, QLatin1Char('y'), year);
    WriteName(text, mask, QLatin1Char('n'), LongMonthName(month));
    WriteName(text, mask, QLatin1Char('w'), LongDayName(ovcdate::DayOfWeek(julian)));
  } else {
    BlankLetters(text, mask, u"dmynw");
  }
  for (qsizetype i = 0; i < mask.size(); ++i)
    if (mask[i] == QLatin1Char('/')) text[i] = slashChar_;
  for (int slot = 0; slot < 3; ++slot) WriteOverLetter(text, mask, kSlotLetters[slot], slots_[slot]);
  return valid && pack ? Pack(text, mask) : text;
}

QString TOvcIntlSup::DMYtoDateString(const QString &mask, int day, int month, int year, bool pack,
                                     int epoch) const {
  return DateToDateString(mask, ovcdate::DMYtoDate(day, month, year, epoch), pack);
}

DateParts TOvcIntlSup::DateStringToDMY(const QString &mask, const QString &text, int epoch) const {
  DateParts parts;
  if (mask.size() != text.size()) return parts;

  if (HasLetter(mask, QLatin1Char('n'))) {
    parts.month = MonthNameToMonth(Gather(mask, text, QLatin1Char('n')));
    if (parts.month == 0) return parts;
  } else if (HasLetter(mask, QLatin1Char('m'))) {
    const auto month = PartNumber(Gather(mask, text, QLatin1Char('m')));
    if (!month) return parts;
    parts.month = *month;
  } else {
    parts.month = ovcdate::DefaultMonth();
  }

  parts.day = 1;
  if (HasLetter(mask, QLatin1Char('d'))) {
    const auto day = PartNumber(Gather(mask, text, QLatin1Char('d')));
    if (!day) return parts;
    parts.day = *day;
  }

  parts.year = ovcdate::DefaultYear();
  if (HasLetter(mask, QLatin1Char('y'))) {
    const auto year = PartNumber(Gather(mask, text, QLatin1Char('y')));
    if (!year) return parts;
    parts.year = ovcdate::ResolveEpoch(*year, epoch);
  }
  parts.valid = ovcdate::ValidDate(parts.day, parts.month, parts.year, epoch);
  return parts;
}

TOvcDayNumber TOvcIntlSup::DateStringToDate(const QString &mask, const QString &text, int epoch) const {
  const DateParts parts = DateStringToDMY(mask, text, epoch);
  return parts.valid ? ovcdate::DMYtoDate(parts.day, parts.month, parts.year, epoch) : BadDate;
}

bool TOvcIntlSup::DateStringIsBlank(const QString &mask, const QString &text) const {
  for (QChar letter : {QLatin1Char('m'), QLatin1Char('n'), QLatin1Char('d'), QLatin1Char('y')})
    if (!Gather(mask, text, letter).isEmpty()) return false;
  return true;
}

QString TOvcIntlSup::TimeToTimeString(const QString &mask, TOvcTimeOfDay t, bool pack) const {
  QString text = mask;
  const bool valid = t >= 0 && t < SecondsInDay;
  const bool amPm = !amString_.isEmpty() && !pmString_.isEmpty();
  const bool hasT = mask.contains(QLatin1Char('t'));
  if (valid) {
    std::uint8_t hours, minutes, seconds;
    ovcdate::TimeToHMS(t, hours, minutes, seconds);
    int shownHours = hours;
    if (hasT && amPm) {
      if (shownHours == 0)
        shownHours = 12;
      else if (shownHours > 12)
        shownHours -= 12;
    }
    WriteNumber(text, mask, QLatin1Char('h'), shownHours);
    WriteNumber(text, mask, QLatin1Char('m'), minutes);
    WriteNumber(text, mask, QLatin1Char('s'), seconds);
    WriteOverLetter(text, mask, QLatin1Char('t'), amPm ? (hours < 12 ? amString_ : pmString_) : QString());
  } else {
    BlankLetters(text, mask, u"hms");
    WriteOverLetter(text, mask, QLatin1Char('t'), QString());
  }
  for (qsizetype i = 0; i < mask.size(); ++i)
    if (mask[i] == QLatin1Char(':')) text[i] = colonChar_;
  return valid && pack ? Pack(text, mask) : text;
}

TimeParts TOvcIntlSup::TimeStringToHMS(const QString &mask, const QString &text) const {
  TimeParts parts;
  const auto read = [&](QChar letter, int &target) {
    if (!HasLetter(mask, letter)) return true;
    const auto value = PartNumber(Gather(mask, text, letter));
    if (!value) return false;
    target = *value;
    return true;
  };
  if (!read(QLatin1Char('h'), parts.hours) || !read(QLatin1Char('m'), parts.minutes) ||
      !read(QLatin1Char('s'), parts.seconds))
    return parts;

  if (mask.contains(QLatin1Char('t')) && !amString_.isEmpty() && !pmString_.isEmpty()) {
    QString marker;
    qsizetype width = 0;
    for (qsizetype i = 0; i < mask.size(); ++i)
      if (mask[i] == QLatin1Char('t')) {
        ++width;
        if (i < text.size()) marker += text[i];
      }
    marker = marker.trimmed();
    const bool pm = marker.compare(pmString_.left(width).trimmed(), Qt::CaseInsensitive) == 0;
    const bool am = !pm && marker.compare(amString_.left(width).trimmed(), Qt::CaseInsensitive) == 0;
    if ((!am && !pm) || parts.hours == 0 || parts.hours > 12) return parts;
    if (pm && parts.hours < 12)
      parts.hours += 12;
    else if (am && parts.hours == 12)
      parts.hours = 0;
  }
  parts.valid = ovcdate::ValidTime(parts.hours, parts.minutes, parts.seconds);
  return parts;
}

TOvcTimeOfDay TOvcIntlSup::TimeStringToTime(const QString &mask, const QString &text) const {
  const TimeParts parts = TimeStringToHMS(mask, text);
  if (!parts.valid) return BadTime;
  return ovcdate::HMStoTime(std::uint8_t(parts.hours), std::uint8_t(parts.minutes),
                            std::uint8_t(parts.seconds));
}

int TOvcIntlSup::MonthNameToMonth(const QString &name) const {
  if (name.isEmpty()) return 0;
  for (int month = 1; month <= 12; ++month)
    if (LongMonthName(month).left(name.size()).compare(name, Qt::CaseInsensitive) == 0) return month;
  return 0;
}

TOvcIntlSup &OvcIntlSup() {
  std::unique_ptr<TOvcIntlSup> &instance = GlobalInstance();
  if (!instance) instance = std::make_unique<TOvcIntlSup>();
  return *instance;
}

OvcIntlSupGuard::OvcIntlSupGuard() : saved_(std::move(GlobalInstance())) {
  GlobalInstance() = std::make_unique<TOvcIntlSup>();
}

OvcIntlSupGuard::~OvcIntlSupGuard() { GlobalInstance() = std::move(saved_); }
