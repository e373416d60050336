// TOvcTableAncestor: the common ancestor of the table controls. It keeps the registry of the cells it uses,
// resolves its controller when its window is made, and streams the cell names as "CellData". Cells reach it
// only through its window (the tcm_ messages) and its three abstract operations.
#pragma once
#include "controls/framework/base.h"
#include "grids/base/table_types.h"
#include "platform/core/string_list.h"
#include <QList>
#include <memory>

class TOvcBaseTableCell;
class TOvcController;
class TReader;
class TWriter;

class TOvcTableAncestor : public TO32CustomControl {
public:
  explicit TOvcTableAncestor(TComponent *AOwner);
  ~TOvcTableAncestor() override;
  QString ClassName() const override { return QStringLiteral("TOvcTableAncestor"); }
  // Lets go of the child controls that cells own (the fields a field cell paints and edits with) before the
  // children are freed with the table: they are the cells', which go on to serve another table.
  void BeforeDestruction() override;

  TOvcController *Controller() const { return controller_; }
  // Stores the controller and asks it for free notification.
  virtual void AttachController(TOvcController *Value);
  // A registered cell's look changed.
  virtual void CellChanged(TObject *Sender) = 0;
  // How an in-place editor treats a key: tkcEditorKeeps, tkcNavigation or tkcTableTakes.
  virtual int ClassifyKey(const TMessage &KeyMessage) = 0;
  // The table's last word on a cell's attributes.
  virtual void AdjustCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) = 0;

  void RegisterCell(TOvcBaseTableCell *Cell);
  void UnregisterCell(TOvcBaseTableCell *Cell);
  const QList<TOvcBaseTableCell *> &RegisteredCells() const { return cells_; }
  // Asks every registered cell to re-read the table's colour and font.
  void NotifyCellsOfTableAttributes();
  void WndProc(TMessage &Message) override;

  // "CellData": one string per registered cell, "Owner.Cell" or the cell's name alone.
  QStringList CellDataStrings() const;
  // The names read from "CellData"; nullptr until it is first read.
  TStringList *LoadedCellNames() const { return loadedNames_.get(); }

  void DefineProperties(TFiler *Filer) override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void Loaded() override;

protected:
  void CreateWnd() override;
  // After the control itself, scales the fonts of the cells that keep their own font.
  void ChangeScale(int M, int D) override;

private:
  void ReadCellData(TReader *Reader);
  void WriteCellData(TWriter *Writer);

  TOvcController *controller_ = nullptr;
  QList<TOvcBaseTableCell *> cells_;
  std::unique_ptr<TStringList> loadedNames_;
};
