// A small table for the cell tests: answers the table messages from plain fields and records what cells
// and editors tell it.
#pragma once
#include "grids/base/cell.h"
#include "grids/base/table_base.h"
#include "grids/base/table_messages.h"
#include <QList>

class TestTable : public TOvcTableAncestor {
public:
  using TOvcTableAncestor::TOvcTableAncestor;

  void CellChanged(TObject *Sender) override { changedCells.append(Sender); }
  int ClassifyKey(const TMessage &KeyMessage) override {
    lastClassified = int(KeyMessage.WParam);
    return keyClass;
  }
  void AdjustCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) override {
    adjustedAt = {RowNum, ColNum};
    if (forceReadOnly) CellAttr.Access = otxReadOnly;
  }

  void WndProc(TMessage &Message) override {
    switch (Message.Msg) {
    case tcm_GetTableOptions: Message.Result = options; return;
    case tcm_GetTableColor: Message.Result = Color(); return;
    case tcm_GetTableFont: Message.Result = PointerParam(Font()); return;
    case tcm_GetLockedColumns: Message.Result = 1; return;
    case tcm_GetLockedRows: Message.Result = 2; return;
    case tcm_GetActiveColumn: Message.Result = 3; return;
    case tcm_GetActiveRow: Message.Result = 4; return;
    case tcm_CellDetached:
      detached.append(MessagePointer<TObject>(std::uintptr_t(Message.LParam)));
      UnregisterCell(MessagePointer<TOvcBaseTableCell>(std::uintptr_t(Message.LParam)));
      Message.Result = 0;
      return;
    case WM_KEYDOWN:
    case tcm_EditorGotFocus:
    case tcm_EditorLostFocus: received.append(Message); return;
    default: TOvcTableAncestor::WndProc(Message);
    }
  }

  QList<TObject *> changedCells;
  QList<TObject *> detached;
  QList<TMessage> received;
  LRESULT options = tblOptAlwaysSet1 | tblOptAlwaysSet6;
  int keyClass = tkcEditorKeeps;
  int lastClassified = -1;
  bool forceReadOnly = false;
  std::pair<int, int> adjustedAt{-1, -1};
};
