#include "app/amounts.h"
#include "platform/core/format_settings.h"
#include <charconv>
#include <cmath>

namespace {

// Wide enough for the product of two 17-digit decimals.
__extension__ typedef __int128 Wide;

// A decimal number: Digits × 10^Exponent.
struct Decimal {
  Wide Digits = 0;
  int Exponent = 0;
};

// The shortest decimal that reads back to the double (at most 17 significant digits).
Decimal DecimalOf(double value) {
  char text[40];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
  Decimal decimal;
  if (error != std::errc()) return decimal;
  bool negative = false;
  int decimals = 0;
  bool afterPoint = false;
  const char *p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (*p == '-') {
      negative = true;
    } else if (*p == '.') {
      afterPoint = true;
    } else {
      decimal.Digits = decimal.Digits * 10 + (*p - '0');
      if (afterPoint) ++decimals;
    }
  }
  int exponent = 0;
  if (p < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
  decimal.Exponent = exponent - decimals;
  if (negative) decimal.Digits = -decimal.Digits;
  return decimal;
}

constexpr Wide kTooLarge = Wide(MaxAmountCents) + 1;

// Digits × 10^Exponent rounded to a whole number, a half away from zero; anything beyond the limit comes
// back as kTooLarge (with its sign).
Wide RoundToWhole(Wide digits, int exponent) {
  const bool negative = digits < 0;
  Wide magnitude = negative ? -digits : digits;
  if (exponent >= 0) {
    for (int i = 0; i < exponent && magnitude != 0 && magnitude < kTooLarge; ++i) magnitude *= 10;
  } else if (-exponent > 36) {
    magnitude = 0; // at most 34 digits: less than a hundredth
  } else {
    Wide divisor = 1;
    for (int i = 0; i < -exponent; ++i) divisor *= 10;
    const Wide remainder = magnitude % divisor;
    magnitude = magnitude / divisor + (2 * remainder >= divisor ? 1 : 0);
  }
  if (magnitude > kTooLarge) magnitude = kTooLarge;
  return negative ? -magnitude : magnitude;
}

QString LimitText() { return AmountText(MaxAmountCents); }

TCents Checked(Wide cents, const QString &what) {
  if (cents >= kTooLarge || cents <= -kTooLarge)
    throw EAmountError(
        QStringLiteral("%1 is too large to be stored: an amount can be at most %2.").arg(what, LimitText()));
  return TCents(cents);
}

void CheckNumber(double value, const QString &what) {
  if (!std::isfinite(value)) throw EAmountError(QStringLiteral("%1 is not a number.").arg(what));
}

} // namespace

TCents AmountCents(double Value) {
  const QString what = QStringLiteral("The amount");
  CheckNumber(Value, what);
  const Decimal value = DecimalOf(Value);
  return Checked(RoundToWhole(value.Digits, value.Exponent + 2), what);
}

TCents LineTotalCents(double Quantity, double Price) {
  const QString what = QStringLiteral("The line total (quantity × price)");
  CheckNumber(Quantity, what);
  CheckNumber(Price, what);
  const Decimal quantity = DecimalOf(Quantity), price = DecimalOf(Price);
  return Checked(RoundToWhole(quantity.Digits * price.Digits, quantity.Exponent + price.Exponent + 2), what);
}

TCents PercentCents(TCents Amount, double Percent) {
  const QString what = QStringLiteral("The tax");
  CheckNumber(Percent, what);
  const Decimal percent = DecimalOf(Percent);
  return Checked(RoundToWhole(Wide(Amount) * percent.Digits, percent.Exponent - 2), what);
}

bool IsTaxPercent(double Percent) {
  if (!(Percent >= 0 && Percent <= MaxTaxPercent)) return false;
  const double scale = std::pow(10.0, TaxPercentDigits);
  return std::round(Percent * scale) / scale == Percent;
}

double CentsToAmount(TCents Cents) { return double(Cents) / 100.0; }

QString AmountText(TCents Cents) {
  const quint64 magnitude = Cents < 0 ? quint64(0) - quint64(Cents) : quint64(Cents);
  return (Cents < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
         Settings().DecimalSeparator + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

TInvoiceTotals InvoiceTotals(const QList<TCents> &LineTotals, double TaxPercent) {
  Wide net = 0;
  for (TCents line : LineTotals) net += line;
  TInvoiceTotals totals;
  totals.Net = Checked(net, QStringLiteral("The net amount"));
  if (totals.Net != 0 && TaxPercent != 0) totals.Tax = PercentCents(totals.Net, TaxPercent);
  totals.Gross = Checked(Wide(totals.Net) + totals.Tax, QStringLiteral("The gross amount"));
  return totals;
}
