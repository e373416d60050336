// Helpers for the tests of the standard controls: a shown form to put them on, typing text as a person would.
#pragma once
#include "gui_test_helpers.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include <QKeySequence>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Readable QStrings in test failures.
inline void PrintTo(const QString &Value, std::ostream *Stream) {
  *Stream << '"' << Value.toStdString() << '"';
}

namespace stdtest {

// The Qt key and modifiers of a plain typed character (ASCII letters, digits and punctuation).
inline void KeyOf(QChar c, int &key, Qt::KeyboardModifiers &modifiers) {
  modifiers = Qt::NoModifier;
  if (c.isLetter() && c.unicode() < 128) {
    key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    if (c.isUpper()) modifiers = Qt::ShiftModifier;
  } else {
    key = c.unicode();
  }
}

// Types Text into the focused widget, one key press and release per character.
inline void TypeText(const QString &Text) {
  for (QChar c : Text) {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    KeyOf(c, key, modifiers);
    guitest::PressKey(key, modifiers, QString(c));
  }
}

// Types a script into the focused widget: plain characters as typed (ASCII by their keys, others as text
// alone), {Name} for a key as Qt names it (Left, Home, End, Del, Ins, Up, Tab, Return, Esc, PgDown...) with
// Back for Backspace and Shift, Ctrl or Alt written before the key (ShiftHome, CtrlZ, AltDown). Return, Tab,
// Esc and Backspace bring the control character a keyboard gives with them.
inline void Type(const QString &Script) {
  for (int i = 0; i < Script.size(); ++i) {
    if (Script.at(i) != QLatin1Char('{')) {
      int key = Qt::Key_unknown;
      Qt::KeyboardModifiers modifiers;
      KeyOf(Script.at(i), key, modifiers);
      guitest::PressKey(Script.at(i).unicode() < 128 ? key : int(Qt::Key_unknown), modifiers,
                        QString(Script.at(i)));
      continue;
    }
    const qsizetype end = Script.indexOf(QLatin1Char('}'), i);
    QString name = Script.mid(i + 1, end - i - 1);
    name.replace(QRegularExpression(QStringLiteral("^(Shift|Ctrl|Alt)(?=.)")), QStringLiteral("\\1+"))
        .replace(QRegularExpression(QStringLiteral("Back$")), QStringLiteral("Backspace"));
    const QKeyCombination key = QKeySequence::fromString(name)[0];
    if (key.key() == Qt::Key_unknown || key.toCombined() == 0)
      ADD_FAILURE() << "unknown key " << name.toStdString();
    QString text;
    if (key.keyboardModifiers() == Qt::NoModifier) {
      switch (key.key()) {
      case Qt::Key_Return: text = QStringLiteral("\r"); break;
      case Qt::Key_Tab: text = QStringLiteral("\t"); break;
      case Qt::Key_Escape: text = QString(QChar(27)); break;
      case Qt::Key_Backspace: text = QStringLiteral("\b"); break;
      default: break;
      }
    }
    guitest::PressKey(key.key(), key.keyboardModifiers(), text);
    i = int(end);
  }
  guitest::ProcessEvents();
}

// Ctrl+letter as X11 reports it: the control character as text.
inline void PressCtrl(char letter) {
  const int key = Qt::Key_A + (letter - 'A');
  guitest::PressKey(key, Qt::ControlModifier, QString(QChar(char16_t(letter - 'A' + 1))));
}

// Runs Action from the event loop once a window of the application has the keyboard focus (a modal form
// shown by the code under test becomes active some turns of the loop after it shows).
inline void WhenFocused(std::function<void()> Action, int Tries = 400) {
  // A short pause between the checks lets the window system's own events (activation) through.
  QTimer::singleShot(5, [Action, Tries] {
    QWidget *focus = QApplication::focusWidget();
    if ((focus && focus->isVisible() && focus->window()->isActiveWindow()) || Tries <= 0)
      Action();
    else {
      // The offscreen platform does not activate a window shown again after it was hidden (it still counts
      // as the focus window); the user would click it.
      if (QWidget *modal = QApplication::activeModalWidget(); modal && !modal->isActiveWindow())
        QApplication::setActiveWindow(modal);
      WhenFocused(Action, Tries - 1);
    }
  });
}

// A form that keeps the notifications its children send it (WM_COMMAND), as "code from Name".
class CommandLogForm : public TForm {
public:
  using TForm::TForm;
  QStringList notices;
  void WndProc(TMessage &m) override {
    if (m.Msg == WM_COMMAND)
      notices.append(
          QStringLiteral("%1 from %2").arg(HIWORD(m.WParam)).arg(FindControl(HWND(m.LParam))->Name()));
    TForm::WndProc(m);
  }
};

// A form shown and active for the duration of a test, with scripted services (clipboard, message boxes).
class FormTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName(QStringLiteral("Form"));
    form->SetClientSize(320, 240);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  void Show() { guitest::ShowAndActivate(form); }
  static void Type(const QString &script) { stdtest::Type(script); }
  // A control of type T placed on the form, named when a name is given.
  template <typename T>
  T *Add(int left, int top, int width, int height, const QString &name = QString()) {
    auto *control = new T(form);
    if (!name.isEmpty()) control->SetName(name);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
  }

  ScopedScriptedServices services;
  QStringList log;
  TForm *form = nullptr;
};

} // namespace stdtest
