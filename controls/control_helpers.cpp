#include "controls/control_helpers.h"
#include "platform/component.h"
#include "platform/date_time.h"
#include "platform/virtual_keys.h"
#include <QGuiApplication>

std::uint8_t GetShiftFlags() {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  std::uint8_t flags = ss_None;
  if (modifiers & Qt::ShiftModifier) flags |= ss_Shift;
  if (modifiers & Qt::ControlModifier) flags |= ss_Ctrl;
  if (modifiers & Qt::AltModifier) flags |= ss_Alt;
  return flags;
}

// Qt reports the primary button as the left one whatever the user's handedness setting, so the left button's
// key is always the primary one here.
std::uint8_t GetLeftButton() { return VK_LBUTTON; }

int DefaultEpoch() {
  int year, month, day;
  DecodeDate(Date(), year, month, day);
  return year / 100 * 100;
}

QString GetUniqueName(TComponent *owner, const QString &baseName) {
  if (!IsValidIdent(baseName))
    throw EComponentError(QStringLiteral("'%1' is not a valid component name").arg(baseName));
  for (int n = 1;; ++n) {
    const QString name = baseName + QString::number(n);
    if (!owner || !owner->FindComponent(name)) return name;
  }
}
