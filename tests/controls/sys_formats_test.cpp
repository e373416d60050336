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

// One value of each kind: a separator, a count, a format and a string.
QStringList Scalars(const TBFC_SysFormats &f) {
  return {f.DecimalSeperator(), QString::number(f.CurrencyDecimals()), f.ShortDateFormat(), f.TimePMString()};
}

TEST_F(SysFormats, EachComponentTakesTheSettingsAsTheyAreWhenMade) {
  FormatSettings &s = Settings();
  s.DecimalSeparator = QLatin1Char(',');
  s.CurrencyDecimals = 3;
  s.ShortDateFormat = QStringLiteral("dd-mm-yyyy");
  s.TimePMString = QStringLiteral("nachm.");
  s.ShortDayNames[0] = QStringLiteral("So");
  TBFC_SysFormats formats(nullptr);
  EXPECT_EQ(Scalars(formats), QStringList({",", "3", "dd-mm-yyyy", "nachm."}));
  EXPECT_EQ(Entries(formats.ShortDayNames()), Entries(s.ShortDayNames));

  // Each component keeps what it found when made.
  s.ShortMonthNames[4] = QStringLiteral("Mai");
  TBFC_SysFormats second(nullptr);
  EXPECT_EQ(formats.ShortMonthNames()->Strings(4), QStringLiteral("May"));
  EXPECT_EQ(second.ShortMonthNames()->Strings(4), QStringLiteral("Mai"));
}

TEST_F(SysFormats, WritingAPropertyChangesItForTheWholeProgram) {
  TBFC_SysFormats formats(nullptr);
  formats.SetDecimalSeperator(QLatin1Char('|'));
  formats.SetCurrencyDecimals(0);
  formats.SetShortDateFormat(QStringLiteral("yy"));
  formats.SetTimePMString(QStringLiteral("p"));
  const FormatSettings &s = Settings();
  const QStringList written = {"|", "0", "yy", "p"};
  EXPECT_EQ(QStringList(
                {s.DecimalSeparator, QString::number(s.CurrencyDecimals), s.ShortDateFormat, s.TimePMString}),
            written);
  // A component made afterwards holds what was written.
  EXPECT_EQ(Scalars(TBFC_SysFormats(nullptr)), written);
}

std::unique_ptr<TStringList> Names(const QStringList &names) {
  auto list = std::make_unique<TStringList>();
  for (const QString &name : names) list->Add(name);
  return list;
}

TEST_F(SysFormats, NameListsAreCopiedIntoTheComponentAndAsFarAsTheyGoIntoTheProgram) {
  TBFC_SysFormats formats(nullptr);
  const QStringList days{"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  auto list = Names(days);
  formats.SetLongDayNames(list.get());
  EXPECT_EQ(Entries(formats.LongDayNames()), days);
  EXPECT_EQ(Entries(Settings().LongDayNames), days);
  list->SetStrings(0, QStringLiteral("changed"));
  EXPECT_EQ(formats.LongDayNames()->Strings(0), QStringLiteral("Sonntag"))
      << "the component keeps its own copy";

  // A short list changes only the names it has.
  auto three = Names({"jan", "feb", "mrt"});
  formats.SetShortMonthNames(three.get());
  EXPECT_EQ(formats.ShortMonthNames()->Count(), 3);
  EXPECT_EQ(Entries(Settings().ShortMonthNames),
            QStringList({"jan", "feb", "mrt"}) + Entries(FormatSettings::USEnglish().ShortMonthNames).mid(3));
  TStringList none;
  formats.SetShortDayNames(&none);
  EXPECT_EQ(formats.ShortDayNames()->Count(), 0);
  EXPECT_EQ(Entries(Settings().ShortDayNames), Entries(FormatSettings::USEnglish().ShortDayNames));

  // A longer one gives the program its first twelve.
  QStringList thirteen;
  for (int i = 1; i <= 13; ++i) thirteen << QStringLiteral("M%1").arg(i);
  auto longer = Names(thirteen);
  formats.SetLongMonthNames(longer.get());
  EXPECT_EQ(Entries(formats.LongMonthNames()), thirteen);
  EXPECT_EQ(Entries(Settings().LongMonthNames), thirteen.mid(0, 12));
}

} // namespace
