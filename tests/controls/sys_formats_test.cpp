// The locale formats component: what it finds when it is made, and writing through to the program-wide
// settings.
#include "controls/framework/locale_formats.h"
#include "platform/core/format_settings.h"
#include <QStringList>
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
  TBFC_SysFormats formats(nullptr);
  formats.SetThousandSeperator(QLatin1Char(';'));
  formats.SetDecimalSeperator(QLatin1Char('|'));
  formats.SetCurrencyString(QStringLiteral("CHF"));
  formats.SetCurrencyDecimals(0);
  formats.SetTimeSeperator(QLatin1Char('h'));
  formats.SetDateSeperator(QLatin1Char('_'));
  formats.SetLongDateFormat(QStringLiteral("yyyy"));
  formats.SetShortDateFormat(QStringLiteral("yy"));
  formats.SetLongTimeFormat(QStringLiteral("hh"));
  formats.SetShortTimeFormat(QStringLiteral("h"));
  formats.SetTimeAMString(QStringLiteral("a"));
  formats.SetTimePMString(QStringLiteral("p"));
  const FormatSettings &s = Settings();
  EXPECT_EQ(s.ThousandSeparator, QLatin1Char(';'));
  EXPECT_EQ(s.DecimalSeparator, QLatin1Char('|'));
  EXPECT_EQ(s.CurrencyString, QStringLiteral("CHF"));
  EXPECT_EQ(s.CurrencyDecimals, 0);
  EXPECT_EQ(s.TimeSeparator, QLatin1Char('h'));
  EXPECT_EQ(s.DateSeparator, QLatin1Char('_'));
  EXPECT_EQ(s.LongDateFormat, QStringLiteral("yyyy"));
  EXPECT_EQ(s.ShortDateFormat, QStringLiteral("yy"));
  EXPECT_EQ(s.LongTimeFormat, QStringLiteral("hh"));
  EXPECT_EQ(s.ShortTimeFormat, QStringLiteral("h"));
  EXPECT_EQ(s.TimeAMString, QStringLiteral("a"));
  EXPECT_EQ(s.TimePMString, QStringLiteral("p"));
  // The component holds what was written, as does one made afterwards.
  TBFC_SysFormats later(nullptr);
  for (const TBFC_SysFormats *f : {&formats, &later}) {
    EXPECT_EQ(QString(f->ThousandSeperator()) + f->DecimalSeperator() + f->TimeSeperator() +
                  f->DateSeperator(),
              QStringLiteral(";|h_"));
    EXPECT_EQ(f->CurrencyString(), QStringLiteral("CHF"));
    EXPECT_EQ(f->CurrencyDecimals(), 0);
    EXPECT_EQ(QStringList({f->LongDateFormat(), f->ShortDateFormat(), f->LongTimeFormat(),
                           f->ShortTimeFormat(), f->TimeAMString(), f->TimePMString()}),
              QStringList({"yyyy", "yy", "hh", "h", "a", "p"}));
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
