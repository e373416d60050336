// The glyph cell shows one glyph of a strip, chosen by a small number, and steps through the glyphs with a
// click, Space (forward) or Backspace (back). The check-box cell is a glyph cell over the check-box strip
// (unchecked, checked and, with AllowGrayed, greyed).
//
// Values (the paint Data): the glyph cell's a `const qint32 *` glyph index, the check-box cell's a
// `const TCheckBoxState *`.
#pragma once
#include "grids/cells/bitmap_cells.h"
#include "grids/cells/cell_glyphs.h"
#include "platform/widgets/std_buttons.h"

class TOvcTCCustomGlyph;

// The in-place editor: paints the glyph of its value and steps it.
class TOvcTCGlyphEdit : public TCustomControl {
public:
  explicit TOvcTCGlyphEdit(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCGlyphEdit"); }
  void WndProc(TMessage &Message) override;

  int Value() const { return value_; }
  // Kept between 0 and the cell's last active glyph.
  void SetValue(int Value);

  TOvcTCCustomGlyph *CellOwner = nullptr;
  int RowNum = 0;
  int ColNum = 0;
  // The attributes the editor paints with (their font is the editor's own copy).
  void SetCellAttributes(const TOvcCellAttributes &CellAttr);

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  // Moves the value by Delta, wrapping round the active glyphs.
  void Step(int Delta);

  int value_ = 0;
  TOvcCellAttributes attr_;
  TFont attrFont_;
};

class TOvcTCCustomGlyph : public TOvcTCBaseBitMap {
public:
  explicit TOvcTCCustomGlyph(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomGlyph"); }
  void BeforeDestruction() override;
  // The editor belongs to the table, which may free it first.
  void Notification(TComponent *AComponent, TOperation Operation) override;

  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  TWinControl *EditorControl() override { return editor_; }
  HWND EditorWindow() override;
  void HideEditor() override;
  void PlaceEditor(const TRect &CellRect) override;
  void CopyEditorValue(void *Data) override;
  void StartEditing(int RowNum, int ColNum, const TRect &CellRect, const TOvcCellAttributes &CellAttr,
                    int CellStyle, const void *Data) override;
  void EndEditing(bool SaveValue, void *Data) override;
  virtual TOvcTCGlyphEdit *CreateEditor(TComponent *AOwner);
  // Whether these glyphs suit the cell.
  virtual bool AcceptsGlyphs(const TOvcCellGlyphs *Glyphs) const { return true; }

  TOvcCellGlyphs *CellGlyphs() { return &glyphs_; }
  // Copies Value when AcceptsGlyphs agrees.
  void SetCellGlyphs(const TOvcCellGlyphs *Value);

  // Draws glyph Index (clamped to the active glyphs; -1 draws nothing) over CellRect.
  void PaintGlyph(TCanvas *Canvas, const TRect &CellRect, const TOvcCellAttributes &CellAttr, int Index);

protected:
  // The glyph index a value of this cell stands for, and back.
  virtual int GlyphOfData(const void *Data) const;
  virtual void StoreGlyph(int Glyph, void *Data) const;
  virtual void GlyphsChanged(TObject *Sender);

private:
  TOvcCellGlyphs glyphs_;
  TOvcTCGlyphEdit *editor_ = nullptr;
};

class TOvcTCGlyph : public TOvcTCCustomGlyph {
public:
  using TOvcTCCustomGlyph::TOvcTCCustomGlyph;
  QString ClassName() const override { return QStringLiteral("TOvcTCGlyph"); }
};

class TOvcTCCustomCheckBox : public TOvcTCCustomGlyph {
public:
  explicit TOvcTCCustomCheckBox(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomCheckBox"); }
  // Only a strip of three glyphs.
  bool AcceptsGlyphs(const TOvcCellGlyphs *Glyphs) const override;

  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value);

protected:
  int GlyphOfData(const void *Data) const override;
  void StoreGlyph(int Glyph, void *Data) const override;
  void GlyphsChanged(TObject *Sender) override;

private:
  bool allowGrayed_ = false;
};

class TOvcTCCheckBox : public TOvcTCCustomCheckBox {
public:
  using TOvcTCCustomCheckBox::TOvcTCCustomCheckBox;
  QString ClassName() const override { return QStringLiteral("TOvcTCCheckBox"); }
};
