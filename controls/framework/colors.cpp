#include "controls/framework/colors.h"

TOvcColors::TOvcColors(TColor DefaultTextColor, TColor DefaultBackColor)
    : backColor_(DefaultBackColor), textColor_(DefaultTextColor), defBackColor_(DefaultBackColor),
      defTextColor_(DefaultTextColor) {}

void TOvcColors::Assign(const TPersistent *Source) {
  if (auto *other = dynamic_cast<const TOvcColors *>(Source)) {
    backColor_ = other->backColor_;
    textColor_ = other->textColor_;
    return;
  }
  TPersistent::Assign(Source);
}

void TOvcColors::Changed() {
  if (OnChange) OnChange(this);
}

void TOvcColors::SetBackColor(TColor Value) {
  if (Value == backColor_) return;
  backColor_ = Value;
  if (Value != defBackColor_) useDefault_ = false;
  Changed();
}

void TOvcColors::SetTextColor(TColor Value) {
  if (Value == textColor_) return;
  textColor_ = Value;
  if (Value != defTextColor_) useDefault_ = false;
  Changed();
}

void TOvcColors::SetUseDefault(bool Value) {
  useDefault_ = Value;
  if (!Value) return;
  backColor_ = defBackColor_;
  textColor_ = defTextColor_;
  Changed();
}
