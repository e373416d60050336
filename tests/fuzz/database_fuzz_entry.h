// The input of the database fuzz target (database_fuzzer.cpp), shared with the test that runs its corpus in
// the normal build: arbitrary bytes as a data folder's tallyrook.db, opened through the engine and through
// the client's table components as the program opens it, every table read in every index order and then
// written to. Refusing the file, a table or a change with the engine's error is a normal outcome; a crash, a
// hang, a sanitizer report or a broken rule below is a fault.
#pragma once
#include "db/client/ff_database.h"
#include "db/client/ff_table.h"
#include "db/engine/ff_database_file.h"
#include "db/engine/ff_server_engine.h"
#include "tests/fuzz/fuzz_require.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// At most this many tables, indexes and records are read, so that a large file stays quick.
constexpr int kDatabaseReadLimit = 50;

inline QString DatabaseFolder() {
  static QTemporaryDir folder;
  return folder.path();
}

inline void WriteDatabaseFile(const QByteArray &bytes) {
  const QString path = ffDatabaseFilePath(DatabaseFolder());
  for (const char *suffix : {"-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1String(suffix));
  QFile file(path);
  Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
          "the database file is written");
}

// Reads the table through an engine cursor on each of its indexes.
inline void ReadThroughTheEngine(TffServerEngine &engine, TffDatabaseID database, const QString &table) {
  std::optional<TffDataDictionary> found;
  if (engine.TableGetDictionary(database, table, found) != DBIERR_NONE || !found) return;
  const TffDataDictionary &dictionary = *found;
  for (int index = 0; index < std::min(dictionary.IndexCount(), kDatabaseReadLimit); ++index) {
    TffCursorID cursor = 0;
    if (engine.CursorOpen(database, table, index == 0 ? QString() : dictionary.IndexName(index), cursor) !=
        DBIERR_NONE)
      continue;
    qint64 count = 0;
    engine.CursorGetRecordCount(cursor, count);
    TffRecord record;
    int read = 0;
    while (read < kDatabaseReadLimit && engine.RecordGetNext(cursor, record) == DBIERR_NONE) {
      Require(record.Values.size() == dictionary.FieldCount(), "a record has a value per field");
      ++read;
    }
    engine.CursorSetToEnd(cursor);
    engine.RecordGetPrior(cursor, record);
    engine.CursorClose(cursor);
  }
}

// Opens the table as a dataset, reads its records and every field's text, then adds a record and changes it.
inline void UseThroughTheClient(TComponent *module, const QString &tableName) {
  auto *table = new TffTable(module);
  table->SetDatabaseName(QStringLiteral("fuzz"));
  table->SetSessionName(QStringLiteral("fuzz"));
  table->SetTableName(tableName);
  try {
    table->Open();
    for (int read = 0; !table->Eof() && read < kDatabaseReadLimit; ++read, table->Next())
      for (int i = 0; i < table->FieldCount(); ++i) table->Fields()->Fields(i)->DisplayText();
    table->Last();
    table->Append();
    table->Post();
    table->Edit();
    table->Post();
    table->First();
    if (!table->Eof()) table->Delete();
  } catch (const Exception &) {
    if (table->State() == dsEdit || table->State() == dsInsert) table->Cancel();
  }
  table->Free();
}

inline int RunDatabaseInput(const uint8_t *data, size_t size) {
  WriteDatabaseFile(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
  TffServerEngine engine;
  engine.SetBusyTimeout(0);
  TffDatabaseID database = 0;
  if (engine.DatabaseOpen(DatabaseFolder(), database) != DBIERR_NONE) return 0;
  QStringList tables;
  if (engine.DatabaseTableList(database, tables) == DBIERR_NONE)
    for (const QString &table : tables.mid(0, kDatabaseReadLimit))
      ReadThroughTheEngine(engine, database, table);
  engine.DatabaseClose(database);

  auto *module = new TComponent(nullptr);
  auto *client = new TffClient(module);
  client->SetClientName(QStringLiteral("fuzz"));
  client->SetServerEngine(&engine);
  auto *session = new TffSession(module);
  session->SetClientName(QStringLiteral("fuzz"));
  session->SetSessionName(QStringLiteral("fuzz"));
  auto *db = new TffDatabase(module);
  db->SetDatabaseName(QStringLiteral("fuzz"));
  db->SetSessionName(QStringLiteral("fuzz"));
  db->SetAliasName(DatabaseFolder());
  for (const QString &table : tables.mid(0, kDatabaseReadLimit)) UseThroughTheClient(module, table);
  module->Free();
  return 0;
}

} // namespace fuzz
