// The class library's panel: a painted container with an outer and an inner bevel, a border between them and
// a centred caption; its children are laid out inside the bevels.
#pragma once
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"

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
