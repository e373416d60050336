#include "report/report_dataset.h"
#include "platform/data/dataset.h"

TfrDataset::TfrDataset(TComponent *AOwner) : TComponent(AOwner) {}

void TfrDataset::Init() {}

void TfrDataset::Done() {}

void TfrDataset::First() {
  recNo_ = 0;
  if (onFirst_) onFirst_(this);
}

void TfrDataset::Next() {
  ++recNo_;
  if (onNext_) onNext_(this);
}

bool TfrDataset::Eof() {
  bool eof = rangeEnd_ == reCount && recNo_ >= rangeEndCount_;
  if (onCheckEOF_) onCheckEOF_(this, eof);
  return eof;
}

bool frIsBlob(const TField *Field) { return Field && IsBlobFieldType(Field->DataType()); }

TBookmark frGetBookmark(const TDataSet *DataSet) {
  return DataSet && DataSet->Active() ? DataSet->GetBookmark() : TBookmark();
}

void frGotoBookmark(TDataSet *DataSet, const TBookmark &Bookmark) {
  if (DataSet && DataSet->Active() && !Bookmark.isEmpty()) DataSet->GotoBookmark(Bookmark);
}

void frFreeBookmark(TDataSet *DataSet, TBookmark &Bookmark) {
  if (DataSet)
    DataSet->FreeBookmark(Bookmark);
  else
    Bookmark.clear();
}

bool frIsBookmarksEqual(const TDataSet *DataSet, const TBookmark &Bookmark1, const TBookmark &Bookmark2) {
  if (!DataSet) return Bookmark1 == Bookmark2;
  return DataSet->CompareBookmarks(Bookmark1, Bookmark2) == 0;
}
