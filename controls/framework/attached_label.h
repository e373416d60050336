// The label a library control can carry: TOvcLabelInfo holds its settings, TOvcAttachedLabel is the label
// itself (owned by the form, placed beside the control), and TOvcLabelHost is the part of a control that
// creates, places and follows its label.
//
// The label stands above the control (or below it, for controls that say so), OffsetX to the right of the
// control's left edge and OffsetY further down. Moving the control moves the label along; moving the label
// records new offsets and leaves the control where it is.
#pragma once
#include "platform/core/events.h"
#include "platform/widgets/std_labels.h"

class TOvcAttachedLabel;

using TOvcLabelVisibleEvent = TEvent<void(TObject *Sender, bool Value)>;

class TOvcLabelInfo : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcLabelInfo"); }

  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }
  void SetOffsetX(int Value) { SetOffsets(Value, offsetY_); }
  void SetOffsetY(int Value) { SetOffsets(offsetX_, Value); }
  // Both at once: OnChange fires once, and only when something really changed.
  void SetOffsets(int X, int Y);
  bool Visible() const { return visible_; }
  // OnVisibleChange fires with the new value when it changes.
  void SetVisible(bool Value);
  // Stores Visible without telling the control (the label told the control it exists).
  void SetVisibleFlag(bool Value) { visible_ = Value; }

  TOvcAttachedLabel *ALabel() const { return label_; }
  void SetALabel(TOvcAttachedLabel *Value) { label_ = Value; }

  TNotifyEvent OnChange;
  TOvcLabelVisibleEvent OnVisibleChange;

private:
  int offsetX_ = 0;
  int offsetY_ = 0;
  bool visible_ = false;
  TOvcAttachedLabel *label_ = nullptr;
};

class TOvcAttachedLabel : public TLabel {
public:
  explicit TOvcAttachedLabel(TComponent *AOwner);
  TOvcAttachedLabel(TComponent *AOwner, TWinControl *AControl);
  QString ClassName() const override { return QStringLiteral("TOvcAttachedLabel"); }
  void Loaded() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  // Moving the label tells its control (see TellControl).
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TWinControl *Control() const { return control_; }
  void SetControl(TWinControl *Value);

private:
  // Sends ovm_AttachLabel and posts ovm_LabelMoved to the control, when the control is on the label's form.
  void TellControl();

  TWinControl *control_ = nullptr;
};

// The attached-label behaviour of one control. The control creates it in its constructor, hands it the
// messages and calls listed below, and frees the label through it before the control goes.
class TOvcLabelHost {
public:
  // AutoSizeLabel: whether a new label is made auto-sized after it is placed.
  TOvcLabelHost(TWinControl *Control, bool AutoSizeLabel);
  ~TOvcLabelHost();
  TOvcLabelHost(const TOvcLabelHost &) = delete;
  TOvcLabelHost &operator=(const TOvcLabelHost &) = delete;

  TOvcLabelInfo *LabelInfo() const { return info_; }
  // The label; EOvcException "Label not attached" when the control has none.
  TOvcAttachedLabel *AttachedLabel() const;
  // False: the label stands above the control; True: below it.
  bool LabelBelow() const { return below_; }
  void SetLabelBelow(bool Value) { below_ = Value; }

  // ovm_PlaceLabel, ovm_LabelMoved and ovm_AttachLabel; true when Msg was one of them.
  bool HandleMessage(TMessage &Msg);
  // After the control's SetBounds: asks for the label to follow once the move is over.
  void ControlMoved();
  // After the control's visibility changed (CM_VISIBLECHANGED).
  void ControlVisibleChanged();
  void Notification(TComponent *AComponent, TOperation Operation);
  // Frees the label; called when the control is being released.
  void ControlDestroying();

  // Places the label by the stored offsets.
  void PositionLabel();

private:
  void OffsetChanged(TObject *Sender);
  void VisibleChanged(TObject *Sender, bool Value);
  void CreateLabel();
  void FreeLabel();
  // The offsets that put the label where it now stands.
  int ImpliedOffsetX(const TOvcAttachedLabel *Label) const;
  int ImpliedOffsetY(const TOvcAttachedLabel *Label) const;
  bool ControlLoading() const;

  TWinControl *control_;
  TOvcLabelInfo *info_;
  bool autoSizeLabel_;
  bool below_ = false;
};

// The first form up the control's parent chain, or nullptr.
TCustomForm *FindParentForm(const TControl *Control);
// Registers TOvcAttachedLabel with the class registry unless a class of that name is registered already.
void RegisterAttachedLabelClass();
