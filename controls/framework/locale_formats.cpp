#include "controls/framework/locale_formats.h"
#include "platform/core/format_settings.h"
#include <algorithm>
#include <array>

namespace {

template <std::size_t N>
void FillList(TStringList &List, const std::array<QString, N> &Names) {
  List.Clear();
  for (const QString &name : Names) List.Add(name);
}

// The first N entries of Source (as many as it has) become the program-wide names.
template <std::size_t N>
void CopyNames(const TStrings &Source, std::array<QString, N> &Names) {
  const int count = std::min(Source.Count(), int(N));
  for (int i = 0; i < count; ++i) Names[std::size_t(i)] = Source.Strings(i);
}

// The currency decimals a program-wide setting can hold in the component's byte.
std::uint8_t AsByte(int Value) { return std::uint8_t(std::clamp(Value, 0, 255)); }

} // namespace

TBFC_SysFormats::TBFC_SysFormats(TComponent *AOwner)
    : TComponent(AOwner), shortMonthNames_(std::make_unique<TStringList>()),
      longMonthNames_(std::make_unique<TStringList>()), shortDayNames_(std::make_unique<TStringList>()),
      longDayNames_(std::make_unique<TStringList>()) {
  const FormatSettings &s = Settings();
  thousandSeparator_ = s.ThousandSeparator;
  decimalSeparator_ = s.DecimalSeparator;
  currencyString_ = s.CurrencyString;
  currencyDecimals_ = AsByte(s.CurrencyDecimals);
  timeSeparator_ = s.TimeSeparator;
  dateSeparator_ = s.DateSeparator;
  longDateFormat_ = s.LongDateFormat;
  shortDateFormat_ = s.ShortDateFormat;
  longTimeFormat_ = s.LongTimeFormat;
  shortTimeFormat_ = s.ShortTimeFormat;
  timeAMString_ = s.TimeAMString;
  timePMString_ = s.TimePMString;
  FillList(*shortMonthNames_, s.ShortMonthNames);
  FillList(*longMonthNames_, s.LongMonthNames);
  FillList(*shortDayNames_, s.ShortDayNames);
  FillList(*longDayNames_, s.LongDayNames);
}

TBFC_SysFormats::~TBFC_SysFormats() = default;

void TBFC_SysFormats::SetThousandSeperator(QChar Value) {
  thousandSeparator_ = Value;
  Settings().ThousandSeparator = Value;
}

void TBFC_SysFormats::SetDecimalSeperator(QChar Value) {
  decimalSeparator_ = Value;
  Settings().DecimalSeparator = Value;
}

void TBFC_SysFormats::SetCurrencyString(const QString &Value) {
  currencyString_ = Value;
  Settings().CurrencyString = Value;
}

void TBFC_SysFormats::SetCurrencyDecimals(std::uint8_t Value) {
  currencyDecimals_ = Value;
  Settings().CurrencyDecimals = Value;
}

void TBFC_SysFormats::SetTimeSeperator(QChar Value) {
  timeSeparator_ = Value;
  Settings().TimeSeparator = Value;
}

void TBFC_SysFormats::SetDateSeperator(QChar Value) {
  dateSeparator_ = Value;
  Settings().DateSeparator = Value;
}

void TBFC_SysFormats::SetLongDateFormat(const QString &Value) {
  longDateFormat_ = Value;
  Settings().LongDateFormat = Value;
}

void TBFC_SysFormats::SetShortDateFormat(const QString &Value) {
  shortDateFormat_ = Value;
  Settings().ShortDateFormat = Value;
}

void TBFC_SysFormats::SetLongTimeFormat(const QString &Value) {
  longTimeFormat_ = Value;
  Settings().LongTimeFormat = Value;
}

void TBFC_SysFormats::SetShortTimeFormat(const QString &Value) {
  shortTimeFormat_ = Value;
  Settings().ShortTimeFormat = Value;
}

void TBFC_SysFormats::SetTimeAMString(const QString &Value) {
  timeAMString_ = Value;
  Settings().TimeAMString = Value;
}

void TBFC_SysFormats::SetTimePMString(const QString &Value) {
  timePMString_ = Value;
  Settings().TimePMString = Value;
}

void TBFC_SysFormats::SetShortMonthNames(const TStrings *Value) {
  shortMonthNames_->Assign(Value);
  CopyNames(*shortMonthNames_, Settings().ShortMonthNames);
}

void TBFC_SysFormats::SetLongMonthNames(const TStrings *Value) {
  longMonthNames_->Assign(Value);
  CopyNames(*longMonthNames_, Settings().LongMonthNames);
}

void TBFC_SysFormats::SetShortDayNames(const TStrings *Value) {
  shortDayNames_->Assign(Value);
  CopyNames(*shortDayNames_, Settings().ShortDayNames);
}

void TBFC_SysFormats::SetLongDayNames(const TStrings *Value) {
  longDayNames_->Assign(Value);
  CopyNames(*longDayNames_, Settings().LongDayNames);
}
