// The colours a table gives its cells by state (locked, active, editing, selected), and the four pens it
// draws its grid lines with. Every change fires the owner's change event.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/core/types.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include <memory>

class TCanvas;

class TOvcTableColors : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcTableColors"); }
  // From another colour set: copies all ten and fires the change event once.
  void Assign(const TPersistent *Source) override;

  // Locked columns and the header.
  TColor Locked() const { return locked_; }
  void SetLocked(TColor Value) { Set(locked_, Value); }
  TColor LockedText() const { return lockedText_; }
  void SetLockedText(TColor Value) { Set(lockedText_, Value); }
  // The active cell or row while the table has the focus, and without it.
  TColor ActiveFocused() const { return activeFocused_; }
  void SetActiveFocused(TColor Value) { Set(activeFocused_, Value); }
  TColor ActiveFocusedText() const { return activeFocusedText_; }
  void SetActiveFocusedText(TColor Value) { Set(activeFocusedText_, Value); }
  TColor ActiveUnfocused() const { return activeUnfocused_; }
  void SetActiveUnfocused(TColor Value) { Set(activeUnfocused_, Value); }
  TColor ActiveUnfocusedText() const { return activeUnfocusedText_; }
  void SetActiveUnfocusedText(TColor Value) { Set(activeUnfocusedText_, Value); }
  // The cell being edited.
  TColor Editing() const { return editing_; }
  void SetEditing(TColor Value) { Set(editing_, Value); }
  TColor EditingText() const { return editingText_; }
  void SetEditingText(TColor Value) { Set(editingText_, Value); }
  // Selected cells; SelectedText is also the shadow of raised or lowered header text.
  TColor Selected() const { return selected_; }
  void SetSelected(TColor Value) { Set(selected_, Value); }
  TColor SelectedText() const { return selectedText_; }
  void SetSelectedText(TColor Value) { Set(selectedText_, Value); }

  TNotifyEvent OnColorChange;

private:
  void Set(TColor &Field, TColor Value);
  void Changed();

  TColor locked_ = clBtnFace;
  TColor lockedText_ = clWindowText;
  TColor activeFocused_ = clHighlight;
  TColor activeFocusedText_ = clHighlightText;
  TColor activeUnfocused_ = clHighlight;
  TColor activeUnfocusedText_ = clHighlightText;
  TColor editing_ = clBtnFace;
  TColor editingText_ = clWindowText;
  TColor selected_ = clHighlight;
  TColor selectedText_ = clHighlightText;
};

enum TGridEffect { geNone, geVertical, geHorizontal, geBoth, ge3D };

class TOvcGridPen : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcGridPen"); }
  // From another pen: copies the four values and fires the change event.
  void Assign(const TPersistent *Source) override;

  TColor NormalColor() const { return normalColor_; }
  void SetNormalColor(TColor Value);
  // The light line of the three-dimensional effect.
  TColor SecondColor() const { return secondColor_; }
  void SetSecondColor(TColor Value);
  TGridEffect Effect() const { return effect_; }
  void SetEffect(TGridEffect Value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle Value);

  // Draws the grid lines of the cell CellRect (right and bottom exclusive) on a table of colour TableColor.
  void DrawCellLines(TCanvas *Canvas, const TRect &CellRect, TColor TableColor) const;
  // The part of CellRect the cell paints, clear of the lines this pen draws.
  TRect ContentRect(const TRect &CellRect) const;

  TNotifyEvent OnPenChange;

private:
  void Changed();

  TColor normalColor_ = clBtnShadow;
  TColor secondColor_ = clBtnHighlight;
  TGridEffect effect_ = geBoth;
  TPenStyle style_ = psSolid;
};

class TOvcGridPenSet : public TPersistent {
public:
  TOvcGridPenSet();
  QString ClassName() const override { return QStringLiteral("TOvcGridPenSet"); }
  // From another set: each pen from its counterpart.
  void Assign(const TPersistent *Source) override;

  // Lines of ordinary cells.
  TOvcGridPen *NormalGrid() const { return normal_.get(); }
  // Lines of locked columns and of the header.
  TOvcGridPen *LockedGrid() const { return locked_.get(); }
  // The frame of the active cell while the table has the focus, and without it.
  TOvcGridPen *CellWhenFocused() const { return focused_.get(); }
  TOvcGridPen *CellWhenUnfocused() const { return unfocused_.get(); }
  // Installs one change event in all four pens.
  void SetChangeHandler(const TNotifyEvent &Handler);

private:
  std::unique_ptr<TOvcGridPen> normal_ = std::make_unique<TOvcGridPen>();
  std::unique_ptr<TOvcGridPen> locked_ = std::make_unique<TOvcGridPen>();
  std::unique_ptr<TOvcGridPen> focused_ = std::make_unique<TOvcGridPen>();
  std::unique_ptr<TOvcGridPen> unfocused_ = std::make_unique<TOvcGridPen>();
};
