// Cross cells: where the columns of a cross source lie across a band, and which rows of them print on a page.
//
// Cross bands are vertical strips: the band object's Left and Width say where they lie across the page. An
// object of a (horizontal) band whose left edge lies in the cross data strip is a cell: it prints once per
// record of the cross data band's source, the columns side by side from the strip's left, each as wide as
// the strip (or as the report's OnPrintColumn makes it); columns that would pass the page's right margin
// (less the cross footer) wrap to a further row below, the band growing by its height for each. Rows that do
// not fit on the rest of the page go on on the next one.
#pragma once
#include <vector>

class TfrView;

// True when the object's left edge lies in the strip from Left, Width wide.
bool frInStrip(const TfrView *Object, int Left, int Width);

struct TfrCrossColumn {
  int left = 0;
  int row = 0;
  int width = 0;
};

// Lays columns side by side from Start, each in a further row where it would pass Right.
class TfrCrossColumns {
public:
  TfrCrossColumns(int Start, int Right) : start_(Start), right_(Right), x_(Start) {}
  // The next column, at least 1 wide.
  const TfrCrossColumn &Add(int Width);
  const std::vector<TfrCrossColumn> &Columns() const { return columns_; }
  int Rows() const { return columns_.empty() ? 1 : columns_.back().row + 1; }
  // The right edge of the last column (the start when there is none), where the totals follow.
  int End() const { return columns_.empty() ? start_ : columns_.back().left + columns_.back().width; }

private:
  int start_, right_, x_;
  int row_ = 0;
  std::vector<TfrCrossColumn> columns_;
};
