// The preview's view of a report component, and the panel's and window's ways of showing a report.
#include "report/export_filter.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_host.h"
#include "report/ui/preview_panel.h"

namespace {

class TfrReportPreviewHost : public TfrPreviewHost {
public:
  explicit TfrReportPreviewHost(TfrReport *report) : report_(report) {}

  TfrEMFPages &Pages() override { return report_->EMFPages(); }
  TfrPreviewSettings Settings() const override {
    TfrPreviewSettings settings;
    settings.Buttons = report_->PreviewButtons;
    settings.InitialZoom = report_->InitialZoom;
    settings.ModalPreview = report_->ModalPreview;
    settings.GrayedButtons = report_->GrayedButtons;
    settings.Title = report_->Title;
    return settings;
  }
  TComponent *Component() override { return report_; }

  void LoadPreparedReport(const QString &FileName) override { report_->LoadPreparedReport(FileName); }
  void SavePreparedReport(const QString &FileName) override { report_->SavePreparedReport(FileName); }
  QList<TfrPreviewExportFilter> ExportFilters() const override {
    QList<TfrPreviewExportFilter> filters;
    for (int i = 0; i < frExportFilterCount(); ++i)
      filters.append({frExportFilter(i).FilterDesc, frExportFilter(i).FilterExt});
    return filters;
  }
  bool ExportTo(int FilterIndex, const QString &FileName) override {
    if (FilterIndex < 0 || FilterIndex >= frExportFilterCount()) return false;
    return report_->ExportTo(frExportFilter(FilterIndex).FilterClass, FileName);
  }

  QString PageListError(const QString &PageNumbers) override {
    try {
      frParsePageList(PageNumbers, report_->EMFPages().Count());
    } catch (const EfrReportError &e) {
      return e.Message();
    }
    return QString();
  }
  bool PrintPreparedReport(const QString &PageNumbers, int Copies) override {
    return report_->PrintPreparedReport(PageNumbers, Copies);
  }
  // A report with a template can build its pages again.
  bool CanRebuild() const override { return report_->Pages().Count() > 0; }
  bool ChangePrinter(int OldIndex, int NewIndex) override {
    return report_->ChangePrinter(OldIndex, NewIndex);
  }
  bool PrepareReport() override { return report_->PrepareReport(); }

private:
  TfrReport *report_;
};

} // namespace

std::unique_ptr<TfrPreviewHost> frReportPreviewHost(TfrReport *Report) {
  return std::make_unique<TfrReportPreviewHost>(Report);
}

void TfrPreview::ShowReport(TfrReport *Report) {
  if (Report)
    AttachReport(frReportPreviewHost(Report));
  else
    Clear();
}
