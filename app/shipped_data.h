// The data the program ships with: the shipped database, which the build writes beside the program
// (tools/tallyrook-seed) and which a new data folder starts from (app/data_folder.h), with every table of the
// application (fields and indexes), the settings row of CONTROL with defaults, and the invoice templates in
// Reports.
//
// A database is built under a temporary name and put in place only when it is complete, so a failed build
// leaves no half-made database behind. Seeding a data folder never touches a database it holds already.
//
// The shipped database is only read (it may lie where the program may not write).
//
// The templates reach data folders that exist already: on every start the Reports rows 1 to 4 that the
// shipped database holds in a newer release (their Updated date), or in another build of the same release,
// replace the data folder's, in one transaction; a data folder's row of a later release is kept. There is no
// report designer, so users never change these rows themselves.
#pragma once
#include "db/engine/ff_server_engine.h"
#include "platform/core/date_time.h"
#include <QByteArray>
#include <QList>
#include <QString>

// One row of the Reports table: template number n is the row whose rec field is n.
struct TShippedReport {
  int Number = 0;
  QString FileName;
  QString Description;
  QByteArray Template; // the report template stream
};

// The settings row's initial values.
struct TShippedSettings {
  QString Company = QStringLiteral("Your Company Name");
  QString Address;
  QString Phone;
  QString Fax;
  QString Email;
  QString Website;
  int LastINV = 0; // the first invoice gets number 1
  double TaxPCT = 0;
  int INVTYPE = 0; // items
  QString FootNote = QStringLiteral("Thank you for your business.");
};

enum class TSeedOutcome { Created, AlreadyExists, Failed };

struct TSeedResult {
  TSeedOutcome Outcome = TSeedOutcome::Failed;
  QString DatabaseFile;
  QString Message; // what went wrong, or what was done
};

// Writes the shipped database into Folder (which must exist) unless it holds one already.
TSeedResult SeedDataFolder(const QString &Folder, const QList<TShippedReport> &Reports,
                           const TShippedSettings &Settings = TShippedSettings());

// Writes the shipped database as File, replacing an earlier one there.
TSeedResult WriteShippedDatabase(const QString &File, const QList<TShippedReport> &Reports,
                                 const TShippedSettings &Settings = TShippedSettings());

// The date of this release of the templates, which every Reports row the build writes carries.
TDateTime ShippedTemplatesDate();

// Brings the templates of an open data folder up to date from the shipped database ShippedFile (nothing to do
// when there is none); returns what went wrong, or an empty text.
QString UpdateShippedReports(TffServerEngine &Engine, TffDatabaseID Database, const QString &ShippedFile);
