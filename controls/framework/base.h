// The common bases of the control library:
//   TOvcComponent         every non-visual library component (About, the optional collection holder);
//   TO32CustomControl     the newer windowed controls (inspector grid, combo boxes);
//   TOvcCustomControl     the older windowed controls, with the collection holder;
//   TOvcCustomControlEx   a TOvcCustomControl that works with a controller.
//
// The windowed bases carry an attached label (LabelInfo), fire AfterEnter and AfterExit once a focus change
// is complete (they post ovm_AfterEnter / ovm_AfterExit to themselves), and turn the mouse wheel into
// OnMouseWheel.
#pragma once
#include "controls/framework/attached_label.h"
#include "platform/windowing/controls.h"
#include <functional>
#include <memory>

class TO32Collection;
class TOvcController;

// ---- the collection holder ----

// Called for each child handed to the streaming system.
using TGetChildProc = std::function<void(TPersistent *Child)>;

// Collections whose items a component streams as its children.
class TOvcCollectionHolder {
public:
  explicit TOvcCollectionHolder(TComponent *Owner) : owner_(Owner) {}
  void AddCollection(TO32Collection *Collection) { collections_.append(Collection); }
  void RemoveCollection(TO32Collection *Collection) { collections_.removeAll(Collection); }
  const QList<TO32Collection *> &Collections() const { return collections_; }
  // Hands every item of every stored collection to Proc.
  void GetChildren(const TGetChildProc &Proc) const;
  TComponent *ChildOwner() const { return owner_; }
  // Tells each collection in turn that loading has finished.
  void Loaded();

private:
  TComponent *owner_;
  QList<TO32Collection *> collections_;
};

class TOvcComponent : public TComponent {
public:
  explicit TOvcComponent(TComponent *AOwner) : TComponent(AOwner) {}
  ~TOvcComponent() override;
  QString ClassName() const override { return QStringLiteral("TOvcComponent"); }
  void Loaded() override;

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  // Null unless a descendant made one (CreateCollectionHolder).
  TOvcCollectionHolder *CollectionHolder() const { return holder_.get(); }
  // With a holder, the items of its stored collections; else none (the default child handling).
  void GetChildren(const TGetChildProc &Proc) const;
  TComponent *GetChildOwner() const;

protected:
  TOvcCollectionHolder *CreateCollectionHolder();

private:
  std::unique_ptr<TOvcCollectionHolder> holder_;
};

// ---- the windowed bases ----

using TMouseWheelEvent = TEvent<void(TObject *Sender, TShiftState Shift, int Delta, int XPos, int YPos)>;

// The message handling every windowed library control shares: its attached label's messages, AfterEnter and
// AfterExit posted to itself after a focus change, the mouse wheel handed to Wheel (shift, signed delta, x,
// y), and the label following the control's visibility. Inherited is the base class's message procedure.
// Returns false, doing nothing, for any other message.
bool HandleLibraryControlMessage(TWinControl *Control, TOvcLabelHost &Labels, TMessage &Message,
                                 const TNotifyEvent &AfterEnter, const TNotifyEvent &AfterExit,
                                 const std::function<void(TShiftState, int, int, int)> &Wheel,
                                 const std::function<void(TMessage &)> &Inherited);

class TO32CustomControl : public TCustomControl {
public:
  explicit TO32CustomControl(TComponent *AOwner);
  ~TO32CustomControl() override;
  QString ClassName() const override { return QStringLiteral("TO32CustomControl"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}
  TOvcLabelInfo *LabelInfo() const { return labels_.LabelInfo(); }
  // The class library's Exception "Label not attached" when there is no label.
  TOvcAttachedLabel *AttachedLabel() const { return labels_.AttachedLabel(); }

  TNotifyEvent AfterEnter;
  TNotifyEvent AfterExit;
  TMouseWheelEvent OnMouseWheel;

protected:
  // Fires OnMouseWheel. Delta is the signed wheel turn (positive away from the user); XPos, YPos the
  // pointer's screen position.
  virtual void DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos);
  TOvcLabelHost &Labels() { return labels_; }
  bool LabelBelow() const { return labels_.LabelBelow(); }
  void SetLabelBelow(bool Value) { labels_.SetLabelBelow(Value); }

private:
  TOvcLabelHost labels_;
};

class TOvcCustomControl : public TCustomControl {
public:
  explicit TOvcCustomControl(TComponent *AOwner);
  ~TOvcCustomControl() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomControl"); }
  void BeforeDestruction() override;
  void Loaded() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}
  TOvcLabelInfo *LabelInfo() const { return labels_.LabelInfo(); }
  TOvcAttachedLabel *AttachedLabel() const { return labels_.AttachedLabel(); }

  TOvcCollectionHolder *CollectionHolder() const { return holder_.get(); }
  void GetChildren(const TGetChildProc &Proc) const;
  TComponent *GetChildOwner() const;

  TNotifyEvent AfterEnter;
  TNotifyEvent AfterExit;
  TMouseWheelEvent OnMouseWheel;

protected:
  virtual void DoOnMouseWheel(TShiftState Shift, int Delta, int XPos, int YPos);
  TOvcCollectionHolder *CreateCollectionHolder();
  TOvcLabelHost &Labels() { return labels_; }
  bool LabelBelow() const { return labels_.LabelBelow(); }
  void SetLabelBelow(bool Value) { labels_.SetLabelBelow(Value); }

private:
  TOvcLabelHost labels_;
  std::unique_ptr<TOvcCollectionHolder> holder_;
};

// The controller a control works with: the one set, else the one picked up when the control's window is
// made, else the shared default controller. Follows insertion and removal notices.
class TOvcControllerLink {
public:
  explicit TOvcControllerLink(TComponent *Client) : client_(Client) {}
  // The assigned controller, else the shared default one.
  TOvcController *Controller() const;
  TOvcController *Assigned() const { return controller_; }
  void SetController(TOvcController *Value);
  // At window creation: takes the form's controller, or (at run time) the shared default one.
  void PickUp(const TControl *Control);
  void Notification(TComponent *AComponent, TOperation Operation);

private:
  TComponent *client_;
  TOvcController *controller_ = nullptr;
};

class TOvcCustomControlEx : public TOvcCustomControl {
public:
  explicit TOvcCustomControlEx(TComponent *AOwner) : TOvcCustomControl(AOwner), controller_(this) {}
  QString ClassName() const override { return QStringLiteral("TOvcCustomControlEx"); }
  void Notification(TComponent *AComponent, TOperation Operation) override;

  TOvcController *Controller() const { return controller_.Controller(); }
  virtual void SetController(TOvcController *Value) { controller_.SetController(Value); }
  // The controller set or picked up, nullptr when none (the default one is not counted).
  TOvcController *AssignedController() const { return controller_.Assigned(); }

protected:
  void CreateWnd() override;

private:
  TOvcControllerLink controller_;
};
