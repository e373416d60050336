#include "app/shipped_data.h"
#include "app/table_definitions.h"
#include "db/engine/ff_database_file.h"
#include "db/engine/ff_server_engine.h"
#include "platform/core/date_time.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace {

// Stops at the first failing engine call, keeping its message.
class SeedWriter {
public:
  explicit SeedWriter(TffServerEngine &engine) : engine_(engine) {}

  bool Check(TffResult result) {
    if (result == DBIERR_NONE) return true;
    if (error_.isEmpty())
      error_ = engine_.LastError().Message.isEmpty() ? ffResultText(result) : engine_.LastError().Message;
    return false;
  }
  bool Fail(const QString &message) {
    if (error_.isEmpty()) error_ = message;
    return false;
  }
  const QString &Error() const { return error_; }

  // Inserts one record into a table through a cursor of its own.
  bool Insert(TffDatabaseID database, const QString &table, const QList<QVariant> &values) {
    TffCursorID cursor = 0;
    if (!Check(engine_.CursorOpen(database, table, QString(), cursor))) return false;
    TffRecord inserted;
    const bool ok = Check(engine_.RecordInsert(cursor, values, inserted));
    engine_.CursorClose(cursor);
    return ok;
  }

private:
  TffServerEngine &engine_;
  QString error_;
};

QList<QVariant> SettingsRow(const TShippedSettings &s) {
  return {QVariant(), s.Company, s.Address, s.Phone,   s.Fax,     s.Email,
          s.Website,  s.LastINV, s.TaxPCT,  s.INVTYPE, s.FootNote};
}

QList<QVariant> ReportRow(const TShippedReport &r) {
  return {r.Number, r.Template, r.FileName, r.Description, r.Updated, 0, 0, 1, false};
}

// Builds every table and the rows in a new database in Folder.
QString BuildDatabase(const QString &folder, const QList<TShippedReport> &reports,
                      const TShippedSettings &settings) {
  TffServerEngine engine;
  SeedWriter writer(engine);
  if (!writer.Check(engine.DatabaseCreate(folder))) return writer.Error();
  TffDatabaseID database = 0;
  if (!writer.Check(engine.DatabaseOpen(folder, database))) return writer.Error();
  bool ok = writer.Check(engine.TransactionStart(database));
  for (const TAppTableDefinition &table : AppTableDefinitions()) {
    if (!ok) break;
    ok = writer.Check(engine.TableBuild(database, false, table.TableName, table.Dictionary));
  }
  ok = ok && writer.Insert(database, QStringLiteral("CONTROL"), SettingsRow(settings));
  for (const TShippedReport &report : reports) {
    if (!ok) break;
    ok = writer.Insert(database, QStringLiteral("Reports"), ReportRow(report));
  }
  if (ok)
    ok = writer.Check(engine.TransactionCommit(database));
  else if (engine.InTransaction(database))
    engine.TransactionRollback(database);
  engine.DatabaseClose(database);
  return ok ? QString() : writer.Error();
}

QString CheckReports(const QList<TShippedReport> &reports) {
  QSet<int> numbers;
  for (const TShippedReport &report : reports) {
    if (report.Number < 1) return QStringLiteral("Report template number %1 is not valid").arg(report.Number);
    if (numbers.contains(report.Number))
      return QStringLiteral("Report template number %1 is given twice").arg(report.Number);
    numbers.insert(report.Number);
  }
  return QString();
}

} // namespace

TSeedResult SeedDataFolder(const QString &Folder, const QList<TShippedReport> &Reports,
                           const TShippedSettings &Settings) {
  TSeedResult result;
  result.DatabaseFile = QDir::toNativeSeparators(ffDatabaseFilePath(Folder));
  if (QFileInfo::exists(ffDatabaseFilePath(Folder))) {
    result.Outcome = TSeedOutcome::AlreadyExists;
    result.Message = QStringLiteral("The database %1 exists and is left as it is").arg(result.DatabaseFile);
    return result;
  }
  if (!QFileInfo(Folder).isDir()) {
    result.Message = QStringLiteral("The folder %1 does not exist").arg(QDir::toNativeSeparators(Folder));
    return result;
  }
  if (const QString error = CheckReports(Reports); !error.isEmpty()) {
    result.Message = error;
    return result;
  }

  QTemporaryDir work(QDir(Folder).filePath(QStringLiteral(".tallyrook-seed-XXXXXX")));
  if (!work.isValid()) {
    result.Message = QStringLiteral("Cannot write in the folder %1: %2")
                         .arg(QDir::toNativeSeparators(Folder), work.errorString());
    return result;
  }
  if (const QString error = BuildDatabase(work.path(), Reports, Settings); !error.isEmpty()) {
    result.Message = error;
    return result;
  }
  // QFile::rename never replaces a file, so a database that appeared meanwhile is kept.
  if (!QFile::rename(ffDatabaseFilePath(work.path()), ffDatabaseFilePath(Folder))) {
    if (QFileInfo::exists(ffDatabaseFilePath(Folder))) {
      result.Outcome = TSeedOutcome::AlreadyExists;
      result.Message = QStringLiteral("The database %1 exists and is left as it is").arg(result.DatabaseFile);
    } else {
      result.Message = QStringLiteral("Cannot put the database in place as %1").arg(result.DatabaseFile);
    }
    return result;
  }
  result.Outcome = TSeedOutcome::Created;
  result.Message = QStringLiteral("Wrote the database %1").arg(result.DatabaseFile);
  return result;
}
