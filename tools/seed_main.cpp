// tallyrook-seed FOLDER: writes Tallyrook's shipped database (tallyrook.db) into FOLDER, unless FOLDER
// already holds one, which is left as it is. The build runs it for the folder of the program.
#include "app/shipped_data.h"
#include "tools/shipped_reports.h"
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: tallyrook-seed FOLDER\n");
    return 2;
  }
  const TSeedResult result = SeedDataFolder(arguments.at(1), ShippedReportTemplates());
  std::fprintf(result.Outcome == TSeedOutcome::Failed ? stderr : stdout, "%s\n",
               qUtf8Printable(result.Message));
  return result.Outcome == TSeedOutcome::Failed ? 1 : 0;
}
