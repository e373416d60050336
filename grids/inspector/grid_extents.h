// The column widths and row heights of a grid: a count and that many values, made when first written.
#pragma once
#include "platform/core/exceptions.h"
#include <QList>

TALLYROOK_EXCEPTION(EInvalidGridOperation, Exception)

class TGridExtents {
public:
  int Count() const { return int(values_.size()); }
  // EInvalidGridOperation "Grid index out of range" outside 0..Count-1.
  int Value(int Index) const;
  void SetValue(int Index, int Value);
  // Grows (new entries take Default) or shrinks to Count entries; EInvalidGridOperation "Too many rows or
  // columns deleted" below 0, "Grid too large for operation" from 0x7FFFFFE up.
  void Resize(int Count, int Default);
  int Sum() const;
  const QList<int> &Values() const { return values_; }

private:
  void CheckIndex(int Index) const;
  QList<int> values_;
};
