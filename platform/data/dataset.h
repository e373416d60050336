// TDataSet: the class library's dataset, an abstract record source with states, a window of buffered records,
// bookmarks and notices to the data sources and links that show it.
//
// A descendant supplies the records through a cursor of its own, which stands before the first record, after
// the last, on a record, or in the gap a deleted record left:
//   InternalOpen / InternalClose / IsCursorOpen   open the cursor and fill FieldDefs
//   InternalFirst / InternalLast                   put the cursor before the first / after the last record
//   GetRecord(buffer, gmCurrent|gmNext|gmPrior)    read the record at, after or before the cursor (moving
//   onto
//                                                  it) into a buffer: values in FieldDefs order and bookmark
//   InternalSetToRecord / InternalGotoBookmark     put the cursor on a buffered / bookmarked record
//   InternalPost                                   store the active buffer: change the cursor's record (edit)
//                                                  or add it (insert: the buffer's flag says where), leaving
//                                                  the cursor on the stored record
//   InternalDelete                                 delete the cursor's record, leaving the cursor in its gap
// and, when it can, the record count, record numbers and bookmark order. The base keeps everything else: the
// states, the buffered window, positioning the cursor before each operation, and the notices.
//
// The buffered window: the dataset keeps BufferCount consecutive records (the largest BufferCount of its
// active links, at least 1) around the active record, and each link sees its own part of the window from its
// first record on. Moving within the window only moves the active record; moving beyond it reads one record
// and shifts the window. After a change of records the window is read again around the cursor (Resync).
//
// Notices (DataEvent) go to every data source and from there to its links: active changed (the state left or
// entered inactive), editing changed, data set changed, scrolled by a distance, layout changed, record or
// field changed, update data (before a post or a move out of edit: a link that raises the silent exception
// stops the post and keeps the edit), check browse mode. Between DisableControls and the last EnableControls
// nothing is sent; then a state notice when the state differs, and one data set change (a layout change when
// the layout changed or the dataset was reopened).
#pragma once
#include "platform/core/component.h"
#include "platform/data/fields.h"
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <vector>

class TDataSource;
class TDataLink;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

// Where a buffered record stands: a record of the source, or a new record inserted before the record named by
// its bookmark, placed at the beginning (the dataset was empty) or appended at the end.
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TResyncModeFlag { rmExact = 1, rmCenter = 2 };
using TResyncMode = int;

// A bookmark: the bytes by which the record source finds a record again; empty for none.
using TBookmark = QByteArray;

// One buffered record: its values in the order of FieldDefs (an invalid QVariant for null), its bookmark and
// where it stands.
struct TRecordBuffer {
  QList<QVariant> Values;
  TBookmark Bookmark;
  TBookmarkFlag BookmarkFlag = bfCurrent;
};

class TDataSet : public TComponent {
public:
  explicit TDataSet(TComponent *AOwner);
  ~TDataSet() override;
  QString ClassName() const override { return QStringLiteral("TDataSet"); }
  // Closes the dataset, detaches its data sources and frees its fields (declared ones too), as the class
  // library does.
  void BeforeDestruction() override;

  // Opening and state.
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  // Closes; an unposted edit is dropped. Default fields are freed.
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }
  bool Modified() const { return modified_; }
  // Whether records can be changed; the base answers true.
  virtual bool CanModify() const { return true; }

  // Fields.
  TFields *Fields() const { return fields_; }
  int FieldCount() const { return fields_->Count(); }
  TField *FindField(const QString &FieldName) const { return fields_->FindField(FieldName); }
  TField *FieldByName(const QString &FieldName) const;
  // The fields named in a list separated by ";" (FieldByName for each).
  QList<TField *> GetFieldList(const QString &FieldNames) const;
  TFieldDefs *FieldDefs() const { return fieldDefs_; }
  // True when the open dataset made its fields from its definitions (no declared fields).
  bool DefaultFields() const { return defaultFields_; }

  // Navigation. A move first ends an edit: the links update the record, which is posted when modified and
  // dropped otherwise.
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by Distance records; returns the distance moved (less at either end, which then sets Bof or Eof).
  int MoveBy(int Distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return activeRecord_ >= recordCount_; }
  // The number of the active record (1 for the first) where the source is sequenced; -1 otherwise.
  virtual int RecNo() const { return -1; }
  virtual void SetRecNo(int Value) {}
  // The number of records the source holds; -1 when it cannot tell.
  virtual int RecordCount() const { return -1; }
  // Whether RecNo and RecordCount give positions the user can scroll by.
  virtual bool IsSequenced() const { return false; }
  // The master data source of a detail dataset; nullptr for others.
  virtual TDataSource *GetDataSource() const { return nullptr; }
  // Whether DataSource shows this dataset, directly or through a chain of masters (making this dataset a
  // detail of it would be circular).
  bool IsLinkedTo(TDataSource *DataSource) const;

  // Editing.
  // Starts editing the active record; on an empty dataset it inserts a record instead.
  void Edit();
  // A new record before the active one / at the end.
  void Insert();
  void Append();
  // Asks the links to update the record, checks required fields, stores the record and reads the window
  // again around it.
  void Post();
  void Cancel();
  // Deletes the active record (cancels an insert); the record after it becomes active, or the one before.
  void Delete();
  // Ends an edit or insert: the links update the record, then it is posted when modified, dropped otherwise.
  void CheckBrowseMode();
  // Asks the links to put their edited values into the record (needs edit or insert state).
  void UpdateRecord();
  // Reads the window again from the record source.
  void Refresh();
  // Reads the window again around the cursor's record (rmExact: that record must exist; rmCenter: put it in
  // the middle of the window, else at the active record's place).
  void Resync(TResyncMode Mode);
  // Puts the source's cursor on the active record.
  void UpdateCursorPos();
  // Forgets where the source's cursor stands (after a descendant moved it).
  void CursorPosChanged() { currentRecord_ = -1; }

  // Bookmarks. GetBookmark gives the active record's (empty when there is none); GotoBookmark makes that
  // record active (EDatabaseError "Record not found" when it is gone); CompareBookmarks answers <0, 0 or >0
  // by the order of the records, empty bookmarks first.
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark &Bookmark);
  void FreeBookmark(TBookmark &Bookmark) const { Bookmark.clear(); }
  int CompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const;
  virtual bool BookmarkValid(const TBookmark &Bookmark) const;
  TBookmark Bookmark() const { return GetBookmark(); }
  void SetBookmark(const TBookmark &Value) { GotoBookmark(Value); }

  // Notices to the links.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ != 0; }
  // Sends a notice to every data source (and so to every link) unless controls are disabled. Field is the
  // changed field of deFieldChange / deRecordChange (nullptr: the whole record); Info the distance the window
  // shifted for deDataSetScroll.
  void DataEvent(TDataEvent Event, TField *Field = nullptr, int Info = 0);

  // The buffered window, for links.
  int BufferCount() const { return bufferCount_; }
  int ActiveRecord() const { return activeRecord_; }
  // The number of records in the window.
  int BufferedRecordCount() const { return recordCount_; }

  // A stream over a BLOB field of the active record (see TBlobStream); the caller frees it.
  TStream *CreateBlobStream(TField *Field, TBlobStreamMode Mode);

protected:
  // ---- The record source, supplied by descendants ----
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Reads into Buffer (values, bookmark, flag bfCurrent). DoCheck: raise on a failure of the source rather
  // than answering grError.
  virtual TGetResult GetRecord(TRecordBuffer &Buffer, TGetMode GetMode, bool DoCheck) = 0;
  virtual void InternalSetToRecord(const TRecordBuffer &Buffer) { InternalGotoBookmark(Buffer.Bookmark); }
  // Puts the cursor on the record; raises EDatabaseError "Record not found" when it is gone.
  virtual void InternalGotoBookmark(const TBookmark &Bookmark) = 0;
  // A new record: every value null. Descendants may fill defaults.
  virtual void InternalInitRecord(TRecordBuffer &Buffer);
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  virtual void InternalPost() = 0;
  virtual void InternalCancel() {}
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() {}
  // Orders two non-empty bookmarks; the base compares their bytes.
  virtual int InternalCompareBookmarks(const TBookmark &Bookmark1, const TBookmark &Bookmark2) const;
  // Called when a new record has been set up (after Insert or Append), before links hear of it.
  virtual void DoOnNewRecord() {}

  // Helpers for descendants.
  TRecordBuffer &ActiveBuffer() { return buffers_[activeRecord_]; }
  const TRecordBuffer &ActiveBuffer() const { return buffers_[activeRecord_]; }
  // Raises "Cannot perform this operation on a closed dataset" / "... on an open dataset".
  void CheckActive() const;
  void CheckInactive() const;
  // Sets the state and tells the links.
  void SetState(TDataSetState Value);
  // Empties the window (Bof and Eof set).
  void ClearBuffers();

private:
  friend class TField;
  friend class TDataLink;
  friend class TDataSource;

  // Opening and closing.
  void OpenCursor();
  void CloseCursor();
  void CreateFields();
  void BindFields();
  void DestroyFields();

  // Field values of the active record.
  bool GetFieldData(const TField *Field, QVariant &Value) const;
  void SetFieldData(TField *Field, const QVariant &Value);

  // The window.
  void SetBufferCount(int Value);
  void UpdateBufferCount();
  void SetCurrentRecord(int Index);
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void ActivateBuffers();
  void MoveBuffer(int CurIndex, int NewIndex);
  void InitRecord(TRecordBuffer &Buffer);
  void BeginInsertAppend();
  void EndInsertAppend();
  void CheckRequiredFields();
  void CheckCanModify() const;
  void AdjustLinksFirstRecord(int Delta);
  QList<TDataLink *> AllLinks() const;

  TDataSetState state_ = dsInactive;
  TFields *fields_;
  TFieldDefs *fieldDefs_;
  bool defaultFields_ = false;
  bool modified_ = false;
  QList<TDataSource *> dataSources_;

  std::vector<TRecordBuffer> buffers_; // bufferCount_ + 1: the last one is the work buffer
  int bufferCount_ = 0;
  int recordCount_ = 0;
  int activeRecord_ = 0;
  int currentRecord_ = -1;
  bool bof_ = true;
  bool eof_ = true;

  int disableCount_ = 0;
  TDataSetState disableState_ = dsInactive;
  TDataEvent enableEvent_ = deDataSetChange;
};
