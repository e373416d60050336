// TDataSource and TDataLink: how controls (and detail datasets) follow a dataset, as the class library has
// them. A data source names one dataset and passes its notices on to the links attached to it; a link is the
// part of a control that reacts to them and sees a window of the dataset's buffered records.
#pragma once
#include "platform/core/component.h"
#include "platform/core/events.h"
#include "platform/data/dataset.h"
#include <QList>

class TDataSource;

using TDataChangeEvent = TEvent<void(TObject *Sender, TField *Field)>;

class TDataSource : public TComponent {
public:
  explicit TDataSource(TComponent *AOwner);
  ~TDataSource() override;
  QString ClassName() const override { return QStringLiteral("TDataSource"); }
  // Detaches every link (each hears it became inactive) and leaves the dataset.
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TDataSet *DataSet() const { return dataSet_; }
  // A data source may not name a dataset whose master it is: EDatabaseError "Circular datalinks are not
  // allowed".
  void SetDataSet(TDataSet *Value);
  // A disabled source shows its links an inactive dataset.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // When set (the default), a link's Edit puts a browsing dataset into edit state.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool Value) { autoEdit_ = Value; }
  // The dataset's state as the links see it.
  TDataSetState State() const { return state_; }
  // Puts the dataset into edit state when AutoEdit is set and it is browsing.
  void Edit();
  // Whether DataSet follows this source, directly or through a chain of masters (it would then be circular
  // for this source to show it).
  bool IsLinkedTo(TDataSet *DataSet) const;

  const TNotifyEvent &OnStateChange() const { return onStateChange_; }
  void SetOnStateChange(const TNotifyEvent &Value) { onStateChange_ = Value; }
  // Fired for a change of a field (Field) or of the record, the data or the window (nullptr).
  const TDataChangeEvent &OnDataChange() const { return onDataChange_; }
  void SetOnDataChange(const TDataChangeEvent &Value) { onDataChange_ = Value; }
  const TNotifyEvent &OnUpdateData() const { return onUpdateData_; }
  void SetOnUpdateData(const TNotifyEvent &Value) { onUpdateData_ = Value; }

  const QList<TDataLink *> &DataLinks() const { return links_; }

private:
  friend class TDataSet;
  friend class TDataLink;
  void AddDataLink(TDataLink *Link);
  void RemoveDataLink(TDataLink *Link);
  void DataEvent(TDataEvent Event, TField *Field, int Info);
  void UpdateState();
  void SetState(TDataSetState Value);

  TDataSet *dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  TDataSetState state_ = dsInactive;
  QList<TDataLink *> links_;
  TNotifyEvent onStateChange_;
  TDataChangeEvent onDataChange_;
  TNotifyEvent onUpdateData_;
};

// A link sees BufferCount records of the dataset's window from its first record on: ActiveRecord is the
// active record's place in that part (setting it makes another buffered record the one the fields read, for
// painting; it sends nothing), RecordCount the number of those records that exist.
//
// The notices arrive as virtual operations. Defaults: DataSetChanged calls RecordChanged(nullptr);
// DataSetScrolled and LayoutChanged call DataSetChanged; the others do nothing. RecordChanged is not called
// for the field changes made while the link is updating the record (UpdateRecord).
//
// A link that is destroyed leaves its data source without notices; a descendant that must hear it becomes
// inactive sets its DataSource to nullptr in its own destructor.
class TDataLink : public TPersistent {
public:
  TDataLink();
  ~TDataLink() override;
  QString ClassName() const override { return QStringLiteral("TDataLink"); }

  TDataSource *DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource *Value);
  TDataSet *DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }
  // The data source has an open dataset (and is enabled).
  bool Active() const { return active_; }
  // The dataset is in edit or insert state and the link is not read-only.
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);

  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  int BufferCount() const { return bufferCount_; }
  // Asks the dataset for a window of at least Value records (at least 1).
  void SetBufferCount(int Value);
  int RecordCount() const;
  bool Bof() const { return DataSet() && DataSet()->Bof(); }
  bool Eof() const { return DataSet() && DataSet()->Eof(); }

  // Puts the dataset into edit state through the data source (unless read-only); answers Editing.
  bool Edit();
  // Calls UpdateData with RecordChanged notices for its own changes held back.
  void UpdateRecord();

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField *Field) {}
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;
  void DataEvent(TDataEvent Event, TField *Field, int Info);
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();
  // Keeps the link's part of the window inside the buffered records and around the active record.
  void ClampRange();

  TDataSource *dataSource_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
};

// The link by which a detail dataset follows its master: on the master's data source, with the names of the
// master fields (MasterFields). When the master opens, scrolls, changes its data or changes one of those
// fields, OnMasterChange fires; when it closes (or no fields are named), OnMasterDisable. Before the master
// leaves a record, the detail ends its own edit.
class TMasterDataLink : public TDataLink {
public:
  // DataSet is the detail.
  explicit TMasterDataLink(TDataSet *DataSet);
  ~TMasterDataLink() override;
  QString ClassName() const override { return QStringLiteral("TMasterDataLink"); }

  TDataSet *Detail() const { return detail_; }
  QString FieldNames() const { return fieldNames_; }
  // Sets the master field names (";"-separated) and re-reads them.
  void SetFieldNames(const QString &Value);
  // The master's fields named by FieldNames while active.
  const QList<TField *> &Fields() const { return fields_; }
  // The master field values of the master's active record; empty when the master has no record.
  QList<QVariant> MasterValues() const;

  const TNotifyEvent &OnMasterChange() const { return onMasterChange_; }
  void SetOnMasterChange(const TNotifyEvent &Value) { onMasterChange_ = Value; }
  const TNotifyEvent &OnMasterDisable() const { return onMasterDisable_; }
  void SetOnMasterDisable(const TNotifyEvent &Value) { onMasterDisable_ = Value; }

protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void LayoutChanged() override;
  void RecordChanged(TField *Field) override;

private:
  TDataSet *detail_;
  QString fieldNames_;
  QList<TField *> fields_;
  TNotifyEvent onMasterChange_;
  TNotifyEvent onMasterDisable_;
};
