// A preview host over prepared pages of its own, which records what the preview asks of the report, and
// the set-up the preview tests share.
#pragma once
#include "../platform/gui_test_helpers.h"
#include "platform/core/component.h"
#include "platform/windowing/system_services.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_host.h"
#include "tests/report/ui_pages_fixture.h"
#include <QStringList>

namespace test {

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
