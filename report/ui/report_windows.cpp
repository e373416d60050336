#include "report/ui/report_windows.h"
#include "platform/windowing/application.h"
#include "report/report_hooks.h"
#include "report/ui/preview_form.h"
#include "report/ui/progress_form.h"

void frInstallReportWindows() {
  frSetProgressWindowFactory([] { return std::make_unique<TfrProgressFormWindow>(); });
  frSetPreviewWindowOpener([](TfrReport *Report, const QString &Caption) {
    // Owned by the application, so a preview still open at exit goes with the other forms.
    auto *form = TCustomForm::Create<TfrPreviewForm>(Application());
    form->SetCaption(Caption);
    const bool modal = Report->ModalPreview;
    form->ShowReport(frReportPreviewHost(Report));
    if (modal) form->Free();
  });
}

void frUninstallReportWindows() {
  frSetProgressWindowFactory(nullptr);
  frSetPreviewWindowOpener(nullptr);
}
