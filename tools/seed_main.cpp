// tallyrook-seed FILE: writes Tallyrook's shipped database as FILE, replacing an earlier one. The build runs
// it to put the shipped database beside the program, from which a new data folder gets its first database.
#include "app/shipped_data.h"
#include "tools/shipped_reports.h"
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: tallyrook-seed FILE\n");
    return 2;
  }
  const TSeedResult result = WriteShippedDatabase(arguments.at(1), ShippedReportTemplates());
  std::fprintf(result.Outcome == TSeedOutcome::Failed ? stderr : stdout, "%s\n",
               qUtf8Printable(result.Message));
  return result.Outcome == TSeedOutcome::Failed ? 1 : 0;
}
