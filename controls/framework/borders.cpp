#include "controls/framework/borders.h"

void TOvcBorder::Changed() {
  if (OnChange) OnChange(this);
}

void TOvcBorder::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  Changed();
}

void TOvcBorder::SetPenColor(TColor Value) {
  if (Value == penColor_) return;
  penColor_ = Value;
  Changed();
}

void TOvcBorder::SetPenStyle(TPenStyle Value) {
  if (Value == penStyle_) return;
  penStyle_ = Value;
  Changed();
}

void TOvcBorder::SetPenWidth(int Value) {
  if (Value < 1 || Value == penWidth_) return;
  penWidth_ = Value;
  Changed();
}

void TOvcBorder::SetBorderStyle(TOvcBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  Changed();
}

TOvcBorders::TOvcBorders()
    : left_(std::make_unique<TOvcBorder>()), right_(std::make_unique<TOvcBorder>()),
      top_(std::make_unique<TOvcBorder>()), bottom_(std::make_unique<TOvcBorder>()) {}

TOvcBorders::~TOvcBorders() = default;
