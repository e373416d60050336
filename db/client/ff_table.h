// TffTable: a table of a database as a dataset. It reads and writes its records through an engine cursor on
// its current index (IndexName; empty for the sequential index, the order records were added in) and names
// its database by SessionName and DatabaseName; opening it opens the database first.
//
// As a dataset it is not sequenced (RecNo is -1); RecordCount is the number of records of the table or of
// the current range. After Post the record stands where the index puts it, active, with its automatic
// number; after Delete the next record is active (the prior one at the end). Every failing engine result
// raises EffDatabaseError with the engine's message.
//
// Searching and limiting by the current index, each first ending an edit: FindNearest moves to the first
// record whose key comes at or after the given leading key values (the last record when none does);
// SetRange limits the table to the records whose leading key fields lie between the start and end values,
// both included; CancelRange lifts it; a change of IndexName drops it too and keeps the active record.
//
// Reading ahead: when the dataset fills its window, or keeps stepping the same way, the table reads the
// records it will ask for next in one engine call and hands them out one by one; the engine cursor is put
// back on the record last handed out before anything else uses it. A read that comes back short has met the
// end (or the beginning), so stepping past its records asks the engine nothing more; FindNearest hands the
// dataset the record the search found.
//
// As a detail (MasterSource, MasterFields) the table is limited to the records whose leading fields of the
// current index equal the master fields of the master's active record (none when the master has no record
// or a master value is null); a new record takes those values.
#pragma once
#include "db/client/ff_database.h"
#include "platform/core/variant.h"
#include "platform/data/data_source.h"
#include "platform/data/dataset.h"
#include <memory>
#include <optional>

class TffTable : public TDataSet {
public:
  explicit TffTable(TComponent *AOwner);
  ~TffTable() override;
  QString ClassName() const override { return QStringLiteral("TffTable"); }

  QString DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const QString &Value);
  QString SessionName() const { return sessionName_; }
  void SetSessionName(const QString &Value);
  QString TableName() const { return tableName_; }
  void SetTableName(const QString &Value);
  QString IndexName() const { return indexName_; }
  // Switches the index; on an open table the range is dropped and the active record stays active.
  void SetIndexName(const QString &aValue);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool CanModify() const override { return !readOnly_; }

  // The database the open table belongs to; nullptr while closed.
  TffDatabase *Database() const { return database_; }
  TffCursorID CursorID() const { return cursor_; }

  // Deletes every record through the engine. An open table is first put back into browse mode and stays
  // open, on its now empty data; a closed one stays closed.
  void EmptyTable();
  void FindNearest(const QList<Variant> &aKeyValues);
  void SetRange(const QList<Variant> &aStartValues, const QList<Variant> &aEndValues);
  void CancelRange();

  TDataSource *MasterSource() const { return masterLink_->DataSource(); }
  // EDatabaseError "Circular datalinks are not allowed" when Value shows this table.
  void SetMasterSource(TDataSource *Value);
  QString MasterFields() const { return masterLink_->FieldNames(); }
  void SetMasterFields(const QString &Value) { masterLink_->SetFieldNames(Value); }
  TDataSource *GetDataSource() const override { return MasterSource(); }

  int RecordCount() const override;
  bool BookmarkValid(const TBookmark &Bookmark) const override;

  // Reads the window again after the database rolled back a transaction (records may have gone or changed
  // back); the active record stays active, or when it went, the record now at its key.
  void ResyncAfterRollback();

protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return cursor_ != 0; }
  void InternalFirst() override;
  void InternalLast() override;
  TGetResult GetRecord(TRecordBuffer &Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalGotoBookmark(const TBookmark &Bookmark) override;
  void InternalPost() override;
  void InternalDelete() override;
  int InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const override;
  void DoOnNewRecord() override;

private:
  TffServerEngine *Engine() const;
  // Raises for a failing engine result with the engine's message.
  void Check(TffResult aResult) const;
  TffDatabase *FindDatabase() const;
  void InitFieldDefs(const TffDataDictionary &Dictionary);
  // The field numbers of the current index's fields.
  QList<int> IndexFieldNumbers() const;
  // Sets the engine range for the master's active record (or marks the table empty for none).
  void ApplyMasterRange();
  void MasterChanged(TObject *Sender);
  void MasterDisabled(TObject *Sender);
  static QList<QVariant> EngineValues(const QList<Variant> &Values);
  // Reading ahead.
  bool HasReadAhead() const { return aheadNext_ < ahead_.size(); }
  // Drops the records read ahead; the caller puts the engine cursor somewhere itself.
  void ForgetReadAhead();
  // Drops them and puts the engine cursor back on the record last handed out.
  void SettleReadAhead();
  // How many records to read in one call when stepping the given way.
  int ReadAheadCount(TGetMode GetMode);
  TGetResult HandOut(TRecordBuffer &Buffer);

  QString databaseName_;
  QString sessionName_;
  QString tableName_;
  QString indexName_;
  bool readOnly_ = false;
  TffDatabase *database_ = nullptr;
  TffCursorID cursor_ = 0;
  // Set while the master has no record: the table then shows none.
  bool masterEmpty_ = false;
  std::unique_ptr<TMasterDataLink> masterLink_;

  QList<TffRecord> ahead_;  // records read ahead, in the order they are handed out
  qsizetype aheadNext_ = 0; // the next one to hand out
  TGetMode aheadMode_ = gmNext;
  TffBookmark handedOut_ = 0; // the record last handed out (where the dataset believes the cursor is)
  bool aheadAtEdge_ = false;  // the last read came back short: nothing lies beyond it
  bool ranged_ = false;       // a range (the table's own or the master's) limits the records
  bool edgeRead_ = false;     // the next read starts at the edge of the range: it reads more at once
  // The record a search just put the cursor on, for the dataset's read of the current record.
  std::optional<TffRecord> found_;
  int streak_ = 0; // steps the same way in a row
};
