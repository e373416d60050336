#include "platform/graphics/color.h"
#include "platform/core/exceptions.h"
#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {

struct ColorName {
  TColor value;
  const char *name;
};

// The class library's colour names, in its order.
constexpr std::array kColorNames = {
    ColorName{clBlack, "clBlack"},
    ColorName{clMaroon, "clMaroon"},
    ColorName{clGreen, "clGreen"},
    ColorName{clOlive, "clOlive"},
    ColorName{clNavy, "clNavy"},
    ColorName{clPurple, "clPurple"},
    ColorName{clTeal, "clTeal"},
    ColorName{clGray, "clGray"},
    ColorName{clSilver, "clSilver"},
    ColorName{clRed, "clRed"},
    ColorName{clLime, "clLime"},
    ColorName{clYellow, "clYellow"},
    ColorName{clBlue, "clBlue"},
    ColorName{clFuchsia, "clFuchsia"},
    ColorName{clAqua, "clAqua"},
    ColorName{clWhite, "clWhite"},
    ColorName{clMoneyGreen, "clMoneyGreen"},
    ColorName{clSkyBlue, "clSkyBlue"},
    ColorName{clCream, "clCream"},
    ColorName{clMedGray, "clMedGray"},
    ColorName{clActiveBorder, "clActiveBorder"},
    ColorName{clActiveCaption, "clActiveCaption"},
    ColorName{clAppWorkSpace, "clAppWorkSpace"},
    ColorName{clBackground, "clBackground"},
    ColorName{clBtnFace, "clBtnFace"},
    ColorName{clBtnHighlight, "clBtnHighlight"},
    ColorName{clBtnShadow, "clBtnShadow"},
    ColorName{clBtnText, "clBtnText"},
    ColorName{clCaptionText, "clCaptionText"},
    ColorName{clDefault, "clDefault"},
    ColorName{clGradientActiveCaption, "clGradientActiveCaption"},
    ColorName{clGradientInactiveCaption, "clGradientInactiveCaption"},
    ColorName{clGrayText, "clGrayText"},
    ColorName{clHighlight, "clHighlight"},
    ColorName{clHighlightText, "clHighlightText"},
    ColorName{clHotLight, "clHotLight"},
    ColorName{clInactiveBorder, "clInactiveBorder"},
    ColorName{clInactiveCaption, "clInactiveCaption"},
    ColorName{clInactiveCaptionText, "clInactiveCaptionText"},
    ColorName{clInfoBk, "clInfoBk"},
    ColorName{clInfoText, "clInfoText"},
    ColorName{clMenu, "clMenu"},
    ColorName{clMenuBar, "clMenuBar"},
    ColorName{clMenuHighlight, "clMenuHighlight"},
    ColorName{clMenuText, "clMenuText"},
    ColorName{clNone, "clNone"},
    ColorName{clScrollBar, "clScrollBar"},
    ColorName{cl3DDkShadow, "cl3DDkShadow"},
    ColorName{cl3DLight, "cl3DLight"},
    ColorName{clWindow, "clWindow"},
    ColorName{clWindowFrame, "clWindowFrame"},
    ColorName{clWindowText, "clWindowText"},
};

QPalette CurrentPalette() { return qGuiApp ? QGuiApplication::palette() : QPalette(); }

// Which palette entry plays the part of each Win32 system colour.
QColor SystemColor(int index) {
  const QPalette p = CurrentPalette();
  switch (index) {
  case 0: return p.color(QPalette::Button);                            // scroll bar
  case 1: return p.color(QPalette::Dark);                              // desktop
  case 2: return p.color(QPalette::Active, QPalette::Highlight);       // active caption
  case 3: return p.color(QPalette::Mid);                               // inactive caption
  case 4: return p.color(QPalette::Window);                            // menu
  case 5: return p.color(QPalette::Base);                              // window
  case 6: return p.color(QPalette::WindowText);                        // window frame
  case 7: return p.color(QPalette::WindowText);                        // menu text
  case 8: return p.color(QPalette::Text);                              // window text
  case 9: return p.color(QPalette::Active, QPalette::HighlightedText); // caption text
  case 10: return p.color(QPalette::Window);                           // active border
  case 11: return p.color(QPalette::Window);                           // inactive border
  case 12: return p.color(QPalette::Mid);                              // application workspace
  case 13: return p.color(QPalette::Active, QPalette::Highlight);
  case 14: return p.color(QPalette::Active, QPalette::HighlightedText);
  case 15: return p.color(QPalette::Button);                   // button face
  case 16: return p.color(QPalette::Dark);                     // button shadow
  case 17: return p.color(QPalette::Disabled, QPalette::Text); // grey text
  case 18: return p.color(QPalette::ButtonText);
  case 19: return p.color(QPalette::Inactive, QPalette::HighlightedText);
  case 20: return p.color(QPalette::Light);    // button highlight
  case 21: return p.color(QPalette::Shadow);   // 3-D dark shadow
  case 22: return p.color(QPalette::Midlight); // 3-D light
  case 23: return p.color(QPalette::ToolTipText);
  case 24: return p.color(QPalette::ToolTipBase);
  case 26: return p.color(QPalette::Link);                        // hot-tracked item
  case 27: return p.color(QPalette::Active, QPalette::Highlight); // gradient of the active caption
  case 28: return p.color(QPalette::Mid);                         // gradient of the inactive caption
  case 29: return p.color(QPalette::Active, QPalette::Highlight); // menu highlight
  case 30: return p.color(QPalette::Window);                      // menu bar
  default: return QColor(0, 0, 0);
  }
}

} // namespace

TColor GetSysColor(int index) { return QColorToColor(SystemColor(index)); }

TColor ColorToRGB(TColor color) { return color < 0 ? GetSysColor(color & 0xFF) : color; }

QColor ColorToQColor(TColor color) {
  if (color == clNone) return QColor(Qt::transparent);
  if (color < 0) return SystemColor(color & 0xFF);
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor QColorToColor(const QColor &color) { return RGB(color.red(), color.green(), color.blue()); }

bool ColorToIdent(TColor color, QString &ident) {
  for (const auto &entry : kColorNames)
    if (entry.value == color) {
      ident = QString::fromLatin1(entry.name);
      return true;
    }
  return false;
}

bool IdentToColor(const QString &ident, TColor &color) {
  const QString wanted = ident.trimmed();
  for (const auto &entry : kColorNames)
    if (wanted.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
      color = entry.value;
      return true;
    }
  // Older names the class library still reads.
  if (wanted.compare(QLatin1String("clLtGray"), Qt::CaseInsensitive) == 0) {
    color = clLtGray;
    return true;
  }
  if (wanted.compare(QLatin1String("clDkGray"), Qt::CaseInsensitive) == 0) {
    color = clDkGray;
    return true;
  }
  return false;
}

QString ColorToString(TColor color) {
  QString name;
  if (ColorToIdent(color, name)) return name;
  return QStringLiteral("$%1").arg(static_cast<uint>(color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString &text) {
  TColor color = 0;
  if (IdentToColor(text, color)) return color;
  QString s = text.trimmed();
  bool ok = false;
  qint64 value = 0;
  if (s.startsWith(QLatin1Char('$')))
    value = s.mid(1).toLongLong(&ok, 16);
  else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    value = s.mid(2).toLongLong(&ok, 16);
  else
    value = s.toLongLong(&ok, 10);
  if (!ok || value < INT32_MIN || value > UINT32_MAX)
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return static_cast<TColor>(static_cast<quint32>(value));
}
