#include "report/db_dataset.h"

TfrDBDataSet::TfrDBDataSet(TComponent *AOwner) : TfrDataset(AOwner) { openDataSource_ = true; }

void TfrDBDataSet::Notification(TComponent *AComponent, TOperation Operation) {
  TfrDataset::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dataSource_)
    dataSource_ = nullptr;
  else if (AComponent == dataSet_)
    dataSet_ = nullptr;
}

void TfrDBDataSet::SetDataSet(TDataSet *Value) {
  dataSource_ = nullptr;
  dataSet_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TfrDBDataSet::SetDataSource(TDataSource *Value) {
  dataSource_ = Value;
  if (Value) {
    dataSet_ = nullptr;
    Value->FreeNotification(this);
  }
}

TDataSet *TfrDBDataSet::GetDataSet() const {
  if (dataSource_ && dataSource_->DataSet()) return dataSource_->DataSet();
  if (dataSet_) return dataSet_;
  throw EDSError(QStringLiteral("Unable to open dataset ") + Name());
}

void TfrDBDataSet::OpenDataSet() {
  if (openDataSource_) GetDataSet()->Open();
  if (onOpen_) onOpen_(this);
}

void TfrDBDataSet::CloseDataSet() {
  if (onClose_) onClose_(this);
  if (closeDataSource_) GetDataSet()->Close();
}

void TfrDBDataSet::Init() {
  OpenDataSet();
  bookmark_ = frGetBookmark(GetDataSet());
  holdsBookmark_ = true;
  rangeEnded_ = false;
}

void TfrDBDataSet::Done() {
  if (holdsBookmark_) {
    TDataSet *dataSet = GetDataSet();
    holdsBookmark_ = false;
    if (RangeBegin() == rbCurrent || RangeEnd() == reCurrent) frGotoBookmark(dataSet, bookmark_);
    frFreeBookmark(dataSet, bookmark_);
  }
  CloseDataSet();
}

void TfrDBDataSet::First() {
  TDataSet *dataSet = GetDataSet();
  if (RangeBegin() == rbFirst)
    dataSet->First();
  else
    frGotoBookmark(dataSet, bookmark_);
  rangeEnded_ = false;
  TfrDataset::First();
}

void TfrDBDataSet::Next() {
  TDataSet *dataSet = GetDataSet();
  rangeEnded_ = false;
  if (RangeEnd() == reCurrent) {
    // The range ends once the remembered record has been passed; a range that began before it moves on
    // until it gets there.
    TBookmark current = frGetBookmark(dataSet);
    const bool atRemembered = frIsBookmarksEqual(dataSet, current, bookmark_);
    frFreeBookmark(dataSet, current);
    if (atRemembered) {
      rangeEnded_ = true;
      return;
    }
  }
  dataSet->Next();
  TfrDataset::Next();
}

bool TfrDBDataSet::Eof() {
  if (TfrDataset::Eof()) return true;
  return GetDataSet()->Eof() || rangeEnded_;
}
