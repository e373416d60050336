// TfrDBDataSet: the record source that binds a report's data band to a dataset of the platform's dataset
// model, read directly (DataSet) or through a data source (DataSource). A band's run goes Init, First, Next
// until Eof, Done:
// - Init opens the dataset (OpenDataSource) and remembers the current record;
// - the range starts at the first record (rbFirst) or the remembered one (rbCurrent) and ends at the last
//   record (reLast), after the remembered one (reCurrent) or after RangeEndCount records (reCount);
// - Done goes back to the remembered record when either end of the range is rbCurrent/reCurrent, and closes
//   the dataset (CloseDataSource).
// Without a dataset every operation that needs one raises EDSError "Unable to open dataset <name>".
#pragma once
#include "platform/data/data_source.h"
#include "platform/data/dataset.h"
#include "report/report_dataset.h"

TALLYROOK_EXCEPTION(EDSError, EDatabaseError)

class TfrDBDataSet : public TfrDataset {
public:
  explicit TfrDBDataSet(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TfrDBDataSet"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  void Init() override;
  void Done() override;
  void First() override;
  void Next() override;
  bool Eof() override;

  // The dataset in use: the data source's when it has one, else DataSet; EDSError when neither.
  TDataSet *GetDataSet() const;
  TDataSet *RecordDataSet() const override { return GetDataSet(); }
  // Opens the dataset when OpenDataSource is on, then fires OnOpen.
  void OpenDataSet();
  // Fires OnClose, then closes the dataset when CloseDataSource is on.
  void CloseDataSet();

  TDataSet *DataSet() const { return dataSet_; }
  // Clears DataSource.
  void SetDataSet(TDataSet *Value);
  TDataSource *DataSource() const { return dataSource_; }
  // A data source clears DataSet.
  void SetDataSource(TDataSource *Value);
  bool OpenDataSource() const { return openDataSource_; }
  void SetOpenDataSource(bool Value) { openDataSource_ = Value; }
  bool CloseDataSource() const { return closeDataSource_; }
  void SetCloseDataSource(bool Value) { closeDataSource_ = Value; }

  const TNotifyEvent &OnOpen() const { return onOpen_; }
  void SetOnOpen(const TNotifyEvent &Value) { onOpen_ = Value; }
  const TNotifyEvent &OnClose() const { return onClose_; }
  void SetOnClose(const TNotifyEvent &Value) { onClose_ = Value; }

private:
  TDataSet *dataSet_ = nullptr;
  TDataSource *dataSource_ = nullptr;
  bool openDataSource_ = true;
  bool closeDataSource_ = false;
  TNotifyEvent onOpen_;
  TNotifyEvent onClose_;
  // The record that was current when the band started (held between Init and Done).
  TBookmark bookmark_;
  bool holdsBookmark_ = false;
  // Set when a reCurrent range has passed the remembered record.
  bool rangeEnded_ = false;
};
