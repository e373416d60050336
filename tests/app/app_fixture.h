// A data folder made the program's data folder (TALLYROOK_DATA), with a private folder for the
// single-instance guard so that test programs running side by side never meet. The folder's tables are read
// and changed behind the program's back, through an engine of the test's own or through SQLite as another
// program would.
#pragma once
#include "app/data_module.h"
#include "app/print_form.h"
#include "app/shipped_data.h"
#include "db/engine/ff_server_engine.h"
#include "platform/windowing/application.h"
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget> // forms.h keeps widgets in QPointers
#include <gtest/gtest.h>
#include <sqlite3.h>

// Shows values readably in failure messages.
inline void PrintTo(const QVariant &value, std::ostream *out) {
  *out << (value.isValid() ? value.typeName() : "null") << ' ' << value.toString().toStdString();
}

using TRow = QList<QVariant>;

// A stored invoice's header as MINV1 holds it, numbered Number (its REC left to the table).
inline TRow HeaderRow(double Number) {
  return {QVariant(), 1,         false,     0,         QStringLiteral("Old"),
          QString(),  QString(), QString(), QString(), QString(),
          1.0,        0.0,       1.0,       45000.0,   Number};
}

// The company name a database file holds, or why it cannot be read.
inline QString CompanyInFile(const QString &File) {
  TffServerEngine engine;
  TffDatabaseID db = 0;
  TffCursorID cursor = 0;
  TffRecord record;
  if (engine.DatabaseOpenFile(File, db) != DBIERR_NONE ||
      engine.CursorOpen(db, QStringLiteral("CONTROL"), QString(), cursor) != DBIERR_NONE ||
      engine.RecordGetNext(cursor, record) != DBIERR_NONE)
    return engine.LastError().Message;
  return record.Values[1].toString();
}

// The text of a PDF file as pdftotext reads it (with -layout when Layout).
inline QString PdfText(const QString &File, bool Layout = false) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"),
                Layout ? QStringList{QStringLiteral("-layout"), File, QStringLiteral("-")}
                       : QStringList{File, QStringLiteral("-")});
  return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// A new invoice numbered 1042 as Create Invoice leaves it for the printing form: its header in INV1, its
// lines in INV2, its number given.
inline void NewInvoiceToPrint(int Lines) {
  DD->INV1->Open();
  DD->INV1->Append();
  DD->INV1->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(QStringLiteral("Harbour Bakery Ltd"));
  DD->INV1->FieldByName(QStringLiteral("NET"))->SetAsFloat(4321.25);
  DD->INV1->FieldByName(QStringLiteral("TAX"))->SetAsFloat(864.25);
  DD->INV1->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(5185.5);
  DD->INV1->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(EncodeDate(2024, 5, 12));
  DD->INV1->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(1042);
  DD->INV1->Post();
  HARD->SetInvVar(1042);
  for (int i = 1; i <= Lines; ++i) {
    DD->INV2->Append();
    DD->INV2QUANTITY->SetAsFloat(i);
    DD->INV2DESCRIPTION->SetAsString(QStringLiteral("Sourdough loaf, batch %1").arg(i));
    DD->INV2ITEMPRICE->SetAsFloat(2.5);
    DD->INV2ITEMTOTAL->SetAsFloat(2.5 * i);
    DD->INV2->Post();
  }
}

// A field of the PDF file's information ("Pages", "Title").
inline QString PdfInfo(const QString &File, const char *Field) {
  QProcess process;
  process.start(QStringLiteral("pdfinfo"), {File});
  if (!process.waitForFinished(60000)) return QString();
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("^%1:\\s+(.*)$").arg(QLatin1String(Field)),
                         QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(process.readAllStandardOutput()));
  return m.captured(1).trimmed();
}

class AppFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(data.isValid());
    ASSERT_TRUE(runtime.isValid());
    folder = data.path();
    qputenv("TALLYROOK_DATA", data.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  }
  void TearDown() override {
    FreeApplication();
    qunsetenv("TALLYROOK_DATA");
  }

  void Seed(const QList<TShippedReport> &Reports = {}, const TShippedSettings &Settings = {}) {
    ASSERT_EQ(SeedDataFolder(data.path(), Reports, Settings).Outcome, TSeedOutcome::Created);
  }
  QString DatabaseFile() const { return data.filePath(QStringLiteral("tallyrook.db")); }
  // Runs statements on the database file as another program would.
  void Sql(const char *statements) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseFile().toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  // Runs Work with a cursor on Table of `folder`'s database.
  void OnTable(const QString &Table, const std::function<void(TffServerEngine &, TffCursorID)> &Work) {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    TffCursorID cursor = 0;
    ASSERT_EQ(engine.DatabaseOpen(folder, db), DBIERR_NONE) << folder.toStdString();
    ASSERT_EQ(engine.CursorOpen(db, Table, QString(), cursor), DBIERR_NONE) << Table.toStdString();
    Work(engine, cursor);
    engine.DatabaseClose(db);
  }
  // The records of a table in insertion order.
  QList<TRow> Records(const QString &Table) {
    QList<TRow> rows;
    OnTable(Table, [&](TffServerEngine &engine, TffCursorID cursor) {
      for (TffRecord record; engine.RecordGetNext(cursor, record) == DBIERR_NONE;) rows.append(record.Values);
    });
    return rows;
  }
  void Insert(const QString &Table, const TRow &Values) {
    OnTable(Table, [&](TffServerEngine &engine, TffCursorID cursor) {
      TffRecord inserted;
      ASSERT_EQ(engine.RecordInsert(cursor, Values, inserted), DBIERR_NONE)
          << engine.LastError().Message.toStdString();
    });
  }
  // Changes field Field of the first record of Table.
  void SetFirst(const QString &Table, int Field, const QVariant &Value) {
    OnTable(Table, [&](TffServerEngine &engine, TffCursorID cursor) {
      TffRecord record, modified;
      ASSERT_EQ(engine.RecordGetNext(cursor, record), DBIERR_NONE);
      record.Values[Field] = Value;
      ASSERT_EQ(engine.RecordModify(cursor, record.Values, modified), DBIERR_NONE);
    });
  }
  int LastINV() { return Records(QStringLiteral("CONTROL")).value(0).value(7).toInt(); }

  QTemporaryDir data;
  QTemporaryDir runtime;
  QString folder; // whose tables Records and the others read and change: data's unless a test says otherwise
};
