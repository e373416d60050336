// TffDatabase: a data folder opened through a session. AliasName is the folder that holds the database file
// (the engine keeps every table of the folder in its one file); opening never creates that file.
//
// Tables are made from a definition (CreateTable); several changes that must happen together run in a
// transaction (StartTransaction, then Commit or Rollback). A committed transaction is on the disk when
// Commit returns; after Rollback the open tables of the database are read again, so that none shows a
// record that was rolled back.
#pragma once
#include "db/client/ff_db_list_item.h"
#include "db/engine/ff_server_engine.h"
#include <QList>

class TffTable;

class TffDatabase : public TffDBListItem {
public:
  explicit TffDatabase(TComponent *AOwner);
  ~TffDatabase() override;
  QString ClassName() const override { return QStringLiteral("TffDatabase"); }

  QString DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const QString &Value);
  QString SessionName() const { return sessionName_; }
  void SetSessionName(const QString &Value);
  // The folder of the database file; may change only while closed.
  QString AliasName() const { return aliasName_; }
  void SetAliasName(const QString &aValue);

  // The session the database opened through, its engine and the engine's handle; null while closed.
  TffSession *Session() const { return session_; }
  TffServerEngine *ServerEngine() const { return session_ ? session_->ServerEngine() : nullptr; }
  TffDatabaseID DatabaseID() const { return databaseId_; }
  // The path of the database file (while open).
  QString FilePath() const;

  // Creates the table aTableName from aDictionary in the database's folder (opening the database first),
  // replacing an existing table when aOverWrite is set. A missing name or definition raises
  // EffDatabaseError; the engine's answer is returned (0 for success) for the caller to check.
  TffResult CreateTable(bool aOverWrite, const QString &aTableName, const TffDataDictionary *aDictionary);

  void StartTransaction();
  void Commit();
  // Undoes the transaction's changes and reads the open tables of the database again. Without an open
  // transaction (a failure already ended it) only the tables are read again.
  void Rollback();
  bool InTransaction() const;

  // The database of that name in the session of that name, nullptr when none.
  static TffDatabase *Find(const QString &SessionName, const QString &DatabaseName);
  // Every database component that exists.
  static QList<TffDatabase *> Instances();

protected:
  void OpenItem() override;
  // Closes the database's open tables first; an open transaction is rolled back.
  void CloseItem() override;

private:
  friend class TffTable;
  // Raises for a failing engine result with the engine's message.
  void Check(TffResult aResult) const;
  void CheckActive() const;

  QString databaseName_;
  QString sessionName_;
  QString aliasName_;
  TffSession *session_ = nullptr;
  TffDatabaseID databaseId_ = 0;
  QList<TffTable *> tables_; // open tables of this database
};
