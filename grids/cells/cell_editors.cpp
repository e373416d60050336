#include "grids/cells/cell_editors.h"

void PlaceCellEditor(TWinControl *Editor, const TRect &CellRect) {
  if (!Editor) return;
  Editor->SetBoundsRect(CellRect);
  Editor->Show();
  Editor->Invalidate();
  Editor->Update();
}

void HideCellEditor(TWinControl *Editor) {
  if (!Editor) return;
  Editor->SetBounds(0, 0, 0, 0);
  Editor->Hide();
}

void TakeCellEvents(const TOvcBaseTableCell *Cell, TWinControl *Editor) {
  Editor->OnClick = Cell->OnClick;
  Editor->OnDblClick = Cell->OnDblClick;
  Editor->OnMouseDown = Cell->OnMouseDown;
  Editor->OnMouseMove = Cell->OnMouseMove;
  Editor->OnMouseUp = Cell->OnMouseUp;
  Editor->OnEnter = Cell->OnEnter;
  Editor->OnExit = Cell->OnExit;
  Editor->OnKeyDown = Cell->OnKeyDown;
  Editor->OnKeyPress = Cell->OnKeyPress;
  Editor->OnKeyUp = Cell->OnKeyUp;
  Editor->OnDragDrop = Cell->OnDragDrop;
  Editor->OnDragOver = Cell->OnDragOver;
  Editor->OnEndDrag = Cell->OnEndDrag;
}
