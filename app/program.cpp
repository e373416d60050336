#include "app/program.h"
#include "app/about_box.h"
#include "app/customer_editor.h"
#include "app/customer_list.h"
#include "app/data_folder.h"
#include "app/data_module.h"
#include "app/main_form.h"
#include "app/past_invoices.h"
#include "app/print_form.h"
#include "app/product_editor.h"
#include "app/product_list.h"
#include "app/settings_form.h"
#include "app/what_next_form.h"
#include "db/engine/ff_database_file.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/application.h"
#include "platform/windowing/system_services.h"
#include "report/engine.h"
#include "report/ui/report_windows.h"
#include <QCoreApplication>
#include <QDir>

QString DatabaseFailureMessage(const QString &File, const QString &Problem) {
  QString text = QStringLiteral("Tallyrook cannot open its database and will close.\n\n") + Problem;
  if (!Problem.isEmpty() && !Problem.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
  const QString file = QDir::toNativeSeparators(File);
  if (!Problem.contains(file)) text += QStringLiteral("\n\nDatabase: ") + file;
  return text;
}

void StartApplicationReports() {
  TApplication *application = Application();
  // At exit the report engine goes before the printer it prints on (the last finalizer registered runs
  // first).
  application->AddFinalizer(FreePrinter);
  StartReportEngine();
  // The templates name the data module's tables ("DD.INV1"): every form and data module is found by name.
  frSetTopLevelComponents([] {
    QList<TComponent *> components;
    for (int i = 0; i < Application()->ComponentCount(); ++i) components.append(Application()->Components(i));
    return components;
  });
  application->AddFinalizer([] {
    frSetTopLevelComponents(nullptr);
    StopReportEngine();
  });
}

namespace {

// The main window, then the dialogs, each made once here, in this order: SETTINGS, HARD, WOTNEXT, AboutBox,
// CUSTLIST, CUSTEDIT, INVOICES, PRODUCTS, PRODEDIT.
void CreateForms() {
  TApplication *application = Application();
  // The report engine's progress window stands in front of long report work.
  frInstallReportWindows();
  application->CreateForm(F1);
  application->CreateForm(SETTINGS);
  application->CreateForm(HARD);
  application->CreateForm(WOTNEXT);
  application->CreateForm(AboutBox);
  application->CreateForm(CUSTLIST);
  application->CreateForm(CUSTEDIT);
  application->CreateForm(INVOICES);
  application->CreateForm(PRODUCTS);
  application->CreateForm(PRODEDIT);
}

} // namespace

int RunTallyrook() {
  TApplication *application = Application();
  application->Initialize();
  application->SetTitle(QStringLiteral("Tallyrook"));
  // The name the user's data location is made of (~/.local/share/Tallyrook).
  QCoreApplication::setApplicationName(QStringLiteral("Tallyrook"));
  StartApplicationReports();

  int exitCode = 0;
  try {
    application->CreateForm(DD);
  } catch (const EDatabaseError &e) {
    const QString file = ffDatabaseFilePath(DD ? DD->AppPath : AppDataFolder());
    ::MessageBox(0, DatabaseFailureMessage(file, e.Message()), application->Title(), MB_OK | MB_ICONSTOP);
    exitCode = 1;
  } catch (const std::exception &e) {
    application->ShowException(e);
    exitCode = 1;
  }

  // A second copy (the guard asked the application to end) or a failed start creates no form.
  if (exitCode == 0 && !application->Terminated()) {
    try {
      CreateForms();
    } catch (const std::exception &e) {
      // The forms made so far go with the application; the user is told why the program ends.
      ::MessageBox(0,
                   QStringLiteral("Tallyrook cannot start and will close.\n\n") + QString::fromUtf8(e.what()),
                   application->Title(), MB_OK | MB_ICONSTOP);
      exitCode = 1;
    }
    if (exitCode == 0) application->Run();
  }

  FreeApplication();
  frUninstallReportWindows();
  DD = nullptr;
  F1 = nullptr;
  HARD = nullptr;
  return exitCode;
}
