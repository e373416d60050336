#include "grids/inspector/grid_extents.h"
#include <numeric>

void TGridExtents::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
}

int TGridExtents::Value(int Index) const {
  CheckIndex(Index);
  return values_[Index];
}

void TGridExtents::SetValue(int Index, int Value) {
  CheckIndex(Index);
  values_[Index] = Value;
}

void TGridExtents::Resize(int Count, int Default) {
  if (Count < 0) throw EInvalidGridOperation(QStringLiteral("Too many rows or columns deleted"));
  if (Count >= 0x7FFFFFE) throw EInvalidGridOperation(QStringLiteral("Grid too large for operation"));
  if (Count < this->Count())
    values_.resize(Count);
  else
    values_.insert(values_.size(), Count - this->Count(), Default);
}

int TGridExtents::Sum() const { return std::accumulate(values_.begin(), values_.end(), 0); }
