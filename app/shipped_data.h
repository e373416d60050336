// The data the program ships with: the database file tallyrook.db, written by the build beside the program
// (tools/tallyrook-seed), with every table of the application (fields and indexes), the settings row of
// CONTROL with defaults, and the invoice templates in Reports.
//
// Seeding never touches an existing database: a folder that has one keeps it as it is. A new database is
// built under a temporary name in the folder and put in place only when it is complete, so a failed seed
// leaves no half-made database behind.
#pragma once
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
  // The date of the template's release, not the time of the build, so that every build writes the same
  // bytes.
  TDateTime Updated = EncodeDate(2025, 1, 1);
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
