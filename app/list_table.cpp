#include "app/list_table.h"
#include "app/form_parts.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "platform/windowing/window_functions.h"
#include <algorithm>

namespace {
constexpr int kRowHeight = 17;
constexpr int kBorder = 2; // each side of the sunken edge
} // namespace

TListTable::TListTable(TComponent *AOwner) : TOvcDbTable(AOwner) {
  SetAccess(otxReadOnly);
  SetColor(clWindow);
  SetOptions({dtoHighlightActiveRow});
  SetScrollBars(ssVertical);
  SetRowHeight(kRowHeight);
  SetHeaderHeight(kRowHeight);
}

void TListTable::ShowList(TDataSource *Source, const QList<TListColumn> &Shown, bool Header) {
  SetHeaderOptions(Header ? TOvcHeaderOptions{hoShowHeader} : TOvcHeaderOptions{});
  SetDataSource(Source);
  TDataSet *dataSet = Source->DataSet();
  // Every field has its column, so that the table keeps these columns rather than making its own.
  Columns()->SetCount(dataSet->FieldCount());
  for (int c = 0; c < dataSet->FieldCount(); ++c) {
    const QString field = dataSet->Fields()->Fields(c)->FieldName();
    const auto shown = std::find_if(Shown.begin(), Shown.end(),
                                    [&](const TListColumn &column) { return column.Field == field; });
    TOvcDbTableColumn *column = Column(c);
    column->SetDataField(field);
    column->SetHidden(shown == Shown.end());
    if (shown != Shown.end()) column->SetWidth(shown->Width);
  }
}

int TListTable::ListWidth() const {
  int width = 2 * kBorder + GetSystemMetrics(SM_CXVSCROLL);
  for (int c = 0; c < ColumnCount(); ++c)
    if (!Column(c)->Hidden()) width += Column(c)->Width();
  return width;
}

int TListTable::ListHeight(int Rows) const {
  return 2 * kBorder + (HeaderOptions().Contains(hoShowHeader) ? HeaderHeight() : 0) + Rows * RowHeight();
}

void TListTable::WndProc(TMessage &Message) {
  if (Message.Msg == WM_LBUTTONDBLCLK) {
    int col = 0, row = 0;
    doubleClickedOnRecord_ =
        HitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam), col, row) == otrCell;
  }
  TOvcDbTable::WndProc(Message);
}

TListTable *NewListTable(TForm *Form, const QString &Name, TDataSource *Source,
                         const QList<TListColumn> &Shown, bool Header, int Top, int Rows) {
  auto *table = NewComponent<TListTable>(Form, Name);
  table->SetParent(Form);
  table->ShowList(Source, Shown, Header);
  const int width = std::min(Form->ClientWidth(), table->ListWidth());
  table->SetBounds((Form->ClientWidth() - width) / 2, Top, width, table->ListHeight(Rows));
  return table;
}
