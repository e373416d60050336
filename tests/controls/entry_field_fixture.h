// A form with entry fields typed into through real key events (Qt key event → the platform's key messages →
// the command processor → the field), with the clock, the format settings and the "intl" values pinned to
// US English: "." decimal, "," thousands, "$" currency, mm/dd/yyyy dates, a 24-hour clock.
#pragma once
#include "controls/entry/numeric_field.h"
#include "controls/entry/picture_field.h"
#include "controls/entry/simple_field.h"
#include "controls/framework/command_processor.h"
#include "controls/framework/command_table.h"
#include "controls/framework/controller.h"
#include "controls/framework/intl_support.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/std_test_helpers.h"
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <type_traits>

class EntryFieldForm : public stdtest::FormTest {
protected:
  EntryFieldForm()
      : settings_(FormatSettings::USEnglish()), profile_(ScopedIntlProfile::Start::Empty),
        clock_(EncodeDate(2024, 5, 15) + EncodeTime(9, 30, 0, 0)) {
    profile_.Set(QStringLiteral("sShortDate"), QStringLiteral("MM/dd/yyyy"));
    Settings().LongTimeFormat = QStringLiteral("hh:nn:ss");
    intl_ = std::make_unique<OvcIntlSupGuard>();
  }
  void SetUp() override {
    stdtest::FormTest::SetUp();
    controller = new TOvcController(form);
  }

  // Places a field of type T on the form, one below the other.
  template <typename T>
  T *Place(const QString &name) {
    auto *field = Add<T>(20, 10 + 35 * placed_++, 200, 25, name);
    field->SetController(controller);
    return field;
  }
  // A field of the kind ('s' simple, 'n' numeric, 'p' picture) with the data type and, when given, the mask.
  TOvcBaseEntryField *Make(char kind, int type, const QString &mask = QString()) {
    const QString name = QStringLiteral("Field%1").arg(placed_ + 1);
    if (kind == 's') {
      auto *f = Place<TOvcSimpleField>(name);
      f->SetDataType(TSimpleDataType(type));
      if (!mask.isEmpty()) f->SetPictureMask(mask.at(0));
      return f;
    }
    if (kind == 'n') {
      auto *f = Place<TOvcNumericField>(name);
      f->SetDataType(TNumericDataType(type));
      if (!mask.isEmpty()) f->SetPictureMask(mask);
      return f;
    }
    auto *f = Place<TOvcPictureField>(name);
    f->SetDataType(TPictureDataType(type));
    if (!mask.isEmpty()) f->SetPictureMask(mask);
    return f;
  }
  // Keys for the commands the default key table leaves out: F2 deletes to the end, F3 to the start, F4 the
  // word, F5 steps up, F6 down, F7 completes the date, F8 the time, F9 takes the next character literally and
  // F11 empties the field.
  void AddCommandKeys() {
    auto table = std::make_unique<TOvcCommandTable>();
    table->SetTableName(QStringLiteral("Test"));
    const std::pair<std::uint8_t, TOvcCommandCode> keys[] = {
        {VK_F2, ccDelEol},       {VK_F3, ccDelBol},   {VK_F4, ccDelWord},
        {VK_F5, ccInc},          {VK_F6, ccDec},      {VK_F7, ccCompleteDate},
        {VK_F8, ccCompleteTime}, {VK_F9, ccCtrlChar}, {VK_F11, ccDelLine}};
    for (const auto &[key, command] : keys)
      table->AddCommandRec(TOvcKeyCommandRec{key, ss_None, 0, ss_None, command});
    controller->EntryCommands()->AddTable(std::move(table));
  }
  void Focus(TWinControl *control) {
    Show();
    control->SetFocus();
    guitest::ProcessEvents();
  }

  TOvcController *controller = nullptr;

private:
  FormatSettingsGuard settings_;
  ScopedIntlProfile profile_;
  ClockGuard clock_;
  std::unique_ptr<OvcIntlSupGuard> intl_;
  int placed_ = 0;
};

// The field's value as text ("error N" when GetFieldValue refuses it); booleans as true/false, a date-time
// field's TDateTime as days.
inline QString FieldValueText(TOvcBaseEntryField *field, bool dateTime = false) {
  auto refused = [](WORD code) { return QStringLiteral("error %1").arg(code); };
  auto get = [&](auto value) -> QString {
    if (const WORD code = field->GetFieldValue(&value)) return refused(code);
    if constexpr (std::is_same_v<decltype(value), QString>)
      return value;
    else if constexpr (std::is_same_v<decltype(value), QChar>)
      return QString(value);
    else if constexpr (std::is_same_v<decltype(value), bool>)
      return value ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_same_v<decltype(value), TExtended>)
      return value.ToString();
    else if constexpr (std::is_floating_point_v<decltype(value)>)
      return QString::number(double(value), 'g', 15);
    else
      return QString::number(qint64(value));
  };
  if (dateTime) return get(double());
  switch (field->DataType()) {
  case edtString: return get(QString());
  case edtChar: return get(QChar());
  case edtBoolean:
  case edtYesNo: return get(false);
  case edtLongInt:
  case edtDate:
  case edtTime: return get(std::int32_t());
  case edtWord: return get(std::uint16_t());
  case edtSmallInt: return get(std::int16_t());
  case edtByte: return get(std::uint8_t());
  case edtShortInt: return get(std::int8_t());
  case edtReal:
  case edtDouble: return get(double());
  case edtExtended: return get(TExtended());
  case edtSingle: return get(float());
  case edtComp: return get(qint64());
  default: return QString();
  }
}
