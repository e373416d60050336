#include "app/shipped_data.h"
#include "app/table_definitions.h"
#include "db/engine/ff_database_file.h"
#include "db/engine/ff_server_engine.h"
#include "platform/core/date_time.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

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

QList<QVariant> ReportRow(const TShippedReport &r, TDateTime updated) {
  return {r.Number, r.Template, r.FileName, r.Description, updated, 0, 0, 1, false};
}

// Builds every table and the rows in a new database in Folder.
QString BuildDatabase(const QString &folder, const QList<TShippedReport> &reports,
                      const TShippedSettings &settings) {
  TffServerEngine engine;
  // Sort keys by the rules languages share, so that a build writes the same file whatever its language; a
  // data folder's copy has them made for the user's language when the program first opens it.
  engine.SetCollationLocale(QStringLiteral("C"));
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
    ok = writer.Insert(database, QStringLiteral("Reports"), ReportRow(report, ShippedTemplatesDate()));
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

// Builds the database in a new temporary folder inside Folder; the folder (removed with it) on success.
std::unique_ptr<QTemporaryDir> BuildAside(const QString &folder, const QList<TShippedReport> &reports,
                                          const TShippedSettings &settings, TSeedResult &result) {
  if (!QFileInfo(folder).isDir()) {
    result.Message = QStringLiteral("The folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
    return nullptr;
  }
  if (const QString error = CheckReports(reports); !error.isEmpty()) {
    result.Message = error;
    return nullptr;
  }
  auto work =
      std::make_unique<QTemporaryDir>(QDir(folder).filePath(QStringLiteral(".tallyrook-seed-XXXXXX")));
  if (!work->isValid()) {
    result.Message = QStringLiteral("Cannot write in the folder %1: %2")
                         .arg(QDir::toNativeSeparators(folder), work->errorString());
    return nullptr;
  }
  if (const QString error = BuildDatabase(work->path(), reports, settings); !error.isEmpty()) {
    result.Message = error;
    return nullptr;
  }
  return work;
}

// The Reports rows with numbers 1 to 4 of an open database, by number.
TffResult ReadTemplateRows(TffServerEngine &engine, TffDatabaseID database, QMap<int, TffRecord> &rows) {
  TffCursorID cursor = 0;
  TffResult result = engine.CursorOpen(database, QStringLiteral("Reports"), QStringLiteral("rec"), cursor);
  if (result == DBIERR_NONE) result = engine.CursorSetRange(cursor, {1}, true, {4}, true);
  TffRecord record;
  while (result == DBIERR_NONE && (result = engine.RecordGetNext(cursor, record)) == DBIERR_NONE)
    rows.insert(record.Values[0].toInt(), record);
  if (cursor) engine.CursorClose(cursor);
  return result == DBIERR_EOF ? DBIERR_NONE : result;
}

} // namespace

TDateTime ShippedTemplatesDate() {
  // The date of this release of the templates, not the time of the build, so that every build writes the same
  // bytes. A release that changes a template moves it on.
  return EncodeDate(2025, 6, 1);
}

TSeedResult SeedDataFolder(const QString &Folder, const QList<TShippedReport> &Reports,
                           const TShippedSettings &Settings) {
  TSeedResult result;
  result.DatabaseFile = QDir::toNativeSeparators(ffDatabaseFilePath(Folder));
  const auto exists = [&] {
    result.Outcome = TSeedOutcome::AlreadyExists;
    result.Message = QStringLiteral("The database %1 exists and is left as it is").arg(result.DatabaseFile);
    return result;
  };
  if (QFileInfo::exists(ffDatabaseFilePath(Folder))) return exists();
  const std::unique_ptr<QTemporaryDir> work = BuildAside(Folder, Reports, Settings, result);
  if (!work) return result;
  // QFile::rename never replaces a file, so a database that appeared meanwhile is kept.
  if (!QFile::rename(ffDatabaseFilePath(work->path()), ffDatabaseFilePath(Folder))) {
    if (QFileInfo::exists(ffDatabaseFilePath(Folder))) return exists();
    result.Message = QStringLiteral("Cannot put the database in place as %1").arg(result.DatabaseFile);
    return result;
  }
  result.Outcome = TSeedOutcome::Created;
  result.Message = QStringLiteral("Wrote the database %1").arg(result.DatabaseFile);
  return result;
}

TSeedResult WriteShippedDatabase(const QString &File, const QList<TShippedReport> &Reports,
                                 const TShippedSettings &Settings) {
  TSeedResult result;
  result.DatabaseFile = QDir::toNativeSeparators(File);
  const std::unique_ptr<QTemporaryDir> work =
      BuildAside(QFileInfo(File).absolutePath(), Reports, Settings, result);
  if (!work) return result;
  // Renaming over the earlier file replaces it whole: a reader sees the old one or the new one.
  std::error_code error;
  std::filesystem::rename(ffDatabaseFilePath(work->path()).toStdString(), File.toStdString(), error);
  if (error) {
    result.Message = QStringLiteral("Cannot put the database in place as %1: %2")
                         .arg(result.DatabaseFile, QString::fromStdString(error.message()));
    return result;
  }
  result.Outcome = TSeedOutcome::Created;
  result.Message = QStringLiteral("Wrote the database %1").arg(result.DatabaseFile);
  return result;
}

QString UpdateShippedReports(TffServerEngine &Engine, TffDatabaseID Database, const QString &ShippedFile) {
  if (!QFileInfo::exists(ShippedFile)) return QString();
  QMap<int, TffRecord> shipped, current;
  TffDatabaseID source = 0;
  // Only read: the shipped database may lie where the program may not write, and its keys may follow
  // another language than the user's.
  TffResult result = Engine.DatabaseOpenFile(ShippedFile, source, true);
  if (result == DBIERR_NONE) result = ReadTemplateRows(Engine, source, shipped);
  if (source) Engine.DatabaseClose(source);
  if (result == DBIERR_NONE) result = ReadTemplateRows(Engine, Database, current);
  if (result != DBIERR_NONE) return Engine.LastError().Message;

  // A template of the same release date that differs is of an earlier build of that release.
  QList<int> newer;
  for (auto row = shipped.cbegin(); row != shipped.cend(); ++row) {
    const auto mine = current.constFind(row.key());
    const double shippedDate = row->Values[4].toDouble();
    if (mine == current.cend() || !mine->Values[4].isValid() || mine->Values[4].toDouble() < shippedDate ||
        (mine->Values[4].toDouble() == shippedDate && mine->Values != row->Values))
      newer.append(row.key());
  }
  if (newer.isEmpty()) return QString();

  TffCursorID cursor = 0;
  result = Engine.TransactionStart(Database);
  if (result == DBIERR_NONE)
    result = Engine.CursorOpen(Database, QStringLiteral("Reports"), QString(), cursor);
  for (int number : newer) {
    if (result != DBIERR_NONE) break;
    TffRecord written;
    const auto mine = current.constFind(number);
    if (mine == current.cend()) {
      result = Engine.RecordInsert(cursor, shipped[number].Values, written);
    } else {
      result = Engine.CursorSetToBookmark(cursor, mine->Bookmark);
      if (result == DBIERR_NONE) result = Engine.RecordModify(cursor, shipped[number].Values, written);
    }
  }
  if (cursor) Engine.CursorClose(cursor);
  if (result == DBIERR_NONE) result = Engine.TransactionCommit(Database);
  if (result == DBIERR_NONE) return QString();
  const QString message = Engine.LastError().Message;
  if (Engine.InTransaction(Database)) Engine.TransactionRollback(Database);
  return message;
}
