// TOvcBorder: one pen of a control's border (enabled, colour, style, width); TOvcBorders: the four of them.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/graphics/color.h"
#include "platform/graphics/graphics.h"
#include <memory>

enum TOvcBorderStyle { bpsSolid };

class TOvcBorder : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcBorder"); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  TColor PenColor() const { return penColor_; }
  void SetPenColor(TColor Value);
  TPenStyle PenStyle() const { return penStyle_; }
  void SetPenStyle(TPenStyle Value);
  int PenWidth() const { return penWidth_; }
  // Widths below 1 are ignored.
  void SetPenWidth(int Value);
  TOvcBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TOvcBorderStyle Value);

  // Fired on every real change.
  TNotifyEvent OnChange;

private:
  void Changed();

  bool enabled_ = false;
  TColor penColor_ = clBlack;
  TPenStyle penStyle_ = psSolid;
  int penWidth_ = 2;
  TOvcBorderStyle borderStyle_ = bpsSolid;
};

class TOvcBorders : public TPersistent {
public:
  TOvcBorders();
  ~TOvcBorders() override;
  QString ClassName() const override { return QStringLiteral("TOvcBorders"); }

  TOvcBorder *LeftBorder() const { return left_.get(); }
  TOvcBorder *RightBorder() const { return right_.get(); }
  TOvcBorder *TopBorder() const { return top_.get(); }
  TOvcBorder *BottomBorder() const { return bottom_.get(); }

private:
  std::unique_ptr<TOvcBorder> left_;
  std::unique_ptr<TOvcBorder> right_;
  std::unique_ptr<TOvcBorder> top_;
  std::unique_ptr<TOvcBorder> bottom_;
};
