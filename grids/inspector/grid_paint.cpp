// The inspector grid's painting: grid lines, the two cells of each row, the current row's sunken frame.
#include "grids/inspector/inspector_grid.h"
#include "platform/graphics/image_list.h"

namespace {

// Keeps the canvas's pen, brush and font colours across a cell's drawing.
class CanvasColors {
public:
  explicit CanvasColors(TCanvas *Canvas)
      : canvas_(Canvas), pen_(Canvas->Pen()->Color()), brush_(Canvas->Brush()->Color()),
        font_(Canvas->Font()->Color()), brushStyle_(Canvas->Brush()->Style()) {}
  ~CanvasColors() {
    canvas_->Pen()->SetColor(pen_);
    canvas_->Brush()->SetColor(brush_);
    canvas_->Brush()->SetStyle(brushStyle_);
    canvas_->Font()->SetColor(font_);
  }

private:
  TCanvas *canvas_;
  TColor pen_;
  TColor brush_;
  TColor font_;
  TBrushStyle brushStyle_;
};

void Line(TCanvas *Canvas, TColor Color, int X1, int Y1, int X2, int Y2) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

} // namespace

void TO32CustomInspectorGrid::Paint() {
  TCanvas *canvas = Canvas();
  const TRect client = ClientRect();
  const int rows = RowCount();
  int lastRow = topRow_ - 1;
  for (int r = topRow_; r < rows && CellRect(0, r).Top < client.Bottom; ++r) lastRow = r;
  const int used = lastRow >= topRow_ ? CellRect(0, lastRow).Bottom + 1 : 0;
  const int divider = ColWidth(0);
  if (rows > 0) {
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    for (int r = topRow_; r <= lastRow; ++r) {
      const int y = CellRect(0, r).Bottom;
      Line(canvas, gridLineColor_, 0, y, client.Right, y);
    }
    Line(canvas, gridLineColor_, divider, 0, divider, used);
  }
  const bool focused = Focused();
  for (int r = topRow_; r <= lastRow; ++r) {
    for (int column = 0; column < 2; ++column) {
      const TRect cell = CellRect(column, r);
      TRect visible;
      if (cell.IsEmpty() || !IntersectRect(visible, cell, client)) continue;
      TGridDrawState state;
      if (r == row_) state.Include(gdSelected);
      if (focused && r == row_ && column == 0) state.Include(gdFocused);
      if (defaultDrawing_ || Designing()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(cell);
        canvas->SetFont(Font());
      }
      PaintItemCell(column, r, cell, state);
    }
  }
  // The divider's highlight, over the first pixels of the value column.
  if (rows > 0) Line(canvas, clBtnHighlight, divider + 1, 0, divider + 1, used);
  if (!Designing() && defaultDrawing_ && row_ >= topRow_ && row_ <= lastRow) {
    const TRect caption = CellRect(0, row_);
    const int right = CellRect(1, row_).Right - 1;
    Line(canvas, cl3DDkShadow, caption.Left, caption.Bottom, caption.Left, caption.Top);
    canvas->LineTo(right, caption.Top);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->LineTo(right, caption.Bottom);
    canvas->LineTo(caption.Left, caption.Bottom);
  }
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  const int columnsEnd = divider + 1 + ColWidth(1);
  if (columnsEnd < client.Right) canvas->FillRect(Rect(columnsEnd, 0, client.Right, client.Bottom));
  if (used < client.Bottom) canvas->FillRect(Rect(0, used, client.Right, client.Bottom));
}

void TO32CustomInspectorGrid::PaintItemCell(int Column, int Row, TRect Rect, TGridDrawState State) {
  TO32InspectorItem *item = RowItem(Row);
  if (!item) return;
  TCanvas *canvas = Canvas();
  const CanvasColors saved(canvas);
  bool drawDefault = true;
  if (OnCellPaint)
    OnCellPaint(this, item->Index(), Rect, canvas, Column == 0 ? icCaption : icValue, drawDefault);
  if (!drawDefault) return;
  const int middle = (Rect.Top + Rect.Bottom) / 2;
  if (Column == 0) {
    if (items_->HasParentItems()) {
      Rect.Left += item->Level() * childIndentation_;
      if (item->ItemType() == itParent || item->ItemType() == itSet)
        PaintExpandButton(item, Bounds(Rect.Left + 2, middle - 5, 9, 9));
      Rect.Left += 11;
    }
    if (item->ImageIndex() >= 0 && images_) {
      TBitmap image;
      images_->GetBitmap(item->ImageIndex(), &image);
      if (image.Height() > 0) {
        // The colour of the bottom row's second pixel is the picture's background.
        QImage picture = image.Image().convertToFormat(QImage::Format_ARGB32);
        const QRgb background = picture.pixel(std::min(1, picture.width() - 1), picture.height() - 1);
        const QRgb brush = ColorToQColor(Color()).rgba();
        for (int y = 0; y < picture.height(); ++y)
          for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == background) picture.setPixel(x, y, brush);
        canvas->DrawImage(Bounds(Rect.Left, Rect.Top, picture.width(), picture.height()), picture,
                          picture.rect());
        Rect.Left += Rect.Height() + 2;
      }
    }
    canvas->Font()->SetColor(captionTextColor_);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(Rect, Rect.Left + 2, Rect.Top + 2, item->Caption());
    return;
  }
  if (item->ItemType() == itColor) {
    const TRect swatch = Bounds(Rect.Left + 2, middle - 6, 12, 12);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(item->ColorValue());
    canvas->FillRect(swatch);
    canvas->Brush()->SetColor(clBlack);
    canvas->FrameRect(swatch);
    Rect.Left += 16;
  }
  canvas->Font()->SetColor(itemTextColor_);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextRect(Rect, Rect.Left + 2, Rect.Top + 2, item->DisplayText());
}

void TO32CustomInspectorGrid::PaintExpandButton(const TO32InspectorItem *Item, const TRect &Box) {
  TCanvas *canvas = Canvas();
  const bool children = Item->HasChildren();
  if (expandGlyph_->Height() > 0) {
    // A strip of three: collapsed with children, without children, expanded.
    const int side = expandGlyph_->Height();
    const int index = Item->Expanded() ? 2 : children ? 0 : 1;
    canvas->DrawImage(Box, expandGlyph_->Image(), QRect(index * side, 0, side, side));
    return;
  }
  const TColor pen = children ? cl3DDkShadow : clGrayText;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(children ? clBtnHighlight : Color());
  canvas->FillRect(Box);
  canvas->Brush()->SetColor(pen);
  canvas->FrameRect(Box);
  const int midX = (Box.Left + Box.Right - 1) / 2;
  const int midY = (Box.Top + Box.Bottom - 1) / 2;
  Line(canvas, pen, Box.Left + 2, midY, Box.Right - 2, midY);
  if (!Item->Expanded()) Line(canvas, pen, midX, Box.Top + 2, midX, Box.Bottom - 2);
}
