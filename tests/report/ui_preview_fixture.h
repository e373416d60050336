// Prepared pages for the report windows, and a preview host over them that records what the preview asks of
// the report.
#pragma once
#include "../platform/gui_test_helpers.h"
#include "platform/core/component.h"
#include "platform/windowing/system_services.h"
#include "report/memo_view.h"
#include "report/prepared_pages.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_host.h"
#include "tests/report/report_model_fixture.h"
#include <QStringList>

namespace test {

// Prepared pages built directly as prepared objects (A4, virtual printer), so that the windows can be
// tested without preparing a report; a two-page invoice among them.
class PreparedPagesBuilder {
public:
  PreparedPagesBuilder() { templatePage_.ChangePaper(frDefaultPaperSize, 0, 0, frPortrait); }

  // Appends an empty A4 page.
  void AddPage(TfrEMFPages &pages) { pages.Add(&templatePage_); }

  // A text object on the last page.
  TfrMemoView &Text(TfrEMFPages &pages, int left, int top, int width, int height, const QString &text,
                    int size = 10, TFontStyles style = 0, int adjust = frtaLeft, TColor fill = clNone,
                    int frame = 0) {
    memo_ = std::make_unique<TfrMemoView>();
    Place(*memo_, left, top, width, height);
    memo_->Font.SetSize(size);
    memo_->Font.SetStyle(style);
    memo_->Adjust = adjust;
    memo_->FillColor = fill;
    memo_->FrameTyp = quint16(frame);
    for (const QString &line : text.split(QLatin1Char('\n'))) memo_->Memo1.Add(line);
    memo_->PrintToStream(pages[pages.Count() - 1].Stream.get());
    return *memo_;
  }

  // A two-page invoice: a heading, the customer, a table of lines running over to page 2, the totals and a
  // page footer on each page.
  void TwoPageInvoice(TfrEMFPages &pages) {
    const int lines[] = {24, 8};
    int item = 1;
    for (int page = 0; page < 2; ++page) {
      AddPage(pages);
      Text(pages, 40, 40, 300, 36, QStringLiteral("INVOICE"), 20, fsBold);
      Text(pages, 450, 40, 230, 60,
           QStringLiteral("Invoice no. 1042\nDate: 06.12.2026\nPage %1 of 2").arg(page + 1), 9, 0, frtaRight);
      if (page == 0) {
        Text(pages, 40, 100, 300, 70,
             QStringLiteral("Bill to:\nHarbour Lane Bakery\n12 Quay Street\nPortsmouth PO1 2AB"));
      }
      const int tableTop = page == 0 ? 200 : 120;
      Text(pages, 40, tableTop, 60, 22, QStringLiteral("Qty"), 10, fsBold, frtaLeft, RGB(220, 225, 235), 15);
      Text(pages, 100, tableTop, 380, 22, QStringLiteral("Description"), 10, fsBold, frtaLeft,
           RGB(220, 225, 235), 15);
      Text(pages, 480, tableTop, 100, 22, QStringLiteral("Price"), 10, fsBold, frtaRight, RGB(220, 225, 235),
           15);
      Text(pages, 580, tableTop, 100, 22, QStringLiteral("Amount"), 10, fsBold, frtaRight, RGB(220, 225, 235),
           15);
      for (int i = 0; i < lines[page]; ++i, ++item) {
        const int y = tableTop + 22 + i * 20;
        const int qty = 1 + item % 4;
        const double price = 2.5 * (item % 7 + 1);
        Text(pages, 40, y, 60, 20, QString::number(qty), 10, 0, frtaLeft, clNone, 15);
        Text(pages, 100, y, 380, 20, QStringLiteral("Sourdough loaf, batch %1").arg(item), 10, 0, frtaLeft,
             clNone, 15);
        Text(pages, 480, y, 100, 20, QString::number(price, 'f', 2), 10, 0, frtaRight, clNone, 15);
        Text(pages, 580, y, 100, 20, QString::number(qty * price, 'f', 2), 10, 0, frtaRight, clNone, 15);
      }
      if (page == 1) {
        const int y = tableTop + 22 + lines[page] * 20 + 20;
        Text(pages, 480, y, 100, 22, QStringLiteral("Total"), 11, fsBold, frtaRight);
        Text(pages, 580, y, 100, 22, QStringLiteral("1,234.50"), 11, fsBold, frtaRight);
      }
      Text(pages, 40, 1000, 640, 20, QStringLiteral("Thank you for your business - page %1").arg(page + 1), 8,
           fsItalic, frtaCenter);
    }
  }

private:
  TfrPage templatePage_;
  std::unique_ptr<TfrMemoView> memo_;
};

class FakePreviewHost : public TfrPreviewHost {
public:
  explicit FakePreviewHost(TfrEMFPages *pages, TComponent *component = nullptr)
      : pages_(pages), component_(component) {}

  TfrEMFPages &Pages() override { return *pages_; }
  TfrPreviewSettings Settings() const override { return settings; }
  TComponent *Component() override { return component_; }
  void LoadPreparedReport(const QString &FileName) override { calls << "load " + FileName; }
  void SavePreparedReport(const QString &FileName) override { calls << "save " + FileName; }
  QList<TfrPreviewExportFilter> ExportFilters() const override {
    return {{QStringLiteral("Text file (*.txt)"), QStringLiteral("*.txt")}};
  }
  bool ExportTo(int FilterIndex, const QString &FileName) override {
    calls << QStringLiteral("export %1 %2").arg(FilterIndex).arg(FileName);
    return true;
  }
  QString PageListError(const QString &PageNumbers) override {
    return PageNumbers == QLatin1String("x") ? QStringLiteral("bad") : QString();
  }
  bool PrintPreparedReport(const QString &PageNumbers, int Copies) override {
    calls << QStringLiteral("print '%1' x%2").arg(PageNumbers).arg(Copies);
    return true;
  }
  bool CanRebuild() const override { return canRebuild; }
  bool ChangePrinter(int OldIndex, int NewIndex) override {
    calls << QStringLiteral("change printer %1 -> %2").arg(OldIndex).arg(NewIndex);
    return changeSucceeds;
  }
  bool PrepareReport() override {
    calls << QStringLiteral("prepare");
    return true;
  }

  TfrPreviewSettings settings;
  bool canRebuild = true;
  bool changeSucceeds = true;
  QStringList calls;

private:
  TfrEMFPages *pages_;
  TComponent *component_;
};

} // namespace test
