#include "platform/graphics/color.h"
#include <QGuiApplication>
#include <QPalette>

namespace {

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
