// TBFC_SysFormats: the program-wide number, currency, date and time format settings (Settings(), filled from
// the user's locale at start) as properties of a component. Reading gives the setting as it was when the
// component was created; writing changes it in the component and for the whole program at once.
//
// The four name lists belong to the component. Writing one copies the given list into the component's list
// and its first 12 (months) or 7 (days) entries into the program-wide names; a shorter list changes only the
// names it has and leaves the rest as they were.
#pragma once
#include "platform/core/component.h"
#include "platform/core/string_list.h"
#include <QChar>
#include <QString>
#include <cstdint>
#include <memory>

class TBFC_SysFormats : public TComponent {
public:
  explicit TBFC_SysFormats(TComponent *AOwner);
  ~TBFC_SysFormats() override;
  QString ClassName() const override { return QStringLiteral("TBFC_SysFormats"); }

  QChar ThousandSeperator() const { return thousandSeparator_; }
  void SetThousandSeperator(QChar Value);
  QChar DecimalSeperator() const { return decimalSeparator_; }
  void SetDecimalSeperator(QChar Value);
  QString CurrencyString() const { return currencyString_; }
  void SetCurrencyString(const QString &Value);
  std::uint8_t CurrencyDecimals() const { return currencyDecimals_; }
  void SetCurrencyDecimals(std::uint8_t Value);
  QChar TimeSeperator() const { return timeSeparator_; }
  void SetTimeSeperator(QChar Value);
  QChar DateSeperator() const { return dateSeparator_; }
  void SetDateSeperator(QChar Value);
  QString LongDateFormat() const { return longDateFormat_; }
  void SetLongDateFormat(const QString &Value);
  QString ShortDateFormat() const { return shortDateFormat_; }
  void SetShortDateFormat(const QString &Value);
  QString LongTimeFormat() const { return longTimeFormat_; }
  void SetLongTimeFormat(const QString &Value);
  QString ShortTimeFormat() const { return shortTimeFormat_; }
  void SetShortTimeFormat(const QString &Value);
  QString TimeAMString() const { return timeAMString_; }
  void SetTimeAMString(const QString &Value);
  QString TimePMString() const { return timePMString_; }
  void SetTimePMString(const QString &Value);

  // January first; the day lists begin with Sunday, the first day of the run-time library's week.
  TStrings *ShortMonthNames() const { return shortMonthNames_.get(); }
  void SetShortMonthNames(const TStrings *Value);
  TStrings *LongMonthNames() const { return longMonthNames_.get(); }
  void SetLongMonthNames(const TStrings *Value);
  TStrings *ShortDayNames() const { return shortDayNames_.get(); }
  void SetShortDayNames(const TStrings *Value);
  TStrings *LongDayNames() const { return longDayNames_.get(); }
  void SetLongDayNames(const TStrings *Value);

private:
  QChar thousandSeparator_;
  QChar decimalSeparator_;
  QString currencyString_;
  std::uint8_t currencyDecimals_ = 0;
  QChar timeSeparator_;
  QChar dateSeparator_;
  QString longDateFormat_;
  QString shortDateFormat_;
  QString longTimeFormat_;
  QString shortTimeFormat_;
  QString timeAMString_;
  QString timePMString_;
  std::unique_ptr<TStringList> shortMonthNames_;
  std::unique_ptr<TStringList> longMonthNames_;
  std::unique_ptr<TStringList> shortDayNames_;
  std::unique_ptr<TStringList> longDayNames_;
};
