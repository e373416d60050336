// The text export: each prepared page becomes lines of plain text, every output line of every text object
// placed on the page's line round(Y / 16) at the character column round(X / 6.5) (both in report units,
// halves to the even neighbour). Lines end with CR LF; a page ends with a form feed, CR and LF. Lines are
// kept for as far down as the page's texts reach, and texts are written whole, in UTF-8 so that every
// character is kept (text of plain ASCII reads the same in any encoding).
#pragma once
#include "platform/core/component.h"
#include "report/export_filter.h"

// Report units per text line and per character column.
constexpr double frTextLineHeight = 16;
constexpr double frTextColumnWidth = 6.5;

class TfrTextExportFilter : public TfrExportFilter {
public:
  explicit TfrTextExportFilter(TStream *Stream);
  QString ClassName() const override { return QStringLiteral("TfrTextExportFilter"); }

  void OnBeginPage() override;
  void OnEndPage() override;
  void OnText(int X, int Y, const QString &Text, TfrView *View) override;
};

// Registers the text export ("ASCII Text file (*.txt)", "*.txt") once.
void frRegisterTextExport();

// Placing one on a form makes sure the text export is registered.
class TfrTextExport : public TComponent {
public:
  explicit TfrTextExport(TComponent *AOwner) : TComponent(AOwner) { frRegisterTextExport(); }
  QString ClassName() const override { return QStringLiteral("TfrTextExport"); }
};
