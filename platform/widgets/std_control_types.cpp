#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"

QChar GetHotkey(const QString &Text) {
  for (int i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != QLatin1Char('&')) continue;
    if (Text[i + 1] != QLatin1Char('&')) return Text[i + 1];
    ++i; // "&&" is a plain "&"
  }
  return QChar();
}

bool IsAccel(WPARAM Key, const QString &Caption) {
  const QChar hotkey = GetHotkey(Caption);
  if (hotkey.isNull() || Key == 0 || Key > 0xFFFF) return false;
  return QChar(char16_t(Key)).toUpper() == hotkey.toUpper();
}

QString StripHotkey(const QString &Text) {
  QString result;
  result.reserve(Text.size());
  for (int i = 0; i < Text.size(); ++i) {
    if (Text[i] == QLatin1Char('&')) {
      if (i + 1 < Text.size() && Text[i + 1] == QLatin1Char('&')) {
        result += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    result += Text[i];
  }
  return result;
}

void SendCommandNotification(TWinControl *Control, WORD Code) {
  if (!Control) return;
  const HWND self = Control->Handle();
  if (TWinControl *parent = Control->Parent())
    SendMessage(parent->Handle(), WM_COMMAND, MAKEWPARAM(0, Code), LPARAM(self));
  else
    SendMessage(self, CN_COMMAND, MAKEWPARAM(0, Code), LPARAM(self));
}
