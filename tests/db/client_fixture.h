// A fresh database in a temporary folder reached through the client components as the application places
// them: client "client1" on an in-process engine, session "session1", database "database1"; with helpers that
// build the application's kinds of tables and make table components.
#pragma once
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "engine_fixture.h" // readable texts in failure messages
#include "platform/core/format_settings.h"
#include "tests/platform/dataset_probe.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ClientTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    engine.SetBusyTimeout(100);
    ASSERT_EQ(engine.DatabaseCreate(folder.path()), DBIERR_NONE);
    MakeComponents();
  }
  void TearDown() override { FreeComponents(); }

  // The client chain, owned by one component as a data module owns it.
  void MakeComponents() {
    module = new TComponent(nullptr);
    client = new TffClient(module);
    client->SetClientName(QStringLiteral("client1"));
    client->SetServerEngine(&engine);
    session = new TffSession(module);
    session->SetClientName(QStringLiteral("client1"));
    session->SetSessionName(QStringLiteral("session1"));
    database = new TffDatabase(module);
    database->SetDatabaseName(QStringLiteral("database1"));
    database->SetSessionName(QStringLiteral("session1"));
    database->SetAliasName(folder.path());
  }
  void FreeComponents() { FreeAndNil(module); }

  // A table component on database1; not opened.
  TffTable *Table(const QString &tableName, const QString &indexName = QString()) {
    auto *table = new TffTable(module);
    table->SetDatabaseName(QStringLiteral("database1"));
    table->SetSessionName(QStringLiteral("session1"));
    table->SetTableName(tableName);
    table->SetIndexName(indexName);
    return table;
  }
  TDataSource *SourceOf(TDataSet *dataSet) {
    auto *source = new TDataSource(module);
    source->SetDataSet(dataSet);
    return source;
  }

  void Build(const QString &tableName, const TffDataDictionary &dictionary) {
    CheckEngineResult(database->CreateTable(true, tableName, &dictionary));
  }

  // CUSTOMERS: CUSTNO auto-increment, CUSTOMER (50); index "CUSTOMER" (case-insensitive).
  void BuildCustomers() {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("CUSTNO"), QString(), fftAutoInc, 0, 0, false);
    d.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
    d.AddIndex(QStringLiteral("CUSTOMER"), QString(), 0, QStringLiteral("CUSTOMER"), false, true);
    Build(QStringLiteral("CUSTOMERS"), d);
  }

  // MINV1: REC auto-increment, CANC, CUSTNO, CUSTOMER (50), NET, InvDATE, InvNUM; indexes "CUST" on
  // CUSTNO;InvNUM and "INVNUM" on InvNUM, both descending and case-insensitive.
  void BuildHeaders() {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("REC"), QString(), fftAutoInc, 0, 0, false);
    d.AddField(QStringLiteral("CANC"), QString(), fftBoolean, 0, 0, false);
    d.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
    d.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
    d.AddField(QStringLiteral("NET"), QString(), fftDouble, 0, 0, false);
    d.AddField(QStringLiteral("InvDATE"), QString(), fftDateTime, 0, 0, false);
    d.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
    d.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
    d.AddIndex(QStringLiteral("INVNUM"), QString(), 0, QStringLiteral("InvNUM"), true, true);
    Build(QStringLiteral("MINV1"), d);
  }

  // MINV2: REC, QUANTITY, DESCRIPTION (1000), ITEMPRICE; index "REC" (descending, case-insensitive).
  void BuildLines() {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
    d.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
    d.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    d.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    d.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
    Build(QStringLiteral("MINV2"), d);
  }

  // PRODUCTS: TYPE, DESCRIPTION (1000), ITEMPRICE; index "TYPE" on TYPE;DESCRIPTION (case-insensitive).
  void BuildProducts() {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("TYPE"), QString(), fftInt32, 0, 0, false);
    d.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
    d.AddField(QStringLiteral("ITEMPRICE"), QString(), fftDouble, 0, 0, false);
    d.AddIndex(QStringLiteral("TYPE"), QString(), 0, QStringLiteral("TYPE;DESCRIPTION"), false, true);
    Build(QStringLiteral("PRODUCTS"), d);
  }

  // Reports: rec auto-increment, File (BLOB), FileName (100), Copies (small integer), Auto (boolean);
  // index "rec".
  void BuildReports() {
    TffDataDictionary d(4096);
    d.AddField(QStringLiteral("rec"), QString(), fftAutoInc, 0, 0, false);
    d.AddField(QStringLiteral("File"), QString(), fftBLOB, 0, 0, false);
    d.AddField(QStringLiteral("FileName"), QString(), fftNullString, 100, 0, false);
    d.AddField(QStringLiteral("Copies"), QString(), fftInt16, 0, 0, false);
    d.AddField(QStringLiteral("Auto"), QString(), fftBoolean, 0, 0, false);
    d.AddIndex(QStringLiteral("rec"), QString(), 0, QStringLiteral("rec"), false, true);
    Build(QStringLiteral("Reports"), d);
  }

  QString FilePath() const { return folder.filePath(QStringLiteral("tallyrook.db")); }

  // Runs an action that must raise EffDatabaseError; gives its code and message.
  template <typename F>
  static std::pair<int, QString> Failure(F action) {
    try {
      action();
    } catch (const EffDatabaseError &e) {
      return {e.ErrorCode(), e.Message()};
    }
    return {0, QString()};
  }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  QTemporaryDir folder;
  TffServerEngine engine;
  TComponent *module = nullptr;
  TffClient *client = nullptr;
  TffSession *session = nullptr;
  TffDatabase *database = nullptr;
};
