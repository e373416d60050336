// A cursor of the program's own on a table of an open database, apart from the data module's datasets: it
// reads and writes a table without moving the records the windows show, and takes part in the database's
// transaction like every other change through that database. Every failing engine call raises
// EffDatabaseError with the engine's message.
#pragma once
#include "db/client/ff_database.h"

class TEngineCursor {
public:
  // Opens a cursor on Table in the order of IndexName (empty: the order records were added).
  TEngineCursor(TffDatabase *Database, const QString &Table, const QString &IndexName = QString());
  ~TEngineCursor();
  TEngineCursor(const TEngineCursor &) = delete;
  TEngineCursor &operator=(const TEngineCursor &) = delete;

  // The number of the field of that name; EffDatabaseError when the table has none.
  int Field(const QString &Name) const;
  int FieldCount() const;

  // Reads the next record into Record; false past the last one.
  bool Next(TffRecord &Record);
  // Adds a record (values in field order) and returns it as stored, with its automatic number.
  TffRecord Insert(const QList<QVariant> &Values);
  // Sets one field of the record last read; its other fields stay exactly as they are stored.
  void ModifyField(int Field, const QVariant &Value);

private:
  void Check(TffResult Result) const;

  TffServerEngine *engine_;
  TffCursorID cursor_ = 0;
  QString table_;
};
