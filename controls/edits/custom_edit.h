// TOvcCustomEdit: the class library's edit with the library's attached label and controller pickup. Its
// text is no caption: setting the name does not fill it in.
#pragma once
#include "controls/framework/attached_label.h"
#include "controls/framework/base.h"
#include "platform/widgets/std_edits.h"

class TOvcController;

class TOvcCustomEdit : public TCustomEdit {
public:
  explicit TOvcCustomEdit(TComponent *AOwner);
  ~TOvcCustomEdit() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomEdit"); }
  void BeforeDestruction() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}
  TOvcLabelInfo *LabelInfo() const { return labels_.LabelInfo(); }
  // The label; EOvcException "Label not attached" when there is none.
  TOvcAttachedLabel *AttachedLabel() const { return labels_.AttachedLabel(); }

  // The controller set or picked up, else the shared default one.
  TOvcController *Controller() const { return controller_.Controller(); }
  void SetController(TOvcController *Value) { controller_.SetController(Value); }
  // The controller set or picked up, nullptr when none.
  TOvcController *AssignedController() const { return controller_.Assigned(); }

protected:
  void CreateWnd() override;
  bool LabelBelow() const { return labels_.LabelBelow(); }
  void SetLabelBelow(bool Value) { labels_.SetLabelBelow(Value); }

private:
  TOvcLabelHost labels_;
  TOvcControllerLink controller_;
};
