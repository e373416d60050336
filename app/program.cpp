#include "app/program.h"
#include "app/data_module.h"
#include "app/main_form.h"
#include "db/engine/ff_database_file.h"
#include "platform/application.h"
#include "platform/system_services.h"
#include <QDir>

QString DatabaseFailureMessage(const QString &File, const QString &Problem) {
  QString problem = Problem;
  if (!problem.isEmpty() && !problem.endsWith(QLatin1Char('.'))) problem += QLatin1Char('.');
  return QStringLiteral("Tallyrook cannot open its database and will close.\n\nFile: %1\nProblem: %2")
      .arg(QDir::toNativeSeparators(File), problem);
}

int RunTallyrook() {
  TApplication *application = Application();
  application->Initialize();
  application->SetTitle(QStringLiteral("Tallyrook"));

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
    application->CreateForm(F1);
    // The dialogs follow the main window, each created here once its form exists, in this order:
    // SETTINGS, HARD, WOTNEXT, AboutBox, CUSTLIST, CUSTEDIT, INVOICES, PRODUCTS, PRODEDIT.
    application->Run();
  }

  FreeApplication();
  DD = nullptr;
  F1 = nullptr;
  return exitCode;
}
