// TListTable: the data-aware table of the application's list dialogs. It browses one of the data module's
// tables read-only, the active row highlighted, with a vertical scroll bar and no row indicators; its
// columns are the dataset's fields in their order, those the list names shown at their widths and the
// others kept hidden.
//
// A double-click picks only when it lands on a record: OnDblClick fires for a double-click anywhere, so the
// dialogs ask DoubleClickedOnRecord before they act on the current record.
#pragma once
#include "grids/table/db_table.h"
#include "platform/windowing/forms.h"

struct TListColumn {
  QString Field;
  int Width = 0;
};

class TListTable : public TOvcDbTable {
public:
  explicit TListTable(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TListTable"); }
  void WndProc(TMessage &Message) override;

  // Shows Source's dataset (which must be open) with the Shown columns; Header shows the fields' names
  // above them.
  void ShowList(TDataSource *Source, const QList<TListColumn> &Shown, bool Header);
  // The width the table needs for its shown columns, its border and its scroll bar.
  int ListWidth() const;
  // The height of Rows rows under the header (when shown), with the border.
  int ListHeight(int Rows) const;

  bool DoubleClickedOnRecord() const { return doubleClickedOnRecord_; }

private:
  bool doubleClickedOnRecord_ = false;
};

// A list of Source's Shown columns on Form, Rows rows high below Top, centred across the form (as wide as
// its columns need, at most the form's width).
TListTable *NewListTable(TForm *Form, const QString &Name, TDataSource *Source,
                         const QList<TListColumn> &Shown, bool Header, int Top, int Rows);
