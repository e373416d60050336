#include "grids/base/table_base.h"
#include "controls/framework/attached_label.h"
#include "controls/framework/controller.h"
#include "grids/base/cell.h"
#include "platform/core/filer.h"
#include "platform/windowing/forms.h"

TOvcTableAncestor::TOvcTableAncestor(TComponent *AOwner) : TO32CustomControl(AOwner) {}

TOvcTableAncestor::~TOvcTableAncestor() = default;

void TOvcTableAncestor::BeforeDestruction() {
  for (int i = ControlCount() - 1; i >= 0; --i) {
    TControl *child = Controls(i);
    if (dynamic_cast<TOvcBaseTableCell *>(child->Owner())) child->SetParent(nullptr);
  }
  TO32CustomControl::BeforeDestruction();
}

void TOvcTableAncestor::AttachController(TOvcController *Value) {
  controller_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TOvcTableAncestor::CreateWnd() {
  const TComponentState state = ComponentState();
  const bool loading = state.Contains(csLoading);
  if (!controller_ && !loading) {
    if (TOvcController *onForm = FindControllerOnForm(FindParentForm(this)))
      AttachController(onForm);
    else if (!state.Contains(csDesigning))
      AttachController(GetDefaultController());
  }
  TO32CustomControl::CreateWnd();
}

void TOvcTableAncestor::Notification(TComponent *AComponent, TOperation Operation) {
  TO32CustomControl::Notification(AComponent, Operation);
  if (Operation == opInsert && !controller_) {
    if (auto *controller = dynamic_cast<TOvcController *>(AComponent)) AttachController(controller);
  } else if (Operation == opRemove && AComponent) {
    if (AComponent == controller_) controller_ = nullptr;
    // A freed cell must not stay in the registry.
    cells_.removeAll(static_cast<TOvcBaseTableCell *>(dynamic_cast<TOvcBaseTableCell *>(AComponent)));
  }
}

void TOvcTableAncestor::Loaded() { TO32CustomControl::Loaded(); }

void TOvcTableAncestor::WndProc(TMessage &Message) {
  TO32CustomControl::WndProc(Message);
  // Cells that follow the table's colour or font re-read it.
  if (Message.Msg == CM_COLORCHANGED || Message.Msg == CM_FONTCHANGED) NotifyCellsOfTableAttributes();
}

// ---- the cell registry ----

void TOvcTableAncestor::RegisterCell(TOvcBaseTableCell *Cell) {
  if (!Cell || cells_.contains(Cell)) return;
  cells_.append(Cell);
  Cell->OnCellChanged = TNotifyEvent(this, &TOvcTableAncestor::CellChanged);
}

void TOvcTableAncestor::UnregisterCell(TOvcBaseTableCell *Cell) { cells_.removeAll(Cell); }

void TOvcTableAncestor::NotifyCellsOfTableAttributes() {
  for (TOvcBaseTableCell *cell : QList<TOvcBaseTableCell *>(cells_)) cell->PullTableAttributes();
}

void TOvcTableAncestor::ChangeScale(int M, int D) {
  TO32CustomControl::ChangeScale(M, D);
  if (M == D) return;
  for (TOvcBaseTableCell *cell : cells_) cell->ScaleFont(M, D);
}

// ---- "CellData" ----

QStringList TOvcTableAncestor::CellDataStrings() const {
  QStringList names;
  for (const TOvcBaseTableCell *cell : cells_) {
    const TComponent *owner = cell->Owner();
    if (owner && !owner->Name().isEmpty())
      names.append(owner->Name() + QLatin1Char('.') + cell->Name());
    else
      names.append(cell->Name());
  }
  return names;
}

void TOvcTableAncestor::DefineProperties(TFiler *Filer) {
  TO32CustomControl::DefineProperties(Filer);
  Filer->DefineProperty(
      QStringLiteral("CellData"), [this](TReader *Reader) { ReadCellData(Reader); },
      [this](TWriter *Writer) { WriteCellData(Writer); }, true);
}

void TOvcTableAncestor::ReadCellData(TReader *Reader) {
  if (loadedNames_)
    loadedNames_->Clear();
  else
    loadedNames_ = std::make_unique<TStringList>();
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) loadedNames_->Add(Reader->ReadString());
  Reader->ReadListEnd();
}

void TOvcTableAncestor::WriteCellData(TWriter *Writer) {
  Writer->WriteListBegin();
  for (const QString &name : CellDataStrings()) Writer->WriteString(name);
  Writer->WriteListEnd();
}
