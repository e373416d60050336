// The class library's containers and frames:
//   TPanel      a painted container with an outer and an inner bevel, a border between them and a centred
//               caption; its children are laid out inside the bevels;
//   TBevel      a graphic control drawing a lowered or raised box, frame or line;
//   TScrollBox  a container that scrolls its children, with scroll bars whose ranges follow the children when
//               AutoScroll is on (recomputed when children come, go, show or hide, when the box is resized,
//               and on Realign: a program that moves a child calls Realign).
#pragma once
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include <memory>

// ---- TPanel ----

class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TCustomPanel"); }
  void WndProc(TMessage &Message) override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut Value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth Value);
  // The space between the two bevels, in the panel's colour.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int Value);
  // bsSingle adds a window border around everything.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  // The area left for the children inside the bevels and the border, in client coordinates.
  TRect InnerRect() const;

protected:
  void Paint() override;
  void CreateParams(TCreateParams &Params) override;
  void AlignControls(TControl *AControl, TRect &Rect) override;

private:
  void Changed();
  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
  using TCustomPanel::TCustomPanel;
  QString ClassName() const override { return QStringLiteral("TPanel"); }
};

// ---- TBevel ----

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TBevel"); }
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle Value);

protected:
  void Paint() override;

private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// ---- TScrollBox ----

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollingWinControl;

// One scroll bar of a scrolling control: the scrolled-over Range, the Position within it, the step of a
// click on an arrow (Increment).
class TControlScrollBar : public TPersistent {
public:
  TControlScrollBar(TScrollingWinControl *Control, TScrollBarKind Kind);
  QString ClassName() const override { return QStringLiteral("TControlScrollBar"); }
  void Assign(const TPersistent *Source) override;

  TScrollBarKind Kind() const { return kind_; }
  int Position() const { return position_; }
  // Scrolls the children; kept between 0 and Range less the client size.
  void SetPosition(int Value);
  int Range() const { return range_; }
  void SetRange(int Value);
  int Increment() const { return increment_; }
  void SetIncrement(int Value) { increment_ = std::max(1, Value); }
  // Whether the bar may show (it shows when the range exceeds the client size).
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // Whether the children follow the thumb while it is dragged.
  bool Tracking() const { return tracking_; }
  void SetTracking(bool Value) { tracking_ = Value; }
  // Space left beyond the farthest child when the range follows the children.
  int Margin() const { return margin_; }
  void SetMargin(int Value) { margin_ = std::max(0, Value); }
  // Whether the bar shows now.
  bool IsScrollBarVisible() const;

private:
  friend class TScrollingWinControl;
  int ClientSize() const;
  int MaxPosition() const;
  void ScrollMessage(WORD Code, int ThumbPos);

  TScrollingWinControl *control_;
  TScrollBarKind kind_;
  int position_ = 0;
  int range_ = 0;
  int increment_ = 8;
  bool visible_ = true;
  bool tracking_ = false;
  int margin_ = 0;
};

class TScrollingWinControl : public TWinControl {
public:
  explicit TScrollingWinControl(TComponent *AOwner);
  ~TScrollingWinControl() override;
  QString ClassName() const override { return QStringLiteral("TScrollingWinControl"); }
  void WndProc(TMessage &Message) override;

  TControlScrollBar *HorzScrollBar() { return horz_.get(); }
  TControlScrollBar *VertScrollBar() { return vert_.get(); }
  // The ranges follow the children.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool Value);
  // Scrolls so that AControl is wholly in view.
  void ScrollInView(TControl *AControl);
  // Recomputes the ranges (AutoScroll) and shows or hides the scroll bars.
  void UpdateScrollBars();

protected:
  void AlignControls(TControl *AControl, TRect &Rect) override;
  void PaintHandler(TMessage &Message) override;

private:
  friend class TControlScrollBar;
  void CalcAutoRange();
  void ScrollBy(int DeltaX, int DeltaY);

  std::unique_ptr<TControlScrollBar> horz_;
  std::unique_ptr<TControlScrollBar> vert_;
  bool autoScroll_ = true;
  bool updating_ = false;
};

class TScrollBox : public TScrollingWinControl {
public:
  explicit TScrollBox(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TScrollBox"); }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);

protected:
  void CreateParams(TCreateParams &Params) override;

private:
  TBorderStyle borderStyle_ = bsSingle;
};
