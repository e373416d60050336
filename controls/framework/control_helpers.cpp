#include "controls/framework/control_helpers.h"
#include "platform/core/component.h"
#include "platform/core/date_time.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/shift_state.h"
#include "platform/windowing/virtual_keys.h"
#include <QGuiApplication>
#include <algorithm>

std::uint8_t GetShiftFlags() {
  std::uint8_t flags = ss_None;
  if (GetKeyState(VK_SHIFT) < 0) flags |= ss_Shift;
  if (GetKeyState(VK_CONTROL) < 0) flags |= ss_Ctrl;
  if (GetKeyState(VK_MENU) < 0) flags |= ss_Alt;
  return flags;
}

std::unique_ptr<TBitmap> LoadControlBitmap(const QString &resourceName) { return LoadBitmap(resourceName); }

QCursor LoadControlCursor(const QString &resourceName) { return LoadCursor(resourceName); }

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

void SplitColor(TColor color, std::uint8_t &red, std::uint8_t &green, std::uint8_t &blue) {
  const TColor rgb = ColorToRGB(color);
  red = std::uint8_t(GetRValue(rgb));
  green = std::uint8_t(GetGValue(rgb));
  blue = std::uint8_t(GetBValue(rgb));
}

namespace {

// The character cell height of Font on the screen.
int CharHeight(const TFont &font) {
  TCanvas canvas;
  canvas.SetFont(&font);
  return canvas.TextMetrics().tmHeight;
}

// The system's own font: the one the application gives its standard widgets.
int SystemCharHeight() {
  const QFont system = QGuiApplication::font();
  TFont font;
  font.SetName(system.family());
  if (system.pixelSize() > 0)
    font.SetHeight(-system.pixelSize());
  else
    font.SetSize(qRound(system.pointSizeF()));
  return CharHeight(font);
}

} // namespace

int GetTopTextMargin(const TFont *font, bool bordered, int height, bool ctl3D) {
  const int m = std::min(SystemCharHeight(), CharHeight(*font));
  // Divisions and remainders truncate toward zero, as the rule is written.
  if (bordered && ctl3D) return m < height - 4 ? 1 : (height - m - 4) / 2 - 1;
  if (bordered) return m < height - 4 ? 1 : (height - m - 4) / 2 - (height - m) % 2;
  return m < height - 2 ? 0 : (height - m - 2) / 2 - (height - m) % 2;
}
