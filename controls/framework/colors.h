// TOvcColors: a text and background colour pair with defaults given by the control that publishes it. While
// UseDefault is on the pair shows the defaults; choosing another colour turns it off.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/graphics/color.h"

class TOvcColors : public TPersistent {
public:
  TOvcColors(TColor DefaultTextColor, TColor DefaultBackColor);
  QString ClassName() const override { return QStringLiteral("TOvcColors"); }
  void Assign(const TPersistent *Source) override;

  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor Value);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);
  bool UseDefault() const { return useDefault_; }
  // True restores both default colours.
  void SetUseDefault(bool Value);

  TColor DefaultBackColor() const { return defBackColor_; }
  TColor DefaultTextColor() const { return defTextColor_; }

  TNotifyEvent OnChange;

private:
  void Changed();

  TColor backColor_;
  TColor textColor_;
  bool useDefault_ = true;
  TColor defBackColor_;
  TColor defTextColor_;
};
