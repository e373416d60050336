// The bevelled label family:
//   TKNGGraphicControl  a graphic control that fires OnMouseEnter and OnMouseLeave;
//   TKNGCustomLabel     a label (alignment, layout, word wrap, accelerator, transparency, auto-size) that
//   draws
//                       a TKNGBevel round its text; the bevel's room is kept clear of the text.
#pragma once
#include "controls/labels/bevel.h"
#include "platform/widgets/std_labels.h"
#include <memory>

class TKNGGraphicControl : public TGraphicControl {
public:
  explicit TKNGGraphicControl(TComponent *AOwner) : TGraphicControl(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TKNGGraphicControl"); }
  void WndProc(TMessage &Message) override;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  virtual void MouseEnter();
  virtual void MouseLeave();
};

class TKNGCustomLabel : public TCustomLabel {
public:
  explicit TKNGCustomLabel(TComponent *AOwner);
  ~TKNGCustomLabel() override;
  QString ClassName() const override { return QStringLiteral("TKNGCustomLabel"); }

  TKNGBevel *Bevel() const { return bevel_.get(); }
  void SetBevel(const TKNGBevel *Value) { bevel_->Assign(Value); }
  // Where the text goes: the client area less the bevel's room and a pixel on each side.
  TRect TextArea() const;

protected:
  void AdjustBounds() override;
  void Paint() override;
  // The DT_ flags of the text for the label's settings.
  unsigned TextFlags() const;

private:
  void BevelChanged(TObject *Sender);
  std::unique_ptr<TKNGBevel> bevel_;
};
