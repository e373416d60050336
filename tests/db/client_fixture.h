// A fresh database in a temporary folder reached through the client components as the application places
// them: client "client1" on an in-process engine, session "session1", database "database1"; with helpers that
// build the application's kinds of tables and make table components.
#pragma once
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "engine_fixture.h"
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
    engine.SetCollationLocale(QStringLiteral("en_GB"));
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
  // The same, built from the definition first and opened.
  TffTable *Open(const QString &tableName, const TffDataDictionary &dictionary,
                 const QString &indexName = QString()) {
    Build(tableName, dictionary);
    TffTable *table = Table(tableName, indexName);
    table->Open();
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
  void BuildCustomers() { Build(QStringLiteral("CUSTOMERS"), CustomersSchema()); }
  void BuildHeaders() { Build(QStringLiteral("MINV1"), HeadersSchema()); }
  void BuildLines() { Build(QStringLiteral("MINV2"), LinesSchema()); }

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

  // One field's text in every record, joined by ","; leaves the dataset at its end.
  static QString Column(TDataSet *dataSet, const char *field) {
    return test::Column(dataSet, QString::fromLatin1(field)).join(u',');
  }
  static QString Text(TDataSet *dataSet, const char *field) {
    return dataSet->FieldByName(QString::fromLatin1(field))->AsString();
  }
  static void SetText(TDataSet *dataSet, const char *field, const QString &value) {
    dataSet->FieldByName(QString::fromLatin1(field))->SetAsString(value);
  }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  QTemporaryDir folder;
  TffServerEngine engine;
  TComponent *module = nullptr;
  TffClient *client = nullptr;
  TffSession *session = nullptr;
  TffDatabase *database = nullptr;
};
