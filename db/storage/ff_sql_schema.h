// How a data dictionary maps onto SQLite: every table of a data folder is an SQLite table in the folder's
// one database file, with a hidden, never reused row id (the record's bookmark and its insertion order),
// one column per field and one SQLite index per dictionary index except the sequential one. Each table's
// dictionary is kept in the ff_dictionary table; facts about the whole file in ff_properties.
//
// A string field that an index compares without regard to case has a key column beside it that the engine
// keeps: the collation key of the field's text (ff_collation.h), a BLOB that sorts as the user's language
// does. The index sorts by that column with SQLite's own binary order, so the file needs no collation of
// this program's and any SQLite tool can read, check and change it. The file records which rules its keys
// follow (the property "collation"); opened under other rules, every key is made again. A row another
// program writes leaves the key column empty or stale; the engine puts it right when it next opens the file.
//
// So that opening does not have to search every table for such rows, a table with key columns or an
// automatic number has two triggers, in plain SQL that any SQLite tool runs: one on insert and one on
// update of the fields the engine keeps something for, each marking the table's unchecked_changes in
// ff_dictionary. On the engine's own connection the triggers find every table marked already: only other
// programs mark tables.
#pragma once
#include "db/storage/ff_data_dictionary.h"
#include <QString>
#include <QStringList>

// The file that holds every table of a data folder.
inline constexpr const char *ffDatabaseFileName = "tallyrook.db";
// SQLite's application id for that file ("TRDB"), telling a Tallyrook database from other SQLite files.
inline constexpr int ffApplicationId = 0x54524442;
// The version of the layout below, kept in SQLite's user_version. Version 1 compared case-insensitive
// index fields with a collation of its own instead of key columns; version 2 had no triggers and no
// unchecked_changes; version 3 kept texts with their case folded in the key columns, and no ff_properties.
inline constexpr int ffSchemaVersion = 4;

inline constexpr const char *ffDictionaryTable = "ff_dictionary";
// Named values about the whole file (name, value).
inline constexpr const char *ffPropertiesTable = "ff_properties";
// The property naming the rules the key columns follow (TffCollation::Identity).
inline constexpr const char *ffCollationProperty = "collation";
// The column of ff_dictionary that triggers set when another program changes the table.
inline constexpr const char *ffUncheckedChangesColumn = "unchecked_changes";
inline constexpr const char *ffRowIdColumn = "ff_rowid";
// Column names beginning so are the engine's own; no field may take one.
inline constexpr const char *ffReservedPrefix = "ff_";

// The statements that set up a new, empty database file.
QStringList ffSqlCreateDatabaseStatements();

// A name quoted for SQL ("name", inner quotes doubled).
QString ffSqlQuote(const QString &name);

// The column type of a field type: INTEGER, REAL, TEXT or BLOB.
QString ffSqlColumnType(TffFieldType type);

// The SQLite name of an index of a table.
QString ffSqlIndexName(const QString &tableName, const QString &indexName);

// The fields that have a key column: string fields that an index compares without regard to case, in field
// order.
QList<int> ffSqlKeyColumnFields(const TffDataDictionary &dictionary);

// The name of the key column of a field ("ff_key_" and the field's name).
QString ffSqlKeyColumn(const QString &fieldName);

// The expression an index field sorts by: the quoted column, or the quoted key column of a
// case-insensitive string field.
QString ffSqlKeyExpression(const TffDataDictionary &dictionary, const TffIndexField &field);

// True when a table name may be used: not empty, at most 255 characters, and not one of SQLite's or the
// engine's own tables.
bool ffSqlValidTableName(const QString &tableName);

// The statement that makes ff_properties (unless it exists, when asked so).
QString ffSqlCreatePropertiesStatement(bool unlessExists = false);

// The CREATE TABLE statement of a table, and the CREATE INDEX statements of its indexes.
QString ffSqlCreateTableStatement(const QString &tableName, const TffDataDictionary &dictionary);
QStringList ffSqlCreateIndexStatements(const QString &tableName, const TffDataDictionary &dictionary);

// The CREATE TRIGGER statements that mark a table's unchecked_changes (none for a table without key
// columns or automatic number), and the statements that drop them.
QStringList ffSqlCreateTriggerStatements(const QString &tableName, const TffDataDictionary &dictionary);
QStringList ffSqlDropTriggerStatements(const QString &tableName);
