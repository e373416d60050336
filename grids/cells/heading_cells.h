// The heading cells: a column heading shows the column's letters (A, B, ... Z, AA, ...) or its heading text,
// a row heading the row's number; either may mark the active column or row with a small triangle instead.
// Both are read-only text cells.
#pragma once
#include "grids/cells/base_string_cell.h"
#include "platform/core/string_list.h"

// The spreadsheet name of column N (1 gives A, 26 Z, 27 AA); empty for N below 1.
QString ColumnLetters(int N);

class TOvcTCColHead : public TOvcTCBaseString {
public:
  explicit TOvcTCColHead(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCColHead"); }

  // Data: a `const QString *`, the heading, used when ShowLetters is off; without it, Headings[ColNum].
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;

  TStringList *Headings() { return &headings_; }
  void SetHeadings(const TStrings *Value);
  bool ShowActiveCol() const { return showActiveCol_; }
  void SetShowActiveCol(bool Value);
  bool ShowLetters() const { return showLetters_; }
  void SetShowLetters(bool Value);

private:
  TStringList headings_;
  bool showActiveCol_ = false;
  bool showLetters_ = true;
};

class TOvcTCRowHead : public TOvcTCBaseString {
public:
  explicit TOvcTCRowHead(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCRowHead"); }

  // Data is not used: the heading is the row's number.
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;

  bool ShowActiveRow() const { return showActiveRow_; }
  void SetShowActiveRow(bool Value);
  bool ShowNumbers() const { return showNumbers_; }
  void SetShowNumbers(bool Value);

private:
  bool showActiveRow_ = false;
  bool showNumbers_ = true;
};
