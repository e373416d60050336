// TMemoryDataSet: a dataset whose records live in memory, for tests and for data that is not stored.
//
// Its structure is FieldDefs, or, when those are empty at Open, the declared fields. The records belong to
// the component and survive Close; EmptyDataSet deletes them all. Records come in the order they were placed
// (Append adds at the end, Insert before the active record) or, with IndexFieldNames ("TYPE;DESCRIPTION"),
// ordered by those fields (nulls first, strings by code units) and, among equal keys, in that placed order.
// An automatic number field that is left null (or 0) receives the next number on posting; numbers are never
// handed out twice.
//
// As a detail (MasterSource, MasterFields) it shows only the records whose leading index fields (or, without
// IndexFieldNames, the fields named like the master fields) equal the master fields of the master's active
// record; none when the master has no record or a master value is null. A new record takes those values.
#pragma once
#include "platform/data/data_source.h"
#include "platform/data/dataset.h"
#include <QHash>
#include <QList>
#include <memory>
#include <vector>

class TMemoryDataSet : public TDataSet {
public:
  explicit TMemoryDataSet(TComponent *AOwner);
  ~TMemoryDataSet() override;
  QString ClassName() const override { return QStringLiteral("TMemoryDataSet"); }

  // Opens with no records (the structure as for Open).
  void CreateDataSet();
  // Deletes every record; an open dataset stays open, on no record.
  void EmptyDataSet();

  int RecordCount() const override;
  int RecNo() const override;
  void SetRecNo(int Value) override;
  bool IsSequenced() const override { return true; }
  bool BookmarkValid(const TBookmark &Bookmark) const override;
  bool CanModify() const override { return !readOnly_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }

  QString IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(const QString &Value);

  TDataSource *MasterSource() const { return masterLink_->DataSource(); }
  // EDatabaseError "Circular datalinks are not allowed" when Value shows this dataset.
  void SetMasterSource(TDataSource *Value);
  QString MasterFields() const { return masterLink_->FieldNames(); }
  void SetMasterFields(const QString &Value) { masterLink_->SetFieldNames(Value); }
  TDataSource *GetDataSource() const override { return MasterSource(); }

protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return cursorOpen_; }
  void InternalFirst() override;
  void InternalLast() override;
  TGetResult GetRecord(TRecordBuffer &Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalGotoBookmark(const TBookmark &Bookmark) override;
  void InternalPost() override;
  void InternalDelete() override;
  int InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const override;
  void DoOnNewRecord() override;

private:
  struct Row {
    qint64 Id = 0;
    QList<QVariant> Values;
  };

  static TBookmark BookmarkOf(qint64 Id);
  static qint64 IdOf(const TBookmark &Bookmark);
  // The field numbers (0-based) the order and the master link compare.
  QList<int> IndexFieldNumbers() const;
  QList<int> DetailFieldNumbers() const;
  // Rebuilds the visible, ordered list of records; the cursor follows its record.
  void Rebuild();
  // Puts a record just placed last at the end of the visible list when the order and the master link put
  // it there; false when the list must be rebuilt instead.
  bool AppendVisible(Row *row);
  int VisiblePosition(qint64 Id) const;
  void MasterChanged(TObject *Sender);
  void MasterDisabled(TObject *Sender);
  void ApplyOrderChange();

  std::unique_ptr<TMasterDataLink> masterLink_;
  QString indexFieldNames_;
  bool readOnly_ = false;
  bool cursorOpen_ = false;

  std::vector<std::unique_ptr<Row>> rows_; // in placed order
  std::vector<Row *> visible_;             // the records the cursor walks, in its order
  QHash<qint64, int> positionOf_;          // id -> place in visible_
  qint64 nextId_ = 1;
  QHash<int, qint64> lastAutoInc_; // field number -> last number handed out

  // The cursor: on visible_[position_], or in the gap before it (position_ == size: after the last).
  int position_ = 0;
  bool onRecord_ = false;
  qint64 currentId_ = 0;
};
