// Amounts in whole cents: line totals rounded a half away from zero on the decimal a value shows, the text
// the totals show, and amounts too large to be stored refused. Totals and
// refusals through the main window: main_form_test.cpp.
#include "app/amounts.h"
#include "platform/core/format_settings.h"
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(Amounts, LineTotalsRoundQuantityTimesPriceToTheCent) {
  const struct {
    double quantity, price;
    TCents cents;
  } cases[] = {
      {1, 0.175, 18}, {-1, 0.175, -18}, {2, 1.005, 201}, {1e8, 99999.99, 999999900000000}, {0.5, 0.01, 1},
  };
  for (const auto &c : cases)
    EXPECT_EQ(LineTotalCents(c.quantity, c.price), c.cents) << c.quantity << " x " << c.price;
}

TEST(Amounts, StoredAmountsReadBackAsTheirCentsAndShowWithTwoDecimals) {
  FormatSettingsGuard settings(FormatSettings::USEnglish());
  for (const TCents cents : {TCents(-500), MaxAmountCents, -MaxAmountCents})
    EXPECT_EQ(AmountCents(CentsToAmount(cents)), cents);
  EXPECT_EQ(AmountText(-MaxAmountCents), QStringLiteral("-9999999999999.99"));
  Settings().DecimalSeparator = QLatin1Char(',');
  EXPECT_EQ(AmountText(-1234567), QStringLiteral("-12345,67"));
}

TEST(Amounts, AmountsTooLargeToBeStoredAreRefusedWithTheLimit) {
  FormatSettingsGuard settings(FormatSettings::USEnglish());
  const std::function<void()> cases[] = {
      [] { AmountCents(1e13); },
      [] { AmountCents(std::numeric_limits<double>::quiet_NaN()); },
      [] { LineTotalCents(std::numeric_limits<double>::infinity(), 1); },
  };
  for (const auto &refused : cases) {
    try {
      refused();
      ADD_FAILURE() << "not refused";
    } catch (const EAmountError &e) {
      EXPECT_TRUE(e.Message().contains(QStringLiteral("9999999999999.99")) ||
                  e.Message().contains(QStringLiteral("not a number")))
          << e.Message().toStdString();
    }
  }
  EXPECT_EQ(LineTotalCents(1, 9999999999999.99), MaxAmountCents);
}

} // namespace
