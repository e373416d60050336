#include "report/report_dataset.h"

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
