// The data-aware table's configuration, layout, painting and scrolling.
#include "controls/framework/library_messages.h"
#include "grids/base/table_messages.h"
#include "grids/cells/base_string_cell.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/entry_field_cell.h"
#include "grids/cells/heading_cells.h"
#include "grids/cells/string_cells.h"
#include "grids/table/db_table.h"
#include "grids/table/table_pictures.h"
#include "platform/data/dataset.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/application.h"
#include "platform/windowing/window_functions.h"

namespace {

TOvcTblAdjust AdjustOfAlignment(TAlignment Alignment) {
  switch (Alignment) {
  case taRightJustify: return otaCenterRight;
  case taCenter: return otaCenter;
  default: return otaCenterLeft;
  }
}

bool Meets(const TRect &A, const TRect &B) {
  TRect common;
  return IntersectRect(common, A, B);
}

} // namespace

// ---- construction ----

TOvcCustomDbTable::TOvcCustomDbTable(TComponent *AOwner)
    : TOvcTableAncestor(AOwner), link_(std::make_unique<TOvcDbTableDataLink>(this)),
      columns_(std::make_unique<TOvcTableColumns>(this, TableColumnClass<TOvcDbTableColumn>(), 1)),
      visible_(this), colors_(std::make_unique<TOvcTableColors>()),
      pens_(std::make_unique<TOvcGridPenSet>()) {
  SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  SetBounds(Left(), Top(), 300, 100);
  columns_->SetChangeHandler(TOvcColumnChangeEvent(this, &TOvcCustomDbTable::ColumnsChanged));
  colors_->OnColorChange = TNotifyEvent(this, &TOvcCustomDbTable::CellChanged);
  pens_->SetChangeHandler(TNotifyEvent(this, &TOvcCustomDbTable::CellChanged));
  commandTables_ << LibraryMessageText(30266);

  RegisterTablePictures();
  indicators_ = new TImageList(this);
  const QImage arrow = LoadBitmapImage(QString::fromLatin1(IndicatorArrowResource));
  indicators_->SetWidth(arrow.width());
  indicators_->SetHeight(arrow.height());
  indicators_->SetBkColor(clBtnFace);
  for (const char *name : {IndicatorArrowResource, IndicatorEditResource, IndicatorInsertResource}) {
    const std::unique_ptr<TBitmap> bitmap = LoadBitmap(QString::fromLatin1(name));
    indicators_->AddMasked(bitmap.get(), clWhite);
  }
  moveCursor_ = LoadCursor(QString::fromLatin1(ColumnMoveCursorResource));
}

TOvcCustomDbTable::~TOvcCustomDbTable() = default;

void TOvcCustomDbTable::BeforeDestruction() {
  // An edit the table began is saved while the table is whole, never dropped without a word.
  if (EditorOpen() || (editStartedHere_ && DataSetEditing())) {
    try {
      if (CloseEditor(true) && editStartedHere_ && DataSetEditing()) DataSet()->CheckBrowseMode();
    } catch (...) {
      HandleCurrentException(this);
    }
  }
  Destroying();
  link_->SetDataSource(nullptr);
  columns_->SetChangeHandler(nullptr);
  // The columns let their cells go while the table is whole.
  columns_->Clear();
  if (headerCell_) {
    headerCell_->RemoveUser();
    headerCell_ = nullptr;
  }
  TOvcTableAncestor::BeforeDestruction();
}

void TOvcCustomDbTable::CreateParams(TCreateParams &Params) {
  TOvcTableAncestor::CreateParams(Params);
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TOvcCustomDbTable::CreateWnd() {
  TOvcTableAncestor::CreateWnd();
  hasVScroll_ = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  hasHScroll_ = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  indicatorWidth_ = options_.Contains(dtoShowIndicators) ? rowIndicatorWidth_ : 0;
  LayoutChanged();
  CalcMaxLeftColumn();
  UpdateScrollBars();
  leftCol_ = std::min(NearestColumn(leftCol_, 0), maxLeftCol_);
  LayOutColumns(leftCol_);
  MoveToColumn(lockedColumns_);
  DoActiveCellChanged(activeRow_, activeCol_);
}

void TOvcCustomDbTable::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool resized = AWidth != Width() || AHeight != Height();
  TOvcTableAncestor::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!resized || !HandleAllocated()) return;
  const int header = headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0;
  if (ClientHeight() < header + rowHeight_) {
    SetClientHeight(header + rowHeight_);
    return;
  }
  ApplyIntegralHeight();
}

void TOvcCustomDbTable::ApplyIntegralHeight() {
  if (!options_.Contains(dtoIntegralHeight) || !HandleAllocated()) return;
  const int header = headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0;
  const int rows = std::max(1, (ClientHeight() - header) / rowHeight_);
  if (ClientHeight() != header + rows * rowHeight_) SetClientHeight(header + rows * rowHeight_);
}

void TOvcCustomDbTable::ChangeScale(int M, int D) {
  TOvcTableAncestor::ChangeScale(M, D);
  if (M == D || D == 0) return;
  for (int c = 0; c < ColumnCount(); ++c) Column(c)->SetWidth(MulDiv(Column(c)->Width(), M, D));
}

// ---- properties ----

void TOvcCustomDbTable::SetAccess(TOvcTblAccess Value) {
  if (Value == otxDefault) Value = otxNormal;
  if (Value == access_) return;
  const bool visibility = Value == otxInvisible || access_ == otxInvisible;
  access_ = Value;
  if (visibility) Invalidate();
}

void TOvcCustomDbTable::SetAdjust(TOvcTblAdjust Value) {
  adjust_ = Value == otaDefault ? otaCenterLeft : Value;
  Invalidate();
}

void TOvcCustomDbTable::SetBorderStyle(TBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TOvcCustomDbTable::SetColorUnused(TColor Value) {
  colorUnused_ = Value;
  Invalidate();
}

void TOvcCustomDbTable::SetDefaultMargin(int Value) {
  if (Value < 2) return;
  defaultMargin_ = Value;
  Invalidate();
}

void TOvcCustomDbTable::SetScrollBars(TScrollStyle Value) {
  if (Value == scrollBars_) return;
  scrollBars_ = Value;
  RecreateWnd();
}

void TOvcCustomDbTable::SetTextStyle(TOvcTextStyle Value) {
  textStyle_ = Value;
  Invalidate();
}

void TOvcCustomDbTable::SetHeaderCell(TOvcBaseTableCell *Value) {
  if (Value == headerCell_) return;
  if (Value && !dynamic_cast<TOvcTCString *>(Value) && !dynamic_cast<TOvcTCColHead *>(Value)) {
    if (IsDesigning()) RaiseTableError(30265);
    return;
  }
  // As for a column's cell: a cell serves one table.
  if (Value && Value->UserCount() > 0 && Value->Table() != this) return;
  if (headerCell_) headerCell_->RemoveUser();
  headerCell_ = Value;
  if (Value) {
    if (Value->UserCount() == 0) Value->SetTable(this);
    Value->AddUser();
    if (auto *heading = dynamic_cast<TOvcTCColHead *>(Value); heading && heading->UserCount() == 1)
      heading->SetShowLetters(false);
  }
  CellChanged(Value);
  if (!HandleAllocated()) return;
  CalcRows();
  LayOutColumns(leftCol_);
  Invalidate();
  UpdateVScrollBar();
}

void TOvcCustomDbTable::SetHeaderOptions(TOvcHeaderOptions Value) {
  const TOvcHeaderOptions old = headerOptions_;
  headerOptions_ = Value;
  if (IsLoading() || !HandleAllocated()) return;
  if (!headerCell_)
    headerOptions_ = headerOptions_ - TOvcHeaderOptions{hoUseHeaderCell, hoUseLetters, hoUseStrings};
  if (!headerOptions_.Contains(hoUseHeaderCell))
    headerOptions_ = headerOptions_ - TOvcHeaderOptions{hoUseLetters, hoUseStrings};
  if (dynamic_cast<TOvcTCColHead *>(headerCell_)) {
    // The option just added wins over the one already set.
    if (headerOptions_.Contains(hoUseLetters) && headerOptions_.Contains(hoUseStrings))
      headerOptions_.Exclude(old.Contains(hoUseLetters) ? hoUseLetters : hoUseStrings);
  } else if (dynamic_cast<TOvcTCString *>(headerCell_)) {
    headerOptions_ = headerOptions_ - TOvcHeaderOptions{hoUseLetters, hoUseStrings};
  }
  if (old.Contains(hoShowHeader) != headerOptions_.Contains(hoShowHeader)) {
    ApplyIntegralHeight();
    CalcRows();
    LayOutColumns(leftCol_);
    Invalidate();
    UpdateVScrollBar();
  } else if (old != headerOptions_) {
    InvalidateHeader();
  }
}

void TOvcCustomDbTable::SetHeaderHeight(int Value) {
  if (Value < 1) return;
  headerHeight_ = Value;
  if (!HandleAllocated()) return;
  if (headerOptions_.Contains(hoShowHeader)) ApplyIntegralHeight();
  CalcRows();
  LayOutColumns(leftCol_);
  Invalidate();
  UpdateVScrollBar();
}

void TOvcCustomDbTable::SetRowHeight(int Value) {
  if (Value < 1) return;
  rowHeight_ = Value;
  if (!HandleAllocated()) return;
  ApplyIntegralHeight();
  CalcRows();
  LayOutColumns(leftCol_);
  Invalidate();
  UpdateVScrollBar();
}

void TOvcCustomDbTable::SetLockedColumns(int Value) {
  if (IsLoading() || !HandleAllocated()) {
    lockedColumns_ = Value;
    return;
  }
  if (Value < 0 || Value >= ColumnCount() || Value == lockedColumns_) return;
  lockedColumns_ = Value;
  CalcMaxLeftColumn();
  leftCol_ = std::min(NearestColumn(leftCol_, 0), maxLeftCol_);
  LayOutColumns(leftCol_);
  if (IsDesigning())
    MoveToColumn(lockedColumns_);
  else if (Value > activeCol_)
    MoveToColumn(leftCol_);
  UpdateScrollBars();
  Invalidate();
}

void TOvcCustomDbTable::SetRowIndicatorWidth(int Value) {
  if (Value < 0) return;
  rowIndicatorWidth_ = Value;
  if (IsDesigning()) options_.Set(dtoShowIndicators, Value != 0);
  indicatorWidth_ = options_.Contains(dtoShowIndicators) ? rowIndicatorWidth_ : 0;
  if (!HandleAllocated()) return;
  CalcMaxLeftColumn();
  Invalidate();
  UpdateScrollBars();
}

void TOvcCustomDbTable::SetOptions(TOvcDbTableOptionSet Value) {
  const TOvcDbTableOptionSet old = options_;
  options_ = Value;
  if (IsLoading() || !HandleAllocated()) {
    indicatorWidth_ = options_.Contains(dtoShowIndicators) ? rowIndicatorWidth_ : 0;
    return;
  }
  const auto changed = [&](TOvcDbTableOption o) { return old.Contains(o) != options_.Contains(o); };
  if (changed(dtoAlwaysEditing)) {
    if (options_.Contains(dtoAlwaysEditing)) {
      PostMessage(Handle(), tcm_StartEditing);
    } else {
      Application()->ProcessMessages();
      CloseEditor(true);
    }
  }
  if (changed(dtoHighlightActiveRow) && !EditorOpen()) InvalidateRow(activeRow_);
  if (changed(dtoShowIndicators)) {
    if (IsDesigning() && rowIndicatorWidth_ == 0) rowIndicatorWidth_ = 11;
    indicatorWidth_ = options_.Contains(dtoShowIndicators) ? rowIndicatorWidth_ : 0;
    CalcMaxLeftColumn();
    Invalidate();
    UpdateHScrollBar();
  }
  if (changed(dtoShowPictures) || changed(dtoStretch) || changed(dtoCellsPaintText)) Invalidate();
  if (changed(dtoIntegralHeight)) ApplyIntegralHeight();
}

// ---- rows and columns ----

int TOvcCustomDbTable::RecordRows() const { return DataSetActive() ? link_->RecordCount() : 0; }

void TOvcCustomDbTable::CalcRows() {
  const int header = headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0;
  const int fit = std::max(1, (ClientHeight() - header) / rowHeight_);
  if (!DataSetActive()) {
    visibleRows_ = 1;
    return;
  }
  link_->SetBufferCount(fit);
  visibleRows_ = std::max(1, link_->RecordCount());
  const int active = std::clamp(link_->ActiveRecord(), 0, visibleRows_ - 1);
  if (active != activeRow_ || activeRow_ >= visibleRows_) {
    const bool was = scrolling_;
    scrolling_ = true;
    MoveActiveCell(active, activeCol_);
    scrolling_ = was;
    activeRow_ = active;
  }
}

int TOvcCustomDbTable::RowTop(int RowNum) const {
  if (RowNum < 0 || RowNum >= visibleRows_) return -1;
  return RowNum * rowHeight_ + (headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0);
}

int TOvcCustomDbTable::RowBottom(int RowNum) const {
  const int top = RowTop(RowNum);
  return top < 0 ? -1 : top + rowHeight_;
}

int TOvcCustomDbTable::NearestColumn(int ColNum, int Direction) const {
  const int count = ColumnCount();
  if (count == 0) return 0;
  const int c = std::clamp(ColNum, std::min(lockedColumns_, count - 1), count - 1);
  if (Direction == 0 && !IsColumnHidden(c)) return c;
  if (Direction >= 0) {
    for (int i = c; i < count; ++i)
      if (!IsColumnHidden(i)) return i;
    if (Direction > 0) return c;
  }
  for (int i = c; i >= lockedColumns_; --i)
    if (!IsColumnHidden(i)) return i;
  return c;
}

void TOvcCustomDbTable::LayOutColumns(int First) {
  visible_.Clear();
  const int width = ClientWidth();
  int x = indicatorWidth_;
  const auto take = [&](int c) {
    if (IsColumnHidden(c)) return;
    TOvcDbTableColumn *column = Column(c);
    visible_.Add(c);
    column->SetLeft(x);
    x += column->Width();
  };
  for (int c = 0; c < std::min(lockedColumns_, ColumnCount()) && x < width; ++c) take(c);
  for (int c = std::max(First, lockedColumns_); c < ColumnCount() && x < width; ++c) take(c);
  visible_.SetTotalWidth(x);
}

int TOvcCustomDbTable::PreviousUnhidden(int ColNum) const {
  for (int c = ColNum - 1; c >= lockedColumns_; --c)
    if (!IsColumnHidden(c)) return c;
  return -1;
}

int TOvcCustomDbTable::NextUnhidden(int ColNum) const {
  for (int c = ColNum + 1; c < ColumnCount(); ++c)
    if (!IsColumnHidden(c)) return c;
  return -1;
}

int TOvcCustomDbTable::UnhiddenBetween(int From, int To) const {
  int n = 0;
  for (int c = std::max(From, 0); c < std::min(To, ColumnCount()); ++c)
    if (!IsColumnHidden(c)) ++n;
  return n;
}

void TOvcCustomDbTable::CalcMaxLeftColumn() {
  const int width = ClientWidth();
  int last = -1;
  for (int c = ColumnCount() - 1; c >= lockedColumns_ && last < 0; --c)
    if (!IsColumnHidden(c)) last = c;
  if (last < 0) {
    maxLeftCol_ = NearestColumn(lockedColumns_, 1);
  } else {
    LayOutColumns(last);
    int best = last;
    if (visible_.TotalWidth() < width) {
      for (int start = PreviousUnhidden(last); start >= 0; start = PreviousUnhidden(start)) {
        LayOutColumns(start);
        if (visible_.TotalWidth() >= width) break;
        best = start;
      }
    }
    maxLeftCol_ = best;
  }
  LayOutColumns(std::min(leftCol_, maxLeftCol_));
}

TRect TOvcCustomDbTable::CellRect(int RowNum, int ColNum) const {
  const TOvcDbTableColumn *column = visible_.IndexOf(ColNum) >= 0 ? Column(ColNum) : nullptr;
  const int top = RowTop(RowNum);
  if (!column || top < 0) return TRect{};
  return TRect{column->Left(), top, column->Left() + column->Width(), top + rowHeight_};
}

TRect TOvcCustomDbTable::CellContentRect(int RowNum, int ColNum) const {
  const TRect r = CellRect(RowNum, ColNum);
  if (r.IsEmpty()) return r;
  return (ColNum < lockedColumns_ ? pens_->LockedGrid() : pens_->NormalGrid())->ContentRect(r);
}

// ---- invalidating ----

void TOvcCustomDbTable::InvalidateCell(int RowNum, int ColNum) {
  const TRect r = CellRect(RowNum, ColNum);
  if (!r.IsEmpty()) InvalidateRect(&r);
}

void TOvcCustomDbTable::InvalidateRow(int RowNum) {
  const int top = RowTop(RowNum);
  if (top < 0) return;
  const TRect r{indicatorWidth_, top, visible_.TotalWidth(), top + rowHeight_};
  InvalidateRect(&r);
}

void TOvcCustomDbTable::InvalidateIndicators() {
  if (indicatorWidth_ <= 0) return;
  const TRect r{0, 0, indicatorWidth_, ClientHeight()};
  InvalidateRect(&r);
}

void TOvcCustomDbTable::InvalidateActive() {
  if (options_.Contains(dtoHighlightActiveRow))
    InvalidateRow(activeRow_);
  else
    InvalidateCell(activeRow_, activeCol_);
}

void TOvcCustomDbTable::InvalidateHeader() {
  if (!headerOptions_.Contains(hoShowHeader)) return;
  const TRect r{0, 0, ClientWidth(), headerHeight_};
  InvalidateRect(&r);
}

// ---- cell attributes ----

void TOvcCustomDbTable::AdjustCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) {
  if (CellAttr.Access == otxDefault) CellAttr.Access = access_;
  if (CellAttr.Adjust == otaDefault) CellAttr.Adjust = adjust_;
  const bool focused = state_ & stFocused;
  const bool dataRow = RowNum >= 0 && ColNum >= 0;
  if (dataRow && RowNum == activeRow_ && ColNum == activeCol_) {
    const bool editing =
        EditorOpen() || (options_.Contains(dtoAlwaysEditing) && CellAttr.Access == otxNormal && focused);
    if (focused && editing) {
      CellAttr.Color = colors_->Editing();
      CellAttr.FontColor = colors_->EditingText();
    } else if (focused) {
      CellAttr.Color = colors_->ActiveFocused();
      CellAttr.FontColor = colors_->ActiveFocusedText();
    } else {
      CellAttr.Color = colors_->ActiveUnfocused();
      CellAttr.FontColor = colors_->ActiveUnfocusedText();
    }
  } else if (dataRow && RowNum == activeRow_ && options_.Contains(dtoHighlightActiveRow)) {
    CellAttr.Color = focused ? colors_->ActiveFocused() : colors_->ActiveUnfocused();
    CellAttr.FontColor = focused ? colors_->ActiveFocusedText() : colors_->ActiveUnfocusedText();
  } else if (dataRow && ColNum < lockedColumns_) {
    CellAttr.Color = colors_->Locked();
    CellAttr.FontColor = colors_->LockedText();
  }
  if (!columns_->DefaultCell(ColNum)) CellAttr.TextStyle = textStyle_;
  DoGetCellAttributes(RowNum, ColNum, CellAttr);
}

// ---- painting ----

void TOvcCustomDbTable::Paint() {
  TCanvas *canvas = Canvas();
  const TRect clip = canvas->ClipRect();
  updating_ = true;
  struct Restore {
    TOvcCustomDbTable *table;
    ~Restore() {
      if (table->DataSetActive()) table->link_->SetActiveRecord(table->activeRow_);
      table->updating_ = false;
    }
  } restore{this};
  canvas->SetFont(Font());
  if (headerOptions_.Contains(hoShowHeader) && Meets(TRect{0, 0, ClientWidth(), headerHeight_}, clip))
    PaintHeader(clip, canvas);
  for (int row = 0; row < RecordRows(); ++row) PaintRow(row, clip, canvas);
  if (DataSetActive()) link_->SetActiveRecord(activeRow_);
  PaintUnusedArea();
  PaintActiveFrame(canvas);
  if (state_ & stSizing) DrawSizingLine();
  if (state_ & stMoving) DrawMoveMarker();
}

void TOvcCustomDbTable::PaintHeader(const TRect &Clip, TCanvas *Canvas) {
  if (indicatorWidth_ > 0)
    DrawButtonFace(Canvas, TRect{0, 0, indicatorWidth_, headerHeight_}, 1, false, false);
  TFont font;
  TOvcCellAttributes attr;
  attr.Font = &font;
  TOvcBaseTableCell *cell = headerOptions_.Contains(hoUseHeaderCell) ? headerCell_ : nullptr;
  if (!cell) {
    attr.Access = otxDefault;
    attr.Adjust = otaDefault;
    attr.Color = colors_->Locked();
    font.Assign(Font());
    attr.FontColor = colors_->LockedText();
    attr.FontHiColor = colors_->SelectedText();
    attr.TextStyle = textStyle_;
    AdjustCellAttributes(-1, -1, attr);
  } else {
    cell->GatherAttributes(-1, -1, attr);
  }
  TOvcGridPen *pen = pens_->LockedGrid();
  for (int i = 0; i < visible_.Count(); ++i) {
    TOvcDbTableColumn *column = visible_.Items(i);
    const int c = visible_.Number(i);
    const TRect rect{column->Left(), 0, column->Left() + column->Width(), headerHeight_};
    if (!Meets(rect, Clip)) continue;
    const TRect content = pen->ContentRect(rect);
    TField *field = ColumnField(c);
    if (!cell) {
      Canvas->Brush()->SetColor(attr.Color);
      Canvas->FillRect(content);
      if (attr.Access != otxInvisible && field)
        PaintCellText(Canvas, content, attr, field->DisplayLabel(), defaultMargin_, false);
    } else {
      if (auto *heading = dynamic_cast<TOvcTCColHead *>(cell))
        heading->SetShowLetters(headerOptions_.Contains(hoUseLetters));
      if (!field || headerOptions_.Contains(hoUseLetters) || headerOptions_.Contains(hoUseStrings)) {
        cell->Paint(Canvas, content, -1, c, attr, nullptr);
      } else {
        const QString label = field->DisplayLabel();
        cell->Paint(Canvas, content, -1, c, attr, &label);
      }
    }
    pen->DrawCellLines(Canvas, rect, Color());
  }
}

void TOvcCustomDbTable::PaintRow(int Row, const TRect &Clip, TCanvas *Canvas) {
  const int top = RowTop(Row);
  if (top < 0 || !Meets(TRect{0, top, ClientWidth(), top + rowHeight_}, Clip)) return;
  if (indicatorWidth_ > 0) {
    const TRect indicator{0, top, indicatorWidth_, top + rowHeight_};
    DrawButtonFace(Canvas, indicator, 1, false, false);
    if (Row == activeRow_ && DataSetActive()) {
      const int image = DataSet()->State() == dsEdit ? 1 : DataSet()->State() == dsInsert ? 2 : 0;
      indicators_->Draw(Canvas, rowIndicatorWidth_ - indicators_->Width() - 3,
                        (top + top + rowHeight_ - indicators_->Height()) / 2, image);
    }
  }
  if (DataSetActive()) link_->SetActiveRecord(Row);
  for (int i = 0; i < visible_.Count(); ++i) {
    TOvcDbTableColumn *column = visible_.Items(i);
    const TRect rect{column->Left(), top, column->Left() + column->Width(), top + rowHeight_};
    if (Meets(rect, Clip)) PaintCell(Row, visible_.Number(i), column, Canvas);
  }
}

void TOvcCustomDbTable::PaintCell(int Row, int ColNum, TOvcDbTableColumn *Column, TCanvas *Canvas) {
  const bool locked = ColNum < lockedColumns_;
  TOvcGridPen *pen = locked ? pens_->LockedGrid() : pens_->NormalGrid();
  const int top = RowTop(Row);
  const TRect rect{Column->Left(), top, Column->Left() + Column->Width(), top + rowHeight_};
  const TRect content = pen->ContentRect(rect);
  const bool underEditor = EditorOpen() && Row == activeRow_ && ColNum == activeCol_;
  if (!underEditor) {
    TOvcBaseTableCell *cell = Column->DefaultCell();
    TField *field = ColumnField(ColNum);
    TFont font;
    TOvcCellAttributes attr;
    attr.Font = &font;
    int margin = defaultMargin_;
    bool wrap = false;
    if (!cell) {
      attr.Color = locked ? colors_->Locked() : Color();
      font.Assign(Font());
      attr.FontColor = locked ? colors_->LockedText() : Font()->Color();
      attr.FontHiColor = colors_->SelectedText();
      TField *aligned = field;
      if (link_->DefaultFieldsOrNoDataSet() && DataSetActive() && ColNum < link_->MappedCount())
        aligned = link_->MappedField(ColNum);
      if (aligned) attr.Adjust = AdjustOfAlignment(aligned->Alignment());
      AdjustCellAttributes(Row, ColNum, attr);
    } else {
      cell->GatherAttributes(Row, ColNum, attr);
      margin = cell->Margin();
      if (auto *text = dynamic_cast<TOvcTCBaseString *>(cell)) wrap = text->UseWordWrap();
    }
    // An entry-field cell formats its value itself (a picture, a time alone, padding trimmed), whether or
    // not the table has every cell paint its text.
    const bool paintsData =
        cell && field &&
        (dynamic_cast<TOvcTCCheckBox *>(cell) || dynamic_cast<TOvcTCGlyph *>(cell) ||
         dynamic_cast<TOvcTCComboBox *>(cell) || dynamic_cast<TOvcTCBaseEntryField *>(cell) ||
         options_.Contains(dtoCellsPaintText));
    bool done = false;
    if (dynamic_cast<TOvcTCBitMap *>(cell) && field) done = PaintPicture(field, content, attr, Canvas);
    if (!done && paintsData) {
      TOvcDbCellValue value;
      if (CellDataSize(cell) > 0) FieldToCellData(field, cell, value);
      cell->Paint(Canvas, content, Row, ColNum, attr, value.Data());
      done = true;
    }
    if (!done) {
      Canvas->Brush()->SetColor(attr.Color);
      Canvas->FillRect(content);
      if (attr.Access != otxInvisible && field)
        PaintCellText(Canvas, content, attr, field->DisplayText(), margin, wrap);
    }
  }
  pen->DrawCellLines(Canvas, rect, Color());
}

bool TOvcCustomDbTable::PaintPicture(TField *Field, const TRect &Rect, const TOvcCellAttributes &Attr,
                                     TCanvas *Canvas) {
  if (!options_.Contains(dtoShowPictures) || !Field->IsBlob()) return false;
  QVariant bytes;
  if (!Field->GetData(bytes)) return false;
  TPicture picture;
  try {
    picture.LoadFromBytes(bytes.toByteArray());
  } catch (const Exception &) {
    return false;
  }
  auto *bitmap = dynamic_cast<TBitmap *>(picture.Graphic());
  if (!bitmap) return false;
  Canvas->Brush()->SetColor(Attr.Color);
  if (options_.Contains(dtoStretch)) {
    if (bitmap->Empty())
      Canvas->FillRect(Rect);
    else
      Canvas->StretchDraw(Rect, bitmap);
    return true;
  }
  Canvas->FillRect(Rect);
  Canvas->IntersectClipRect(Rect);
  Canvas->Draw(Rect.Left, Rect.Top, bitmap);
  Canvas->ClearClipRegion();
  return true;
}

void TOvcCustomDbTable::PaintUnusedArea() {
  if (OnPaintUnusedArea) {
    DoPaintUnusedArea();
    return;
  }
  TCanvas *canvas = Canvas();
  const TRect clip = IsDesigning() ? ClientRect() : canvas->ClipRect();
  const int total = visible_.TotalWidth();
  const int rows = RecordRows();
  const int bottom =
      rows > 0 ? RowBottom(rows - 1) : (headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0);
  canvas->Brush()->SetColor(colorUnused_);
  const TRect right{total, 0, ClientWidth(), ClientHeight()};
  const TRect below{0, bottom, total, ClientHeight()};
  TRect part;
  if (IntersectRect(part, right, clip)) canvas->FillRect(part);
  if (IntersectRect(part, below, clip)) canvas->FillRect(part);
}

void TOvcCustomDbTable::PaintActiveFrame(TCanvas *Canvas) {
  if (EditorOpen() || visible_.IndexOf(activeCol_) < 0 || activeRow_ >= RecordRows()) return;
  const TOvcGridPen *frame = (state_ & stFocused) ? pens_->CellWhenFocused() : pens_->CellWhenUnfocused();
  const TGridEffect effect = frame->Effect();
  if (effect == geNone) return;
  TRect r = CellRect(activeRow_, activeCol_);
  const TGridEffect normal = pens_->NormalGrid()->Effect();
  const bool vertical = normal == geVertical || normal == geBoth || normal == ge3D;
  const bool horizontal = normal == geHorizontal || normal == geBoth || normal == ge3D;
  r.Right -= vertical ? 2 : 1;
  r.Bottom -= horizontal ? 2 : 1;
  if (normal == ge3D) {
    r.Left += 1;
    r.Top += 1;
  }
  Canvas->Pen()->SetColor(frame->NormalColor());
  Canvas->Pen()->SetStyle(frame->Style());
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetColor(Color());
  const auto line = [&](int X1, int Y1, int X2, int Y2) { Canvas->Polyline({{X1, Y1}, {X2, Y2}}); };
  if (effect == geVertical || effect == geBoth || effect == ge3D) {
    line(r.Left, r.Top, r.Left, r.Bottom + 1);
    line(r.Right, r.Top, r.Right, r.Bottom + 1);
  }
  if (effect == geHorizontal || effect == geBoth || effect == ge3D) {
    line(r.Left, r.Top, r.Right + 1, r.Top);
    line(r.Left, r.Bottom, r.Right + 1, r.Bottom);
  }
  Canvas->Pen()->SetStyle(psSolid);
}

void TOvcCustomDbTable::PlaceOpenEditor() {
  if (!EditorOpen() || !editingCell_) return;
  if (visible_.IndexOf(activeCol_) >= 0 && RowTop(activeRow_) >= 0)
    editingCell_->PlaceEditor(CellContentRect(activeRow_, activeCol_));
  else
    editingCell_->HideEditor();
}

// ---- vertical scrolling ----

void TOvcCustomDbTable::DataSetScrolled(int Distance) {
  if (scrolling_) return;
  const int oldActive = activeRow_;
  int active = activeRow_;
  if (DataSetActive()) {
    const int records = std::max(1, link_->RecordCount());
    if (records != visibleRows_) {
      visibleRows_ = records;
      Invalidate();
    }
    active = std::clamp(link_->ActiveRecord(), 0, visibleRows_ - 1);
  }
  // The editor shows a record that is moving away: its value is saved first.
  if ((Distance != 0 || active != oldActive) && !CloseEditor(true)) Abort();
  if (active != oldActive) {
    InvalidateActive();
    InvalidateIndicators();
    activeRow_ = active;
    InvalidateActive();
  }
  if (Distance != 0) {
    if (std::abs(Distance) >= visibleRows_ || OnGetCellAttributes) {
      Invalidate();
    } else if (HandleAllocated()) {
      const int header = headerOptions_.Contains(hoShowHeader) ? headerHeight_ : 0;
      const TRect rows{0, header, visible_.TotalWidth(), header + visibleRows_ * rowHeight_};
      ScrollWindow(0, -Distance * rowHeight_, &rows);
      // The old active row's marks moved with the picture.
      InvalidateIndicators();
      InvalidateRow(oldActive - Distance);
      InvalidateActive();
    }
    if (options_.Contains(dtoAlwaysEditing) && HandleAllocated()) PostMessage(Handle(), tcm_StartEditing);
  }
  UpdateVScrollBar();
}

void TOvcCustomDbTable::UpdateVScrollBar() {
  if (!DataSetActive() || !HandleAllocated() || !hasVScroll_) return;
  TDataSet *dataSet = DataSet();
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (dataSet->IsSequenced()) {
    info.nMin = 1;
    info.nPage = unsigned(visibleRows_);
    info.nMax = dataSet->RecordCount() + visibleRows_ - 1;
    info.nPos = dataSet->State() == dsInsert ? ScrollBar(SB_VERT).Pos : dataSet->RecNo();
  } else {
    // Five places, so that the dataset is never counted: the first record, between, the last.
    info.nMin = 0;
    info.nPage = 0;
    info.nMax = 4;
    info.nPos = dataSet->Bof() ? 0 : dataSet->Eof() ? 4 : 2;
  }
  const TScrollBarState &bar = ScrollBar(SB_VERT);
  if (bar.Min == info.nMin && bar.Max == info.nMax && bar.Page == int(info.nPage) && bar.Pos == info.nPos &&
      bar.Visible)
    return;
  SetScrollInfo(Handle(), SB_VERT, info, true);
}

void TOvcCustomDbTable::UpdateScrollBars() {
  UpdateVScrollBar();
  UpdateHScrollBar();
}

void TOvcCustomDbTable::WMVScroll(TMessage &Message) {
  const WORD code = LOWORD(Message.WParam);
  if (code == SB_ENDSCROLL || code == SB_THUMBTRACK || !DataSet()) return;
  if (!Focused() && CanFocus()) SetFocus();
  if (!CloseEditor(true)) return;
  if (DataSetActive()) {
    TDataSet *dataSet = DataSet();
    switch (code) {
    case SB_LINEUP: MoveBy(options_.Contains(dtoPageScroll) ? -(activeRow_ + 1) : -1); break;
    case SB_LINEDOWN: MoveBy(options_.Contains(dtoPageScroll) ? visibleRows_ - activeRow_ : 1); break;
    case SB_PAGEUP: MoveBy(-visibleRows_); break;
    case SB_PAGEDOWN: MoveBy(visibleRows_); break;
    case SB_TOP: dataSet->First(); break;
    case SB_BOTTOM: dataSet->Last(); break;
    case SB_THUMBPOSITION: {
      const int pos = HIWORD(Message.WParam);
      if (dataSet->IsSequenced()) {
        if (pos < 2)
          dataSet->First();
        else if (pos < dataSet->RecordCount())
          dataSet->SetRecNo(pos);
        else
          dataSet->Last();
      } else {
        switch (pos) {
        case 0: dataSet->First(); break;
        case 1: MoveBy(-visibleRows_); break;
        case 3: MoveBy(visibleRows_); break;
        case 4: dataSet->Last(); break;
        default: break;
        }
      }
      break;
    }
    default: break;
    }
  }
  UpdateVScrollBar();
}

void TOvcCustomDbTable::MoveBy(int Distance) {
  if (DataSetActive()) DataSet()->MoveBy(Distance);
}

// ---- horizontal scrolling ----

void TOvcCustomDbTable::SetLeftColumn(int ColNum) {
  const int target = std::min(NearestColumn(ColNum, 0), maxLeftCol_);
  if (target < lockedColumns_ || target >= ColumnCount() || target == leftCol_) return;
  ScrollToColumn(target);
  UpdateHScrollBar();
}

void TOvcCustomDbTable::ScrollToColumn(int ColNum) {
  const int old = leftCol_;
  const int oldTotal = visible_.TotalWidth();
  const int width = ClientWidth(), height = ClientHeight();
  const bool oldShown = visible_.IndexOf(old) >= 0;
  const int oldX = oldShown ? Column(old)->Left() : 0;
  const auto invalidateScrolled = [&] {
    int from = indicatorWidth_;
    for (int i = 0; i < visible_.Count(); ++i)
      if (visible_.Number(i) >= lockedColumns_) {
        from = visible_.Items(i)->Left();
        break;
      }
    const TRect r{from, 0, width, height};
    InvalidateRect(&r);
  };
  if (ColNum > old) {
    const bool newShown = visible_.IndexOf(ColNum) >= 0;
    const int newX = newShown ? Column(ColNum)->Left() : 0;
    leftCol_ = ColNum;
    if (newShown && oldTotal <= width && oldShown && HandleAllocated()) {
      const TRect area{oldX, 0, width, height};
      ScrollWindow(-(newX - oldX), 0, &area);
      LayOutColumns(ColNum);
    } else {
      LayOutColumns(ColNum);
      invalidateScrolled();
    }
  } else {
    leftCol_ = ColNum;
    LayOutColumns(ColNum);
    if (oldShown && visible_.IndexOf(old) >= 0 && HandleAllocated()) {
      const TRect area{oldX, 0, width, height};
      ScrollWindow(Column(old)->Left() - oldX, 0, &area);
    } else {
      invalidateScrolled();
    }
  }
  // Whatever lies right of the columns now is unused area.
  const TRect right{std::min(oldTotal, visible_.TotalWidth()), 0, width, height};
  InvalidateRect(&right);
  PlaceOpenEditor();
  DoLeftColumnChanged();
}

void TOvcCustomDbTable::PageLeft() {
  const int width = ClientWidth();
  int start = leftCol_;
  for (int previous = PreviousUnhidden(start); previous >= 0; previous = PreviousUnhidden(previous)) {
    LayOutColumns(previous);
    const bool oldStillShown =
        visible_.IndexOf(leftCol_) >= 0 && Column(leftCol_)->Left() + Column(leftCol_)->Width() <= width;
    if (!oldStillShown) break;
    start = previous;
  }
  LayOutColumns(leftCol_);
  SetLeftColumn(start);
}

void TOvcCustomDbTable::PageRight() {
  int last = -1;
  for (int i = visible_.Count() - 1; i >= 0 && last < 0; --i)
    if (visible_.Number(i) >= lockedColumns_) last = visible_.Number(i);
  if (last < 0) return;
  if (last == leftCol_) last = NextUnhidden(last);
  if (last >= 0) SetLeftColumn(last);
}

void TOvcCustomDbTable::UpdateHScrollBar() {
  if (!hasHScroll_ || !HandleAllocated()) return;
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, UnhiddenBetween(lockedColumns_, maxLeftCol_ + 1) - 1);
  info.nPage = 0;
  info.nPos = UnhiddenBetween(lockedColumns_, leftCol_);
  const TScrollBarState &bar = ScrollBar(SB_HORZ);
  if (bar.Min == info.nMin && bar.Max == info.nMax && bar.Pos == info.nPos && bar.Visible == (info.nMax > 0))
    return;
  SetScrollInfo(Handle(), SB_HORZ, info, true);
}

void TOvcCustomDbTable::WMHScroll(TMessage &Message) {
  const WORD code = LOWORD(Message.WParam);
  if (code == SB_ENDSCROLL || code == SB_THUMBTRACK) return;
  if (!Focused() && CanFocus()) SetFocus();
  if (!CloseEditor(true)) return;
  switch (code) {
  case SB_LINELEFT:
    if (const int c = PreviousUnhidden(leftCol_); c >= 0) SetLeftColumn(c);
    break;
  case SB_LINERIGHT:
    if (const int c = NextUnhidden(leftCol_); c >= 0) SetLeftColumn(c);
    break;
  case SB_PAGELEFT: PageLeft(); break;
  case SB_PAGERIGHT: PageRight(); break;
  case SB_THUMBPOSITION: {
    int c = NearestColumn(lockedColumns_, 1);
    for (int steps = HIWORD(Message.WParam); steps > 0; --steps) {
      const int next = NextUnhidden(c);
      if (next < 0) break;
      c = next;
    }
    if (c != leftCol_) SetLeftColumn(c);
    break;
  }
  default: break;
  }
  UpdateHScrollBar();
}

// ---- the events ----

void TOvcCustomDbTable::DoActiveCellChanged(int RowNum, int ColNum) {
  if (!Quiet() && OnActiveCellChanged) OnActiveCellChanged(this, RowNum, ColNum);
}
void TOvcCustomDbTable::DoColumnMoved(int FromCol, int ToCol) {
  if (!Quiet() && OnColumnMoved) OnColumnMoved(this, FromCol, ToCol);
}
void TOvcCustomDbTable::DoIndicatorClick(int RowNum, int ColNum) {
  if (!IsDesigning() && OnIndicatorClick) OnIndicatorClick(this, RowNum, ColNum);
}
void TOvcCustomDbTable::DoGetCellAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) {
  if (!Quiet() && OnGetCellAttributes) OnGetCellAttributes(this, RowNum, ColNum, CellAttr);
}
void TOvcCustomDbTable::DoLeftColumnChanged() {
  if (!Quiet() && OnLeftColumnChanged) OnLeftColumnChanged(this);
}
void TOvcCustomDbTable::DoLockedCellClick(int RowNum, int ColNum) {
  if (!Quiet() && OnLockedCellClick) OnLockedCellClick(this, RowNum, ColNum);
}
void TOvcCustomDbTable::DoPaintUnusedArea() {
  if (!Quiet() && OnPaintUnusedArea) OnPaintUnusedArea(this);
}
void TOvcCustomDbTable::DoUnusedAreaClick(int RowNum, int ColNum) {
  if (!Quiet() && OnUnusedAreaClick) OnUnusedAreaClick(this, RowNum, ColNum);
}
void TOvcCustomDbTable::DoUserCommand(WORD Command) {
  if (!Quiet() && OnUserCommand) OnUserCommand(this, Command);
}
