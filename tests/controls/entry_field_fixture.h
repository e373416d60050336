// A form with entry fields typed into through real key events (Qt key event → the platform's key messages →
// the command processor → the field), with the clock, the format settings and the "intl" values pinned to
// US English: "." decimal, "," thousands, "$" currency, mm/dd/yyyy dates, a 24-hour clock.
#pragma once
#include "controls/entry/base_entry_field.h"
#include "controls/framework/controller.h"
#include "controls/framework/intl_support.h"
#include "platform/core/date_time.h"
#include "platform/core/format_settings.h"
#include "platform/core/intl_profile.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "tests/platform/gui_test_helpers.h"
#include "tests/platform/std_test_helpers.h"
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <type_traits>

class EntryFieldForm : public ::testing::Test {
protected:
  EntryFieldForm()
      : settings_(FormatSettings::USEnglish()), profile_(ScopedIntlProfile::Start::Empty),
        clock_(EncodeDate(2024, 5, 15) + EncodeTime(9, 30, 0, 0)) {
    profile_.Set(QStringLiteral("sShortDate"), QStringLiteral("MM/dd/yyyy"));
    Settings().LongTimeFormat = QStringLiteral("hh:nn:ss");
    intl_ = std::make_unique<OvcIntlSupGuard>();
  }
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName(QStringLiteral("Form"));
    form->SetClientSize(400, 240);
    controller = new TOvcController(form);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }

  // Places a field of type T on the form, one below the other.
  template <typename T>
  T *Place(const QString &name) {
    auto *field = new T(form);
    field->SetName(name);
    field->SetParent(form);
    field->SetController(controller);
    field->SetBounds(20, 10 + 35 * placed_++, 200, 25);
    return field;
  }
  void Focus(TWinControl *control) {
    guitest::ShowAndActivate(form);
    control->SetFocus();
    guitest::ProcessEvents();
  }

  // Types a script into the focused control: plain characters as typed, {Name} for a key (Left, Right,
  // Home, End, Back, Del, Ins, Up, Down, Tab, ShiftEnd, ShiftHome, CtrlZ, CtrlV, CtrlX).
  static void Type(const QString &script) {
    for (int i = 0; i < script.size(); ++i) {
      if (script.at(i) == QLatin1Char('{')) {
        const qsizetype end = script.indexOf(QLatin1Char('}'), i);
        PressNamed(script.mid(i + 1, end - i - 1));
        i = int(end);
        continue;
      }
      TypeChar(script.at(i));
    }
  }
  static void TypeChar(QChar c) {
    int key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    const char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z') key = Qt::Key_A + (u - u'a');
    if (u >= u'A' && u <= u'Z') key = Qt::Key_A + (u - u'A'), mods = Qt::ShiftModifier;
    if (u >= u'0' && u <= u'9') key = Qt::Key_0 + (u - u'0');
    const struct {
      char16_t c;
      int key;
    } punctuation[] = {{u' ', Qt::Key_Space}, {u'.', Qt::Key_Period}, {u',', Qt::Key_Comma},
                       {u'-', Qt::Key_Minus}, {u'/', Qt::Key_Slash},  {u':', Qt::Key_Colon}};
    for (const auto &p : punctuation)
      if (p.c == u) key = p.key;
    guitest::PressKey(key, mods, QString(c));
  }
  static void PressNamed(const QString &name) {
    const struct {
      const char *name;
      int key;
      Qt::KeyboardModifiers mods;
    } keys[] = {{"Left", Qt::Key_Left, Qt::NoModifier},       {"Right", Qt::Key_Right, Qt::NoModifier},
                {"Home", Qt::Key_Home, Qt::NoModifier},       {"End", Qt::Key_End, Qt::NoModifier},
                {"Back", Qt::Key_Backspace, Qt::NoModifier},  {"Del", Qt::Key_Delete, Qt::NoModifier},
                {"Ins", Qt::Key_Insert, Qt::NoModifier},      {"Up", Qt::Key_Up, Qt::NoModifier},
                {"Down", Qt::Key_Down, Qt::NoModifier},       {"Tab", Qt::Key_Tab, Qt::NoModifier},
                {"ShiftEnd", Qt::Key_End, Qt::ShiftModifier}, {"ShiftHome", Qt::Key_Home, Qt::ShiftModifier},
                {"CtrlZ", Qt::Key_Z, Qt::ControlModifier},    {"CtrlV", Qt::Key_V, Qt::ControlModifier},
                {"CtrlX", Qt::Key_X, Qt::ControlModifier}};
    for (const auto &k : keys)
      if (name == QLatin1String(k.name)) {
        guitest::PressKey(k.key, k.mods);
        return;
      }
    ADD_FAILURE() << "unknown key " << name.toStdString();
  }

  ScopedScriptedServices services;
  TForm *form = nullptr;
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
