// The locale formats component: what it finds when it is made, and writing through to the program-wide
// settings.
#include "controls/framework/locale_formats.h"
#include "platform/core/format_settings.h"
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SysFormats : public ::testing::Test {
protected:
  FormatSettingsGuard settings_{FormatSettings::USEnglish()};
};

QStringList Entries(const TStrings *list) {
  QStringList entries;
  for (int i = 0; i < list->Count(); ++i) entries << list->Strings(i);
  return entries;
}

template <std::size_t N>
QStringList Entries(const std::array<QString, N> &names) {
  return QStringList(names.begin(), names.end());
}

TEST_F(SysFormats, CreationTakesEverySettingAsItIsThen) {
  FormatSettings &s = Settings();
  s.ThousandSeparator = QLatin1Char('.');
  s.DecimalSeparator = QLatin1Char(',');
  s.CurrencyString = QStringLiteral("EUR");
  s.CurrencyDecimals = 3;
  s.TimeSeparator = QLatin1Char('.');
  s.DateSeparator = QLatin1Char('-');
  s.LongDateFormat = QStringLiteral("d mmmm yyyy");
  s.ShortDateFormat = QStringLiteral("dd-mm-yyyy");
  s.LongTimeFormat = QStringLiteral("hh.nn.ss");
  s.ShortTimeFormat = QStringLiteral("hh.nn");
  s.TimeAMString = QStringLiteral("vorm.");
  s.TimePMString = QStringLiteral("nachm.");
  s.LongMonthNames[0] = QStringLiteral("Januar");
  s.ShortDayNames[0] = QStringLiteral("So");

  TBFC_SysFormats formats(nullptr);
  EXPECT_EQ(formats.ThousandSeperator(), QLatin1Char('.'));
  EXPECT_EQ(formats.DecimalSeperator(), QLatin1Char(','));
  EXPECT_EQ(formats.CurrencyString(), QStringLiteral("EUR"));
  EXPECT_EQ(formats.CurrencyDecimals(), 3);
  EXPECT_EQ(formats.TimeSeperator(), QLatin1Char('.'));
  EXPECT_EQ(formats.DateSeperator(), QLatin1Char('-'));
  EXPECT_EQ(formats.LongDateFormat(), QStringLiteral("d mmmm yyyy"));
  EXPECT_EQ(formats.ShortDateFormat(), QStringLiteral("dd-mm-yyyy"));
  EXPECT_EQ(formats.LongTimeFormat(), QStringLiteral("hh.nn.ss"));
  EXPECT_EQ(formats.ShortTimeFormat(), QStringLiteral("hh.nn"));
  EXPECT_EQ(formats.TimeAMString(), QStringLiteral("vorm."));
  EXPECT_EQ(formats.TimePMString(), QStringLiteral("nachm."));
  // Twelve months from January, seven days from Sunday.
  EXPECT_EQ(Entries(formats.LongMonthNames()), Entries(s.LongMonthNames));
  EXPECT_EQ(Entries(formats.ShortMonthNames()), Entries(s.ShortMonthNames));
  EXPECT_EQ(Entries(formats.LongDayNames()), Entries(s.LongDayNames));
  EXPECT_EQ(Entries(formats.ShortDayNames()), Entries(s.ShortDayNames));
  EXPECT_EQ(formats.LongMonthNames()->Strings(0), QStringLiteral("Januar"));
  EXPECT_EQ(formats.ShortDayNames()->Strings(0), QStringLiteral("So"));
  EXPECT_EQ(formats.LongDayNames()->Count(), 7);
}

TEST_F(SysFormats, EachComponentKeepsWhatItFoundWhenMade) {
  Settings().CurrencyString = QStringLiteral("$");
  TBFC_SysFormats first(nullptr);
  Settings().CurrencyString = QStringLiteral("GBP");
  Settings().ShortMonthNames[4] = QStringLiteral("Mai");
  TBFC_SysFormats second(nullptr);
  EXPECT_EQ(first.CurrencyString(), QStringLiteral("$"));
  EXPECT_EQ(second.CurrencyString(), QStringLiteral("GBP"));
  EXPECT_EQ(first.ShortMonthNames()->Strings(4), QStringLiteral("May"));
  EXPECT_EQ(second.ShortMonthNames()->Strings(4), QStringLiteral("Mai"));
}

TEST_F(SysFormats, WritingAPropertyChangesItForTheWholeProgram) {
  struct Case {
    const char *name;
    std::function<void(TBFC_SysFormats &)> write;
    std::function<bool(const TBFC_SysFormats &)> componentHolds;
    std::function<bool(const FormatSettings &)> programHolds;
  };
  const QChar semicolon = QLatin1Char(';');
  const Case cases[] = {
      {"ThousandSeperator", [&](TBFC_SysFormats &f) { f.SetThousandSeperator(semicolon); },
       [&](const TBFC_SysFormats &f) { return f.ThousandSeperator() == semicolon; },
       [&](const FormatSettings &s) { return s.ThousandSeparator == semicolon; }},
      {"DecimalSeperator", [&](TBFC_SysFormats &f) { f.SetDecimalSeperator(semicolon); },
       [&](const TBFC_SysFormats &f) { return f.DecimalSeperator() == semicolon; },
       [&](const FormatSettings &s) { return s.DecimalSeparator == semicolon; }},
      {"CurrencyString", [](TBFC_SysFormats &f) { f.SetCurrencyString(QStringLiteral("CHF")); },
       [](const TBFC_SysFormats &f) { return f.CurrencyString() == QStringLiteral("CHF"); },
       [](const FormatSettings &s) { return s.CurrencyString == QStringLiteral("CHF"); }},
      {"CurrencyDecimals", [](TBFC_SysFormats &f) { f.SetCurrencyDecimals(0); },
       [](const TBFC_SysFormats &f) { return f.CurrencyDecimals() == 0; },
       [](const FormatSettings &s) { return s.CurrencyDecimals == 0; }},
      {"TimeSeperator", [&](TBFC_SysFormats &f) { f.SetTimeSeperator(semicolon); },
       [&](const TBFC_SysFormats &f) { return f.TimeSeperator() == semicolon; },
       [&](const FormatSettings &s) { return s.TimeSeparator == semicolon; }},
      {"DateSeperator", [&](TBFC_SysFormats &f) { f.SetDateSeperator(semicolon); },
       [&](const TBFC_SysFormats &f) { return f.DateSeperator() == semicolon; },
       [&](const FormatSettings &s) { return s.DateSeparator == semicolon; }},
      {"LongDateFormat", [](TBFC_SysFormats &f) { f.SetLongDateFormat(QStringLiteral("yyyy")); },
       [](const TBFC_SysFormats &f) { return f.LongDateFormat() == QStringLiteral("yyyy"); },
       [](const FormatSettings &s) { return s.LongDateFormat == QStringLiteral("yyyy"); }},
      {"ShortDateFormat", [](TBFC_SysFormats &f) { f.SetShortDateFormat(QStringLiteral("yy")); },
       [](const TBFC_SysFormats &f) { return f.ShortDateFormat() == QStringLiteral("yy"); },
       [](const FormatSettings &s) { return s.ShortDateFormat == QStringLiteral("yy"); }},
      {"LongTimeFormat", [](TBFC_SysFormats &f) { f.SetLongTimeFormat(QStringLiteral("hh")); },
       [](const TBFC_SysFormats &f) { return f.LongTimeFormat() == QStringLiteral("hh"); },
       [](const FormatSettings &s) { return s.LongTimeFormat == QStringLiteral("hh"); }},
      {"ShortTimeFormat", [](TBFC_SysFormats &f) { f.SetShortTimeFormat(QStringLiteral("h")); },
       [](const TBFC_SysFormats &f) { return f.ShortTimeFormat() == QStringLiteral("h"); },
       [](const FormatSettings &s) { return s.ShortTimeFormat == QStringLiteral("h"); }},
      {"TimeAMString", [](TBFC_SysFormats &f) { f.SetTimeAMString(QStringLiteral("a")); },
       [](const TBFC_SysFormats &f) { return f.TimeAMString() == QStringLiteral("a"); },
       [](const FormatSettings &s) { return s.TimeAMString == QStringLiteral("a"); }},
      {"TimePMString", [](TBFC_SysFormats &f) { f.SetTimePMString(QStringLiteral("p")); },
       [](const TBFC_SysFormats &f) { return f.TimePMString() == QStringLiteral("p"); },
       [](const FormatSettings &s) { return s.TimePMString == QStringLiteral("p"); }},
  };
  for (const Case &c : cases) {
    FormatSettingsGuard restore;
    TBFC_SysFormats formats(nullptr);
    c.write(formats);
    EXPECT_TRUE(c.componentHolds(formats)) << c.name;
    EXPECT_TRUE(c.programHolds(Settings())) << c.name;
    // A component made afterwards finds the new setting.
    TBFC_SysFormats later(nullptr);
    EXPECT_TRUE(c.componentHolds(later)) << c.name;
  }
}

std::unique_ptr<TStringList> Names(const QStringList &names) {
  auto list = std::make_unique<TStringList>();
  for (const QString &name : names) list->Add(name);
  return list;
}

TEST_F(SysFormats, AFullListIsCopiedIntoTheComponentAndTheProgram) {
  TBFC_SysFormats formats(nullptr);
  const QStringList days{QStringLiteral("Sonntag"),  QStringLiteral("Montag"),     QStringLiteral("Dienstag"),
                         QStringLiteral("Mittwoch"), QStringLiteral("Donnerstag"), QStringLiteral("Freitag"),
                         QStringLiteral("Samstag")};
  auto list = Names(days);
  formats.SetLongDayNames(list.get());
  EXPECT_EQ(Entries(formats.LongDayNames()), days);
  EXPECT_EQ(Entries(Settings().LongDayNames), days);
  // The component keeps its own copy.
  list->SetStrings(0, QStringLiteral("changed"));
  EXPECT_EQ(formats.LongDayNames()->Strings(0), QStringLiteral("Sonntag"));
}

TEST_F(SysFormats, AShortListChangesOnlyTheNamesItHas) {
  TBFC_SysFormats formats(nullptr);
  auto three = Names({QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mrt")});
  formats.SetShortMonthNames(three.get());
  EXPECT_EQ(formats.ShortMonthNames()->Count(), 3);
  QStringList expected = Entries(FormatSettings::USEnglish().ShortMonthNames);
  expected[0] = QStringLiteral("jan");
  expected[1] = QStringLiteral("feb");
  expected[2] = QStringLiteral("mrt");
  EXPECT_EQ(Entries(Settings().ShortMonthNames), expected);

  TStringList none;
  formats.SetShortDayNames(&none);
  EXPECT_EQ(formats.ShortDayNames()->Count(), 0);
  EXPECT_EQ(Entries(Settings().ShortDayNames), Entries(FormatSettings::USEnglish().ShortDayNames));
}

TEST_F(SysFormats, ALongerListGivesTheProgramItsFirstTwelveNames) {
  TBFC_SysFormats formats(nullptr);
  QStringList thirteen;
  for (int i = 1; i <= 13; ++i) thirteen << QStringLiteral("M%1").arg(i);
  auto list = Names(thirteen);
  formats.SetLongMonthNames(list.get());
  EXPECT_EQ(Entries(formats.LongMonthNames()), thirteen);
  EXPECT_EQ(Entries(Settings().LongMonthNames), thirteen.mid(0, 12));
}

} // namespace
