#include "grids/base/table_colors.h"
#include "platform/graphics/canvas.h"

// ---- the colour set ----

void TOvcTableColors::Set(TColor &Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TOvcTableColors::Changed() {
  if (OnColorChange) OnColorChange(this);
}

void TOvcTableColors::Assign(const TPersistent *Source) {
  const auto *colors = dynamic_cast<const TOvcTableColors *>(Source);
  if (!colors) {
    TPersistent::Assign(Source);
    return;
  }
  locked_ = colors->locked_;
  lockedText_ = colors->lockedText_;
  activeFocused_ = colors->activeFocused_;
  activeFocusedText_ = colors->activeFocusedText_;
  activeUnfocused_ = colors->activeUnfocused_;
  activeUnfocusedText_ = colors->activeUnfocusedText_;
  editing_ = colors->editing_;
  editingText_ = colors->editingText_;
  selected_ = colors->selected_;
  selectedText_ = colors->selectedText_;
  Changed();
}

// ---- a grid pen ----

void TOvcGridPen::Changed() {
  if (OnPenChange) OnPenChange(this);
}

void TOvcGridPen::Assign(const TPersistent *Source) {
  const auto *pen = dynamic_cast<const TOvcGridPen *>(Source);
  if (!pen) {
    TPersistent::Assign(Source);
    return;
  }
  normalColor_ = pen->normalColor_;
  secondColor_ = pen->secondColor_;
  effect_ = pen->effect_;
  style_ = pen->style_;
  Changed();
}

void TOvcGridPen::SetNormalColor(TColor Value) {
  if (Value == normalColor_) return;
  normalColor_ = Value;
  Changed();
}

void TOvcGridPen::SetSecondColor(TColor Value) {
  if (Value == secondColor_) return;
  secondColor_ = Value;
  Changed();
}

void TOvcGridPen::SetEffect(TGridEffect Value) {
  if (Value == effect_) return;
  effect_ = Value;
  Changed();
}

void TOvcGridPen::SetStyle(TPenStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Changed();
}

void TOvcGridPen::DrawCellLines(TCanvas *Canvas, const TRect &CellRect, TColor TableColor) const {
  if (effect_ == geNone) return;
  const TRect &r = CellRect;
  Canvas->Brush()->SetColor(TableColor);
  Canvas->Pen()->SetWidth(1);
  // A broken line shows the table's colour between its dots.
  const auto line = [&](TColor Color, const std::vector<TPoint> &Points) {
    if (style_ != psSolid && style_ != psClear) {
      Canvas->Pen()->SetStyle(psSolid);
      Canvas->Pen()->SetColor(TableColor);
      Canvas->Polyline(Points);
    }
    Canvas->Pen()->SetStyle(style_);
    Canvas->Pen()->SetColor(Color);
    Canvas->Polyline(Points);
  };
  if (effect_ == ge3D) line(secondColor_, {{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
  if (effect_ != geHorizontal) line(normalColor_, {{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom}});
  if (effect_ != geVertical) line(normalColor_, {{r.Left, r.Bottom - 1}, {r.Right, r.Bottom - 1}});
  Canvas->Pen()->SetStyle(psSolid);
}

TRect TOvcGridPen::ContentRect(const TRect &CellRect) const {
  TRect r = CellRect;
  switch (effect_) {
  case geVertical: r.Right -= 1; break;
  case geHorizontal: r.Bottom -= 1; break;
  case geBoth:
    r.Right -= 1;
    r.Bottom -= 1;
    break;
  case ge3D: InflateRect(r, -1, -1); break;
  case geNone: break;
  }
  return r;
}

// ---- the pen set ----

TOvcGridPenSet::TOvcGridPenSet() {
  normal_->SetStyle(psDot);
  locked_->SetEffect(ge3D);
  focused_->SetNormalColor(clBlack);
  unfocused_->SetNormalColor(clBlack);
  unfocused_->SetStyle(psDash);
}

void TOvcGridPenSet::Assign(const TPersistent *Source) {
  const auto *set = dynamic_cast<const TOvcGridPenSet *>(Source);
  if (!set) {
    TPersistent::Assign(Source);
    return;
  }
  normal_->Assign(set->normal_.get());
  locked_->Assign(set->locked_.get());
  focused_->Assign(set->focused_.get());
  unfocused_->Assign(set->unfocused_.get());
}

void TOvcGridPenSet::SetChangeHandler(const TNotifyEvent &Handler) {
  for (TOvcGridPen *pen : {normal_.get(), locked_.get(), focused_.get(), unfocused_.get()})
    pen->OnPenChange = Handler;
}
