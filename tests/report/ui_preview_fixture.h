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

  // A text object on the last page, framed as a table cell or not.
  void Text(TfrEMFPages &pages, int left, int top, int width, int height, const QString &text,
            bool framed = false) {
    memo_ = std::make_unique<TfrMemoView>();
    Place(*memo_, left, top, width, height);
    memo_->FrameTyp = framed ? frbAll : 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) memo_->Memo1.Add(line);
    memo_->PrintToStream(pages[pages.Count() - 1].Stream.get());
  }

  // A two-page invoice: a heading, the invoice number and a table of lines running over to page 2.
  void TwoPageInvoice(TfrEMFPages &pages) {
    const int lines[] = {24, 8};
    int item = 1;
    for (int page = 0; page < 2; ++page) {
      AddPage(pages);
      Text(pages, 40, 40, 300, 36, QStringLiteral("INVOICE"));
      Text(pages, 450, 40, 230, 60, QStringLiteral("Invoice no. 1042\nPage %1 of 2").arg(page + 1));
      const int tableTop = page == 0 ? 200 : 120;
      Text(pages, 40, tableTop, 640, 22, QStringLiteral("Description"), true);
      for (int i = 0; i < lines[page]; ++i, ++item)
        Text(pages, 40, tableTop + 22 + i * 20, 640, 20, QStringLiteral("Sourdough loaf, batch %1").arg(item),
             true);
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
  QString PageListError(const QString &) override { return QString(); }
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
