// How a data dictionary maps onto SQLite: every table of a data folder is an SQLite table in the folder's
// one database file, with a hidden, never reused row id (the record's bookmark and its insertion order),
// one column per field and one SQLite index per dictionary index except the sequential one. Each table's
// dictionary is kept in the ff_dictionary table. Case-insensitive index fields compare with the FF_NOCASE
// collation, which folds the case of every letter, not only ASCII ones.
#pragma once
#include "db/storage/ff_data_dictionary.h"
#include <QString>
#include <QStringList>
#include <QStringView>

struct sqlite3;

// The file that holds every table of a data folder.
inline constexpr const char *ffDatabaseFileName = "tallyrook.db";
// SQLite's application id for that file ("TRDB"), telling a Tallyrook database from other SQLite files.
inline constexpr int ffApplicationId = 0x54524442;
// The version of the layout below, kept in SQLite's user_version.
inline constexpr int ffSchemaVersion = 1;

inline constexpr const char *ffDictionaryTable = "ff_dictionary";
inline constexpr const char *ffRowIdColumn = "ff_rowid";
inline constexpr const char *ffNoCaseCollation = "FF_NOCASE";

// The statements that set up a new, empty database file.
QStringList ffSqlCreateDatabaseStatements();

// A name quoted for SQL ("name", inner quotes doubled).
QString ffSqlQuote(const QString &name);

// The column type of a field type: INTEGER, REAL, TEXT or BLOB.
QString ffSqlColumnType(TffFieldType type);

// The SQLite name of an index of a table.
QString ffSqlIndexName(const QString &tableName, const QString &indexName);

// The expression an index field sorts by: the quoted column, with the FF_NOCASE collation for a
// case-insensitive string field.
QString ffSqlKeyExpression(const TffDataDictionary &dictionary, const TffIndexField &field);

// True when a table name may be used: not empty, at most 255 characters, and not one of SQLite's or the
// engine's own tables.
bool ffSqlValidTableName(const QString &tableName);

// The CREATE TABLE and CREATE INDEX statements of a table.
QStringList ffSqlCreateTableStatements(const QString &tableName, const TffDataDictionary &dictionary);

// Compares two strings with the case of every letter folded (Qt's case folding): <0, 0 or >0.
int ffCompareNoCase(QStringView a, QStringView b);

// Registers the FF_NOCASE collation on a connection; returns SQLite's result code.
int ffSqlRegisterCollations(sqlite3 *db);
