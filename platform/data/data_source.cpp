#include "platform/data/data_source.h"
#include <algorithm>

// ---- TDataSource ----

TDataSource::TDataSource(TComponent *AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  // Whatever BeforeDestruction has not done (a plain delete): detach without notices.
  for (TDataLink *link : std::as_const(links_)) link->dataSource_ = nullptr;
  if (dataSet_) dataSet_->dataSources_.removeAll(this);
}

void TDataSource::BeforeDestruction() {
  while (!links_.isEmpty()) links_.last()->SetDataSource(nullptr);
  SetDataSet(nullptr);
  TComponent::BeforeDestruction();
}

void TDataSource::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == dataSet_) SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet *Value) {
  if (Value == dataSet_) return;
  if (Value && IsLinkedTo(Value)) DatabaseError(QStringLiteral("Circular datalinks are not allowed"), this);
  if (TDataSet *old = dataSet_) {
    old->dataSources_.removeAll(this);
    dataSet_ = nullptr;
    RemoveFreeNotification(old);
    old->UpdateBufferCount();
  }
  dataSet_ = Value;
  if (dataSet_) {
    dataSet_->dataSources_.append(this);
    FreeNotification(dataSet_);
    dataSet_->UpdateBufferCount();
  }
  UpdateState();
}

bool TDataSource::IsLinkedTo(TDataSet *DataSet) const {
  for (int guard = 0; DataSet && guard < 1000; ++guard) {
    TDataSource *master = DataSet->GetDataSource();
    if (!master) break;
    if (master == this) return true;
    DataSet = master->DataSet();
  }
  return false;
}

void TDataSource::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (autoEdit_ && state_ == dsBrowse && dataSet_) dataSet_->Edit();
}

void TDataSource::AddDataLink(TDataLink *Link) {
  links_.append(Link);
  if (dataSet_) dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink *Link) {
  links_.removeAll(Link);
  if (dataSet_) dataSet_->UpdateBufferCount();
}

void TDataSource::DataEvent(TDataEvent Event, TField *Field, int Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (state_ == dsInactive) return;
  const QList<TDataLink *> links = links_;
  for (TDataLink *link : links)
    if (links_.contains(link)) link->DataEvent(Event, Field, Info);
  switch (Event) {
  case deFieldChange:
  case deRecordChange:
    if (onDataChange_) onDataChange_(this, Field);
    break;
  case deDataSetChange:
  case deDataSetScroll:
  case deLayoutChange:
    if (onDataChange_) onDataChange_(this, nullptr);
    break;
  case deUpdateRecord:
    if (onUpdateData_) onUpdateData_(this);
    break;
  default: break;
  }
}

void TDataSource::UpdateState() { SetState(enabled_ && dataSet_ ? dataSet_->State() : dsInactive); }

void TDataSource::SetState(TDataSetState Value) {
  if (state_ == Value) return;
  const TDataSetState prior = state_;
  state_ = Value;
  const QList<TDataLink *> links = links_;
  for (TDataLink *link : links)
    if (links_.contains(link)) link->UpdateState();
  if (ComponentState().Contains(csDestroying)) return;
  if (onStateChange_) onStateChange_(this);
  if (prior == dsInactive && onDataChange_) onDataChange_(this, nullptr);
}

// ---- TDataLink ----

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (dataSource_) {
    TDataSource *source = dataSource_;
    dataSource_ = nullptr;
    source->RemoveDataLink(this);
  }
}

void TDataLink::SetDataSource(TDataSource *Value) {
  if (Value == dataSource_) return;
  if (TDataSource *old = dataSource_) {
    dataSource_ = nullptr;
    old->RemoveDataLink(this);
    UpdateState();
  }
  if (Value) {
    dataSource_ = Value;
    Value->AddDataLink(this);
    UpdateState();
  }
}

void TDataLink::SetReadOnly(bool Value) {
  if (Value == readOnly_) return;
  readOnly_ = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  const TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
  SetActive(state != dsInactive);
  SetEditing((state == dsEdit || state == dsInsert) && !readOnly_);
}

void TDataLink::SetActive(bool Value) {
  if (Value == active_) return;
  active_ = Value;
  if (Value)
    UpdateRange();
  else
    firstRecord_ = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (Value == editing_) return;
  editing_ = Value;
  EditingChanged();
}

void TDataLink::ClampRange() {
  TDataSet *dataSet = DataSet();
  if (!dataSet) return;
  const int active = dataSet->activeRecord_;
  firstRecord_ = std::clamp(firstRecord_, 0, std::max(0, dataSet->recordCount_ - bufferCount_));
  if (active < firstRecord_) firstRecord_ = active;
  if (active > firstRecord_ + bufferCount_ - 1) firstRecord_ = active - bufferCount_ + 1;
}

void TDataLink::UpdateRange() {
  ClampRange();
  if (TDataSet *dataSet = DataSet()) dataSet->UpdateBufferCount();
}

int TDataLink::ActiveRecord() const {
  TDataSet *dataSet = DataSet();
  return dataSet ? dataSet->activeRecord_ - firstRecord_ : 0;
}

void TDataLink::SetActiveRecord(int Value) {
  if (TDataSet *dataSet = DataSet()) dataSet->activeRecord_ = Value + firstRecord_;
}

void TDataLink::SetBufferCount(int Value) {
  Value = std::max(1, Value);
  if (Value == bufferCount_) return;
  bufferCount_ = Value;
  if (active_) UpdateRange();
}

int TDataLink::RecordCount() const {
  TDataSet *dataSet = DataSet();
  if (!dataSet || !active_) return 0;
  return std::clamp(dataSet->recordCount_ - firstRecord_, 0, bufferCount_);
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::DataEvent(TDataEvent Event, TField *Field, int Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (Event) {
  case deFieldChange:
  case deRecordChange:
    if (!updating_) RecordChanged(Field);
    break;
  case deDataSetChange:
  case deDataSetScroll:
  case deLayoutChange: {
    // The records the link showed moved by Info within the window; then the link's part follows the active
    // record. Distance is how far the link's part moved over the records.
    const int shifted = firstRecord_ + Info;
    firstRecord_ = shifted;
    ClampRange();
    const int distance = firstRecord_ - shifted;
    if (Event == deDataSetChange)
      DataSetChanged();
    else if (Event == deDataSetScroll)
      DataSetScrolled(distance);
    else
      LayoutChanged();
    break;
  }
  case deUpdateRecord: UpdateRecord(); break;
  case deCheckBrowseMode: CheckBrowseMode(); break;
  default: break;
  }
}

// ---- TMasterDataLink ----

TMasterDataLink::TMasterDataLink(TDataSet *DataSet) : detail_(DataSet) {}

TMasterDataLink::~TMasterDataLink() = default;

void TMasterDataLink::SetFieldNames(const QString &Value) {
  if (Value == fieldNames_) return;
  fieldNames_ = Value;
  ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
  fields_.clear();
  if (Active()) fields_ = DataSet()->GetFieldList(fieldNames_);
  if (!detail_->Active() || detail_->ComponentState().Contains(csDestroying)) return;
  if (Active() && !fields_.isEmpty()) {
    if (onMasterChange_) onMasterChange_(this);
  } else if (onMasterDisable_) {
    onMasterDisable_(this);
  }
}

void TMasterDataLink::CheckBrowseMode() {
  if (detail_->Active()) detail_->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() { ActiveChanged(); }

void TMasterDataLink::RecordChanged(TField *Field) {
  if (!detail_->Active() || fields_.isEmpty()) return;
  if (Field && !fields_.contains(Field)) return;
  if (onMasterChange_) onMasterChange_(this);
}

QList<QVariant> TMasterDataLink::MasterValues() const {
  QList<QVariant> values;
  TDataSet *master = DataSet();
  if (!Active() || !master || master->IsEmpty()) return values;
  for (TField *field : fields_) {
    QVariant value;
    field->GetData(value);
    values.append(value);
  }
  return values;
}
