#include "report/cross_columns.h"
#include "report/view.h"
#include <algorithm>

bool frInStrip(const TfrView *Object, int Left, int Width) {
  return Object->Left >= Left && Object->Left < Left + Width;
}

const TfrCrossColumn &TfrCrossColumns::Add(int Width) {
  Width = std::max(1, Width);
  if (x_ + Width > right_ && x_ > start_) {
    ++row_;
    x_ = start_;
  }
  columns_.push_back({x_, row_, Width});
  x_ += Width;
  return columns_.back();
}
